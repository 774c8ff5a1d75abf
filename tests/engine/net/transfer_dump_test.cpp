// The crash-dump upload: the dump goes to the file store, then a report goes to the
// public server; the request is answered once.
#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>
#include <string>

#include "fakes/FakeFileStore.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpRequestService.h"
#include "transfer_test_env.h"

using transfer_test::EngineEnv;
using transfer_test::PatternBytes;
using transfer_test::TempDir;
using transfer_test::WriteFile;

namespace {

const char kDumpPath[] = "/public/info/uploaddump.do";

Json::Value ParseJson(const std::string& text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) return Json::Value();
  return value;
}

class DumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pub.Start());
    env.Core().SetUpServer(store.TrackerAddress());
    env.Core().SetServer("PUBSERVER", "127.0.0.1:" + std::to_string(pub.Port()));
    env.Core().SetDownServer("http://127.0.0.1:8/dl");
  }

  RecordedReport UploadDump(int id, const std::string& path) {
    EXPECT_EQ(env.Api().UploadDumpFile(id, path.c_str()), id);
    RecordedReport reply = env.WaitReply(_REQUEST_HTTP_UPLOADDUMP, id);
    // With the workers joined nothing can answer any more: the count is final.
    THttpRequestService* service = env.Core().GetRequestService();
    service->Stop();
    EXPECT_EQ(CallbackRecorder::Get().Count(_REQUEST_HTTP_UPLOADDUMP, id), 1u);
    service->Start();
    return reply;
  }

  EngineEnv env;
  TempDir dir;
  FakeFileStore store;
  FakeHttpServer pub;
};

// The dump arrives whole; the report names it (escaped as JSON), gives its size and
// its download URL, and the server's reply is the answer's text.
TEST_F(DumpTest, UploadsThenReportsToThePublicServerOnce) {
  pub.Route(kDumpPath, FakeReply::Json(R"({"code": 1, "msg": "ok"})"));
  const std::string name = "Crash\"Dump\\\t_2.0.dmp";
  std::string path = dir.File(name);
  std::string bytes = PatternBytes(70000, 3);
  WriteFile(path, bytes);

  RecordedReport reply = UploadDump(31, path);
  EXPECT_EQ(reply.a, 0);
  EXPECT_EQ(reply.text, R"({"code": 1, "msg": "ok"})");

  ASSERT_EQ(store.Uploads().size(), 1u);
  EXPECT_TRUE(store.Uploads()[0].data == bytes);
  EXPECT_TRUE(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_SENDFILEPROGRESS).empty());

  ASSERT_EQ(pub.Requests(kDumpPath).size(), 1u);
  FakeRequest req = pub.Requests(kDumpPath)[0];
  EXPECT_EQ(req.method, "POST");
  Json::Value body = ParseJson(req.body);
  ASSERT_TRUE(body.isObject()) << req.body;
  EXPECT_EQ(body["transid"].asString().size(), 34u);
  EXPECT_EQ(body["size"].asInt(), 70000);
  EXPECT_EQ(body["name"].asString(), name);
  EXPECT_EQ(body["url"].asString(),
            "http://127.0.0.1:8/dl/group1/" + store.Uploads()[0].storedName);
}

// A failed upload is the answer; nothing is reported to the public server.
TEST_F(DumpTest, FailedUploadIsTheAnswerAndNothingIsPosted) {
  pub.Route(kDumpPath, FakeReply::Json(R"({"code": 1})"));
  std::string path = dir.File("CrashDumpFile_1.dmp");
  WriteFile(path, PatternBytes(1000));
  store.SetTrackerFault(FakeFileStore::TrackerFault::kRefuse);
  EXPECT_EQ(UploadDump(32, path).a, -6);
  store.SetTrackerFault(FakeFileStore::TrackerFault::kNone);
  EXPECT_EQ(UploadDump(33, dir.File("missing.dmp")).a, -7);
  EXPECT_EQ(pub.RequestCount(), 0u);
}

// The public server's refusal is the answer (the exchange's status failure).
TEST_F(DumpTest, PublicServerRefusalIsTheAnswer) {
  pub.Route(kDumpPath, FakeReply::Text(500, "down"));
  std::string path = dir.File("CrashDumpFile_1.dmp");
  WriteFile(path, PatternBytes(1000));
  RecordedReport reply = UploadDump(34, path);
  EXPECT_EQ(reply.a, 6);
  EXPECT_EQ(pub.Requests(kDumpPath).size(), 1u);
  EXPECT_EQ(store.Uploads().size(), 1u);
}

}  // namespace
