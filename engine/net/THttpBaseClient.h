// The engine's HTTP/1.1 client: writes the request texts, sends one request per
// connection, and receives the reply into a fixed buffer (Exchange) or streams its
// body into a file (ExchangeToFile), following 301/302 redirects. Sockets are the
// subclasses' business: THttpClient (plain TCP) and THttpsClient (TLS) supply the
// connect, send, receive and wait operations. A client is used by one thread at a time.
#ifndef TESMO_NET_THTTPBASECLIENT_H
#define TESMO_NET_THTTPBASECLIENT_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "net/THttpChunkDecoder.h"

// Where a request goes.
struct TServerRecord {
  std::string host;
  int port = 0;
};

// How ExchangeToFile reports a download's progress and learns that it was cancelled.
// Both members may be empty.
//  - report(perMille): the share of the body written so far, 0-1000, called each time
//    the value changes. With a known Content-Length it follows the bytes written; a
//    body of unknown length reports only at its end. A successful download always ends
//    with report(1000). Runs on the downloading thread, between reads.
//  - stopped(): asked before every read; true ends the download as a failure.
// The request service turns report into event 100003 for the transfer's dialog id and
// stopped into its check of the transfer stop set.
struct TTransferProgress {
  std::function<void(int perMille)> report;
  std::function<bool()> stopped;
};

class THttpBaseClient {
 public:
  static constexpr int kKindPlain = 0;
  static constexpr int kKindTls = 1;
  static constexpr int kBufferSize = 204800;
  // Header and body of a reply together; longer replies fail, never truncate.
  static constexpr int kMaxReply = kBufferSize - 1;
  // Bytes asked of the transport per read.
  static constexpr int kReadChunk = 10240;
  // The header block, up to and including its CR LF CR LF.
  static constexpr int kMaxHeaderBlock = 1023;
  // Connections per exchange, redirects included.
  static constexpr int kMaxHops = 10;
  // ExchangeToFile: a reply came back whose header block does not parse.
  static constexpr int kUnparsableReply = -1;
  static constexpr int kDefaultIdleSeconds = 30;
  // A reply held in memory must be complete this long after its request went out,
  // however steadily it trickles in: a minute is plenty for kMaxReply bytes.
  static constexpr int kDefaultReplyDeadlineMs = 60000;

  explicit THttpBaseClient(int kind);
  virtual ~THttpBaseClient();
  THttpBaseClient(const THttpBaseClient&) = delete;
  THttpBaseClient& operator=(const THttpBaseClient&) = delete;

  // Transport operations. Sockets are descriptors: -1 means none (0 is a valid one).
  // Connect to a server record (nullptr: failure) or to host and port; -1 on failure.
  virtual int Connect(const TServerRecord* server);
  virtual int Connect(const std::string& host, int port);
  // Bytes sent (all of them), 0 on failure.
  virtual int Send(int sock, const char* data, int length);
  // Bytes read (> 0); 0 when the peer closed the stream in order; < 0 on failure, or
  // when nothing could be read yet, in which case the read-again flag is set.
  virtual int Recv(int sock, char* buffer, int length, int flags);
  // Non-zero when data (or the end of the stream) can be read within seconds.
  virtual int WaitReadable(int sock, int seconds);
  // Ends the connection and closes the socket.
  virtual void Disconnect(int sock);

  // Request texts. The engine core's token, when there is one, goes into the
  // "TS-IM-TOKEN" line. A path or header value holding CR or LF is refused: the
  // result is then "", which Exchange rejects.
  static std::string BuildGetRequest(const TServerRecord* server, const std::string& path);
  static std::string BuildGetRequest(const TServerRecord* server, const std::string& path,
                                     const std::string& token);
  static std::string BuildPostRequest(const TServerRecord* server, const std::string& path,
                                      const std::string& contentType, const std::string& body);
  static std::string BuildPostRequest(const TServerRecord* server, const std::string& path,
                                      const std::string& contentType, const std::string& body,
                                      const std::string& token);
  // The request text for another location: the request line's target and the Host
  // line replaced, everything else (a POST's body included) kept. "" when the text is
  // not a request or the new values hold CR or LF.
  static std::string RetargetRequest(const std::string& request, const TServerRecord& server,
                                     const std::string& path);

  // Sends request (a complete request text) and receives the reply into the buffer,
  // following up to nine 301/302 redirects. The reply's length (header and body, the
  // body de-chunked and zero-terminated behind it), or 0 on failure: no server, no
  // connection, a text without CR LF CR LF, send failure, engine stop, idle time-out, a
  // reply not complete within the reply deadline, a reply over kMaxReply, a header
  // over kMaxHeaderBlock, malformed framing (Content-Length values that differ
  // included), or too many redirects. A reply whose peer closed before the header block ended, or whose
  // header block does not parse, is handed back as received (zero-terminated) for the
  // caller to judge; it is never followed as a redirect.
  int Exchange(const TServerRecord* server, const std::string& request);
  // GETs path into file (the body exactly as sent), following redirects. The reply's
  // header block is left in the buffer, zero-terminated, for the caller to read the
  // status, and its length is returned; 0 on failure (including stop and write
  // errors), kUnparsableReply when bytes came back without a header block that parses
  // (they stay in the buffer). Only a 2xx reply's body is written and reported as
  // progress; any other final status returns its header block at once, the file
  // untouched. progress may be nullptr.
  int ExchangeToFile(const TServerRecord* server, const std::string& path, FILE* file,
                     const TTransferProgress* progress);

  char* GetBuffer() { return m_buffer.get(); }
  int GetReceivedLength() const { return m_receivedLength; }
  int GetKind() const { return m_kind; }
  int GetIdleTimeout() const { return m_idleSeconds; }
  void SetIdleTimeout(int seconds) { m_idleSeconds = seconds > 0 ? seconds : 1; }
  int GetReplyDeadline() const { return m_replyDeadlineMs; }
  void SetReplyDeadline(int ms) { m_replyDeadlineMs = ms > 0 ? ms : 1; }
  // Seconds a connection attempt may take; 0 leaves it to the transport.
  int GetConnectTimeout() const { return m_connectSeconds; }
  void SetConnectTimeout(int seconds) { m_connectSeconds = seconds > 0 ? seconds : 0; }

  // Whether a connection to host may be tried: loopback hosts always, others when the
  // engine core sees the network up (no engine core: always).
  static bool NetworkAllows(const std::string& host);

 protected:
  // Set by Recv when a read ended only because more data must arrive first.
  int m_readAgain = 0;

 private:
  struct Framing;

  void ResetReply();
  // One read into dst under the idle, deadline and stop rules: > 0 bytes, 0 peer
  // closed, -1 failed.
  int ReadSome(int sock, char* dst, int maxLength, const TTransferProgress* progress);
  THttpChunkDecoder::Reader ChunkReader(int sock, const TTransferProgress* progress);
  // Reads until the buffer's first used bytes hold a complete final header block
  // (interim 1xx replies are dropped). Fills framing; false on failure. Bytes without
  // a usable header block (peer closed early, header not parsed) give kind kRaw.
  bool ReceiveHeader(int sock, int& used, Framing& framing, const TTransferProgress* progress);
  int ReceiveReply(int sock, int& headerLength);
  bool StreamBody(int sock, int used, const Framing& framing, FILE* file,
                  const TTransferProgress* progress);
  // The next hop of a redirect reply in the buffer, when it has a usable Location.
  bool RedirectTarget(int headerLength, TServerRecord& server, std::string& path) const;

  std::unique_ptr<char[]> m_buffer;
  int m_receivedLength = 0;
  int m_kind;
  int m_idleSeconds = kDefaultIdleSeconds;
  int m_replyDeadlineMs = kDefaultReplyDeadlineMs;
  // Tick count by which the reply being read must be complete; 0: none (a body that
  // streams to a file may take as long as it keeps coming).
  uint64_t m_deadlineAt = 0;
  int m_connectSeconds = 0;
};

#endif
