// Shared set-up of the file transfer tests: a running engine whose reports are
// recorded, a temporary folder, and file helpers.
#ifndef TESMO_TESTS_ENGINE_NET_TRANSFER_TEST_ENV_H
#define TESMO_TESTS_ENGINE_NET_TRANSFER_TEST_ENV_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "support/CallbackRecorder.h"

namespace transfer_test {

// A folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tesmo-xfer-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) m_path = buf.data();
  }
  ~TempDir() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }
  // Names of every entry in the folder, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(m_path))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string m_path;
};

// Bytes that differ from position to position, so order and offset faults show.
inline std::string PatternBytes(size_t size, uint32_t seed = 12345) {
  std::string bytes(size, '\0');
  uint32_t x = seed;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1664525u + 1013904223u;
    bytes[i] = static_cast<char>(x >> 24);
  }
  return bytes;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

// A started engine with the recorder as its callback.
class EngineEnv {
 public:
  EngineEnv() {
    CallbackRecorder::Get().Clear();
    m_api.Init();
    m_api.SetCallBack(&CallbackRecorder::Callback);
    m_api.Run();
  }
  TAPIInterface& Api() { return m_api; }
  TEngineCore& Core() { return *TEngineCore::Instance(); }

  // The single reply of a queued request, waited for generously.
  RecordedReport WaitReply(int code, int id) {
    auto r = CallbackRecorder::Get().WaitFor(code, id, std::chrono::seconds(90));
    EXPECT_TRUE(r.has_value()) << "no reply " << code << " for id " << id;
    return r.value_or(RecordedReport{});
  }

  // The progress values reported for one transfer, in order.
  std::vector<int> Progress(int code, int id) {
    std::vector<int> values;
    for (const auto& r : CallbackRecorder::Get().ReportsWith(code))
      if (r.id == id) values.push_back(r.a);
    return values;
  }

 private:
  TAPIInterface m_api;
};

// Rising strictly, within 0-1000, ending at 1000.
inline void ExpectProgressRisesTo1000(const std::vector<int>& values) {
  ASSERT_FALSE(values.empty());
  EXPECT_LE(values.size(), 1001u);
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_GE(values[i], 0);
    EXPECT_LE(values[i], 1000);
    if (i > 0) {
      EXPECT_GT(values[i], values[i - 1]) << "at " << i;
    }
  }
  EXPECT_EQ(values.back(), 1000);
}

}  // namespace transfer_test

#endif
