// Every export of the facade in one table: its answer without an engine core, with
// a running core but no account database, and on the working path with both, and
// the kind of text it returns. Queuing exports also prove that a reply with their
// code and id follows exactly once when a core runs, and never without one.
// Behaviour in depth lives in the tests named in the rows' comments:
// facade_lifecycle_test (life cycle, callback road, dialog ids), facade_user_exports_test
// (contacts, own account), result_ring_test (ring and buffers), TCodecFacadeTest
// (codecs), TSqliteWrapperTest and TSetDatabaseTest (database exports),
// service_url_test and service_sync_test (URLs, synchronous HTTP), the send_* tests
// (messages), login_* tests (login and QR).
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"
#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"
#include "engine/net/ServiceTestSupport.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/TestCipherKit.h"
#include "services/TContactCache.h"
#include "support/CallbackRecorder.h"

namespace {

using storetest::TempDir;

// What an export answered: its number or text, and for a text the pointer itself.
struct Answer {
  std::string value;
  const char* text = nullptr;
};

Answer Num(long n) { return {std::to_string(n), nullptr}; }
Answer Txt(const char* p) { return {p ? std::string(p) : std::string("<null>"), p}; }
Answer None() { return {"-", nullptr}; }

// How a returned text is owned.
enum class Kind {
  kNumber,    // no text
  kRing,      // a copy in the calling thread's result ring
  kBuffer,    // the method's own buffer, overwritten by its next call
  kArgument,  // the argument itself, or a buffer of its own when it changes the text
};

enum Phase { kNoCore, kNoDatabase, kWorking };

struct Env {
  TAPIInterface* api = nullptr;
  Phase phase = kNoCore;
  std::string dir;
  std::string url;       // a path on the loopback server that answers 200
  std::string database;  // the account database of the working phase
  int stored = 0;        // a stored message id (working phase)
};

struct Row {
  const char* name;
  Kind kind;
  std::function<Answer(Env&)> call;
  // Expected answers as regular expressions, per phase.
  const char* noCore;
  const char* noDatabase;
  const char* working;
  int code = 0;  // the request code a queuing export queues
};

// Ids for queuing exports that take one, distinct per phase so that replies are
// matched to the phase that queued them.
int IdFor(const Env& env, int n) { return 1000 * (env.phase + 1) + n; }

std::vector<Row> Table() {
  // clang-format off
  return {
  // Life cycle and settings (facade_lifecycle_test, engine_core_test).
  {"CreateDialogID", Kind::kNumber, [](Env& e) { return Num(e.api->CreateDialogID()); },
   "0", "1[0-9]{4}", "1[0-9]{4}"},
  {"GetIPAddress", Kind::kRing, [](Env& e) { return Txt(e.api->GetIPAddress(0)); }, "", "", ""},
  {"UseOpenssl", Kind::kNumber, [](Env& e) { return Num(e.api->UseOpenssl("", "", "")); },
   "0", "1", "1"},
  {"SetHttpLog", Kind::kNumber, [](Env& e) { e.api->SetHttpLog(""); return None(); },
   "-", "-", "-"},
  {"SetNationPrefix", Kind::kNumber,
   [](Env& e) { return Num(e.api->SetNationPrefix(TESMO_TEST_DATA_DIR "/NationPrefix.txt")); },
   "0", "1", "1"},
  {"RemoveNationPrefix", Kind::kArgument,
   [](Env& e) { return Txt(e.api->RemoveNationPrefix("+8613900000001")); },
   "\\+8613900000001", "13900000001", "13900000001"},
  {"SetServerInfo", Kind::kNumber, [](Env& e) {
     e.api->SetServerInfo("127.0.0.1", 1);
     return Num(TEngineCore::Instance() ? TEngineCore::Instance()->GetLoginPort() : -1); },
   "-1", "1", "1"},
  {"SetDeviceType", Kind::kNumber, [](Env& e) { return Num(e.api->SetDeviceType(2)); },
   "0", "1", "1"},
  {"SetLanguage", Kind::kNumber, [](Env& e) { return Num(e.api->SetLanguage("en-US")); },
   "0", "1", "1"},
  {"CreateDatabase", Kind::kNumber,
   [](Env& e) { return Num(e.api->CreateDatabase((e.dir + "/empty.db").c_str())); },
   "1", "1", "1"},

  // Login and session (login_* tests, engine_core_test).
  {"SetMobileLogin", Kind::kNumber,
   [](Env& e) { return Num(e.api->SetMobileLogin("13900000001", "+86", "1", "D", 1)); },
   "0", "1", "1"},
  {"SetQRLogin", Kind::kNumber, [](Env& e) { return Num(e.api->SetQRLogin("k", "D", 1)); },
   "0", "1", "1"},
  {"SetTicketLogin", Kind::kNumber,
   [](Env& e) { return Num(e.api->SetTicketLogin("t", "D", 1, "1@a.test")); }, "0", "1", "1"},
  {"GetQRUserInfo", Kind::kNumber,
   [](Env& e) { return Num(e.api->GetQRUserInfo((e.url + "?qr=1").c_str())); }, "0", "1", "1"},
  {"MakeRegister", Kind::kNumber, [](Env& e) { return Num(e.api->MakeRegister()); },
   "0", "1", "1"},
  {"MakeUnRegister", Kind::kNumber, [](Env& e) { return Num(e.api->MakeUnRegister()); },
   "0", "1", "1"},
  {"SetNetworkState", Kind::kNumber, [](Env& e) { return Num(e.api->SetNetworkState(1)); },
   "0", "1", "1"},
  {"IsLogin", Kind::kNumber, [](Env& e) { return Num(e.api->IsLogin()); }, "0", "0", "0"},
  {"LoginState", Kind::kNumber, [](Env& e) { return Num(e.api->LoginState()); }, "0", "0", "0"},
  {"UpdateToken", Kind::kNumber, [](Env& e) { return Num(e.api->UpdateToken("tok-1")); },
   "0", "1", "1"},
  {"GetToken", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetToken()); },
   "", "tok-1", "tok-1"},

  // Own account and contacts (facade_user_exports_test).
  {"GetMyAccount", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetMyAccount()); },
   "", "", "1@a\\.test"},
  {"GetMyName", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetMyName()); }, "", "Me", "Me"},
  {"GetMyUserID", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetMyUserID()); },
   "", "0", "1"},
  {"GetMyLogo", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetMyLogo()); },
   "", "logo", "logo"},
  {"GetMyBigLogo", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetMyBigLogo()); },
   "", "big", "big"},
  {"GetMySummary", Kind::kRing, [](Env& e) { return Txt(e.api->GetMySummary()); },
   "", "about me", "about me"},
  {"GetUCUserID", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetUCUserID()); },
   "", "", "uc-1"},
  {"GetBlackList", Kind::kRing, [](Env& e) { return Txt(e.api->GetBlackList()); },
   "", "7@a\\.test", "7@a\\.test"},
  {"GetChampFlag", Kind::kNumber, [](Env& e) { return Num(e.api->GetChampFlag()); },
   "0", "1", "1"},
  {"GetBombRedUrl", Kind::kBuffer, [](Env& e) { return Txt(e.api->GetBombRedUrl()); },
   "", "http://127\\.0\\.0\\.1/red", "http://127\\.0\\.0\\.1/red"},
  {"GetUserInfo", Kind::kRing, [](Env& e) { return Txt(e.api->GetUserInfo("12@a.test", 0)); },
   "", "Twelve", "Twelve"},
  {"ExistUser", Kind::kNumber, [](Env& e) { return Num(e.api->ExistUser("12@a.test")); },
   "0", "1", "1"},

  // Messages (send_* tests, TMessageStoreTest). Without a core nothing is stored or
  // queued; without a database nothing can be stored, so nothing is sent.
  {"SendMsgIM", Kind::kNumber, [](Env& e) { return Num(e.api->SendMsgIM("2@a.test", 0, "hi", "{}")); },
   "0", "0", "[1-9][0-9]*", _REQUEST_HTTP_SENDMSGIM},
  {"SendMsgFile", Kind::kNumber, [](Env& e) {
     return Num(e.api->SendMsgFile("2@a.test", 3, (e.dir + "/empty.db").c_str(), "{}")); },
   "0", "0", "[1-9][0-9]*", _REQUEST_HTTP_SENDMSGFILE},
  {"FwSendMsg", Kind::kNumber, [](Env& e) { return Num(e.api->FwSendMsg("3@a.test", e.stored)); },
   "0", "0", "[1-9][0-9]*", _REQUEST_HTTP_SENDMSGIM},
  {"RepeatSendMsg", Kind::kNumber, [](Env& e) {
     return Num(e.api->RepeatSendMsg(e.phase == kWorking ? e.stored : IdFor(e, 4), "")); },
   "1004", "2004", "[1-9][0-9]*", _REQUEST_HTTP_SENDMSGIM},
  {"RevokeMsg", Kind::kNumber, [](Env& e) { return Num(e.api->RevokeMsg(IdFor(e, 5))); },
   "1005", "2005", "3005", _REQUEST_HTTP_REVOKEMSG},
  {"ReadMsgIM", Kind::kNumber, [](Env& e) { return Num(e.api->ReadMsgIM("2@a.test")); },
   "0", "1[0-9]{4}", "1[0-9]{4}", _REQUEST_HTTP_READMSGIM},
  {"GetHistoryMsg", Kind::kNumber,
   [](Env& e) { return Num(e.api->GetHistoryMsg("2@a.test", -1, 60)); },
   "0", "1[0-9]{4}", "1[0-9]{4}", _REQUEST_HTTP_GETHISTORYMSG},
  {"SearchAtMsg", Kind::kNumber, [](Env& e) { return Num(e.api->SearchAtMsg("2@a.test", 1)); },
   "0", "0", "1"},
  {"ClearAtFlag", Kind::kNumber, [](Env& e) { return Num(e.api->ClearAtFlag("2@a.test")); },
   "0", "0", "1"},
  {"DeleteMessage", Kind::kNumber, [](Env& e) { return Num(e.api->DeleteMessage(e.stored)); },
   "0", "0", "1"},

  // Local database (TSqliteWrapperTest, TSetDatabaseTest): only the database counts.
  {"DBExecSql", Kind::kNumber,
   [](Env& e) { return Num(e.api->DBExecSql("update nq_contact set mobile=''")); },
   "0", "0", "1"},
  {"DBSelectSql and the record set", Kind::kRing, [](Env& e) {
     const long set = e.api->DBSelectSql("select 'row', 42");
     std::string shape = std::to_string(e.api->DBGetRecordCount(set)) + "x" +
                         std::to_string(e.api->DBGetFieldCount(set)) + " " +
                         std::to_string(e.api->DBGetIntValue(set, 0, 1)) + " ";
     const char* text = e.api->DBGetStrValue(set, 0, 0);
     Answer answer{shape + text, text};
     // Out of range reads are empty, and the handle is gone once released.
     if (*e.api->DBGetStrValue(set, 1, 0) || e.api->DBGetIntValue(set, 0, 2)) answer.value += "!";
     e.api->DBRelease(set);
     if (e.api->DBGetRecordCount(set)) answer.value += "?";
     return answer; },
   "0x0 0 ", "0x0 0 ", "1x2 42 row"},

  // HTTP, files and ids (service_* and transfer_* tests).
  {"SendGet", Kind::kNumber, [](Env& e) { return Num(e.api->SendGet(IdFor(e, 10), e.url.c_str())); },
   "1010", "2010", "3010", _REQUEST_HTTP_SENDGET},
  {"SendPost", Kind::kNumber,
   [](Env& e) { return Num(e.api->SendPost(IdFor(e, 11), e.url.c_str(), "{}")); },
   "1011", "2011", "3011", _REQUEST_HTTP_SENDPOST},
  {"UploadFile", Kind::kNumber,
   [](Env& e) { return Num(e.api->UploadFile(IdFor(e, 12), "/nonexistent/file", 0)); },
   "1012", "2012", "3012", _REQUEST_HTTP_UPLOADFILE},
  {"DownloadFile", Kind::kNumber, [](Env& e) {
     return Num(e.api->DownloadFile(IdFor(e, 13), e.url.c_str(), (e.dir + "/down.bin").c_str(), 0)); },
   "1013", "2013", "3013", _REQUEST_HTTP_DOWNFILE},
  {"UploadDumpFile", Kind::kNumber,
   [](Env& e) { return Num(e.api->UploadDumpFile(IdFor(e, 14), "/nonexistent/dump")); },
   "1014", "2014", "3014", _REQUEST_HTTP_UPLOADDUMP},
  {"SyncSendGet", Kind::kRing, [](Env& e) { return Txt(e.api->SyncSendGet(0, e.url.c_str())); },
   "ok", "ok", "ok"},
  {"SyncSendPost", Kind::kRing,
   [](Env& e) { return Txt(e.api->SyncSendPost(0, e.url.c_str(), "{}")); }, "ok", "ok", "ok"},
  {"CreateRequestURL", Kind::kBuffer,
   [](Env& e) { return Txt(e.api->CreateRequestURL("/p.do", "LOGIN")); },
   "", "https://127\\.0\\.0\\.1:1/p\\.do", "https://127\\.0\\.0\\.1:1/p\\.do"},
  {"CreateAccountRequestURL", Kind::kBuffer,
   [](Env& e) { return Txt(e.api->CreateAccountRequestURL("/p.do", "", "LOGIN")); },
   "", "https://127\\.0\\.0\\.1:1/p\\.do", "https://127\\.0\\.0\\.1:1/p\\.do"},
  {"NewTransID", Kind::kBuffer, [](Env& e) { return Txt(e.api->NewTransID("")); },
   "[0-9a-f]{2}[0-9]{32}", "[0-9a-f]{2}[0-9]{32}", "[0-9a-f]{2}[0-9]{32}"},

  // Commands (group_command_test, user_command_test).
  {"GroupCommand", Kind::kNumber,
   [](Env& e) { return Num(e.api->GroupCommand(IdFor(e, 20), "\"cmd\": \"getinfo\",")); },
   "1020", "2020", "3020", _REQUEST_HTTP_GROUPCOMMAND},
  {"UserCommand", Kind::kNumber,
   [](Env& e) { return Num(e.api->UserCommand(IdFor(e, 21), "{\"cmd\": \"none\"}")); },
   "1021", "2021", "3021", _REQUEST_HTTP_USERCOMMAND},

  // Codecs and digests (TCodecFacadeTest).
  {"ArgumentToJson", Kind::kRing, [](Env& e) { return Txt(e.api->ArgumentToJson("\"a\": 1,")); },
   "\\{\"a\": 1\\}", "\\{\"a\": 1\\}", "\\{\"a\": 1\\}"},
  {"EncodeArgument", Kind::kRing, [](Env& e) { return Txt(e.api->EncodeArgument("a", "x")); },
   "\"a\": \"x\",", "\"a\": \"x\",", "\"a\": \"x\","},
  {"EncodeIntArgument", Kind::kRing, [](Env& e) { return Txt(e.api->EncodeIntArgument("n", 7)); },
   "\"n\": 7,", "\"n\": 7,", "\"n\": 7,"},
  {"DecodeArgument", Kind::kRing,
   [](Env& e) { return Txt(e.api->DecodeArgument("\"a\": \"x\",", "a")); }, "x", "x", "x"},
  {"DecodeIntArgument", Kind::kNumber,
   [](Env& e) { return Num(e.api->DecodeIntArgument("\"n\": 7,", "n")); }, "7", "7", "7"},
  {"Md5Encode", Kind::kBuffer, [](Env& e) { return Txt(e.api->Md5Encode("abc")); },
   "900150983cd24fb0d6963f7d28e17f72", "900150983cd24fb0d6963f7d28e17f72",
   "900150983cd24fb0d6963f7d28e17f72"},
  {"EncodePassword", Kind::kRing, [](Env& e) { return Txt(e.api->EncodePassword("pw", "", 1)); },
   "", "[1-8a-fAB]{16}", "[1-8a-fAB]{16}"},
  {"EncryptString and DecryptString", Kind::kRing, [](Env& e) {
     const std::string sealed = e.api->EncryptString("hello");
     return Txt(sealed == TestCipherKit::Encrypt("hello") ? e.api->DecryptString(sealed.c_str())
                                                          : "sealed wrongly"); },
   "hello", "hello", "hello"},
  // Mended: a ring copy instead of a new buffer per call that nobody frees.
  {"GetAppCfgString", Kind::kRing, [](Env& e) {
     return Txt(e.api->GetAppCfgString(TestCipherKit::BuildConfigString("{\"v\":1}").c_str())); },
   "", "\\{\"v\":1\\}", "\\{\"v\":1\\}"},

  // Last: it gives the no-database phase a database.
  {"SetDatabase", Kind::kNumber,
   [](Env& e) { return Num(e.api->SetDatabase(e.database.c_str())); }, "2", "2", "1"},
  };
  // clang-format on
}

const char* PhaseName(Phase p) {
  return p == kNoCore ? "without a core" : p == kNoDatabase ? "without a database" : "working";
}

class FacadeConformanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    server.SetFallback([](const FakeRequest&) { return FakeReply::Text(200, "ok"); });
    ASSERT_TRUE(server.Start());
    env.dir = dir.Path();
    env.url = server.Url("/any.do");
    env.database = dir.File("tesChat.db");
  }

  // Runs every row in one phase; returns what each queuing row queued.
  std::vector<std::pair<int, int>> RunPhase(TAPIInterface& api, Phase phase) {
    env.api = &api;
    env.phase = phase;
    std::vector<std::pair<int, int>> queued;
    for (const Row& row : Table()) {
      SCOPED_TRACE(std::string(row.name) + " " + PhaseName(phase));
      const char* expected = phase == kNoCore       ? row.noCore
                             : phase == kNoDatabase ? row.noDatabase
                                                    : row.working;
      const Answer first = row.call(env);
      EXPECT_TRUE(std::regex_match(first.value, std::regex(expected)))
          << "answered \"" << first.value << "\", expected \"" << expected << "\"";
      if (row.kind != Kind::kNumber) CheckKind(row, first);
      if (row.code) queued.emplace_back(row.code, std::stoi(first.value));
    }
    return queued;
  }

  // A text is never null; an empty ring result is the one static empty text; a ring
  // result stays valid across a second call, a buffer result is the same buffer.
  void CheckKind(const Row& row, const Answer& first) {
    ASSERT_NE(first.text, nullptr);
    const std::string before = first.text;
    const Answer second = row.call(env);
    ASSERT_NE(second.text, nullptr);
    if (row.kind == Kind::kRing) {
      if (before.empty()) {
        EXPECT_EQ(first.text, TStringQueue::EmptyText());
      } else if (row.name != std::string("NewTransID")) {
        EXPECT_NE(first.text, second.text) << "a ring result is a new copy per call";
        EXPECT_EQ(std::string(first.text), before) << "the first copy stays valid";
      }
    } else if (row.kind == Kind::kBuffer && !before.empty()) {
      EXPECT_EQ(first.text, second.text) << "a buffer result is the method's own buffer";
    }
  }

  // Each queued request with a core is answered exactly once with its code and id.
  void ExpectAnsweredOnce(const std::vector<std::pair<int, int>>& queued) {
    for (const auto& [code, id] : queued) {
      SCOPED_TRACE("code " + std::to_string(code) + " id " + std::to_string(id));
      if (id == 0) continue;  // nothing was stored, so nothing was queued
      EXPECT_TRUE(CallbackRecorder::Get().WaitFor(code, id, std::chrono::seconds(60)));
    }
  }

  TempDir dir;
  FakeHttpServer server;
  Env env;
};

TEST_F(FacadeConformanceTest, EveryExportWithoutACoreWithoutADatabaseAndWorking) {
  std::vector<std::pair<int, int>> withoutCore;
  {
    TAPIInterface api;
    api.SetCallBack(&CallbackRecorder::Callback);
    withoutCore = RunPhase(api, kNoCore);
  }

  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  ASSERT_EQ(api.Run(), 1);
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_REPORT_RUN, 4));
  TEngineCore* core = TEngineCore::Instance();
  core->SetProfile("Me", "logo", "big", "about me", 1, 1);
  core->SetBlackList("7@a.test");
  core->SetRedPacketUrl("http://127.0.0.1/red");
  core->GetContactCache()->Set("12@a.test", "Twelve", "", "", "", 1, 1, 0);
  // The URL rows name the login server; the HTTP rows reach the loopback server.
  ASSERT_EQ(api.UseOpenssl("", "", ""), 1);
  const auto withoutDatabase = RunPhase(api, kNoDatabase);

  // The working phase: an account database with one received message that
  // mentions this user and one sent message.
  ASSERT_EQ(api.SetDatabase(env.database.c_str()), 1);  // opened by the last row
  core->SetUserAccount("1", "1@a.test");
  // Opening the database reloaded the black list and the contact cache from it.
  EXPECT_STREQ(api.GetBlackList(), "");
  EXPECT_EQ(api.ExistUser("12@a.test"), 0);
  core->SetBlackList("7@a.test");
  core->GetContactCache()->Set("12@a.test", "Twelve", "", "", "", 1, 1, 0);
  api.GetDatabaseManager()->SetSaveInfo(1, "ucuserid", "uc-1");
  ASSERT_EQ(api.DBExecSql("insert into nq_message (msgid, msgtype, fromuser, touser, content, "
                          "remark, sendflag, sendstate, atflag, sendtime) values (5, 0, "
                          "'1@a.test', '2@a.test', 'stored', '{}', 1, 1, 1, "
                          "'2026-01-01 10:00:00')"),
            1);
  env.stored = std::stoi(storetest::SelectOne(api, "select max(id) from nq_message"));
  const auto working = RunPhase(api, kWorking);

  ExpectAnsweredOnce(withoutDatabase);
  ExpectAnsweredOnce(working);
  // Nothing queued without a core is ever answered; with a core everything once.
  for (const auto& [code, id] : withoutCore) {
    if (id) {
      EXPECT_EQ(CallbackRecorder::Get().Count(code, id), 0u) << code << " " << id;
    }
  }
  for (const auto& queued : {withoutDatabase, working}) {
    for (const auto& [code, id] : queued) {
      if (id) {
        EXPECT_EQ(CallbackRecorder::Get().Count(code, id), 1u) << code << " " << id;
      }
    }
  }
  // Without a database a new message cannot be stored: its id is 0, and the send
  // queued under id 0 (SendMsgIM, FwSendMsg, SendMsgFile) is refused with 11 without
  // reaching a server.
  EXPECT_TRUE(CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDMSGFILE, 0));
  for (const RecordedReport& r : CallbackRecorder::Get().Reports()) {
    if (r.id == 0 && (r.code == _REQUEST_HTTP_SENDMSGIM || r.code == _REQUEST_HTTP_SENDMSGFILE)) {
      EXPECT_EQ(r.a, 11);
    }
  }
  EXPECT_EQ(CallbackRecorder::Get().Count(_REQUEST_HTTP_SENDMSGFILE, 0), 1u);
  api.Release();
}

// The packet each queuing export hands to the request service: its code, id and
// argument texts, as the handlers read them.
TEST_F(FacadeConformanceTest, QueuedPacketsCarryTheirCodeIdAndTexts) {
  struct Seen {
    int code, id;
    std::string s1, s2, s3;
  };
  std::mutex mutex;
  std::vector<Seen> seen;
  TAPIInterface api;
  api.Init();
  for (int code :
       {_REQUEST_HTTP_SENDGET, _REQUEST_HTTP_SENDPOST, _REQUEST_HTTP_UPLOADFILE,
        _REQUEST_HTTP_DOWNFILE, _REQUEST_HTTP_UPLOADDUMP, _REQUEST_HTTP_SENDMSGIM,
        _REQUEST_HTTP_SENDMSGFILE, _REQUEST_HTTP_REVOKEMSG, _REQUEST_HTTP_READMSGIM,
        _REQUEST_HTTP_GETHISTORYMSG, _REQUEST_HTTP_GROUPCOMMAND, _REQUEST_HTTP_USERCOMMAND}) {
    TEngineCore::Instance()->GetRequestService()->RegisterExecutor(
        code, [&](THttpRequestService&, TAPIPacket* p) {
          std::lock_guard<std::mutex> lock(mutex);
          seen.push_back({p->code, p->id, p->s1, p->s2, p->s3});
          return 0;
        });
  }
  api.SetCallBack(&CallbackRecorder::Callback);
  ASSERT_EQ(api.SetDatabase(env.database.c_str()), 2);
  ASSERT_EQ(api.Run(), 1);
  const std::string file = dir.File("photo.png");
  storetest::WriteFile(file, "12345");

  const int text = api.SendMsgIM("2@a.test", 0, "hi", "{\"a\":1}");
  const int picture = api.SendMsgFile("2@a.test", 2, file.c_str(), "{\"w\":3}");
  const int forward = api.FwSendMsg("3@a.test", text);
  struct Expected {
    int code, id;
    std::string s1, s2, s3;
  };
  const std::string t = std::to_string(text), p = std::to_string(picture);
  const Expected expected[] = {
      {_REQUEST_HTTP_SENDGET, 31, "http://127.0.0.1:1/g", "", ""},
      {_REQUEST_HTTP_SENDPOST, 32, "http://127.0.0.1:1/p", "{\"b\":2}", ""},
      {_REQUEST_HTTP_UPLOADFILE, 33, file, "7", ""},
      {_REQUEST_HTTP_DOWNFILE, 34, "http://127.0.0.1:1/f", file + ".copy", "1"},
      {_REQUEST_HTTP_UPLOADDUMP, 35, file, "", ""},
      {_REQUEST_HTTP_SENDMSGIM, text,
       "{\"id\": \"" + t +
           "\",\"touser\": \"2@a.test\",\"msgtype\": 0,\"msg\": \"hi\","
           "\"remark\": \"{\\\"a\\\":1}\"}",
       "", ""},
      {_REQUEST_HTTP_SENDMSGFILE, picture,
       "{\"id\": \"" + p + "\",\"touser\": \"2@a.test\",\"msgtype\": 2,\"file\": \"" + file +
           "\",\"remark\": \"{\\\"w\\\":3,\\\"filename\\\": \\\"photo.png\\\","
           "\\\"filesize\\\": 5}\"}",
       "", ""},
      {_REQUEST_HTTP_REVOKEMSG, 36, "", "", ""},
      {_REQUEST_HTTP_READMSGIM, api.ReadMsgIM("2@a.test"), "2@a.test", "", ""},
      {_REQUEST_HTTP_GETHISTORYMSG, api.GetHistoryMsg("2@a.test", 77, 60), "2@a.test", "77", "60"},
      {_REQUEST_HTTP_GROUPCOMMAND, 37, "{\"cmd\": \"getinfo\"}", "", ""},
      {_REQUEST_HTTP_USERCOMMAND, 38, "{\"cmd\": \"modify\"}", "", ""},
  };
  EXPECT_EQ(api.SendGet(31, "http://127.0.0.1:1/g"), 31);
  EXPECT_EQ(api.SendPost(32, "http://127.0.0.1:1/p", "{\"b\":2}"), 32);
  EXPECT_EQ(api.UploadFile(33, file.c_str(), 7), 33);
  EXPECT_EQ(api.DownloadFile(34, "http://127.0.0.1:1/f", (file + ".copy").c_str(), 1), 34);
  EXPECT_EQ(api.UploadDumpFile(35, file.c_str()), 35);
  EXPECT_EQ(api.RevokeMsg(36), 36);
  EXPECT_EQ(api.GroupCommand(37, "\"cmd\": \"getinfo\","), 37);
  EXPECT_EQ(api.UserCommand(38, "{\"cmd\": \"modify\"}"), 38);
  EXPECT_EQ(api.RepeatSendMsg(picture, ""), picture);
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.code);
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(e.code, e.id, std::chrono::seconds(60)));
  }
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_REQUEST_HTTP_SENDMSGFILE, 2));
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_REQUEST_HTTP_SENDMSGIM, 2));
  api.Release();

  auto find = [&](int code, int id, size_t nth) -> const Seen* {
    for (const Seen& s : seen) {
      if (s.code == code && s.id == id && nth-- == 0) return &s;
    }
    return nullptr;
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(std::to_string(e.code) + " id " + std::to_string(e.id));
    const Seen* s = find(e.code, e.id, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->s1, e.s1);
    EXPECT_EQ(s->s2, e.s2);
    EXPECT_EQ(s->s3, e.s3);
  }
  // A forward carries the stored text to the new receiver under the copy's id; a
  // resend of a file message carries the stored file under the stored id.
  const Seen* fw = find(_REQUEST_HTTP_SENDMSGIM, forward, 0);
  ASSERT_NE(fw, nullptr);
  EXPECT_NE(fw->s1.find("\"touser\": \"3@a.test\""), std::string::npos) << fw->s1;
  EXPECT_NE(fw->s1.find("\"msg\": \"hi\""), std::string::npos) << fw->s1;
  const Seen* again = find(_REQUEST_HTTP_SENDMSGFILE, picture, 1);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->s1, find(_REQUEST_HTTP_SENDMSGFILE, picture, 0)->s1);
}

}  // namespace
