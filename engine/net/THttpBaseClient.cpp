#include "net/THttpBaseClient.h"

#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "base/TStopFlag.h"
#include "net/THttpChunkDecoder.h"
#include "net/THttpResponse.h"
#include "net/TNetContext.h"
#include "net/TProgressMeter.h"
#include "net/TUrlCodec.h"
#include "platform/clock.h"
#include "util/TTextUtil.h"

namespace {

// Interim 1xx replies skipped before the final one.
constexpr int kMaxInterimReplies = 8;
constexpr int kPerMille = 1000;

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

std::string HostLine(const TServerRecord& server, bool omit443) {
  std::string host = server.host;
  if (host.find(':') != std::string::npos) host = "[" + host + "]";
  std::string line = "Host: " + host;
  if (server.port != 80 && !(omit443 && server.port == 443)) {
    line += ":" + std::to_string(server.port);
  }
  return line + "\r\n";
}

std::string CoreToken() {
  TNetContext* core = TNetContext::Instance();
  return core ? core->GetToken() : std::string();
}

// End of the header block (behind its CR LF CR LF) within the first kMaxHeaderBlock
// bytes, or -1.
int FindHeaderEnd(const char* buffer, int used) {
  const int limit = std::min(used, THttpBaseClient::kMaxHeaderBlock);
  for (int i = 0; i + 4 <= limit; ++i) {
    if (std::memcmp(buffer + i, "\r\n\r\n", 4) == 0) return i + 4;
  }
  return -1;
}

// What a Transfer-Encoding header leaves to read. Only chunked framing is undone
// here; any other coding (gzip, compress, ...) would hand its raw bytes on as the
// body, so such a reply is refused. "identity" changes nothing.
enum class TransferCoding { kNone, kChunked, kRefused };

TransferCoding ReadTransferCoding(const std::string& value) {
  std::vector<std::string> codings;
  SplitString(value, ',', codings);
  bool chunked = false;
  for (const std::string& raw : codings) {
    const std::string coding = Trim(raw);
    if (coding.empty() || strcasecmp(coding.c_str(), "identity") == 0) continue;
    // Chunked must be the last coding and be applied once.
    if (chunked || strcasecmp(coding.c_str(), "chunked") != 0) return TransferCoding::kRefused;
    chunked = true;
  }
  return chunked ? TransferCoding::kChunked : TransferCoding::kNone;
}

bool ParseContentLength(const std::string& text, int64_t& length) {
  std::string value = Trim(text);
  if (value.empty() || value.size() > 18) return false;
  int64_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  length = n;
  return true;
}

// The body length the reply's Content-Length headers give. False when a value does not
// parse or two of them differ: which one the peer meant cannot be told, and taking the
// first would hand a cut body on as complete.
bool ReplyContentLength(const THttpResponse& response, bool& present, int64_t& length) {
  present = false;
  for (const THttpMsg::Header& header : response.Headers()) {
    if (strcasecmp(header.name.c_str(), "Content-Length") != 0) continue;
    int64_t value = 0;
    if (!ParseContentLength(header.value, value)) return false;
    if (present && value != length) return false;
    present = true;
    length = value;
  }
  return true;
}

// Per-mille progress of a download, reported each time the value changes.
class ProgressMeter {
 public:
  explicit ProgressMeter(const TTransferProgress* progress) : m_progress(progress) {}
  void Update(int64_t written, int64_t total) {
    if (total > 0) Report(TProgressMeter::PerMille(written, total));
  }
  void Finish() { Report(kPerMille); }

 private:
  void Report(int value) {
    if (value == m_last) return;
    m_last = value;
    if (m_progress && m_progress->report) m_progress->report(value);
  }
  const TTransferProgress* m_progress;
  int m_last = -1;
};

}  // namespace

struct THttpBaseClient::Framing {
  // kRaw: no usable header block (the peer closed before its end, or it did not parse);
  // the bytes in hand are the reply, for the caller to judge.
  enum Kind { kNoBody, kLength, kChunked, kUntilClose, kRaw };
  int headerLength = 0;
  int status = 0;
  Kind kind = kNoBody;
  int64_t length = 0;
};

THttpBaseClient::THttpBaseClient(int kind) : m_buffer(new char[kBufferSize]), m_kind(kind) {
  m_buffer[0] = '\0';
}

THttpBaseClient::~THttpBaseClient() = default;

int THttpBaseClient::Connect(const TServerRecord*) { return -1; }
int THttpBaseClient::Connect(const std::string&, int) { return -1; }
int THttpBaseClient::Send(int, const char*, int) { return 0; }
int THttpBaseClient::Recv(int, char*, int, int) { return -1; }
int THttpBaseClient::WaitReadable(int, int) { return 0; }

void THttpBaseClient::Disconnect(int sock) {
  if (sock >= 0) close(sock);
}

bool THttpBaseClient::NetworkAllows(const std::string& host) {
  if (IsLoopbackHost(host)) return true;
  TNetContext* core = TNetContext::Instance();
  return !core || core->IsNetworkUp() != 0;
}

std::string THttpBaseClient::BuildGetRequest(const TServerRecord* server, const std::string& path) {
  return BuildGetRequest(server, path, CoreToken());
}

std::string THttpBaseClient::BuildGetRequest(const TServerRecord* server, const std::string& path,
                                             const std::string& token) {
  if (path.empty() || HasLineBreak(path) || HasLineBreak(token) ||
      (server && HasLineBreak(server->host))) {
    return std::string();
  }
  std::string text = "GET " + path + " HTTP/1.1\r\n";
  text += "Accept: */*\r\n";
  text += "Accept-Language: zh-cn\r\n";
  text += "User-Agent: Mozilla/4.0\r\n";
  if (!token.empty()) text += "TS-IM-TOKEN: " + token + "\r\n";
  text += "Connection: Keep-Alive\r\n";
  text += "Accept-Encoding: gzip,deflate\r\n";
  if (server) text += HostLine(*server, true);
  text += "Content-Length: 0\r\n";
  text += "\r\n";
  return text;
}

std::string THttpBaseClient::BuildPostRequest(const TServerRecord* server, const std::string& path,
                                              const std::string& contentType,
                                              const std::string& body) {
  return BuildPostRequest(server, path, contentType, body, CoreToken());
}

std::string THttpBaseClient::BuildPostRequest(const TServerRecord* server, const std::string& path,
                                              const std::string& contentType,
                                              const std::string& body, const std::string& token) {
  if (path.empty() || HasLineBreak(path) || HasLineBreak(token) || HasLineBreak(contentType) ||
      (server && HasLineBreak(server->host))) {
    return std::string();
  }
  std::string text = "POST " + path + " HTTP/1.1\r\n";
  text += "Accept:  */*\r\n";
  text += "Accept-Language: zh-cn\r\n";
  text += "User-Agent: NavroClient/1.0\r\n";
  text += "Connection: Keep-Alive\r\n";
  if (!token.empty()) text += "TS-IM-TOKEN: " + token + "\r\n";
  text += "Content-Type: " + contentType + "\r\n";
  text += "Accept-Encoding: gzip,deflate\r\n";
  if (server) text += HostLine(*server, false);
  text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  text += "\r\n";
  return text + body;
}

std::string THttpBaseClient::RetargetRequest(const std::string& request,
                                             const TServerRecord& server, const std::string& path) {
  if (path.empty() || HasLineBreak(path) || HasLineBreak(server.host)) return std::string();
  const size_t lineEnd = request.find("\r\n");
  const size_t headEnd = request.find("\r\n\r\n");
  if (lineEnd == std::string::npos || headEnd == std::string::npos) return std::string();
  const std::string line = request.substr(0, lineEnd);
  const size_t firstBlank = line.find(' ');
  const size_t lastBlank = line.rfind(' ');
  if (firstBlank == std::string::npos || lastBlank <= firstBlank) return std::string();
  const std::string method = line.substr(0, firstBlank);

  std::string out = method + " " + path + line.substr(lastBlank) + "\r\n";
  const std::string hostLine = HostLine(server, method == "GET");
  bool hostWritten = false;
  size_t pos = lineEnd + 2;
  while (pos < headEnd + 2) {
    size_t next = request.find("\r\n", pos) + 2;
    std::string header = request.substr(pos, next - pos);
    if (strncasecmp(header.c_str(), "Host:", 5) == 0) {
      if (!hostWritten) out += hostLine;
      hostWritten = true;
    } else {
      out += header;
    }
    pos = next;
  }
  if (!hostWritten) out += hostLine;
  out += "\r\n";
  return out + request.substr(headEnd + 4);
}

THttpChunkDecoder::Reader THttpBaseClient::ChunkReader(int sock,
                                                       const TTransferProgress* progress) {
  return [this, sock, progress](char* dst, int maxLength) {
    return ReadSome(sock, dst, maxLength, progress);
  };
}

void THttpBaseClient::ResetReply() {
  m_buffer[0] = '\0';
  m_receivedLength = 0;
}

int THttpBaseClient::ReadSome(int sock, char* dst, int maxLength,
                              const TTransferProgress* progress) {
  const uint64_t idleMs = static_cast<uint64_t>(m_idleSeconds) * 1000u;
  const uint64_t since = tesmo::TickCountMs();
  for (;;) {
    if (IsEngineStopping()) return -1;
    if (progress && progress->stopped && progress->stopped()) return -1;
    const uint64_t now = tesmo::TickCountMs();
    if (now - since >= idleMs) return -1;
    if (m_deadlineAt != 0 && now >= m_deadlineAt) return -1;
    if (!WaitReadable(sock, 1)) continue;
    m_readAgain = 0;
    int n = Recv(sock, dst, maxLength, 0);
    if (n > 0) return n;
    if (m_readAgain) continue;
    return n == 0 ? 0 : -1;
  }
}

bool THttpBaseClient::ReceiveHeader(int sock, int& used, Framing& framing,
                                    const TTransferProgress* progress) {
  char* buffer = m_buffer.get();
  used = 0;
  int interim = 0;
  for (;;) {
    const int end = FindHeaderEnd(buffer, used);
    if (end < 0) {
      if (used >= kMaxHeaderBlock) return false;
      int n = ReadSome(sock, buffer + used, std::min(kReadChunk, kMaxReply - used), progress);
      if (n == 0 && used > 0) {
        framing = Framing();
        framing.kind = Framing::kRaw;
        return true;
      }
      if (n <= 0) return false;
      used += n;
      continue;
    }
    THttpResponse response;
    if (response.Parse(buffer, end) != 0) {
      framing = Framing();
      framing.kind = Framing::kRaw;
      return true;
    }
    const int status = response.GetStatus();
    if (status >= 100 && status < 200 && status != 101) {
      // An interim reply ("100 Continue"): the final one follows on the same stream.
      if (++interim > kMaxInterimReplies) return false;
      std::memmove(buffer, buffer + end, static_cast<size_t>(used - end));
      used -= end;
      continue;
    }
    framing = Framing();
    framing.headerLength = end;
    framing.status = status;
    const char* transferEncoding = response.GetHeader("Transfer-Encoding");
    const TransferCoding coding =
        transferEncoding ? ReadTransferCoding(transferEncoding) : TransferCoding::kNone;
    bool hasLength = false;
    int64_t length = 0;
    if (!ReplyContentLength(response, hasLength, length)) return false;
    if (status == 101 || status == 204 || status == 304) {
      framing.kind = Framing::kNoBody;
    } else if (coding == TransferCoding::kRefused) {
      return false;
    } else if (coding == TransferCoding::kChunked) {
      framing.kind = Framing::kChunked;
    } else if (hasLength) {
      framing.length = length;
      framing.kind = Framing::kLength;
    } else {
      framing.kind = Framing::kUntilClose;
    }
    return true;
  }
}

int THttpBaseClient::ReceiveReply(int sock, int& headerLength) {
  char* buffer = m_buffer.get();
  Framing framing;
  int used = 0;
  if (!ReceiveHeader(sock, used, framing, nullptr)) return 0;
  headerLength = framing.headerLength;
  int total = 0;
  switch (framing.kind) {
    case Framing::kNoBody:
      total = framing.headerLength;
      break;
    case Framing::kRaw:
      total = used;
      break;
    case Framing::kLength: {
      if (framing.length > kMaxReply - framing.headerLength) return 0;
      total = framing.headerLength + static_cast<int>(framing.length);
      while (used < total) {
        int n = ReadSome(sock, buffer + used, std::min(kReadChunk, total - used), nullptr);
        if (n <= 0) return 0;
        used += n;
      }
      break;
    }
    case Framing::kChunked: {
      THttpChunkDecoder decoder(buffer, kMaxReply, framing.headerLength, used, kReadChunk,
                                ChunkReader(sock, nullptr), nullptr);
      if (!decoder.Run()) return 0;
      total = decoder.BodyEnd();
      break;
    }
    case Framing::kUntilClose:
      for (;;) {
        if (used == kMaxReply) {
          // Full: the reply fits only when the peer has nothing more to send.
          char probe[1];
          if (ReadSome(sock, probe, 1, nullptr) != 0) return 0;
          break;
        }
        int n = ReadSome(sock, buffer + used, std::min(kReadChunk, kMaxReply - used), nullptr);
        if (n == 0) break;
        if (n < 0) return 0;
        used += n;
      }
      total = used;
      break;
  }
  buffer[total] = '\0';
  m_receivedLength = total;
  return total;
}

bool THttpBaseClient::StreamBody(int sock, int used, const Framing& framing, FILE* file,
                                 const TTransferProgress* progress) {
  char* buffer = m_buffer.get();
  char* body = buffer + framing.headerLength;
  ProgressMeter meter(progress);
  auto write = [file](const char* data, size_t count) {
    return count == 0 || std::fwrite(data, 1, count, file) == count;
  };
  switch (framing.kind) {
    case Framing::kNoBody:
    case Framing::kRaw:
      break;
    case Framing::kLength: {
      const int64_t total = framing.length;
      int64_t written = std::min<int64_t>(used - framing.headerLength, total);
      if (!write(body, static_cast<size_t>(written))) return false;
      meter.Update(written, total);
      while (written < total) {
        int want = static_cast<int>(std::min<int64_t>(kReadChunk, total - written));
        int n = ReadSome(sock, body, want, progress);
        if (n <= 0 || !write(body, static_cast<size_t>(n))) return false;
        written += n;
        meter.Update(written, total);
      }
      break;
    }
    case Framing::kChunked: {
      THttpChunkDecoder decoder(buffer, kMaxReply, framing.headerLength, used, kReadChunk,
                                ChunkReader(sock, progress), file);
      if (!decoder.Run()) return false;
      break;
    }
    case Framing::kUntilClose: {
      if (!write(body, static_cast<size_t>(used - framing.headerLength))) return false;
      for (;;) {
        int n = ReadSome(sock, body, kReadChunk, progress);
        if (n == 0) break;
        if (n < 0 || !write(body, static_cast<size_t>(n))) return false;
      }
      break;
    }
  }
  if (std::fflush(file) != 0) return false;
  meter.Finish();
  return true;
}

bool THttpBaseClient::RedirectTarget(int headerLength, TServerRecord& server,
                                     std::string& path) const {
  if (headerLength <= 0) return false;  // only a parsed header can redirect
  THttpResponse response;
  if (response.Parse(m_buffer.get(), headerLength) != 0) return false;
  const int status = response.GetStatus();
  if (status != 301 && status != 302) return false;
  const char* location = response.GetHeader("Location");
  if (!location) return false;
  std::string url = location;
  // A scheme-relative location keeps the scheme; the transport stays too, so a
  // redirect across schemes (a downgrade above all) ends the exchange here.
  if (url.compare(0, 2, "//") == 0) url.insert(0, m_kind == kKindTls ? "https:" : "http:");
  if (IsHttpsUrl(url) != (m_kind == kKindTls)) return false;
  std::string host;
  int port = 0;
  std::string newPath = SplitUrl(url, host, port);
  if (host.empty() || newPath.empty()) return false;
  server.host = host;
  server.port = port;
  path = newPath;
  return true;
}

int THttpBaseClient::Exchange(const TServerRecord* server, const std::string& request) {
  ResetReply();
  if (!server) return 0;
  TServerRecord target = *server;
  std::string text = request;
  // One deadline for the request, whatever number of redirects it takes.
  const uint64_t deadline = tesmo::TickCountMs() + static_cast<uint64_t>(m_replyDeadlineMs);
  for (int hop = 0; hop < kMaxHops; ++hop) {
    if (IsEngineStopping() || text.find("\r\n\r\n") == std::string::npos) break;
    if (tesmo::TickCountMs() >= deadline) break;
    const int sock = Connect(&target);
    if (sock < 0) break;
    int got = 0;
    int headerLength = 0;
    if (Send(sock, text.data(), static_cast<int>(text.size())) == static_cast<int>(text.size())) {
      m_deadlineAt = deadline;
      got = ReceiveReply(sock, headerLength);
      m_deadlineAt = 0;
    }
    Disconnect(sock);
    if (got <= 0) break;
    TServerRecord next;
    std::string nextPath;
    if (!RedirectTarget(headerLength, next, nextPath)) return got;
    std::string retargeted = RetargetRequest(text, next, nextPath);
    if (retargeted.empty()) return got;
    text = retargeted;
    target = next;
  }
  // A failed later hop must not leave the previous hop's redirect reply behind.
  ResetReply();
  return 0;
}

int THttpBaseClient::ExchangeToFile(const TServerRecord* server, const std::string& path,
                                    FILE* file, const TTransferProgress* progress) {
  ResetReply();
  if (!server || !file) return 0;
  TServerRecord target = *server;
  std::string targetPath = path;
  // The header blocks of all hops share one deadline.
  const uint64_t deadline = tesmo::TickCountMs() + static_cast<uint64_t>(m_replyDeadlineMs);
  for (int hop = 0; hop < kMaxHops; ++hop) {
    if (IsEngineStopping() || tesmo::TickCountMs() >= deadline) break;
    const std::string request = BuildGetRequest(&target, targetPath);
    if (request.empty()) return 0;
    const int sock = Connect(&target);
    if (sock < 0) return 0;
    Framing framing;
    int used = 0;
    bool ok = Send(sock, request.data(), static_cast<int>(request.size())) ==
              static_cast<int>(request.size());
    if (ok) {
      // The header block is held in memory too; the body that follows may take as
      // long as it keeps coming.
      m_deadlineAt = deadline;
      ok = ReceiveHeader(sock, used, framing, progress);
      m_deadlineAt = 0;
    }
    if (ok && framing.kind == Framing::kRaw) {
      // Bytes came back but no header block that parses: nothing is written, and
      // the caller can tell this from a reply that never came.
      Disconnect(sock);
      m_buffer[used] = '\0';
      m_receivedLength = used;
      return kUnparsableReply;
    }
    TServerRecord next;
    std::string nextPath;
    if (ok && RedirectTarget(framing.headerLength, next, nextPath)) {
      Disconnect(sock);
      target = next;
      targetPath = nextPath;
      continue;
    }
    if (ok && (framing.status < 200 || framing.status > 299)) {
      // Not the file (an error page, a redirect that cannot be followed): its body is
      // neither written nor counted as progress. The header tells the caller why.
      Disconnect(sock);
      m_buffer[framing.headerLength] = '\0';
      m_receivedLength = framing.headerLength;
      return framing.headerLength;
    }
    ok = ok && StreamBody(sock, used, framing, file, progress);
    Disconnect(sock);
    if (!ok) {
      ResetReply();
      return 0;
    }
    m_buffer[framing.headerLength] = '\0';
    m_receivedLength = framing.headerLength;
    return framing.headerLength;
  }
  ResetReply();
  return 0;
}
