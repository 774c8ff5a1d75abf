// The download exchange: the body goes to a file exactly as sent, with the gzip flag
// and the result codes of the file download.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>

#include "ServiceTestSupport.h"
#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpBaseClient.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ServiceDownloadTest, DownloadExchangeTable) {
  CallbackRecorder::Get().Clear();
  const std::string content(50000, 'd');
  FakeHttpServer server;
  server.Route("/plain.bin", FakeReply::Text(200, content, "application/octet-stream"));
  FakeReply gz = FakeReply::Text(200, content);
  gz.gzip = true;
  server.Route("/packed.bin", gz);
  server.Route("/named.bin", FakeReply::Text(200, "xy").Header("X-Name", "a.gzip"));
  server.Route("/deflated.bin", FakeReply::Text(200, "zz").Header("Content-Encoding", "deflate"));
  server.Route("/garbled.bin", FakeReply::Raw("HTTP/1.1 two hundred\r\nX: y\r\n\r\nbody"));
  server.Route("/headless.bin", FakeReply::Raw("no header block at all"));
  ASSERT_TRUE(server.Start());
  FakeHttpServer closed;
  ASSERT_TRUE(closed.Start());
  const std::string closedUrl = closed.Url("/x");
  closed.Stop();

  char dir[] = "/tmp/tesmo-download-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/out.bak";

  // The executor stands in for the file download: it opens the file and runs the
  // exchange on its worker's slot; s4 reports the gzip flag and the last progress.
  const int kDownload = _REQUEST_HTTP_DOWNFILE;
  auto download = [&](THttpRequestService& service, TAPIPacket* p) {
    FILE* out = fopen(file.c_str(), "wb");
    if (!out) return -5;
    std::atomic<int> last{-1};
    TTransferProgress progress;
    progress.report = [&](int perMille) { last = perMille; };
    TContentCoding coding = TContentCoding::kUnsupported;
    int result = service.DownloadExchange(p, p->s1, out, &progress, &coding);
    fclose(out);
    p->s4 = std::to_string(static_cast<int>(coding)) + " " + std::to_string(last.load());
    return result;
  };

  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  TEngineCore::Instance()->SetHttpServer("127.0.0.1:" + std::to_string(server.Port()));
  TEngineCore::Instance()->GetRequestService()->RegisterExecutor(kDownload, download);
  api.Run();

  struct Row {
    const char* name;
    std::string url;
    int result;
    const char* flags;  // content coding (0 identity, 1 gzip, 2 deflate) and last progress
    std::string fileContent;
  };
  const Row rows[] = {
      {"plain body", server.Url("/plain.bin"), 0, "0 1000", content},
      {"gzip body kept as sent", server.Url("/packed.bin"), 0, "1 1000", FakeReply::Gzip(content)},
      {"gzip named elsewhere", server.Url("/named.bin"), 0, "0 1000", "xy"},
      {"path on the HTTP server", "/plain.bin", 0, "0 1000", content},
      {"deflate kept as sent", server.Url("/deflated.bin"), 0, "2 1000", "zz"},
      {"header that does not parse", server.Url("/garbled.bin"), 4, "", ""},
      {"bytes without a header block", server.Url("/headless.bin"), 4, "", ""},
      {"https without TLS sends nothing",
       "https://127.0.0.1:" + std::to_string(server.Port()) + "/secret.bin", 2, "", ""},
      {"404", server.Url("/none.bin"), 5, "", ""},
      {"refused", closedUrl, 2, "", ""},
      {"empty URL", "", 2, "", ""},
  };
  int id = 0;
  for (const Row& row : rows) {
    api.DownloadFile(++id, row.url.c_str(), file.c_str(), 1);
    auto r = CallbackRecorder::Get().WaitFor(kDownload, id);
    ASSERT_TRUE(r) << row.name;
    EXPECT_EQ(r->a, row.result) << row.name;
    if (row.result == 0) {
      EXPECT_EQ(r->text, row.flags) << row.name;
      EXPECT_TRUE(ReadFile(file) == row.fileContent) << row.name;
    } else {
      EXPECT_EQ(r->text.substr(0, 2), "0 ") << row.name;  // never flagged encoded
    }
  }
  for (const FakeRequest& request : server.Requests())
    EXPECT_EQ(request.path.find("/secret.bin"), std::string::npos);
  api.Release();
  unlink(file.c_str());
  rmdir(dir);
}

}  // namespace
