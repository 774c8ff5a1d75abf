// The facade's own-account and contact exports, the profile command's queuing, the
// message exports without an engine core, and the rule that every request code the
// engine accepts reaches a handler.
#include <gtest/gtest.h>

#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"
#include "net/THttpRequestService.h"
#include "services/TContactCache.h"
#include "support/CallbackRecorder.h"

namespace {

using storetest::SelectOne;
using storetest::TempDir;

std::string MessageCount(TAPIInterface& api) {
  return SelectOne(api, "select count(*) from nq_message");
}

TEST(FacadeUserExportsTest, WithoutACoreEveryExportIsEmpty) {
  TAPIInterface api;
  EXPECT_STREQ(api.GetUserInfo("12@a.test", 0), "");
  EXPECT_EQ(api.ExistUser("12@a.test"), 0);
  EXPECT_STREQ(api.GetBlackList(), "");
  EXPECT_STREQ(api.GetUCUserID(), "");
  EXPECT_EQ(api.GetChampFlag(), 0);
  EXPECT_STREQ(api.GetBombRedUrl(), "");
}

TEST(FacadeUserExportsTest, ExportsReadTheCoreTheCacheAndTheStore) {
  TempDir dir;
  TAPIInterface api;
  api.Init();
  ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
  TEngineCore* core = TEngineCore::Instance();
  core->GetContactCache()->Set("12@a.test", "Twelve", "summary", "logo", "big", 1, 3, 2);

  struct Row {
    int field;
    const char* expected;
  } rows[] = {{0, "Twelve"}, {1, "summary"}, {2, "logo"}, {3, "big"}, {4, "2"}, {5, ""}, {-1, ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.field);
    EXPECT_EQ(std::string(api.GetUserInfo("12@a.test", row.field)), row.expected);
    // The cache is keyed by the user id: the bare id names the same user.
    EXPECT_EQ(std::string(api.GetUserInfo("12", row.field)), row.expected);
  }
  EXPECT_STREQ(api.GetUserInfo("13@a.test", 0), "");
  EXPECT_EQ(api.ExistUser("12@b.test"), 1);
  EXPECT_EQ(api.ExistUser("13@a.test"), 0);

  EXPECT_STREQ(api.GetBlackList(), "");
  core->SetBlackList("7@a.test,8@group.a.test");
  EXPECT_STREQ(api.GetBlackList(), "7@a.test,8@group.a.test");
  EXPECT_EQ(api.GetDatabaseManager()->GetSaveInfo(1, "BLACK"), "7@a.test,8@group.a.test");

  EXPECT_STREQ(api.GetUCUserID(), "");
  api.GetDatabaseManager()->SetSaveInfo(1, "ucuserid", "uc-77");
  EXPECT_STREQ(api.GetUCUserID(), "uc-77");

  core->SetProfile("Me", "", "", "", 1, 1);
  EXPECT_EQ(api.GetChampFlag(), 1);
  core->SetRedPacketUrl("http://127.0.0.1/red?x=1");
  EXPECT_STREQ(api.GetBombRedUrl(), "http://127.0.0.1/red?x=1");
  api.Release();
}

TEST(FacadeUserExportsTest, UserCommandIsQueuedAsGivenAndAnsweredByTheUserService) {
  CallbackRecorder::Get().Clear();
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  api.Run();
  EXPECT_EQ(api.UserCommand(41, R"({"cmd": "Modify", "name": "x"})"), 41);
  auto report =
      CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_USERCOMMAND, 41, std::chrono::seconds(60));
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->a, 12);  // an unknown command, not the no-handler answer 0
  api.Release();
}

// A message is stored only when its send can be queued: with no engine core a row
// would stay "sending" for ever.
TEST(FacadeUserExportsTest, MessagesWithoutACoreStoreNothing) {
  TempDir dir;
  TAPIInterface api;
  ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
  auto tryAll = [&] {
    EXPECT_EQ(api.SendMsgIM("2@a.test", 1, "hi", "{}"), 0);
    EXPECT_EQ(api.SendMsgFile("2@a.test", 3, "/nonexistent/f.txt", "{}"), 0);
    EXPECT_EQ(api.FwSendMsg("2@a.test", 1), 0);
  };
  tryAll();  // before Init
  EXPECT_EQ(MessageCount(api), "0");

  api.Init();
  api.Run();
  const int id = api.SendMsgIM("2@a.test", 1, "hi", "{}");
  EXPECT_GT(id, 0);
  EXPECT_EQ(MessageCount(api), "1");
  api.Release();

  tryAll();  // after Release
  EXPECT_EQ(MessageCount(api), "1");
}

// Every request code a queuing export produces reaches a handler: queued with empty
// texts, each is refused with a non-zero result instead of the no-handler answer
// (a = 0, which a caller would read as success). 200205 is answered at once with
// a = 0 by design.
TEST(FacadeUserExportsTest, NoAcceptedRequestCodeFallsThroughToTheNoHandlerAnswer) {
  CallbackRecorder::Get().Clear();
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  api.Run();
  // The reply hooks of the user service are installed too.
  {
    THttpRequestService::Interceptor interceptor;
    THttpRequestService::Router router;
    TEngineCore::Instance()->GetRequestService()->CopyReplyHooks(&interceptor, &router);
    EXPECT_TRUE(static_cast<bool>(interceptor));
    EXPECT_TRUE(static_cast<bool>(router));
  }
  const int codes[] = {
      _REQUEST_HTTP_SENDGET,      _REQUEST_HTTP_SENDPOST,     _REQUEST_HTTP_UPLOADFILE,
      _REQUEST_HTTP_DOWNFILE,     _REQUEST_HTTP_UPLOADDUMP,   _REQUEST_HTTP_SENDMSGIM,
      _REQUEST_HTTP_SENDMSGFILE,  _REQUEST_HTTP_REVOKEMSG,    _REQUEST_HTTP_USERCOMMAND,
      _REQUEST_HTTP_GROUPCOMMAND, _REQUEST_HTTP_GETHISTORYMSG};
  for (int code : codes) TEngineCore::QueueRequest(code, 0);
  for (int code : codes) {
    SCOPED_TRACE(code);
    auto report = CallbackRecorder::Get().WaitFor(code, 0, std::chrono::seconds(60));
    ASSERT_TRUE(report.has_value());
    EXPECT_NE(report->a, 0);
  }
  api.Release();
}

}  // namespace
