// The profile command (request 200302) against the loopback user and group servers
// and the test file store: what is sent, what is stored, what the caller gets.
#include <json/json.h>

#include "fakes/FakeFileStore.h"
#include "user_test_env.h"
#include "util/TJsonHelper.h"

namespace {

using usertest::UserEnv;

constexpr char kCommandPath[] = "/userinfo/user/usercommand.do";
constexpr char kProcessPath[] = "/group/info/process.do";

class UserCommandTest : public UserEnv {
 protected:
  void SetUp() override {
    UserEnv::SetUp();
    core->SetUpServer(store.TrackerAddress());
    core->SetDownServer("http://files.test");
    core->SetMobileLogin("13800001001", "86", "", "device", 0);
    FakeUserServer::Profile profile;
    profile.name = "Me";
    profile.icon = "http://me/logo";
    profile.version = 7;
    users.SetProfile(profile);
  }
  RecordedReport Command(const std::string& json) {
    const int id = ++m_id;
    api.UserCommand(id, json.c_str());
    return Reply(_REQUEST_HTTP_USERCOMMAND, id);
  }
  std::string Saved(const char* key) { return api.GetDatabaseManager()->GetSaveInfo(1, key); }
  size_t Count(const std::string& body, const std::string& key) {
    size_t n = 0;
    for (size_t at = body.find("\"" + key + "\""); at != std::string::npos;
         at = body.find("\"" + key + "\"", at + 1))
      ++n;
    return n;
  }

  FakeFileStore store;
  int m_id = 500;
};

TEST_F(UserCommandTest, FailuresStoreNothing) {
  const std::string image = dir.File("avatar.png");
  storetest::WriteFile(image, "png bytes");
  struct Row {
    const char* name;
    std::string command;
    std::function<void()> script;
    int result;
    size_t posts;  // usercommand.do requests the row adds
  } rows[] = {
      {"wrong case", R"({"cmd": "Modify", "name": "N"})", nullptr, 12, 0},
      {"too short", R"({"cmd": "modif", "name": "N"})", nullptr, 12, 0},
      {"too long", R"({"cmd": "modify ", "name": "N"})", nullptr, 12, 0},
      {"no cmd", R"({"name": "N"})", nullptr, 12, 0},
      {"upload fails", R"({"cmd": "modify", "name": "N", "logo": "/nonexistent/a.png"})", nullptr,
       11, 0},
      {"big upload fails",
       R"({"cmd": "modify", "name": "N", "logo": ")" + image +
           R"(", "biglogo": "/nonexistent/b.png"})",
       nullptr, 11, 0},
      {"code -3", R"({"cmd": "modify", "name": "N"})", [&] { users.ScriptCode(kCommandPath, -3); },
       -3, 1},
      {"code 0 is a failure", R"({"cmd": "modify", "name": "N"})",
       [&] { users.ScriptCode(kCommandPath, 0); }, kUserCommandCodeZero, 1},
      {"code 1 without result", R"({"cmd": "modify", "name": "N"})",
       [&] { a.Route(kCommandPath, FakeReply::Json(R"({"code": 1, "msg": "OK"})")); }, 4, 1},
      {"not JSON", R"({"cmd": "modify", "name": "N"})",
       [&] { a.Route(kCommandPath, FakeReply::Text(200, "<html>")); }, 4, 1},
      {"HTTP error", R"({"cmd": "modify", "name": "N"})",
       [&] { a.Route(kCommandPath, FakeReply::Text(500, "down")); }, 6, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const size_t before = a.Requests(kCommandPath).size();
    if (row.script) row.script();
    EXPECT_EQ(Command(row.command).a, row.result);
    EXPECT_EQ(a.Requests(kCommandPath).size(), before + row.posts);
    EXPECT_EQ(Saved("NAME"), "");
    EXPECT_EQ(std::string(api.GetMyName()), "Me");
    EXPECT_EQ(group.Requests(kProcessPath).size(), 0u);
  }
}

TEST_F(UserCommandTest, ANewNameIsStoredAndToldToTheGroupServer) {
  RecordedReport r =
      Command(R"({"transid": "t1", "cmd": "modify", "userid": "1001", "name": "New 'Name'",)"
              R"( "summary": "sum", "logo": "", "biglogo": ""})");
  EXPECT_EQ(r.a, 0);
  // The reply of 200302 is the group server's, the last exchange of the packet.
  EXPECT_EQ(r.text, R"({"code": 1, "msg": "group ok"})");

  auto sent = a.Requests(kCommandPath);
  ASSERT_EQ(sent.size(), 1u);
  Json::Value body = TJsonHelper::Parse(sent[0].body);
  EXPECT_EQ(body["name"].asString(), "New 'Name'");
  EXPECT_EQ(body["mobile"].asString(), "13800001001");
  EXPECT_EQ(body["email"].asString(), "");
  EXPECT_EQ(body["userid"].asString(), "1001");
  EXPECT_EQ(body["cmd"].asString(), "modify");
  EXPECT_EQ(Count(sent[0].body, "userid"), 1u);  // the command's own, none added

  auto told = group.Requests(kProcessPath);
  ASSERT_EQ(told.size(), 1u);
  Json::Value notice = TJsonHelper::Parse(told[0].body);
  EXPECT_EQ(notice["cmd"].asString(), "setname");
  EXPECT_EQ(notice["name"].asString(), "New 'Name'");
  EXPECT_FALSE(notice["transid"].asString().empty());

  EXPECT_EQ(Saved("NAME"), "New 'Name'");
  EXPECT_EQ(Saved("SUMMARY"), "sum");
  EXPECT_EQ(Saved("ICON"), "http://me/logo");
  EXPECT_EQ(Saved("VERSION"), "8");
  EXPECT_EQ(std::string(api.GetMyName()), "New 'Name'");
  EXPECT_EQ(api.GetChampFlag(), 1);  // unchanged
}

TEST_F(UserCommandTest, AnUnchangedNameTellsNobody) {
  RecordedReport r = Command(R"({"cmd": "modify", "name": "Me", "summary": "new summary"})");
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(TJsonHelper::Parse(r.text)["result"]["summary"].asString(), "new summary");
  EXPECT_EQ(group.Requests(kProcessPath).size(), 0u);
  EXPECT_EQ(std::string(api.GetMySummary()), "new summary");
}

TEST_F(UserCommandTest, AFailedGroupNoticeKeepsTheProfile) {
  group.Route(kProcessPath, FakeReply::Text(500, "down"));
  RecordedReport r = Command(R"({"cmd": "modify", "name": "Other"})");
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(TJsonHelper::Parse(r.text)["result"]["name"].asString(), "Other");
  EXPECT_EQ(Saved("NAME"), "Other");
}

TEST_F(UserCommandTest, AvatarsAreUploadedAndSentAsDownloadUrls) {
  const std::string small = dir.File("small.png");
  const std::string big = dir.File("big.png");
  storetest::WriteFile(small, "small image");
  storetest::WriteFile(big, "big image bytes");
  RecordedReport r = Command(R"({"cmd": "modify", "name": "Me", "logo": ")" + small +
                             R"(", "biglogo": ")" + big + R"("})");
  EXPECT_EQ(r.a, 0);
  auto uploads = store.Uploads();
  ASSERT_EQ(uploads.size(), 2u);
  EXPECT_EQ(uploads[0].data, "small image");
  EXPECT_EQ(uploads[1].data, "big image bytes");
  Json::Value body = TJsonHelper::Parse(a.Requests(kCommandPath)[0].body);
  EXPECT_EQ(body["logo"].asString().rfind("http://files.test/", 0), 0u) << body["logo"];
  EXPECT_EQ(body["biglogo"].asString().rfind("http://files.test/", 0), 0u);
  EXPECT_NE(body["logo"].asString(), body["biglogo"].asString());
  EXPECT_EQ(Saved("ICON"), body["logo"].asString());
  EXPECT_EQ(std::string(api.GetMyBigLogo()), body["biglogo"].asString());
}

TEST_F(UserCommandTest, TheLoginTextIsSentAsMobileOrEmail) {
  // A login by mail address sends it as "email" and an empty "mobile".
  core->SetTicketLogin("ticket", "device", 0, "me@mail.test");
  Command(R"({"cmd": "modify", "name": "Me"})");
  Json::Value body = TJsonHelper::Parse(a.Requests(kCommandPath)[0].body);
  EXPECT_EQ(body["mobile"].asString(), "");
  EXPECT_EQ(body["email"].asString(), "me@mail.test");
  EXPECT_EQ(body["userid"].asString(), "1001");

  // A command that carries its own "mobile" keeps it; no second one is added.
  Command(R"({"cmd": "modify", "name": "Me", "mobile": "139"})");
  std::string raw = a.Requests(kCommandPath)[1].body;
  EXPECT_EQ(Count(raw, "mobile"), 1u);
  EXPECT_EQ(TJsonHelper::Parse(raw)["mobile"].asString(), "139");
}

}  // namespace
