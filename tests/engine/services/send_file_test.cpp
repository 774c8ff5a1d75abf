// File messages end to end: the file goes to the loopback file store, the message
// to the IM server with the download URL, and the row keeps path, name and size.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "engine/services/send_test_env.h"

namespace {

using sendtest::kDownServer;
using sendtest::kPeer;
using SendFileTest = sendtest::SendEnv;

std::string Bytes(size_t size, char seed) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7);
  return bytes;
}

Json::Value Parse(const std::string& text) {
  Json::Value v;
  EXPECT_TRUE(Json::Reader().parse(text, v)) << text;
  return v;
}

TEST_F(SendFileTest, FileMessageEndToEnd) {
  const std::string bytes = Bytes(300000, 'a');
  const std::string path = File("it's a \"report\".txt", bytes);
  int id = api.SendMsgFile(kPeer, 3, path.c_str(), "{\n    \"atAll\": false\n}\n");
  ASSERT_GT(id, 0);
  // Stored at once: the path, no content yet, the remark with name and size.
  EXPECT_EQ(Column(id, "localpath"), path);
  Json::Value remark = Parse(Column(id, "remark"));
  EXPECT_EQ(remark["filename"].asString(), "it's a \"report\".txt");
  EXPECT_EQ(remark["filesize"].asInt64(), 300000);
  EXPECT_FALSE(remark["atAll"].asBool());
  EXPECT_TRUE(remark.isMember("atAll"));

  RecordedReport reply = Reply(_REQUEST_HTTP_SENDMSGFILE, id);
  EXPECT_EQ(reply.a, 0);
  auto uploads = store.Uploads();
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_TRUE(uploads[0].data == bytes);
  const std::string url = std::string(kDownServer) + "/group1/" + uploads[0].storedName;
  EXPECT_EQ(Column(id, "content"), url);
  EXPECT_EQ(Column(id, "sendstate"), "1");
  EXPECT_EQ(Column(id, "localpath"), path);

  auto sent = im.Messages();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, "file");
  EXPECT_EQ(sent[0].content, url);
  EXPECT_EQ(sent[0].remark, Column(id, "remark"));
  // Progress of the upload came under the message's id.
  EXPECT_FALSE(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_SENDFILEPROGRESS).empty());
  for (const auto& r : CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_SENDFILEPROGRESS))
    EXPECT_EQ(r.id, id);
}

TEST_F(SendFileTest, ResendUploadsTheStoredFileOrTheGivenOne) {
  const std::string first = Bytes(5000, 'x');
  const std::string second = Bytes(7000, 'q');
  const std::string path = File("pic.png", first);
  const std::string other = File("other.png", second);
  im.ScriptNext({FakeImHttpPaths::Answer::kHttpStatus, 503});
  int id = api.SendMsgFile(kPeer, 2, path.c_str(), "");
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGFILE, id).a, 6);
  EXPECT_EQ(Column(id, "sendstate"), "0");
  EXPECT_EQ(Column(id, "content"), "");

  struct Row {
    const char* what;
    std::string path;
    const std::string* bytes;
  } rows[] = {{"no path: the stored one", "", &first}, {"a new path", other, &second}};
  size_t n = 1;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    CallbackRecorder::Get().Clear();
    EXPECT_EQ(api.RepeatSendMsg(id, r.path.c_str()), id);
    EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGFILE, id).a, 0);
    auto uploads = store.Uploads();
    ASSERT_EQ(uploads.size(), ++n);
    EXPECT_TRUE(uploads.back().data == *r.bytes);
    EXPECT_EQ(Column(id, "sendstate"), "1");
    EXPECT_EQ(Column(id, "content"),
              std::string(kDownServer) + "/group1/" + uploads.back().storedName);
  }
}

TEST_F(SendFileTest, RemarkOfAnyShapeBecomesValidJson) {
  const std::string path = File("a.bin", "12345");
  for (const char* remark : {"", "{}", "{\"width\": 3,}", "not json", "{\"filename\": \"x\"}"}) {
    SCOPED_TRACE(remark);
    int id = api.SendMsgFile(kPeer, 3, path.c_str(), remark);
    EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGFILE, id).a, 0);
    Json::Value v = Parse(Column(id, "remark"));
    EXPECT_EQ(v["filename"].asString(), "a.bin");
    EXPECT_EQ(v["filesize"].asInt(), 5);
  }
}

}  // namespace
