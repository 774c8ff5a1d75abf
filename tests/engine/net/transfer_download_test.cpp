// Downloads through the facade from the loopback HTTP server: the file on disk, the
// old file on every failure, no temporary file left behind, and progress.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeFileStore.h"
#include "fakes/FakeHttpServer.h"
#include "net/TTransferStopSet.h"
#include "transfer_test_env.h"

using transfer_test::EngineEnv;
using transfer_test::ExpectProgressRisesTo1000;
using transfer_test::FileExists;
using transfer_test::PatternBytes;
using transfer_test::ReadFile;
using transfer_test::TempDir;
using transfer_test::WriteFile;

namespace {

const char kOld[] = "the old file, kept on failure";

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Start()); }

  RecordedReport Download(int id, const std::string& url, const std::string& path, int flag) {
    EXPECT_EQ(env.Api().DownloadFile(id, url.c_str(), path.c_str(), flag), id);
    RecordedReport reply = env.WaitReply(_REQUEST_HTTP_DOWNFILE, id);
    EXPECT_EQ(CallbackRecorder::Get().Count(_REQUEST_HTTP_DOWNFILE, id), 1u);
    return reply;
  }

  EngineEnv env;
  TempDir dir;
  FakeHttpServer server;
};

FakeReply GzipClaimed(const std::string& body) {
  FakeReply r = FakeReply::Text(200, "", "application/octet-stream");
  r.body = body;
  r.Header("Content-Encoding", "gzip");
  return r;
}

// Bodies that arrive whole replace the old file byte for byte; gzip bodies are
// unpacked. Only the target remains in the folder.
TEST_F(DownloadTest, SuccessTable) {
  struct Row {
    const char* what;
    std::string content;
    bool gzip;
    FakeReply::Framing framing;
    bool oldFile;
  };
  const Row rows[] = {
      {"one byte", "x", false, FakeReply::Framing::kLength, true},
      {"one read", PatternBytes(10240, 1), false, FakeReply::Framing::kLength, true},
      {"larger than the reply buffer", PatternBytes(300000, 2), false, FakeReply::Framing::kLength,
       false},
      {"two megabytes", PatternBytes(2 << 20, 3), false, FakeReply::Framing::kLength, true},
      {"chunked", PatternBytes(50000, 4), false, FakeReply::Framing::kChunked, true},
      {"empty body", "", false, FakeReply::Framing::kLength, true},
      {"gzip", PatternBytes(123456, 5), true, FakeReply::Framing::kLength, true},
      {"gzip of text", std::string(500000, 'a'), true, FakeReply::Framing::kLength, false},
      {"gzip chunked", PatternBytes(70000, 6), true, FakeReply::Framing::kChunked, true},
  };
  int id = 300;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeReply reply = FakeReply::Text(200, row.content, "application/octet-stream");
    reply.gzip = row.gzip;
    reply.framing = row.framing;
    if (row.framing == FakeReply::Framing::kChunked) reply.chunkSplits = {1, 4000, 4001, 20000};
    const std::string path = "/files/f" + std::to_string(++id);
    server.Route(path, reply);
    std::string target = dir.File("target.bin");
    if (row.oldFile) WriteFile(target, kOld);

    RecordedReport r = Download(id, server.Url(path), target, 0);
    EXPECT_EQ(r.a, 0);
    EXPECT_TRUE(ReadFile(target) == row.content) << "file differs";
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"target.bin"});
    std::remove(target.c_str());
  }
}

TEST_F(DownloadTest, ProgressRisesTo1000OnlyWithTheFlag) {
  std::string content = PatternBytes(400000, 9);
  server.Route("/big", FakeReply::Text(200, content, "application/octet-stream"));
  std::string target = dir.File("big.bin");

  EXPECT_EQ(Download(21, server.Url("/big"), target, 1).a, 0);
  EXPECT_TRUE(ReadFile(target) == content);
  ExpectProgressRisesTo1000(env.Progress(_EVENT_REPORT_GETFILEPROGRESS, 21));

  EXPECT_EQ(Download(22, server.Url("/big"), target, 0).a, 0);
  EXPECT_TRUE(env.Progress(_EVENT_REPORT_GETFILEPROGRESS, 22).empty());
}

// Every failure keeps the old file as it was and leaves no temporary file.
TEST_F(DownloadTest, FailureTable) {
  std::string cut = FakeReply::Gzip(PatternBytes(100000, 7));
  std::string corrupt = cut;
  for (size_t i = 20; i < 60; ++i) corrupt[i] = static_cast<char>(corrupt[i] ^ 0x5A);
  FakeReply early = FakeReply::Text(200, PatternBytes(100000, 8), "application/octet-stream");
  early.closeAfter = 5000;
  FakeReply missing = FakeReply::Text(404, "no such file");
  // 40 MB of zeros in about 40 KB: far past what a body of that size may unpack to.
  const std::string bomb = FakeReply::Gzip(std::string(40u << 20, '\0'));
  FakeReply bigError = FakeReply::Text(500, PatternBytes(300000, 9));
  bigError.framing = FakeReply::Framing::kChunked;

  struct Row {
    const char* what;
    FakeReply reply;
    bool unreachable;
    int expected;
  };
  const Row rows[] = {
      {"not found", missing, false, 3},
      {"server error", FakeReply::Text(500, "oops"), false, 3},
      {"unreachable", FakeReply(), true, 3},
      {"closed early", early, false, 3},
      {"gzip claimed, plain body", GzipClaimed("plain text, not gzip"), false, 4},
      {"gzip claimed, empty body", GzipClaimed(""), false, 4},
      {"gzip cut short", GzipClaimed(cut.substr(0, cut.size() / 2)), false, 4},
      {"gzip trailer missing", GzipClaimed(cut.substr(0, cut.size() - 8)), false, 4},
      {"gzip corrupt", GzipClaimed(corrupt), false, 4},
      {"gzip bomb", GzipClaimed(bomb), false, 4},
      {"long error page", bigError, false, 3},
  };
  std::string target = dir.File("keep.txt");
  int id = 400;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    WriteFile(target, kOld);
    server.Route("/f", row.reply);
    std::string url = row.unreachable
                          ? "http://127.0.0.1:" + std::to_string(FakeFileStore::ClosedPort()) + "/f"
                          : server.Url("/f");
    EXPECT_EQ(Download(++id, url, target, 1).a, row.expected);
    EXPECT_EQ(ReadFile(target), kOld);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.txt"});
    // Progress counts only a successful reply's bytes, and never shows a failure
    // as complete.
    const std::vector<int> progress = env.Progress(_EVENT_REPORT_GETFILEPROGRESS, id);
    if (!progress.empty()) {
      EXPECT_LT(progress.back(), 1000);
    }
    if (row.reply.status < 200 || row.reply.status > 299) {
      EXPECT_TRUE(progress.empty()) << progress.size();
    }
  }
}

// Two downloads to the same file at once (the same picture shown twice): each body
// goes to a temporary file of its own, both succeed, and the file ends up whole.
TEST_F(DownloadTest, ConcurrentDownloadsToOneTargetLeaveAWholeFile) {
  std::mutex mutex;
  std::condition_variable cond;
  int arrived = 0;
  auto bothArrived = [&](const std::string& content) {
    std::unique_lock<std::mutex> lock(mutex);
    ++arrived;
    cond.notify_all();
    cond.wait_for(lock, std::chrono::seconds(30), [&] { return arrived >= 2; });
    FakeReply reply = FakeReply::Text(200, content, "application/octet-stream");
    reply.pieceSize = 8192;
    reply.pauseMs = 5;
    return reply;
  };
  const std::string one = PatternBytes(200000, 21);
  const std::string two = PatternBytes(200000, 22);
  server.Handle("/one", [&](const FakeRequest&) { return bothArrived(one); });
  server.Handle("/two", [&](const FakeRequest&) { return bothArrived(two); });
  std::string target = dir.File("same.bin");
  WriteFile(target, kOld);

  env.Api().DownloadFile(71, server.Url("/one").c_str(), target.c_str(), 0);
  env.Api().DownloadFile(72, server.Url("/two").c_str(), target.c_str(), 0);
  EXPECT_EQ(env.WaitReply(_REQUEST_HTTP_DOWNFILE, 71).a, 0);
  EXPECT_EQ(env.WaitReply(_REQUEST_HTTP_DOWNFILE, 72).a, 0);
  std::string got = ReadFile(target);
  EXPECT_TRUE(got == one || got == two) << "the file mixes both bodies";
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"same.bin"});
}

// A stop request ends the download as a failure that keeps the old file; the entry
// is used up by it.
TEST_F(DownloadTest, StopRequestKeepsTheOldFile) {
  std::string content = PatternBytes(300000, 11);
  server.Route("/s", FakeReply::Text(200, content, "application/octet-stream"));
  std::string target = dir.File("s.bin");
  WriteFile(target, kOld);
  TTransferStopSet::Stop(61);
  EXPECT_EQ(Download(61, server.Url("/s"), target, 1).a, 3);
  EXPECT_EQ(ReadFile(target), kOld);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"s.bin"});

  CallbackRecorder::Get().Clear();
  EXPECT_EQ(Download(61, server.Url("/s"), target, 1).a, 0);
  EXPECT_TRUE(ReadFile(target) == content);
}

TEST_F(DownloadTest, ArgumentAndDiskFailures) {
  server.Route("/f", FakeReply::Text(200, "new content"));
  std::string target = dir.File("t.txt");
  EXPECT_EQ(Download(1, "", target, 0).a, 1);
  EXPECT_EQ(Download(2, server.Url("/f"), "", 0).a, 1);
  // the temporary file cannot be created in a folder that does not exist
  EXPECT_EQ(Download(3, server.Url("/f"), dir.File("no/such/folder/t.txt"), 0).a, 2);
  EXPECT_EQ(server.RequestCount(), 0u);

  // The finished file cannot be put in place (a folder holds the name): a failure,
  // the folder untouched, nothing left behind.
  std::string blocked = dir.File("blocked");
  ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0);
  WriteFile(blocked + "/inside", "x");
  RecordedReport r = Download(4, server.Url("/f"), blocked, 0);
  EXPECT_NE(r.a, 0);
  EXPECT_EQ(ReadFile(blocked + "/inside"), "x");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"blocked"});
}

}  // namespace
