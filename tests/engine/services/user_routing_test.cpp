// Reply routing: which handler each URL reaches, that a failed exchange reaches none,
// and the "@mobile" rewrite of the services reply.
#include <json/json.h>

#include <memory>
#include <mutex>

#include "fakes/FakeFileStore.h"
#include "user_test_env.h"
#include "util/TJsonHelper.h"

namespace {

using usertest::UserEnv;

TEST(UserRoutingTableTest, EachUrlTextReachesItsHandler) {
  struct Row {
    const char* url;
    TUserRoute route;
  } rows[] = {
      {"http://h/navigation/user/checkaccount.do", TUserRoute::kCheckAccount},
      {"http://h/navigation/user/checkmobile.do?x=1", TUserRoute::kCheckMobile},
      {"http://h/userinfo/user/getdetail.do", TUserRoute::kDetail},
      {"http://h/userinfo/user/getfriend.do", TUserRoute::kFriendList},
      {"http://h/userinfo/user/removefriend.do", TUserRoute::kRemoveFriend},
      {"http://h/x/userinfo/user/removefriend.do", TUserRoute::kRemoveFriend},
      {"http://h/navigation/user/myservices.do", TUserRoute::kMyServices},
      {"http://h/redpacket/create.do", TUserRoute::kRedPacketCreated},
      {"http://h/redpacket/grad.do", TUserRoute::kRedPacketGrad},
      {"http://h/redpacket/grad.do?from=create.do", TUserRoute::kRedPacketCreated},
      {"http://h/redpacket/list.do", TUserRoute::kNone},
      // Rows after the red packets are not tried for a red-packet URL.
      {"http://h/redpacket/x?u=/public/info/recommend.do", TUserRoute::kNone},
      {"http://h/public/info/recommend.do", TUserRoute::kRecommend},
      {"http://h/userinfo/user/setremark.do", TUserRoute::kSetRemark},
      {"http://h/userinfo/user/setblack.do", TUserRoute::kSetBlack},
      {"http://h/navigation/user/searchaccount.do", TUserRoute::kSearchAccount},
      {"/navigation/user/searchaccount.do", TUserRoute::kSearchAccount},
      // The first match wins: a detail URL naming another path in its query.
      {"http://h/userinfo/user/getdetail.do?next=/userinfo/user/setblack.do", TUserRoute::kDetail},
      {"http://h/userinfo/user/getdetaillist.do", TUserRoute::kNone},  // intercepted instead
      {"http://h/userinfo/user/updatefriend.do", TUserRoute::kNone},
      {"http://h/group/info/process.do", TUserRoute::kNone},
      {"", TUserRoute::kNone},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.url);
    EXPECT_EQ(TUserService::RouteOf(row.url), row.route);
  }
}

class UserRoutingTest : public UserEnv {
 protected:
  void SetUp() override {
    UserEnv::SetUp();
    // A spy in front of the user service's router.
    THttpRequestService& service = *core->GetRequestService();
    THttpRequestService::Interceptor interceptor;
    THttpRequestService::Router router;
    service.CopyReplyHooks(&interceptor, &router);
    service.SetReplyHooks(
        interceptor, [this, router](THttpRequestService& s, TAPIPacket* p, const std::string& url,
                                    const std::string& reply) {
          {
            std::lock_guard<std::mutex> lock(mutex);
            routed.push_back(url);
          }
          router(s, p, url, reply);
        });
  }
  std::vector<std::string> Routed() {
    std::lock_guard<std::mutex> lock(mutex);
    return routed;
  }

  std::mutex mutex;
  std::vector<std::string> routed;
};

TEST_F(UserRoutingTest, AFailedExchangeReachesNoHandler) {
  core->SetBlackList("1@a.test");
  const std::string accepted = R"({"code": 1, "result": {"users": "2@a.test"}})";
  a.Route("/userinfo/user/setblack.do", FakeReply::Json(accepted, 500));
  EXPECT_EQ(Post(a.Url("/userinfo/user/setblack.do"), "{}").a, 6);
  a.Route("/userinfo/user/setremark.do", FakeReply::Raw("garbage without a header end"));
  EXPECT_NE(Post(a.Url("/userinfo/user/setremark.do"), R"({"friend": "2@a.test", "name": "x"})").a,
            0);
  EXPECT_EQ(Get("http://127.0.0.1:" + std::to_string(FakeFileStore::ClosedPort()) +
                "/public/info/recommend.do")
                .a,
            2);
  EXPECT_TRUE(Routed().empty());
  EXPECT_STREQ(api.GetBlackList(), "1@a.test");
  EXPECT_EQ(One("select count(*) from nq_remark"), "0");

  // The same answer with a good status is routed and applied.
  a.Route("/userinfo/user/setblack.do", FakeReply::Json(accepted));
  EXPECT_EQ(Post(a.Url("/userinfo/user/setblack.do"), "{}").a, 0);
  EXPECT_EQ(Routed().size(), 1u);
  EXPECT_STREQ(api.GetBlackList(), "2@a.test");
}

TEST_F(UserRoutingTest, MyServicesGetsTheLoginTextOnceAsValidJson) {
  struct Row {
    const char* login;
    const char* reply;
    const char* expected;
  } rows[] = {
      {"13800001001", R"({"code": 1, "url": "http://p?m=@mobile&n=@mobile"})",
       R"({"code": 1, "url": "http://p?m=13800001001&n=@mobile"})"},
      // Outside a string the login text becomes one; inside, it is escaped.
      {"13800001001", R"({"code": 1, "m": @mobile})", R"({"code": 1, "m": "13800001001"})"},
      {R"(a"b\c)", R"({"code": 1, "url": "x=@mobile"})", R"({"code": 1, "url": "x=a\"b\\c"})"},
      {"13800001001", R"({"code": 1, "note": "say \"@mobile\""})",
       R"({"code": 1, "note": "say \"13800001001\""})"},
      {"13800001001", R"({"code": 1})", R"({"code": 1})"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reply);
    core->SetMobileLogin(row.login, "86", "", "device", 0);
    a.Route("/navigation/user/myservices.do", FakeReply::Json(row.reply));
    RecordedReport r = Get(a.Url("/navigation/user/myservices.do"));
    EXPECT_EQ(r.a, 0);
    EXPECT_EQ(r.text, row.expected);
    EXPECT_TRUE(TJsonHelper::Parse(r.text).isObject());
  }
  // The loopback server's own services reply.
  core->SetMobileLogin("13800001001", "86", "", "device", 0);
  users.Mount(a, usertest::kDomainA);
  RecordedReport r = Post(a.Url("/navigation/user/myservices.do"), "{}");
  EXPECT_EQ(TJsonHelper::Parse(r.text)["result"]["services"][0]["url"].asString(),
            "http://127.0.0.1/pay?mobile=13800001001");
}

}  // namespace
