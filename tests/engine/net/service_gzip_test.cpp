// gzip bodies and files. The gzip bytes are made here with zlib's raw deflate and
// a hand-written header, independently of the code under test.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "util/TGzip.h"

namespace {

std::string RawDeflate(const std::string& data) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, data.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = data.size();
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = out.size();
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

void PutLe32(std::string* s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A gzip member: header (with the given time, flags and OS bytes), deflate data,
// CRC-32 and size.
std::string Gzip(const std::string& data, uint32_t mtime = 0, unsigned char flags = 0,
                 unsigned char os = 3) {
  std::string out = {'\x1f', '\x8b', '\x08', static_cast<char>(flags)};
  PutLe32(&out, mtime);
  out.push_back('\0');
  out.push_back(static_cast<char>(os));
  out += RawDeflate(data);
  PutLe32(&out, crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
  PutLe32(&out, static_cast<uint32_t>(data.size()));
  return out;
}

std::string Pattern(size_t n) {
  std::string s(n, '\0');
  uint32_t x = 12345;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    s[i] = "abcdefghij{}\":,0123456789"[(x >> 16) % 25];
  }
  return s;
}

TEST(ServiceGzipTest, BufferTable) {
  const std::string text = "{\"code\":1,\"msg\":\"ok\"}";
  const std::string big = Pattern(300000);           // several inflate pieces
  const std::string exactPiece = Pattern(102400);    // ends exactly on a piece
  const std::string atLimit(kMaxInflatedSize, 'z');  // largest accepted body
  const std::string overLimit(kMaxInflatedSize + 1, 'z');
  std::string validText = Gzip(text);
  std::string corrupt = validText;
  corrupt[12] = static_cast<char>(corrupt[12] ^ 0x55);

  struct Row {
    const char* name;
    std::string input;
    bool ok;
    const std::string* expected;
  };
  const std::string empty;
  const Row rows[] = {
      {"short text", validText, true, &text},
      {"empty body", Gzip(""), true, &empty},
      {"several pieces", Gzip(big), true, &big},
      {"exactly one piece", Gzip(exactPiece), true, &exactPiece},
      {"at the size limit", Gzip(atLimit), true, &atLimit},
      {"bomb past the limit", Gzip(overLimit), false, nullptr},
      {"modification time set", Gzip(text, 1700000000u), false, nullptr},
      {"file name flag", Gzip(text, 0, 0x08), false, nullptr},
      {"other OS byte", Gzip(text, 0, 0, 0xFF), false, nullptr},
      {"not gzip at all", text + std::string(20, ' '), false, nullptr},
      {"shorter than a member", validText.substr(0, 18), false, nullptr},
      {"deflate data cut short", validText.substr(0, validText.size() - 12), false, nullptr},
      {"corrupt deflate data", corrupt, false, nullptr},
  };
  for (const Row& row : rows) {
    std::string out = "untouched";
    bool ok = GunzipToString(row.input.data(), row.input.size(), &out);
    EXPECT_EQ(ok, row.ok) << row.name;
    if (row.ok && ok) {
      EXPECT_TRUE(out == *row.expected) << row.name;
    }
    if (!row.ok) {
      EXPECT_EQ(out, "untouched") << row.name;
    }

    size_t length = 12345;
    char* heap = GunzipBuffer(row.input.data(), row.input.size(), &length);
    EXPECT_EQ(heap != nullptr, row.ok) << row.name;
    if (heap) {
      ASSERT_EQ(length, row.expected->size()) << row.name;
      EXPECT_EQ(memcmp(heap, row.expected->data(), length), 0) << row.name;
      EXPECT_EQ(heap[length], '\0') << row.name;
      free(heap);
    }
  }
  EXPECT_EQ(GunzipBuffer(nullptr, 0, nullptr), nullptr);
}

class ServiceGzipFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tesmo-gzip-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

  std::string Path(const std::string& name) const { return m_dir + "/" + name; }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
  }

  std::string m_dir;
};

TEST_F(ServiceGzipFileTest, UnpacksWholeFilesAndRefusesBrokenOnes) {
  const std::string content = Pattern(200000);
  const std::string packed = Gzip(content, 1700000000u, 0, 0);  // files may carry a time
  Write(Path("good.gz"), packed);
  Write(Path("cut.gz"), packed.substr(0, packed.size() / 2));
  Write(Path("cut-trailer.gz"), packed.substr(0, packed.size() - 4));
  Write(Path("old.txt"), "previous");

  struct Row {
    const char* name;
    std::string source;
    std::string destination;
    int result;
  };
  const Row rows[] = {
      {"whole file", Path("good.gz"), Path("out1.txt"), 1},
      {"replaces an existing file", Path("good.gz"), Path("old.txt"), 1},
      {"truncated in the middle", Path("cut.gz"), Path("out2.txt"), 0},
      {"trailer cut off", Path("cut-trailer.gz"), Path("out3.txt"), 0},
      {"missing source", Path("missing.gz"), Path("out4.txt"), 0},
      {"destination folder missing", Path("good.gz"), Path("no/such/dir/out5.txt"), 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(GunzipFile(row.source.c_str(), row.destination.c_str()), row.result) << row.name;
    if (row.result == 1) {
      EXPECT_TRUE(Read(row.destination) == content) << row.name;
    } else {
      EXPECT_FALSE(Exists(row.destination)) << row.name;
    }
  }
  EXPECT_EQ(GunzipFile(nullptr, Path("x").c_str()), 0);
  EXPECT_EQ(GunzipFile(Path("good.gz").c_str(), ""), 0);
}

}  // namespace
