// What a loopback test server answers, and how it delivers it (framing, pieces,
// delays, early close).
#ifndef TESMO_TESTS_FAKES_FAKEREPLY_H
#define TESMO_TESTS_FAKES_FAKEREPLY_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

struct FakeReply {
  enum class Framing {
    kLength,   // "Content-Length" (unless headers already hold one, e.g. a lying one)
    kChunked,  // "Transfer-Encoding: chunked", chunks cut at chunkSplits
    kClose,    // no length: the body ends when the server closes
  };

  int status = 200;
  std::string reason;                                        // "" = the usual phrase of the status
  std::vector<std::pair<std::string, std::string>> headers;  // written in this order
  std::string body;
  bool gzip = false;  // send the body gzip-compressed, with "Content-Encoding: gzip"
  Framing framing = Framing::kLength;
  std::vector<size_t> chunkSplits;  // offsets into the (encoded) body where chunks end
  std::string raw;                  // when not empty: sent as is, instead of all the above

  // Delivery.
  int delayMs = 0;                  // wait before the first byte
  bool stall = false;               // never answer; hold the connection until the client goes
  std::vector<size_t> writeSplits;  // offsets into the wire bytes where sending pauses
  size_t pieceSize = 0;             // > 0: send pieces of this many bytes, pausing between
  int pauseMs = 20;                 // the pause between pieces
  long closeAfter = -1;             // >= 0: send only this many wire bytes, then close
  bool holdOpen = false;            // after the reply, keep the connection until the client goes

  static FakeReply Text(int status, const std::string& body,
                        const std::string& contentType = "text/plain");
  static FakeReply Json(const std::string& body, int status = 200);
  static FakeReply Redirect(int status, const std::string& location);
  static FakeReply Raw(const std::string& wire);
  FakeReply& Header(const std::string& name, const std::string& value);

  // The bytes put on the wire.
  std::string Wire() const;
  // gzip member of data: a 10-byte header without time stamp (1f 8b 08 00 0 0 0 0 00 03),
  // raw deflate, CRC-32 and length.
  static std::string Gzip(const std::string& data);
  // Standard reason phrase of a status, "Unknown" for others.
  static const char* Phrase(int status);
};

#endif
