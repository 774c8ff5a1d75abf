// The codec methods when memory runs out: the failure stays inside the engine and
// the caller gets the answer for bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "TAPIInterface.h"

namespace {
// Allocations of at least this many bytes fail on a thread that asked for it.
thread_local size_t g_failFrom = 0;
}  // namespace

void* operator new(size_t size) {
  if (g_failFrom && size >= g_failFrom) throw std::bad_alloc();
  if (void* p = malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

namespace {

class FailLargeAllocations {
 public:
  explicit FailLargeAllocations(size_t from) { g_failFrom = from; }
  ~FailLargeAllocations() { g_failFrom = 0; }
};

// The answer of a call as text, or "threw" when an exception left it.
template <typename Call>
std::string Answer(Call call) {
  try {
    return std::to_string(call());
  } catch (...) {
    return "threw";
  }
}

template <typename Call>
std::string TextAnswer(Call call) {
  try {
    return call();
  } catch (...) {
    return "threw";
  }
}

TEST(TCodecFacadeMemoryTest, HugeTextsAnswerEmptyWithoutThrowing) {
  TAPIInterface api;
  api.Init();
  const std::string huge(1 << 20, 'a');
  const char* text = huge.c_str();
  FailLargeAllocations guard(1 << 16);
  EXPECT_EQ(TextAnswer([&] { return api.ArgumentToJson(text); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.EncodeArgument("k", text); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.EncodeArgument(text, "v"); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.DecodeArgument(text, "k"); }), "");
  EXPECT_EQ(Answer([&] { return api.DecodeIntArgument(text, "k"); }), "0");
  EXPECT_EQ(TextAnswer([&] { return api.Md5Encode(text); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.NewTransID(text); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.EncodePassword(text, "a", 0); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.EncryptString(text); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.DecryptString(text); }), "");
  EXPECT_EQ(TextAnswer([&] { return api.GetAppCfgString(text); }), "");
  // Small texts still work while large allocations fail.
  EXPECT_STREQ(api.Md5Encode("abc"), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
