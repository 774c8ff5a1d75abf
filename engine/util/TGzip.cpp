#include "util/TGzip.h"

#include <zlib.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "util/TFileUtil.h"

namespace {

constexpr size_t kHeaderSize = 10;
constexpr size_t kTrailerSize = 8;
constexpr size_t kMinMemberSize = 19;
constexpr size_t kInflatePiece = 102400;
constexpr unsigned kFilePiece = 8192;
// 1F 8B: magic; 08: deflate; 00: no flags; four zero bytes: no time; 00: no extra
// flags; 03: made on Unix. Anything else is refused rather than guessed at.
constexpr unsigned char kExpectedHeader[kHeaderSize] = {0x1F, 0x8B, 0x08, 0x00, 0x00,
                                                        0x00, 0x00, 0x00, 0x00, 0x03};

struct InflateStream {
  z_stream z{};
  bool ready = false;
  InflateStream() { ready = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
  ~InflateStream() {
    if (ready) inflateEnd(&z);
  }
};

}  // namespace

bool GunzipToString(const char* data, size_t length, std::string* out, size_t maxSize) {
  if (!data || !out || length < kMinMemberSize) return false;
  if (memcmp(data, kExpectedHeader, kHeaderSize) != 0) return false;
  size_t deflateLength = length - kHeaderSize - kTrailerSize;
  if (deflateLength > UINT_MAX) return false;

  InflateStream stream;
  if (!stream.ready) return false;
  stream.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data + kHeaderSize));
  stream.z.avail_in = static_cast<uInt>(deflateLength);

  std::string result;
  std::unique_ptr<unsigned char[]> piece(new unsigned char[kInflatePiece]);
  for (;;) {
    stream.z.next_out = piece.get();
    stream.z.avail_out = kInflatePiece;
    int rc = inflate(&stream.z, Z_NO_FLUSH);
    size_t produced = kInflatePiece - stream.z.avail_out;
    if (result.size() + produced > maxSize) return false;
    result.append(reinterpret_cast<char*>(piece.get()), produced);
    // The end of the deflate stream is success however full the last piece is.
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK) return false;  // data, stream, memory or dictionary error
    // No progress with input left to read means the stream was cut short.
    if (produced == 0 && stream.z.avail_in == 0) return false;
  }
  out->swap(result);
  return true;
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

int GunzipFile(const char* source, const char* destination) {
  if (!source || !destination || !*source || !*destination) return 0;
  gzFile in = gzopen(source, "rb");
  if (!in) return 0;
  UniqueFile out(fopen(destination, "wb"));
  if (!out) {
    gzclose(in);
    return 0;
  }
  bool ok = true;
  std::unique_ptr<char[]> piece(new char[kFilePiece]);
  for (;;) {
    int n = gzread(in, piece.get(), kFilePiece);
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) {
      // zlib reports a cut-off stream as a plain end of file; its error state
      // tells the two apart.
      int err = Z_OK;
      gzerror(in, &err);
      if (err != Z_OK) ok = false;
      break;
    }
    if (fwrite(piece.get(), 1, static_cast<size_t>(n), out.get()) != static_cast<size_t>(n)) {
      ok = false;
      break;
    }
  }
  if (gzclose(in) != Z_OK) ok = false;
  if (fclose(out.release()) != 0) ok = false;
  if (!ok) remove(destination);
  return ok ? 1 : 0;
}
