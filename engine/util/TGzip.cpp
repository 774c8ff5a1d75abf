#include "util/TGzip.h"

#include <strings.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "util/TFileUtil.h"
#include "util/TTextUtil.h"

namespace {

constexpr size_t kInflatePiece = 102400;
constexpr size_t kFilePiece = 65536;
// inflate takes at most UINT_MAX bytes at a time.
constexpr size_t kMaxFeed = 1u << 30;
// 16 + window bits: zlib parses and checks gzip headers and trailers itself.
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

// A zlib header: deflate method, a window zlib allows, and the check bits.
bool LooksZlibWrapped(unsigned char b0, unsigned char b1) {
  return (b0 & 0x0F) == Z_DEFLATED && (b0 >> 4) <= 7 && ((b0 << 8) | b1) % 31 == 0;
}

}  // namespace

TContentCoding ContentCodingOf(const char* contentEncoding) {
  if (!contentEncoding) return TContentCoding::kIdentity;
  const std::string coding = Trim(contentEncoding);
  if (coding.empty() || strcasecmp(coding.c_str(), "identity") == 0)
    return TContentCoding::kIdentity;
  if (strcasecmp(coding.c_str(), "gzip") == 0 || strcasecmp(coding.c_str(), "x-gzip") == 0)
    return TContentCoding::kGzip;
  if (strcasecmp(coding.c_str(), "deflate") == 0) return TContentCoding::kDeflate;
  return TContentCoding::kUnsupported;
}

struct TContentDecoder::State {
  TContentCoding coding;
  Sink sink;
  z_stream z{};
  bool inflating = false;  // inflateInit2 succeeded
  bool failed = false;
  bool atEnd = false;   // the last byte fed ended a complete stream or member
  std::string pending;  // deflate: bytes held until the wrapper can be told
  std::unique_ptr<unsigned char[]> piece;

  ~State() {
    if (inflating) inflateEnd(&z);
  }

  bool Start(int windowBits) {
    piece.reset(new unsigned char[kInflatePiece]);
    inflating = inflateInit2(&z, windowBits) == Z_OK;
    return inflating;
  }

  bool Inflate(const unsigned char* data, size_t length) {
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(length);
    for (;;) {
      if (atEnd && z.avail_in > 0) {
        // Only another gzip member may follow a member; a deflate stream is alone.
        if (coding != TContentCoding::kGzip || inflateReset(&z) != Z_OK) return false;
        atEnd = false;
      }
      z.next_out = piece.get();
      z.avail_out = kInflatePiece;
      const int rc = inflate(&z, Z_NO_FLUSH);
      const size_t produced = kInflatePiece - z.avail_out;
      if (produced > 0 && !sink(reinterpret_cast<const char*>(piece.get()), produced)) return false;
      if (rc == Z_STREAM_END) {
        atEnd = true;
        if (z.avail_in == 0) return true;
        continue;
      }
      if (rc == Z_OK) {
        if (z.avail_in == 0 && z.avail_out != 0) return true;  // wants more input
        continue;
      }
      // No progress: fine only when everything given was taken.
      if (rc == Z_BUF_ERROR && z.avail_in == 0) return true;
      return false;  // data, stream, memory or dictionary error
    }
  }
};

TContentDecoder::TContentDecoder(TContentCoding coding, Sink sink) : m_state(new State) {
  m_state->coding = coding;
  m_state->sink = std::move(sink);
  if (coding == TContentCoding::kUnsupported) m_state->failed = true;
  if (coding == TContentCoding::kGzip && !m_state->Start(kGzipWindowBits)) m_state->failed = true;
}

TContentDecoder::~TContentDecoder() = default;

bool TContentDecoder::Feed(const char* data, size_t length) {
  State& s = *m_state;
  if (s.failed) return false;
  if (length == 0) return true;
  if (!data) {
    s.failed = true;
    return false;
  }
  if (s.coding == TContentCoding::kIdentity) {
    if (!s.sink(data, length)) s.failed = true;
    return !s.failed;
  }
  if (s.coding == TContentCoding::kDeflate && !s.inflating) {
    s.pending.append(data, length);
    if (s.pending.size() < 2) return true;
    const auto* head = reinterpret_cast<const unsigned char*>(s.pending.data());
    if (!s.Start(LooksZlibWrapped(head[0], head[1]) ? MAX_WBITS : -MAX_WBITS)) {
      s.failed = true;
      return false;
    }
    std::string held;
    held.swap(s.pending);
    return Feed(held.data(), held.size());
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  while (length > 0) {
    const size_t take = std::min(length, kMaxFeed);
    if (!s.Inflate(bytes, take)) {
      s.failed = true;
      return false;
    }
    bytes += take;
    length -= take;
  }
  return true;
}

bool TContentDecoder::Finish() {
  const State& s = *m_state;
  if (s.failed) return false;
  if (s.coding == TContentCoding::kIdentity) return true;
  return s.inflating && s.atEnd;
}

bool DecodeContent(TContentCoding coding, const char* data, size_t length, std::string* out,
                   size_t maxSize) {
  if (!out || (!data && length > 0)) return false;
  std::string result;
  TContentDecoder decoder(coding, [&result, maxSize](const char* piece, size_t n) {
    if (result.size() + n > maxSize) return false;
    result.append(piece, n);
    return true;
  });
  if (!decoder.Feed(data, length) || !decoder.Finish()) return false;
  out->swap(result);
  return true;
}

size_t InflateLimitFor(size_t encodedSize) {
  if (encodedSize > SIZE_MAX / kMaxInflateRatio) return SIZE_MAX;
  return std::max(kMaxInflatedSize, encodedSize * kMaxInflateRatio);
}

int DecodeContentFile(TContentCoding coding, const char* source, const char* destination,
                      size_t maxSize) {
  if (!source || !destination || !*source || !*destination) return 0;
  UniqueFile in(FOpenUtf8(source, "rb"));
  if (!in) return 0;
  if (maxSize == 0) {
    struct stat info {};
    if (fstat(fileno(in.get()), &info) != 0 || info.st_size < 0) return 0;
    maxSize = InflateLimitFor(static_cast<size_t>(info.st_size));
  }
  UniqueFile out(FOpenUtf8(destination, "wb"));
  if (!out) return 0;
  FILE* target = out.get();
  size_t written = 0;
  TContentDecoder decoder(coding, [target, &written, maxSize](const char* piece, size_t n) {
    if (n > maxSize - written) return false;
    written += n;
    return fwrite(piece, 1, n, target) == n;
  });
  bool ok = true;
  std::unique_ptr<char[]> piece(new char[kFilePiece]);
  for (;;) {
    const size_t n = fread(piece.get(), 1, kFilePiece, in.get());
    if (n > 0 && !decoder.Feed(piece.get(), n)) {
      ok = false;
      break;
    }
    if (n < kFilePiece) {
      ok = !ferror(in.get()) && decoder.Finish();
      break;
    }
  }
  if (fclose(out.release()) != 0) ok = false;
  if (!ok) remove(destination);
  return ok ? 1 : 0;
}

bool GunzipToString(const char* data, size_t length, std::string* out, size_t maxSize) {
  return DecodeContent(TContentCoding::kGzip, data, length, out, maxSize);
}

char* GunzipBuffer(const char* data, size_t length, size_t* outLength) {
  std::string inflated;
  if (!GunzipToString(data, length, &inflated)) return nullptr;
  char* text = static_cast<char*>(malloc(inflated.size() + 1));
  if (!text) return nullptr;
  memcpy(text, inflated.data(), inflated.size());
  text[inflated.size()] = '\0';
  if (outLength) *outLength = inflated.size();
  return text;
}

int GunzipFile(const char* source, const char* destination, size_t maxSize) {
  return DecodeContentFile(TContentCoding::kGzip, source, destination, maxSize);
}
