// HTTP replies as the client receives them: framing, chunks, redirects and the
// engine's reply decoding, over an in-memory transport that hands out the input in
// pieces whose size the first byte picks. Every connection (redirects open new ones)
// gets the same reply.
#include <cstdio>
#include <cstring>
#include <string>

#include "FuzzTarget.h"
#include "net/THttpBaseClient.h"
#include "net/THttpRequestService.h"
#include "net/THttpResponse.h"

namespace {

class MemoryClient : public THttpBaseClient {
 public:
  MemoryClient(const std::string& reply, size_t piece)
      : THttpBaseClient(kKindPlain), m_reply(reply), m_piece(piece) {}
  int Connect(const TServerRecord* server) override { return server ? Open() : -1; }
  int Connect(const std::string&, int) override { return Open(); }
  int Send(int, const char*, int length) override { return length; }
  int Recv(int, char* buffer, int length, int) override {
    const size_t n = std::min({m_piece, static_cast<size_t>(length), m_reply.size() - m_at});
    memcpy(buffer, m_reply.data() + m_at, n);
    m_at += n;
    return static_cast<int>(n);  // 0 at the end: the server closed
  }
  int WaitReadable(int, int) override { return 1; }
  void Disconnect(int) override {}

 private:
  int Open() {
    m_at = 0;
    return 3;
  }
  std::string m_reply;
  size_t m_piece;
  size_t m_at = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t piece = 1 + data[0] * 64;
  const std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
  TServerRecord server;
  server.host = "127.0.0.1";
  server.port = 80;

  MemoryClient client(reply, piece);
  const int received =
      client.Exchange(&server, THttpBaseClient::BuildGetRequest(&server, "/fuzz", ""));
  if (received > 0) {
    FUZZ_CHECK(received <= THttpBaseClient::kMaxReply);
    int status = 0;
    std::string body;
    THttpRequestService::DecodeReply(client.GetBuffer(), static_cast<size_t>(received), &status,
                                     &body);
  }

  MemoryClient download(reply, piece);
  FILE* sink = tmpfile();
  if (sink) {
    download.ExchangeToFile(&server, "/fuzz", sink, nullptr);
    fclose(sink);
  }

  THttpResponse response;
  response.Parse(reply.c_str(), static_cast<int>(std::min<size_t>(reply.size(), 1 << 16)));
  return 0;
}
