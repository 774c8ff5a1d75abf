// The whole engine, end to end, through TAPIInterface alone against the local server
// program, as one user's session runs: login by code and the background download,
// a text sent and answered, a file sent and fetched back, a picture, a file, a voice
// and a video message received and fetched, recalls both ways, a group created and a
// member added, pushes, history paged back to the first message, a kick-out, and a
// login by QR code after it. After each step the callbacks and the database are
// checked.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "TAPIInterface.h"
#include "support/CallbackRecorder.h"
#include "tools/EngineQueries.h"
#include "tools/LocalServerFixture.h"
#include "tools/MediaSamples.h"

namespace {

const char* kWorld = TESMO_TEST_DATA_DIR "/localserver-scenario.json";
const std::string kMe = "200001@test.local";
const std::string kFriend = "200002@test.local";
const std::string kQuiet = "200003@test.local";
const std::string kNewMember = "200004@test.local";
const std::string kGroup = "400001@group.test.local";
constexpr int kHistoryCount = 65;  // "old 01" .. "old 65" between me and the friend
constexpr auto kWait = std::chrono::seconds(60);

Json::Value Parse(const std::string& text) {
  Json::Value v;
  Json::Reader().parse(text, v);
  return v;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string Old(int n) {
  char text[16];
  std::snprintf(text, sizeof(text), "old %02d", n);
  return text;
}

// Waits until check() holds or the time is up; its last answer.
bool Eventually(const std::function<bool()>& check) {
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (!check()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

class EngineScenarioTest : public LocalServerFixture {
 protected:
  EngineScenarioTest() : LocalServerFixture(kWorld, "scenario") {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(LocalServerFixture::SetUp());
    PrepareEngine(*server);
    ASSERT_EQ(api.Run(), 1);
    ASSERT_EQ(api.SetDatabase((dir + "/tesChat.db").c_str()), 2);
  }

  size_t Count(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }
  int Int(const std::string& sql) { return QueryInt(api, sql); }
  std::string Text(const std::string& sql) { return QueryText(api, sql); }
  std::vector<std::string> Rows(const std::string& sql) { return QueryRows(api, sql); }
  std::string Row(int id) { return " from nq_message where id=" + std::to_string(id); }

  // The first 100008 report whose message passes check.
  std::optional<Json::Value> WaitForMessage(const std::function<bool(const Json::Value&)>& check) {
    std::optional<Json::Value> found;
    Eventually([&] {
      for (const RecordedReport& r : CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE)) {
        const Json::Value m = Parse(r.text);
        if (check(m)) {
          found = m;
          return true;
        }
      }
      return false;
    });
    return found;
  }
  // The 100008 report of the message the server pushed under msgid.
  std::optional<Json::Value> WaitForPushed(long long msgid) {
    return WaitForMessage([msgid](const Json::Value& m) { return m["msgid"].asInt64() == msgid; });
  }
  // A control command that answers "pushed MSGID ..."; the msgid.
  long long Push(const std::string& command) {
    const std::string answer = server->Command(command);
    EXPECT_EQ(answer.rfind("pushed ", 0), 0u) << command << ": " << answer;
    return answer.rfind("pushed ", 0) == 0 ? std::stoll(answer.substr(7)) : -1;
  }
  // Downloads url through the engine into target; the file's bytes. Download
  // progress for the request rises to 1000.
  std::string Download(const std::string& url, const std::string& target) {
    const int dialog = api.CreateDialogID();
    EXPECT_EQ(api.DownloadFile(dialog, url.c_str(), target.c_str(), 1), dialog);
    auto done = Wait(_REQUEST_HTTP_DOWNFILE, dialog);
    EXPECT_TRUE(done) << url;
    if (!done) return "";
    EXPECT_EQ(done->a, 0) << url;
    int last = -1;
    for (const RecordedReport& r :
         CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_GETFILEPROGRESS)) {
      if (r.id != dialog) continue;
      EXPECT_GT(r.a, last) << url;
      last = r.a;
    }
    EXPECT_EQ(last, 1000) << url;
    return ReadAll(target);
  }
  void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // Local ids of the friend's history rows ("old NN"), as "NN" numbers, oldest first.
  std::vector<int> StoredHistory() {
    std::vector<int> out;
    for (const std::string& row : Rows("select content from nq_message where content like 'old %' "
                                       "and totype=0 order by msgid"))
      out.push_back(std::stoi(row.substr(4)));
    return out;
  }

  void LogInByCodeAndDownload();
  void SendTextAndReceiveTheReply();
  void SendAFileAndFetchItBack();
  void ReceiveEveryKindOfFile();
  void RecallBothWays();
  void CreateAGroupAndAddAMember();
  void ReceivePushes();
  void PageBackThroughHistory();
  void KickOutThenLogInByQR();

  int sentText = 0;
  long long receivedFileMsgid = 0;
  int receivedFileId = 0;
  std::string newGroup;
};

void EngineScenarioTest::LogInByCodeAndDownload() {
  ASSERT_EQ(api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-A", 1), 1);
  ASSERT_EQ(api.MakeRegister(), 1);
  auto success = Wait(_EVENT_LOGIN_SUCCESS);
  ASSERT_TRUE(success) << server->Output();
  EXPECT_EQ(Parse(success->text)["result"]["name"].asString(), "Tess Tester") << success->text;
  EXPECT_EQ(std::string(api.GetMyAccount()), kMe);
  EXPECT_EQ(std::string(api.GetMyUserID()), "200001");
  EXPECT_EQ(api.IsLogin(), 1);
  EXPECT_EQ(Text("select Content from nq_saveinfo where Type=1 and Key='ISLOGIN'"), "1");

  // The background download ends with 100013, after the friend list, the groups and
  // the history of each conversation.
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_COME_FINISHIMHISTORY, 1, kWait))
      << server->Output();
  std::vector<int> order;
  for (const RecordedReport& r : CallbackRecorder::Get().Reports()) order.push_back(r.code);
  const auto at = [&](int code) {
    return std::find(order.begin(), order.end(), code) - order.begin();
  };
  EXPECT_LT(at(_EVENT_LOGIN_SUCCESS), at(_EVENT_REPORT_FRIENDNOTIFY));
  EXPECT_LT(at(_EVENT_REPORT_FRIENDNOTIFY), at(_EVENT_REPORT_GROUPUPDATE));
  EXPECT_LT(at(_EVENT_REPORT_GROUPUPDATE), at(_EVENT_COME_HISTORYIM));
  EXPECT_LT(at(_EVENT_COME_HISTORYIM), at(_EVENT_COME_FINISHIMHISTORY));
  // Database: the friends, the group and its members, each conversation with its
  // newest message, the friend's newest page of history without gaps.
  EXPECT_EQ(Rows("select account from nq_contact where isfriend=1 order by account"),
            (std::vector<std::string>{kFriend, kQuiet}));
  EXPECT_EQ(Rows("select groupname from nq_group where groupid='" + kGroup + "'"),
            std::vector<std::string>{"Testers"});
  EXPECT_EQ(Rows("select account,content from nq_messagenew order by account"),
            (std::vector<std::string>{kFriend + "|" + Old(kHistoryCount), kQuiet + "|quiet hello",
                                      kGroup + "|group hello"}));
  const std::vector<int> page = StoredHistory();
  ASSERT_FALSE(page.empty());
  EXPECT_LT(page.size(), static_cast<size_t>(kHistoryCount));
  for (size_t i = 0; i < page.size(); ++i)
    EXPECT_EQ(page[i], kHistoryCount - static_cast<int>(page.size()) + 1 + static_cast<int>(i));
  // Sent rows carry sendflag 1, the friend's 0; nothing is left "sending".
  EXPECT_EQ(Int("select count(*) from nq_message where content like 'old %' and "
                "sendflag=(fromuser='" +
                kMe + "')"),
            static_cast<int>(page.size()));
  EXPECT_EQ(Int("select count(*) from nq_message where sendstate<>1"), 0);
}

void EngineScenarioTest::SendTextAndReceiveTheReply() {
  sentText = api.SendMsgIM(kFriend.c_str(), 0, "hello there", "{}");
  ASSERT_GT(sentText, 0);
  EXPECT_EQ(Text("select touser||'|'||sendflag||'|'||content" + Row(sentText)),
            kFriend + "|1|hello there");
  auto sent = Wait(_REQUEST_HTTP_SENDMSGIM, sentText);
  ASSERT_TRUE(sent);
  ASSERT_EQ(sent->a, 0) << sent->text;
  EXPECT_EQ(Int("select sendstate" + Row(sentText)), 1);
  const long long msgid = std::stoll(Text("select msgid" + Row(sentText)));
  EXPECT_GT(msgid, 0);
  EXPECT_EQ(Text("select content from nq_messagenew where account='" + kFriend + "'"),
            "hello there");

  // The scripted friend answers through a push: stored once, announced once.
  auto reply = WaitForMessage(
      [](const Json::Value& m) { return m["content"].asString() == "echo: hello there"; });
  ASSERT_TRUE(reply) << server->Output();
  EXPECT_EQ((*reply)["content"].asString(), "echo: hello there");
  EXPECT_EQ((*reply)["fromuser"].asString(), kFriend);
  EXPECT_GT((*reply)["msgid"].asInt64(), msgid);
  EXPECT_EQ((*reply)["sendflag"].asInt(), 0);
  const int replyId = (*reply)["id"].asInt();
  EXPECT_EQ(Text("select fromuser||'|'||touser||'|'||content||'|'||seeflag" + Row(replyId)),
            kFriend + "|" + kMe + "|echo: hello there|0");
  EXPECT_EQ(CallbackRecorder::Get().Count(_EVENT_COME_IMMESSAGE, replyId), 1u);
  EXPECT_EQ(Int("select msgid from nq_messagenew where account='" + kFriend + "'"), replyId);
}

void EngineScenarioTest::SendAFileAndFetchItBack() {
  std::string bytes;
  for (int i = 0; i < 300000; ++i) bytes += static_cast<char>(i * 7 + i / 251);
  const std::string file = dir + "/report.bin";
  WriteFile(file, bytes);
  const int id = api.SendMsgFile(kFriend.c_str(), 3, file.c_str(), "{\"atAll\":false}");
  ASSERT_GT(id, 0);
  auto sent = Wait(_REQUEST_HTTP_SENDMSGFILE, id);
  ASSERT_TRUE(sent);
  ASSERT_EQ(sent->a, 0) << sent->text;
  int last = -1;
  for (const RecordedReport& r :
       CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_SENDFILEPROGRESS))
    if (r.id == id) last = r.a;
  EXPECT_EQ(last, 1000);

  // Stored sent, with the file store's URL, the local file and the remark the
  // receiver reads the name and size from.
  EXPECT_EQ(Text("select msgtype||'|'||sendstate||'|'||localpath" + Row(id)), "3|1|" + file);
  const std::string url = Text("select content" + Row(id));
  ASSERT_EQ(url.rfind(server->Value("DOWNSERVER") + "/group1/", 0), 0u) << url;
  const Json::Value remark = Parse(Text("select remark" + Row(id)));
  EXPECT_FALSE(remark["atAll"].asBool());
  EXPECT_EQ(remark["filename"].asString(), "report.bin");
  EXPECT_EQ(remark["filesize"].asInt64(), static_cast<Json::Int64>(bytes.size()));

  // Fetched back byte for byte.
  EXPECT_TRUE(Download(url, dir + "/fetched.bin") == bytes);
}

void EngineScenarioTest::ReceiveEveryKindOfFile() {
  struct Kind {
    const char* type;
    int msgtype;
    const char* name;
    std::string bytes;
    const char* extra;  // what the remark says beyond name and size
  };
  std::string video;
  for (int i = 0; i < 90000; ++i) video += static_cast<char>(i % 253);
  const Kind kinds[] = {
      {"pic", 2, "photo.png", media_samples::PngSample(40, 30), "width 40 height 30"},
      {"file", 3, "minutes of the meeting.txt", "minutes\n", ""},
      {"audio", 4, "voice.wav", media_samples::WavSample(8000, 12000), "seconds 2"},
      {"video", 5, "clip.mp4", video, ""},
  };
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.type);
    const std::string source = dir + "/" + kind.name;
    WriteFile(source, kind.bytes);
    const long long msgid =
        Push("pushfile " + kMe + " " + kFriend + " " + kind.type + " " + source);
    auto message = WaitForPushed(msgid);
    ASSERT_TRUE(message) << server->Output();
    const Json::Value& m = *message;
    EXPECT_EQ(m["msgtype"].asInt(), kind.msgtype);
    EXPECT_EQ(m["fromuser"].asString(), kFriend);
    EXPECT_EQ(m["touser"].asString(), kMe);
    const std::string url = m["content"].asString();
    EXPECT_EQ(url.rfind(server->Value("DOWNSERVER") + "/group1/", 0), 0u) << url;
    const Json::Value remark = Parse(m["remark"].asString());
    EXPECT_EQ(remark["filename"].asString(), kind.name);
    EXPECT_EQ(remark["filesize"].asInt64(), static_cast<Json::Int64>(kind.bytes.size()));
    EXPECT_EQ(remark["from"]["nick"].asString(), "Replying Friend");
    EXPECT_EQ(remark["from"]["logo"].asString(),
              server->Value("DOWNSERVER") + "/group1/t/face.png");
    std::string extra;
    for (const char* key : {"width", "height", "seconds"})
      if (remark.isMember(key))
        extra +=
            std::string(extra.empty() ? "" : " ") + key + " " + std::to_string(remark[key].asInt());
    EXPECT_EQ(extra, kind.extra);
    // Stored as received, unread, with the URL and the remark; the conversation
    // row points at it.
    const int id = m["id"].asInt();
    EXPECT_EQ(Text("select msgtype||'|'||sendflag||'|'||seeflag||'|'||content" + Row(id)),
              std::to_string(kind.msgtype) + "|0|0|" + url);
    EXPECT_EQ(Parse(Text("select remark" + Row(id))), remark);
    EXPECT_EQ(Int("select msgid from nq_messagenew where account='" + kFriend + "'"), id);
    // The file comes down byte for byte.
    EXPECT_TRUE(Download(url, dir + "/received-" + kind.name) == kind.bytes);
    if (kind.msgtype == 3) {
      receivedFileMsgid = msgid;
      receivedFileId = id;
    }
  }
}

void EngineScenarioTest::RecallBothWays() {
  // The own text: the server takes the recall, the row is flagged and a recall
  // notice names its local id.
  const int revoke = api.RevokeMsg(sentText);
  EXPECT_EQ(revoke, sentText);
  auto answered = Wait(_REQUEST_HTTP_REVOKEMSG, sentText);
  ASSERT_TRUE(answered);
  ASSERT_EQ(answered->a, 0) << answered->text;
  EXPECT_EQ(Int("select revokeflag" + Row(sentText)), 1);
  EXPECT_EQ(Rows("select fromuser||'|'||touser||'|'||sendstate from nq_message where msgtype=9 "
                 "and content='" +
                 std::to_string(sentText) + "'"),
            std::vector<std::string>{kMe + "|" + kFriend + "|1"});

  // The friend recalls the file it sent: flagged here, announced as a recall.
  ASSERT_GT(receivedFileId, 0);
  const std::string id = std::to_string(receivedFileMsgid);
  EXPECT_EQ(server->Command("revoke " + kMe + " " + kFriend + " " + id), "revoked " + id + "\n");
  ASSERT_TRUE(Eventually([&] { return Int("select revokeflag" + Row(receivedFileId)) == 1; }));
  auto notice = WaitForMessage([&](const Json::Value& m) {
    return m["msgtype"].asInt() == 9 && m["content"].asString() == std::to_string(receivedFileId);
  });
  ASSERT_TRUE(notice);
  EXPECT_EQ((*notice)["fromuser"].asString(), kFriend);
}

void EngineScenarioTest::CreateAGroupAndAddAMember() {
  Json::Value create;
  create["transid"] = "t-create";
  create["cmd"] = "create";
  create["groupname"] = "Night Shift";
  create["nick"] = "Tess";
  create["user"][0]["id"] = kQuiet;
  const int createId = api.CreateDialogID();
  ASSERT_EQ(api.GroupCommand(createId, Json::FastWriter().write(create).c_str()), createId);
  auto created = Wait(_REQUEST_HTTP_GROUPCOMMAND, createId);
  ASSERT_TRUE(created);
  ASSERT_EQ(created->a, 0) << created->text;
  const Json::Value answer = Parse(created->text);
  ASSERT_EQ(answer["result"]["cmd"].asString(), "OK") << created->text;
  newGroup = answer["result"]["groupid"].asString();
  ASSERT_NE(newGroup.find("group.test.local"), std::string::npos) << newGroup;
  EXPECT_EQ(Rows("select groupname,craccount from nq_group where groupid='" + newGroup + "'"),
            std::vector<std::string>{"Night Shift|" + kMe});

  Json::Value add;
  add["transid"] = "t-add";
  add["cmd"] = "adduser";
  add["groupid"] = newGroup;
  add["user"][0]["id"] = kNewMember;
  const int addId = api.CreateDialogID();
  ASSERT_EQ(api.GroupCommand(addId, Json::FastWriter().write(add).c_str()), addId);
  auto added = Wait(_REQUEST_HTTP_GROUPCOMMAND, addId);
  ASSERT_TRUE(added);
  ASSERT_EQ(added->a, 0) << added->text;
  EXPECT_EQ(Parse(added->text)["result"]["cmd"].asString(), "OK") << added->text;

  // The members as the program reloads them: the owner, the first member and the one
  // added, stored by the engine.
  Json::Value info;
  info["transid"] = "t-info";
  info["cmd"] = "getinfo";
  info["groupid"] = newGroup;
  const int infoId = api.CreateDialogID();
  ASSERT_EQ(api.GroupCommand(infoId, Json::FastWriter().write(info).c_str()), infoId);
  auto members = Wait(_REQUEST_HTTP_GROUPCOMMAND, infoId);
  ASSERT_TRUE(members);
  EXPECT_EQ(members->a, 0) << members->text;
  EXPECT_EQ(Rows("select account||'|'||role from nq_groupuser where groupid='" + newGroup +
                 "' order by account"),
            (std::vector<std::string>{kMe + "|1", kQuiet + "|3", kNewMember + "|3"}));
  // A text to the new group goes through: the server knows its members.
  const int text = api.SendMsgIM(newGroup.c_str(), 0, "welcome", "{}");
  auto sent = Wait(_REQUEST_HTTP_SENDMSGIM, text);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->a, 0) << sent->text;
  EXPECT_EQ(Text("select totype||'|'||fromgroup||'|'||sendstate" + Row(text)),
            "1|" + newGroup + "|1");
}

void EngineScenarioTest::ReceivePushes() {
  const size_t notices = Count(_EVENT_COME_GROUPNOTIFY);
  const long long msgid = Push("push " + kMe + " " + kQuiet + " are you there");
  auto message = WaitForPushed(msgid);
  ASSERT_TRUE(message);
  EXPECT_EQ((*message)["content"].asString(), "are you there");
  const int id = (*message)["id"].asInt();
  EXPECT_EQ(Text("select fromuser||'|'||seeflag||'|'||totype" + Row(id)), kQuiet + "|0|0");
  EXPECT_EQ(Rows("select msgid,content from nq_messagenew where account='" + kQuiet + "'"),
            std::vector<std::string>{std::to_string(id) + "|are you there"});
  // The downloaded history counts as seen; the pushed message does not.
  EXPECT_EQ(Rows("select content from nq_message where fromuser='" + kQuiet + "' and seeflag=0"),
            std::vector<std::string>{"are you there"});

  // A group message and a group notice of the world's group.
  const long long groupMsgid = Push("push " + kGroup + " " + kFriend + " hello testers");
  auto groupMessage = WaitForPushed(groupMsgid);
  ASSERT_TRUE(groupMessage);
  EXPECT_EQ((*groupMessage)["totype"].asInt(), 1);
  EXPECT_EQ((*groupMessage)["fromgroup"].asString(), kGroup);
  EXPECT_EQ(Text("select content from nq_messagenew where account='" + kGroup + "'"),
            "hello testers");
  EXPECT_EQ(server->Command("groupnotify " + kGroup + " the room moves to floor 2"), "notified\n");
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_COME_GROUPNOTIFY, notices + 1, kWait));
  // Announced as a message of the group too, after the notice.
  auto notice = WaitForMessage([&](const Json::Value& m) {
    return m["msgtype"].asInt() == 6 && m["touser"].asString() == kGroup;
  });
  ASSERT_TRUE(notice);
  EXPECT_EQ((*notice)["content"].asString(), "the room moves to floor 2");
  EXPECT_EQ(Int("select count(*) from nq_message where touser='" + kGroup + "' and msgtype=6"), 1);
  // Every push was answered.
  std::string status;
  EXPECT_TRUE(Eventually([&] {
    status = server->Command("status");
    return status.find(" 0 unanswered") != std::string::npos;
  })) << status;
}

void EngineScenarioTest::PageBackThroughHistory() {
  // Older messages come a page at a time, each page the 20 before the oldest stored
  // message, stored read and unannounced, until the first message.
  const size_t announced = Count(_EVENT_COME_IMMESSAGE);
  const size_t conversations = Count(_EVENT_COME_HISTORYIM);
  const std::string newest =
      "select msgid||'|'||msgtype||'|'||content from nq_messagenew where account='" + kFriend + "'";
  const std::string newestBefore = Text(newest);
  std::vector<int> stored = StoredHistory();
  for (int page = 0; page < 5 && stored.front() > 1; ++page) {
    SCOPED_TRACE(page);
    const int oldest = Int("select min(msgid) from nq_message where content like 'old %'");
    const int request = api.GetHistoryMsg(kFriend.c_str(), oldest, 20);
    ASSERT_GT(request, 0);
    auto answered = Wait(_REQUEST_HTTP_GETHISTORYMSG, request);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->a, 0);
    const std::vector<int> now = StoredHistory();
    const size_t expected = std::min<size_t>(stored.size() + 20, kHistoryCount);
    ASSERT_EQ(now.size(), expected);
    for (size_t i = 0; i < now.size(); ++i)
      EXPECT_EQ(now[i], kHistoryCount - static_cast<int>(now.size()) + 1 + static_cast<int>(i));
    stored = now;
  }
  ASSERT_EQ(stored.size(), static_cast<size_t>(kHistoryCount));
  EXPECT_EQ(Int("select count(*) from nq_message where content like 'old %' and seeflag=0"), 0);
  // Past the first message: nothing more, nothing twice.
  const int request = api.GetHistoryMsg(
      kFriend.c_str(), Int("select min(msgid) from nq_message where content like 'old %'"), 20);
  ASSERT_TRUE(Wait(_REQUEST_HTTP_GETHISTORYMSG, request));
  EXPECT_EQ(StoredHistory().size(), static_cast<size_t>(kHistoryCount));
  EXPECT_EQ(Int("select count(*) from (select msgid from nq_message where msgid>0 and totype=0 "
                "group by msgid having count(*)>1)"),
            0);
  EXPECT_EQ(Count(_EVENT_COME_IMMESSAGE), announced);

  EXPECT_EQ(Count(_EVENT_COME_HISTORYIM), conversations);
  // The conversation row still names its newest message, not an older one.
  EXPECT_EQ(Text(newest), newestBefore);
}

void EngineScenarioTest::KickOutThenLogInByQR() {
  EXPECT_EQ(server->Command("kickout " + kMe + " Signed in on another computer."),
            "kicked out " + kMe + "\n");
  auto kicked = Wait(_EVENT_RECV_KICKOUT);
  ASSERT_TRUE(kicked);
  EXPECT_EQ(kicked->text, "Signed in on another computer.");
  EXPECT_EQ(api.LoginState(), 0);
  EXPECT_EQ(server->Command("accounts").find("online"), std::string::npos);
  // The session is gone: a send is refused and the row marked failed.
  const int refused = api.SendMsgIM(kFriend.c_str(), 0, "after the kick", "{}");
  auto answer = Wait(_REQUEST_HTTP_SENDMSGIM, refused);
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->a, 0);
  EXPECT_EQ(Int("select sendstate" + Row(refused)), 0);

  // Back in by QR code, confirmed by the server as the world's QR account.
  const std::string poll = "https://" + server->Value("TESMO_SERVER") +
                           "/navigation/qrcode/getuserinfo.do?auid=T77&device=DEVICE-Q";
  ASSERT_EQ(api.GetQRUserInfo(poll.c_str()), 1);
  auto scanned = Wait(_EVENT_REPORT_QRLOGIN);
  ASSERT_TRUE(scanned);
  ASSERT_EQ(scanned->a, 0);
  ASSERT_EQ(scanned->text, kMe);
  ASSERT_EQ(api.SetQRLogin(scanned->text.c_str(), "DEVICE-Q", 1), 1);
  ASSERT_EQ(api.MakeRegister(), 1);
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_LOGIN_SUCCESS, 2, kWait))
      << server->Output();
  EXPECT_EQ(api.IsLogin(), 1);
  EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 0u);
  // The second background download adds nothing twice.
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_COME_FINISHIMHISTORY, 2, kWait));
  EXPECT_EQ(Int("select count(*) from (select msgid from nq_message where msgid>0 and totype=0 "
                "group by msgid having count(*)>1)"),
            0);
  EXPECT_EQ(StoredHistory().size(), static_cast<size_t>(kHistoryCount));
  // The failed text goes out again under the new session.
  EXPECT_EQ(api.RepeatSendMsg(refused, ""), refused);
  ASSERT_TRUE(Eventually(
      [&] { return CallbackRecorder::Get().Count(_REQUEST_HTTP_SENDMSGIM, refused) == 2; }));
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_REQUEST_HTTP_SENDMSGIM).back().a, 0);
  EXPECT_EQ(Int("select sendstate" + Row(refused)), 1);
  EXPECT_EQ(
      Int("select count(*) from nq_message where msgid=" + Text("select msgid" + Row(refused))), 1);
}

TEST_F(EngineScenarioTest, OneSessionFromLoginToKickOutAndBackByQR) {
  ASSERT_NO_FATAL_FAILURE(LogInByCodeAndDownload());
  ASSERT_NO_FATAL_FAILURE(SendTextAndReceiveTheReply());
  ASSERT_NO_FATAL_FAILURE(SendAFileAndFetchItBack());
  ASSERT_NO_FATAL_FAILURE(ReceiveEveryKindOfFile());
  ASSERT_NO_FATAL_FAILURE(RecallBothWays());
  ASSERT_NO_FATAL_FAILURE(CreateAGroupAndAddAMember());
  ASSERT_NO_FATAL_FAILURE(ReceivePushes());
  ASSERT_NO_FATAL_FAILURE(PageBackThroughHistory());
  ASSERT_NO_FATAL_FAILURE(KickOutThenLogInByQR());
  EXPECT_FALSE(CallbackRecorder::Get().SawOverlap());
}

}  // namespace
