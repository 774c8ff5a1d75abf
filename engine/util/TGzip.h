// Content decoding: reply bodies and downloaded files that a server sent gzip- or
// deflate-encoded. Memory and file paths share one streaming decoder, so both
// accept and refuse exactly the same inputs.
#ifndef TESMO_UTIL_TGZIP_H
#define TESMO_UTIL_TGZIP_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// The most a reply body may inflate to. A small hostile body can otherwise expand
// a thousandfold (a "gzip bomb"); past this limit the body is refused.
constexpr size_t kMaxInflatedSize = 16u * 1024u * 1024u;

enum class TContentCoding { kIdentity, kGzip, kDeflate, kUnsupported };

// The coding a Content-Encoding value names: none, empty or "identity" is
// kIdentity; "gzip"/"x-gzip" and "deflate" (any case, surrounding blanks allowed);
// anything else, stacked codings included, is kUnsupported.
TContentCoding ContentCodingOf(const char* contentEncoding);

// One encoded stream fed in pieces. gzip: every valid RFC 1952 member (optional
// extra field, name, comment, header CRC), each member's CRC-32 and length checked,
// members one after another; any other bytes after a member are an error. deflate:
// zlib-wrapped or raw, as servers differ; nothing may follow the stream.
class TContentDecoder {
 public:
  using Sink = std::function<bool(const char* data, size_t length)>;

  // sink receives the decoded bytes in order; returning false stops with an error.
  TContentDecoder(TContentCoding coding, Sink sink);
  ~TContentDecoder();
  TContentDecoder(const TContentDecoder&) = delete;
  TContentDecoder& operator=(const TContentDecoder&) = delete;

  // False once the input is known to be bad (and from then on).
  bool Feed(const char* data, size_t length);
  // True when the input ended exactly at the end of a complete stream.
  bool Finish();

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// Decodes a whole body held in memory; out is untouched on failure. Identity
// copies; kUnsupported fails.
bool DecodeContent(TContentCoding coding, const char* data, size_t length, std::string* out,
                   size_t maxSize = kMaxInflatedSize);

// How far a file may inflate: kMaxInflateRatio times its encoded size, and never less
// than kMaxInflatedSize. Real files compress far less; a gzip bomb far more.
constexpr size_t kMaxInflateRatio = 100;
size_t InflateLimitFor(size_t encodedSize);

// Decodes the file source into destination (created or replaced). Returns 1 on
// success, 0 on failure; a failure (unreadable, truncated or corrupt source, write
// error, output beyond maxSize) leaves no destination file behind. maxSize 0:
// InflateLimitFor the source's size.
int DecodeContentFile(TContentCoding coding, const char* source, const char* destination,
                      size_t maxSize = 0);

// gzip-only forms of the above.
bool GunzipToString(const char* data, size_t length, std::string* out,
                    size_t maxSize = kMaxInflatedSize);

// The same as a zero-terminated heap text (allocated with malloc; the caller
// frees it with free), its length written to outLength; null on any failure.
char* GunzipBuffer(const char* data, size_t length, size_t* outLength);

int GunzipFile(const char* source, const char* destination, size_t maxSize = 0);

#endif
