// The engine against the running local server, through TAPIInterface alone, as the
// program drives it: log in by phone code and by QR code, send a text to the scripted
// friend, log out and in again.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "TAPIInterface.h"
#include "support/CallbackRecorder.h"
#include "tools/EngineQueries.h"
#include "tools/LocalServerFixture.h"

namespace {

const char* kWorld = TESMO_TEST_DATA_DIR "/localserver-world.json";
const char* kMe = "200001@test.local";
const char* kFriend = "200002@test.local";

std::string Text(const char* p) { return p ? p : ""; }

// The messages the server kept, one JSON object a line.
std::vector<Json::Value> KeptMessages(const std::string& stateDir) {
  std::vector<Json::Value> out;
  std::ifstream in(stateDir + "/messages.jsonl");
  std::string line;
  while (std::getline(in, line)) {
    Json::Value v;
    if (Json::Reader().parse(line, v)) out.push_back(v);
  }
  return out;
}

class LocalServerLoginTest : public LocalServerFixture {
 protected:
  LocalServerLoginTest() : LocalServerFixture(kWorld, "localserver-test") {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(LocalServerFixture::SetUp());
    StartEngine(*server);
    ASSERT_EQ(api.SetDatabase((dir + "/tesChat.db").c_str()), 2);
  }
  // The program's start-up order, pointed at the server (TESMO_SERVER), trusting its
  // own CA as the program does through run.sh (TESMO_CA_FILE).
  void StartEngine(const LocalServerProcess& at) {
    PrepareEngine(at);
    api.Run();
  }
  size_t Count(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }
  // An integer column of one row, read through the engine's SQL functions.
  int IntOf(const std::string& sql) { return QueryInt(api, sql); }
  std::string TextOf(const std::string& sql) { return QueryText(api, sql); }
};

TEST_F(LocalServerLoginTest, CodeLoginSendToTheScriptedFriendLogOutAndInAgain) {
  ASSERT_EQ(api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-A", 1), 1);
  ASSERT_EQ(api.MakeRegister(), 1);
  auto success = Wait(_EVENT_LOGIN_SUCCESS);
  ASSERT_TRUE(success) << server->Output();
  Json::Value info;
  ASSERT_TRUE(Json::Reader().parse(success->text, info)) << success->text;
  EXPECT_EQ(info["result"]["name"].asString(), "Tess Tester");
  EXPECT_EQ(std::string(api.GetMyAccount()), kMe);
  EXPECT_EQ(std::string(api.GetMyUserID()), "200001");

  // A text to the scripted friend: stored, sent, answered with the server's msgid.
  const int id = api.SendMsgIM(kFriend, 0, "hello there", "{}");
  ASSERT_GT(id, 0);
  auto sent = Wait(_REQUEST_HTTP_SENDMSGIM, id);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->a, 0) << sent->text;
  const std::string where = " from nq_message where id=" + std::to_string(id);
  EXPECT_EQ(IntOf("select sendstate" + where), 1);
  const std::string msgid = TextOf("select msgid" + where);
  ASSERT_FALSE(msgid.empty());
  EXPECT_GT(std::stoll(msgid), 0);

  // The server kept the message under that msgid and the friend's reply after it.
  std::vector<Json::Value> kept;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((kept = KeptMessages(dir + "/state")).size() < 2 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(std::to_string(kept[0]["msgid"].asInt64()), msgid);
  EXPECT_EQ(kept[0]["from"].asString(), kMe);
  EXPECT_EQ(kept[0]["to"].asString(), kFriend);
  EXPECT_EQ(kept[0]["content"].asString(), "hello there");
  EXPECT_EQ(kept[1]["from"].asString(), kFriend);
  EXPECT_EQ(kept[1]["to"].asString(), kMe);
  EXPECT_EQ(kept[1]["content"].asString(), "echo: hello there");
  EXPECT_GT(kept[1]["msgid"].asInt64(), kept[0]["msgid"].asInt64());
  // The reply went to the engine as an "im" push, which the engine answered.
  std::string status;
  EXPECT_TRUE(server->WaitForAnswer("status", "pushes: 1 sent, 0 unanswered\n", &status)) << status;
  // The reply landed in the local database, announced once with its local id.
  const std::string replyWhere =
      " from nq_message where msgid=" + std::to_string(kept[1]["msgid"].asInt64()) +
      " and fromuser='" + kFriend + "'";
  const auto stored = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (IntOf("select count(*)" + replyWhere) < 1 && std::chrono::steady_clock::now() < stored)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(IntOf("select count(*)" + replyWhere), 1);
  EXPECT_EQ(TextOf("select content" + replyWhere), "echo: hello there");
  EXPECT_EQ(TextOf("select touser" + replyWhere), kMe);
  const int replyId = IntOf("select id" + replyWhere);
  ASSERT_TRUE(Wait(_EVENT_COME_IMMESSAGE, replyId));
  size_t replyEvents = 0;
  for (const auto& e : CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE)) {
    Json::Value m;
    if (e.id == replyId && Json::Reader().parse(e.text, m) && m["content"] == "echo: hello there")
      ++replyEvents;
  }
  EXPECT_EQ(replyEvents, 1u);
  EXPECT_EQ(TextOf("select msgid from nq_messagenew where account='" + std::string(kFriend) + "'"),
            std::to_string(replyId));

  // Log out (the server sees the client leave), and in again with the same login.
  const std::string me = "200001@test.local  Tess Tester  login: +86 13900000001 code 111222";
  const std::string others =
      "200002@test.local  Replying Friend  (scripted)\n"
      "200003@test.local  Second Login  login: +86 13900000003 code 333444\n";
  EXPECT_EQ(server->Command("accounts"), me + "  online\n" + others);
  ASSERT_EQ(api.MakeUnRegister(), 1);
  std::string accounts;
  EXPECT_TRUE(server->WaitForAnswer("accounts", me + "\n" + others, &accounts)) << accounts;
  const auto out = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (api.IsLogin() != 0 && std::chrono::steady_clock::now() < out)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(api.IsLogin(), 0);
  ASSERT_EQ(api.MakeRegister(), 1);
  ASSERT_TRUE(
      CallbackRecorder::Get().WaitForCount(_EVENT_LOGIN_SUCCESS, 2, std::chrono::seconds(60)));
  EXPECT_EQ(api.IsLogin(), 1);
  // A second text after the new login goes through too.
  const int again = api.SendMsgIM(kFriend, 0, "back again", "{}");
  auto resent = Wait(_REQUEST_HTTP_SENDMSGIM, again);
  ASSERT_TRUE(resent);
  EXPECT_EQ(resent->a, 0) << resent->text;

  // Exactly one success per login, no failure.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(Count(_EVENT_LOGIN_SUCCESS), 2u);
  EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 0u);
}

TEST_F(LocalServerLoginTest, WrongCodeAndUnknownNumberFailWithTheirReasons) {
  struct Row {
    const char* mobile;
    const char* code;
    int reason;
  };
  // Unknown number: server code -8 -> 5; wrong code (also another account's): -10 -> 6.
  const Row rows[] = {
      {"13900000001", "999999", 6}, {"13700000000", "111222", 5}, {"13900000003", "111222", 6}};
  size_t n = 0;
  for (const Row& row : rows) {
    api.SetMobileLogin(row.mobile, "+86", row.code, "DEVICE-A", 1);
    api.MakeRegister();
    ASSERT_TRUE(
        CallbackRecorder::Get().WaitForCount(_EVENT_LOGIN_FAIL, ++n, std::chrono::seconds(60)));
    EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_LOGIN_FAIL).back().a, row.reason)
        << row.mobile;
  }
  EXPECT_EQ(Count(_EVENT_LOGIN_SUCCESS), 0u);
}

TEST_F(LocalServerLoginTest, QRCodeIsConfirmedByItselfAndLogsInAsTheWorldsAccount) {
  const std::string poll = "https://" + server->Value("TESMO_SERVER") +
                           "/navigation/qrcode/getuserinfo.do?auid=T42&device=DEVICE-Q";
  ASSERT_EQ(api.GetQRUserInfo(poll.c_str()), 1);
  auto scanned = Wait(_EVENT_REPORT_QRLOGIN);
  ASSERT_TRUE(scanned);
  ASSERT_EQ(scanned->a, 0);
  ASSERT_EQ(scanned->text, kMe);

  // What the program does with a confirmed scan.
  api.SetQRLogin(scanned->text.c_str(), "DEVICE-Q", 1);
  api.MakeRegister();
  ASSERT_TRUE(Wait(_EVENT_LOGIN_SUCCESS)) << server->Output();
  EXPECT_EQ(std::string(api.GetMyAccount()), kMe);
  EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 0u);
  // A session that began with a scan is kicked out like any other.
  EXPECT_EQ(server->Command(std::string("kickout ") + kMe),
            std::string("kicked out ") + kMe + "\n");
  auto kicked = Wait(_EVENT_RECV_KICKOUT);
  ASSERT_TRUE(kicked) << server->Output();
}

TEST_F(LocalServerLoginTest, QRCodeWaitsForTheControlCommandWhenAutoConfirmIsOff) {
  ASSERT_EQ(server->Command("qr auto off"), "QR auto-confirm off\n");
  const std::string poll = "https://" + server->Value("TESMO_SERVER") +
                           "/navigation/qrcode/getuserinfo.do?auid=T43&device=DEVICE-Q";
  ASSERT_EQ(api.GetQRUserInfo(poll.c_str()), 1);
  // Well past the world's 300 ms: still not confirmed.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_EQ(Count(_EVENT_REPORT_QRLOGIN), 0u);
  EXPECT_EQ(server->Command("qr confirm 200003@test.local"),
            "QR code confirmed as 200003@test.local\n");
  auto scanned = Wait(_EVENT_REPORT_QRLOGIN);
  ASSERT_TRUE(scanned);
  EXPECT_EQ(scanned->a, 0);
  EXPECT_EQ(scanned->text, "200003@test.local");
  api.SetQRLogin(scanned->text.c_str(), "DEVICE-Q", 1);
  api.MakeRegister();
  ASSERT_TRUE(Wait(_EVENT_LOGIN_SUCCESS));
  EXPECT_EQ(std::string(api.GetMyAccount()), "200003@test.local");
}

TEST_F(LocalServerLoginTest, ControlCommandsPushToTheLoggedInEngine) {
  // Nobody online yet: nothing to kick out, nothing pushed.
  EXPECT_EQ(server->Command("kickout 200001@test.local"), "not online: 200001@test.local\n");
  api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-A", 1);
  api.MakeRegister();
  ASSERT_TRUE(Wait(_EVENT_LOGIN_SUCCESS));

  EXPECT_EQ(server->Command("push 200001@test.local nobody@test.local hi"),
            "unknown account nobody@test.local\n");
  EXPECT_EQ(server->Command("push 200001@test.local 200002@test.local hi").rfind("pushed ", 0), 0u);
  EXPECT_EQ(server->Command("groupnotify 400001@group.test.local welcome"), "notified\n");
  EXPECT_EQ(server->Command("kickout 200001@test.local"), "kicked out 200001@test.local\n");
  // Each push reached the engine, which answered it.
  std::string status;
  EXPECT_TRUE(server->WaitForAnswer("status", "pushes: 3 sent, 0 unanswered\n", &status)) << status;
  // The kick-out named this login's registration: the engine reports it. Pushes are
  // handled in order, so the messages before it are stored by then.
  auto kicked = Wait(_EVENT_RECV_KICKOUT);
  ASSERT_TRUE(kicked);
  EXPECT_EQ(kicked->text, "Your account logged in elsewhere.");
  EXPECT_EQ(IntOf("select count(*) from nq_message where fromuser='200002@test.local' and "
                  "touser='200001@test.local' and content='hi'"),
            1);
  EXPECT_EQ(IntOf("select count(*) from nq_message where touser='400001@group.test.local' and "
                  "msgtype=6"),
            1);
  EXPECT_TRUE(Wait(_EVENT_COME_GROUPNOTIFY));
  // The kicked-out session is gone: a send with its token is refused.
  const int id = api.SendMsgIM(kFriend, 0, "after the kick", "{}");
  auto refused = Wait(_REQUEST_HTTP_SENDMSGIM, id);
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->a, 0);
}

TEST_F(LocalServerLoginTest, EveryPushKindOfTheControlLandsInTheEngineOnce) {
  api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-A", 1);
  api.MakeRegister();
  ASSERT_TRUE(Wait(_EVENT_LOGIN_SUCCESS));

  const std::string pushed = server->Command("push 200001@test.local 200002@test.local twice");
  ASSERT_EQ(pushed.rfind("pushed ", 0), 0u) << pushed;
  const std::string msgid = pushed.substr(7, pushed.size() - 8);
  EXPECT_EQ(server->Command("repeat " + msgid), "repeated " + msgid + "\n");
  EXPECT_EQ(server->Command("repeat 1"), "no kept message 1\n");
  EXPECT_EQ(server->Command("revoke 200001@test.local 200002@test.local " + msgid),
            "revoked " + msgid + "\n");
  EXPECT_EQ(server->Command("sys 200001@test.local jlhb {\"amount\":\"1.00\"}"), "pushed jlhb\n");
  EXPECT_EQ(server->Command("sys 200001@test.local updatedetail {\"name\":\"Tess Renamed\","
                            "\"userversion\":5}"),
            "pushed updatedetail\n");
  EXPECT_EQ(server->Command("sys 200001@test.local nosuch"),
            "usage: sys ACCOUNT jlhb|syskickout|updatedetail|updatefriend [CONTENT]\n");
  EXPECT_EQ(server->Command("sys 200001@test.local syskickout frozen"), "pushed syskickout\n");
  std::string status;
  EXPECT_TRUE(server->WaitForAnswer("status", "pushes: 6 sent, 0 unanswered\n", &status)) << status;

  auto kicked = Wait(_EVENT_REPORT_SYSKICKOUT);
  ASSERT_TRUE(kicked);
  EXPECT_EQ(kicked->text, "frozen");
  // Handled in order: everything before the kick-out is done.
  const std::string where = " from nq_message where msgid=" + msgid;
  EXPECT_EQ(IntOf("select count(*)" + where), 1);
  EXPECT_EQ(IntOf("select revokeflag" + where), 1);
  EXPECT_EQ(IntOf("select count(*) from nq_message where msgtype=9 and content='" +
                  TextOf("select id" + where) + "'"),
            1);
  size_t announced = 0;
  for (const auto& e : CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE))
    announced += e.id == IntOf("select id" + where) ? 1 : 0;
  EXPECT_EQ(announced, 1u);
  auto notice = Wait(_EVENT_COME_JLHB);
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->text, "{\"amount\":\"1.00\"}");
  ASSERT_TRUE(Wait(_EVENT_REPORT_UPDATEDETAIL));
  EXPECT_EQ(std::string(api.GetMyName()), "Tess Renamed");
}

TEST_F(LocalServerLoginTest, FileAndGroupMessagesAreStoredServedAndKeptAcrossARestart) {
  api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-A", 1);
  api.MakeRegister();
  ASSERT_TRUE(Wait(_EVENT_LOGIN_SUCCESS));

  // A file message: uploaded to the file store, sent with the download server's URL.
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i * 7 + i / 251);
  const std::string file = dir + "/report.bin";
  std::ofstream(file, std::ios::binary) << bytes;
  const int id = api.SendMsgFile(kFriend, 3, file.c_str(), "{}");
  auto sent = Wait(_REQUEST_HTTP_SENDMSGFILE, id);
  ASSERT_TRUE(sent);
  ASSERT_EQ(sent->a, 0) << sent->text;
  const std::string url = TextOf("select content from nq_message where id=" + std::to_string(id));
  ASSERT_EQ(url.rfind(server->Value("DOWNSERVER") + "/group1/", 0), 0u) << url;

  // A group message goes to the group path and is accepted for a member.
  const int groupId = api.SendMsgIM("400001@group.test.local", 0, "hello testers", "{}");
  auto groupSent = Wait(_REQUEST_HTTP_SENDMSGIM, groupId);
  ASSERT_TRUE(groupSent);
  EXPECT_EQ(groupSent->a, 0) << groupSent->text;
  const long long lastMsgid =
      std::stoll(TextOf("select msgid from nq_message where id=" + std::to_string(groupId)));

  // The server restarts on the same state: the upload is still served byte for byte,
  // the messages are kept, and new msgids go on above the old ones.
  api.Release();
  ASSERT_EQ(server->Stop(), 0);
  LocalServerProcess again;
  ASSERT_TRUE(again.Start({"--world", kWorld, "--state", dir + "/state"})) << again.Errors();
  const std::string moved =
      again.Value("DOWNSERVER") + url.substr(server->Value("DOWNSERVER").size());
  std::vector<Json::Value> kept = KeptMessages(dir + "/state");
  ASSERT_GE(kept.size(), 2u);
  EXPECT_EQ(kept[0]["type"].asString(), "file");
  EXPECT_EQ(kept[0]["content"].asString(), url);
  EXPECT_EQ(kept.back()["to"].asString(), "400001@group.test.local");

  StartEngine(again);
  const std::string target = dir + "/downloaded.bin";
  const int download = api.CreateDialogID();
  api.DownloadFile(download, moved.c_str(), target.c_str(), 0);
  auto fetched = Wait(_REQUEST_HTTP_DOWNFILE, download);
  ASSERT_TRUE(fetched);
  ASSERT_EQ(fetched->a, 0);
  std::ifstream in(target, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), bytes);

  ASSERT_EQ(api.SetDatabase((dir + "/second.db").c_str()), 2);
  api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-A", 1);
  api.MakeRegister();
  ASSERT_TRUE(Wait(_EVENT_LOGIN_SUCCESS));
  const int next = api.SendMsgIM(kFriend, 0, "after the restart", "{}");
  auto nextSent = Wait(_REQUEST_HTTP_SENDMSGIM, next);
  ASSERT_TRUE(nextSent);
  ASSERT_EQ(nextSent->a, 0);
  EXPECT_GT(std::stoll(TextOf("select msgid from nq_message where id=" + std::to_string(next))),
            lastMsgid);
  api.Release();
  EXPECT_EQ(again.Stop(), 0) << again.Errors();
  // TearDown releases and stops again: both are harmless twice.
  api.Init();
}

TEST_F(LocalServerLoginTest, ConfigurationFileAndCoinListAnswerThroughTheEngine) {
  // The configuration file decodes with the engine's key and names the entry server->
  const std::string cfgUrl = "https://" + server->Value("TESMO_SERVER") + "/bit/app.cfg";
  const std::string cfg = Text(api.SyncSendGet(0, cfgUrl.c_str()));
  ASSERT_FALSE(cfg.empty());
  Json::Value root;
  ASSERT_TRUE(Json::Reader().parse(Text(api.GetAppCfgString(cfg.c_str())), root)) << cfg;
  EXPECT_EQ(root["mac_domain"]["pro_host"][0].asString(), server->Value("TESMO_SERVER"));

  const std::string coinsUrl =
      server->Value("PUBSERVER") + "/public/info/querycurrency.do?transid=1";
  Json::Value coins;
  ASSERT_TRUE(Json::Reader().parse(Text(api.SyncSendGet(0, coinsUrl.c_str())), coins));
  EXPECT_EQ(coins["code"].asInt(), 1);
  EXPECT_EQ(coins["result"]["params"][0]["name"].asString(), "TST");

  const std::string translateUrl = server->Value("SPEECHSERVER") + "/speech/translate/process.do";
  Json::Value translated;
  ASSERT_TRUE(Json::Reader().parse(
      Text(api.SyncSendPost(0, translateUrl.c_str(),
                            R"({"transid": "1", "cmd": "translate", "from": "auto", "to": "en",)"
                            R"( "text": "ni hao"})")),
      translated));
  EXPECT_EQ(translated["result"]["text"].asString(), "[en] ni hao");
}

}  // namespace

namespace {

TEST_F(LocalServerLoginTest, TheBackgroundSyncAfterALoginStoresTheWorldsHistory) {
  ASSERT_EQ(api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-A", 1), 1);
  ASSERT_EQ(api.MakeRegister(), 1);
  ASSERT_TRUE(Wait(_EVENT_LOGIN_SUCCESS)) << server->Output();
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_COME_FINISHIMHISTORY, 1,
                                                   std::chrono::seconds(120)))
      << server->Output();
  // The world's one message to this account, with its address filled in.
  EXPECT_EQ(IntOf("select count(*) from nq_message where fromuser='200002@test.local' and "
                  "touser='200001@test.local' and msgtype=2"),
            1);
  EXPECT_NE(TextOf("select content from nq_message where msgtype=2").find("/group1/t/p.png"),
            std::string::npos);
  // The friend list was asked for once (its details are not served here).
  EXPECT_EQ(Count(_EVENT_REPORT_FRIENDNOTIFY), 1u);
  EXPECT_FALSE(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_FRIENDNOTIFY)[0].text.empty());
  EXPECT_EQ(Count(_EVENT_REPORT_GROUPUPDATE), 1u);
}

}  // namespace
