// ExchangeToFile: bodies of any size streamed to a file, with progress and stop checks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/FakeHttpServer.h"
#include "net/THttpClient.h"
#include "net/THttpResponse.h"

namespace {

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string out(n, '\0');
  for (char& c : out) c = static_cast<char>(gen() & 0xff);
  return out;
}

class TempFile {
 public:
  TempFile() {
    char name[] = "/tmp/tesmo-download-XXXXXX";
    int fd = mkstemp(name);
    path_ = name;
    close(fd);
  }
  ~TempFile() { unlink(path_.c_str()); }
  const std::string& path() const { return path_; }
  std::string Read() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

 private:
  std::string path_;
};

struct Download {
  int result = 0;
  int status = 0;
  std::string header;
  std::string file;
  std::vector<int> progress;
};

Download Fetch(THttpBaseClient& client, int port, const std::string& path,
               std::function<bool()> stopped = nullptr) {
  Download d;
  TempFile file;
  FILE* f = std::fopen(file.path().c_str(), "wb");
  EXPECT_NE(f, nullptr);
  TTransferProgress progress;
  progress.report = [&d](int value) { d.progress.push_back(value); };
  progress.stopped = std::move(stopped);
  TServerRecord record{"127.0.0.1", port};
  d.result = client.ExchangeToFile(&record, path, f, &progress);
  std::fclose(f);
  d.file = file.Read();
  if (d.result > 0) {
    d.header.assign(client.GetBuffer(), static_cast<size_t>(client.GetReceivedLength()));
    THttpResponse response;
    if (response.Parse(d.header.c_str()) == 0) d.status = response.GetStatus();
  }
  return d;
}

void ExpectProgressEndsAt1000(const std::vector<int>& values) {
  ASSERT_FALSE(values.empty());
  EXPECT_EQ(values.back(), 1000);
  for (size_t i = 1; i < values.size(); ++i) EXPECT_GT(values[i], values[i - 1]);
  EXPECT_GE(values.front(), 0);
}

TEST(HttpDownload, BodyIsWrittenByteExactWithProgressTo1000) {
  const std::string big = RandomBytes(700000, 7);  // far over the reply buffer
  FakeHttpServer server;
  FakeReply length = FakeReply::Text(200, big, "application/octet-stream");
  length.writeSplits = {3000, 3001, 250000};
  server.Route("/length", length);
  FakeReply chunked = length;
  chunked.framing = FakeReply::Framing::kChunked;
  chunked.chunkSplits = {1, 10240, 10241, 300000};
  server.Route("/chunked", chunked);
  FakeReply toClose = length;
  toClose.framing = FakeReply::Framing::kClose;
  server.Route("/close", toClose);
  server.Route("/empty", FakeReply::Text(200, ""));
  FakeReply gz = FakeReply::Text(200, big);
  gz.gzip = true;
  server.Route("/gzip", gz);
  ASSERT_TRUE(server.Start());

  THttpClient client;
  struct Row {
    const char* path;
    std::string body;
  } rows[] = {{"/length", big},
              {"/chunked", big},
              {"/close", big},
              {"/empty", ""},
              {"/gzip", FakeReply::Gzip(big)}};  // stored as sent
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    Download d = Fetch(client, server.Port(), row.path);
    ASSERT_GT(d.result, 0);
    EXPECT_EQ(d.status, 200);
    EXPECT_EQ(d.file.size(), row.body.size());
    EXPECT_TRUE(d.file == row.body);
    ExpectProgressEndsAt1000(d.progress);
    // The buffer holds the header block only, zero-terminated.
    EXPECT_EQ(d.header.size(), static_cast<size_t>(d.result));
    EXPECT_EQ(d.header.substr(d.header.size() - 4), "\r\n\r\n");
    EXPECT_EQ(client.GetBuffer()[d.result], '\0');
  }
  // A known length reports along the way, not only at the end.
  Download d = Fetch(client, server.Port(), "/length");
  EXPECT_GT(d.progress.size(), 3u);
  EXPECT_NE(Fetch(client, server.Port(), "/gzip").header.find("Content-Encoding: gzip"),
            std::string::npos);
  // The request is a GET of the path with a Host line.
  const FakeRequest seen = server.LastRequest();
  EXPECT_EQ(seen.requestLine, "GET /gzip HTTP/1.1");
  EXPECT_EQ(seen.Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
}

TEST(HttpDownload, FollowsRedirectsAndWritesOnlyTheFinalBody) {
  const std::string body = RandomBytes(50000, 3);
  FakeHttpServer files;
  files.Route("/store/f.bin", FakeReply::Text(200, body));
  ASSERT_TRUE(files.Start());
  FakeHttpServer front;
  FakeReply redirect = FakeReply::Redirect(302, files.Url("/store/f.bin"));
  redirect.body = "this redirect page must not land in the file";
  front.Route("/f.bin", redirect);
  ASSERT_TRUE(front.Start());
  THttpClient client;
  Download d = Fetch(client, front.Port(), "/f.bin");
  ASSERT_GT(d.result, 0);
  EXPECT_EQ(d.status, 200);
  EXPECT_TRUE(d.file == body);
  EXPECT_EQ(files.LastRequest().Header("Host"), "127.0.0.1:" + std::to_string(files.Port()));
}

// A reply that is not the file hands its header back for the caller to judge; its
// body is neither written nor reported as progress.
TEST(HttpDownload, ErrorStatusIsLeftToTheCaller) {
  FakeHttpServer server;
  FakeReply chunked = FakeReply::Text(500, RandomBytes(30000, 13));
  chunked.framing = FakeReply::Framing::kChunked;
  chunked.chunkSplits = {100, 20000};
  server.Route("/chunked-500", chunked);
  FakeReply toClose = FakeReply::Text(503, "busy, try later");
  toClose.framing = FakeReply::Framing::kClose;
  server.Route("/close-503", toClose);
  FakeReply gz = FakeReply::Text(403, std::string(5000, 'f'));
  gz.gzip = true;
  server.Route("/gzip-403", gz);
  server.Route("/moved", FakeReply::Redirect(302, "no-scheme-no-host"));
  ASSERT_TRUE(server.Start());
  THttpClient client;
  const struct Row {
    const char* path;
    int status;
  } rows[] = {{"/missing", 404},
              {"/chunked-500", 500},
              {"/close-503", 503},
              {"/gzip-403", 403},
              {"/moved", 302}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    Download d = Fetch(client, server.Port(), row.path);
    ASSERT_GT(d.result, 0);
    EXPECT_EQ(d.status, row.status);
    EXPECT_EQ(d.file, "");
    EXPECT_TRUE(d.progress.empty()) << d.progress.size();
    EXPECT_EQ(d.header.substr(d.header.size() - 4), "\r\n\r\n");
  }
}

TEST(HttpDownload, FailuresReturnZero) {
  const std::string body = RandomBytes(100000, 5);
  FakeHttpServer server;
  FakeReply cut = FakeReply::Text(200, body);
  cut.closeAfter = 60000;
  server.Route("/cut", cut);
  FakeReply chunkCut = cut;
  chunkCut.framing = FakeReply::Framing::kChunked;
  chunkCut.chunkSplits = {50000};
  server.Route("/chunk-cut", chunkCut);
  server.Route("/bad-length", FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: x\r\n\r\nab"));
  server.Route("/two-lengths", FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"
                                              "Content-Length: 5\r\n\r\nhello"));
  server.Route("/bad-chunk",
               FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nq\r\n"));
  server.Route("/loop", FakeReply::Redirect(302, "/placeholder"));
  ASSERT_TRUE(server.Start());
  server.Route("/loop", FakeReply::Redirect(302, server.Url("/loop")));
  THttpClient client;
  for (const char* path :
       {"/cut", "/chunk-cut", "/bad-length", "/two-lengths", "/bad-chunk", "/loop"}) {
    SCOPED_TRACE(path);
    Download d = Fetch(client, server.Port(), path);
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(client.GetReceivedLength(), 0);
    if (!d.progress.empty()) {
      EXPECT_NE(d.progress.back(), 1000);
    }
  }
  TServerRecord record{"127.0.0.1", server.Port()};
  EXPECT_EQ(client.ExchangeToFile(&record, "/cut", nullptr, nullptr), 0);
  FILE* f = std::tmpfile();
  EXPECT_EQ(client.ExchangeToFile(nullptr, "/cut", f, nullptr), 0);
  EXPECT_EQ(client.ExchangeToFile(&record, "/a\r\nX: 1", f, nullptr), 0);
  std::fclose(f);
}

TEST(HttpDownload, StopCheckEndsTheDownload) {
  const std::string body = RandomBytes(400000, 9);
  FakeHttpServer server;
  FakeReply slow = FakeReply::Text(200, body);
  slow.pieceSize = 20000;
  slow.pauseMs = 20;
  server.Route("/slow", slow);
  ASSERT_TRUE(server.Start());
  THttpClient client;
  std::atomic<int> asked{0};
  Download d = Fetch(client, server.Port(), "/slow", [&asked] { return ++asked > 5; });
  EXPECT_EQ(d.result, 0);
  EXPECT_LT(d.file.size(), body.size());
  EXPECT_GT(asked.load(), 5);
}

TEST(HttpDownload, WriteFailureIsAFailure) {
  FakeHttpServer server;
  server.Route("/f", FakeReply::Text(200, RandomBytes(30000, 11)));
  ASSERT_TRUE(server.Start());
  FILE* full = std::fopen("/dev/full", "wb");
  if (!full) GTEST_SKIP() << "no /dev/full";
  THttpClient client;
  TServerRecord record{"127.0.0.1", server.Port()};
  EXPECT_EQ(client.ExchangeToFile(&record, "/f", full, nullptr), 0);
  std::fclose(full);
}

}  // namespace
