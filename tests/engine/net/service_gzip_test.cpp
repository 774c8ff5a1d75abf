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

// A member with the optional header fields: FEXTRA (extra bytes), FNAME, FCOMMENT
// and FHCRC (the low 16 bits of the header's CRC-32).
std::string GzipWithFields(const std::string& data, const std::string& name,
                           const std::string& extra, const std::string& comment, bool headerCrc) {
  unsigned char flags = (extra.empty() ? 0 : 0x04) | (name.empty() ? 0 : 0x08) |
                        (comment.empty() ? 0 : 0x10) | (headerCrc ? 0x02 : 0);
  std::string out = {'\x1f', '\x8b', '\x08', static_cast<char>(flags)};
  PutLe32(&out, 1700000000u);
  out.push_back('\0');
  out.push_back('\x03');
  if (!extra.empty()) {
    out.push_back(static_cast<char>(extra.size() & 0xFF));
    out.push_back(static_cast<char>(extra.size() >> 8));
    out += extra;
  }
  if (!name.empty()) out += name + std::string(1, '\0');
  if (!comment.empty()) out += comment + std::string(1, '\0');
  if (headerCrc) {
    uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(out.data()), out.size());
    out.push_back(static_cast<char>(crc & 0xFF));
    out.push_back(static_cast<char>((crc >> 8) & 0xFF));
  }
  out += RawDeflate(data);
  PutLe32(&out, crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
  PutLe32(&out, static_cast<uint32_t>(data.size()));
  return out;
}

std::string WithByteFlipped(std::string s, size_t at) {
  s[at] = static_cast<char>(s[at] ^ 0x5A);
  return s;
}

// zlib-wrapped deflate (RFC 1950), as a conforming server sends "deflate".
std::string ZlibDeflate(const std::string& data) {
  uLongf size = compressBound(data.size());
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                      reinterpret_cast<const Bytef*>(data.data()), data.size(), 6),
            Z_OK);
  out.resize(size);
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
  const std::string twoMembers = text + "tail";
  const Row rows[] = {
      {"short text", validText, true, &text},
      {"empty body", Gzip(""), true, &empty},
      {"several pieces", Gzip(big), true, &big},
      {"exactly one piece", Gzip(exactPiece), true, &exactPiece},
      {"at the size limit", Gzip(atLimit), true, &atLimit},
      {"bomb past the limit", Gzip(overLimit), false, nullptr},
      {"modification time set", Gzip(text, 1700000000u), true, &text},
      {"other OS byte", Gzip(text, 0, 0, 0xFF), true, &text},
      {"file name", GzipWithFields(text, "report.json", "", "", false), true, &text},
      {"extra field, comment and header CRC", GzipWithFields(text, "", "ab", "note", true), true,
       &text},
      {"two members", validText + Gzip("tail"), true, &twoMembers},
      {"bytes after the last member", validText + "junk", false, nullptr},
      {"zero bytes after the last member", validText + std::string(8, '\0'), false, nullptr},
      {"CRC mismatch", WithByteFlipped(validText, validText.size() - 6), false, nullptr},
      {"length mismatch", WithByteFlipped(validText, validText.size() - 2), false, nullptr},
      {"bad header CRC", WithByteFlipped(GzipWithFields(text, "", "", "", true), 10), false,
       nullptr},
      {"second member cut short", validText + Gzip("tail").substr(0, 12), false, nullptr},
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

TEST(ServiceGzipTest, ContentCodingOfHeaderValues) {
  struct Row {
    const char* value;
    TContentCoding coding;
  };
  const Row rows[] = {
      {nullptr, TContentCoding::kIdentity},       {"", TContentCoding::kIdentity},
      {"identity", TContentCoding::kIdentity},    {"gzip", TContentCoding::kGzip},
      {" X-GZIP ", TContentCoding::kGzip},        {"Deflate", TContentCoding::kDeflate},
      {"br", TContentCoding::kUnsupported},       {"gzip, br", TContentCoding::kUnsupported},
      {"compress", TContentCoding::kUnsupported},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ContentCodingOf(row.value), row.coding) << (row.value ? row.value : "(null)");
}

TEST(ServiceGzipTest, DeflateZlibWrappedAndRawAndUnknownCodings) {
  const std::string text = Pattern(250000);
  const std::string zlib = ZlibDeflate(text);
  struct Row {
    const char* name;
    TContentCoding coding;
    std::string input;
    bool ok;
  };
  const Row rows[] = {
      {"zlib-wrapped", TContentCoding::kDeflate, zlib, true},
      {"raw", TContentCoding::kDeflate, RawDeflate(text), true},
      {"zlib cut short", TContentCoding::kDeflate, zlib.substr(0, zlib.size() / 2), false},
      {"zlib checksum wrong", TContentCoding::kDeflate, WithByteFlipped(zlib, zlib.size() - 1),
       false},
      {"bytes after the stream", TContentCoding::kDeflate, zlib + "x", false},
      {"one byte", TContentCoding::kDeflate, std::string(1, 'x'), false},
      {"gzip sent as deflate", TContentCoding::kDeflate, Gzip(text), false},
      {"identity", TContentCoding::kIdentity, text, true},
      {"unsupported", TContentCoding::kUnsupported, text, false},
  };
  for (const Row& row : rows) {
    std::string out;
    EXPECT_EQ(DecodeContent(row.coding, row.input.data(), row.input.size(), &out), row.ok)
        << row.name;
    if (row.ok) {
      EXPECT_TRUE(out == text) << row.name;
    }
  }
}

// Fed one byte at a time, the decoder gives what one whole feed gives.
TEST(ServiceGzipTest, PieceByPieceEqualsWhole) {
  const std::string text = Pattern(5000);
  for (const std::string& input :
       {Gzip(text) + GzipWithFields("more", "n", "e", "c", true), ZlibDeflate(text)}) {
    const TContentCoding coding =
        input[0] == '\x1f' ? TContentCoding::kGzip : TContentCoding::kDeflate;
    std::string out;
    TContentDecoder decoder(coding, [&out](const char* p, size_t n) {
      out.append(p, n);
      return true;
    });
    for (char c : input) ASSERT_TRUE(decoder.Feed(&c, 1));
    EXPECT_TRUE(decoder.Finish());
    std::string whole;
    ASSERT_TRUE(DecodeContent(coding, input.data(), input.size(), &whole));
    EXPECT_TRUE(out == whole);
  }
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

// A file unpacks to at most a bounded multiple of its own size: a small bomb fails
// cleanly, leaving no output, while ordinary files unpack whole.
TEST_F(ServiceGzipFileTest, UnpackingIsBoundedByTheSourceSize) {
  EXPECT_EQ(InflateLimitFor(0), kMaxInflatedSize);
  EXPECT_EQ(InflateLimitFor(1000), kMaxInflatedSize);
  EXPECT_EQ(InflateLimitFor(1u << 20), (1u << 20) * kMaxInflateRatio);
  EXPECT_EQ(InflateLimitFor(SIZE_MAX / 2), SIZE_MAX);

  const std::string zeros(kMaxInflatedSize + 1, '\0');
  const std::string text = Pattern(300000);
  struct Row {
    const char* name;
    std::string content;
    size_t maxSize;  // 0: the default bound
    int result;
  } rows[] = {
      {"bomb past the floor", zeros, 0, 0},
      {"exactly at an explicit bound", text, text.size(), 1},
      {"one byte over an explicit bound", text, text.size() - 1, 0},
      {"ordinary file", text, 0, 1},
      {"bomb within a generous explicit bound", zeros, zeros.size(), 1},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string source = Path("bound" + std::to_string(n) + ".gz");
    const std::string target = Path("bound" + std::to_string(n++) + ".out");
    Write(source, Gzip(row.content));
    EXPECT_EQ(GunzipFile(source.c_str(), target.c_str(), row.maxSize), row.result);
    EXPECT_EQ(DecodeContentFile(TContentCoding::kGzip, source.c_str(), target.c_str(), row.maxSize),
              row.result);
    if (row.result == 1) {
      EXPECT_TRUE(Read(target) == row.content);
    } else {
      EXPECT_FALSE(Exists(target));
    }
  }
}

// The memory and file paths accept and refuse exactly the same inputs.
TEST_F(ServiceGzipFileTest, MemoryAndFilePathsAgree) {
  const std::string text = Pattern(150000);
  const std::string gz = Gzip(text);
  const std::string inputs[] = {
      gz,
      gz + Gzip("second"),
      gz + "trailing",
      GzipWithFields(text, "name.txt", "xx", "comment", true),
      WithByteFlipped(gz, gz.size() - 5),
      gz.substr(0, gz.size() - 1),
      std::string("plain text, not gzip"),
  };
  int n = 0;
  for (const std::string& input : inputs) {
    const std::string source = Path("in" + std::to_string(n));
    const std::string target = Path("out" + std::to_string(n++));
    Write(source, input);
    std::string memory;
    const bool inMemory = GunzipToString(input.data(), input.size(), &memory);
    EXPECT_EQ(GunzipFile(source.c_str(), target.c_str()) == 1, inMemory) << n;
    if (inMemory) {
      EXPECT_TRUE(Read(target) == memory) << n;
    }
    EXPECT_EQ(DecodeContentFile(TContentCoding::kDeflate, source.c_str(), target.c_str()) == 1,
              DecodeContent(TContentCoding::kDeflate, input.data(), input.size(), &memory))
        << n;
  }
}

}  // namespace
