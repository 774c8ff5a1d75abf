// The login service's decisions on their own: which registration request, what a
// reply means, and the text that event 100004 carries.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "services/TLoginService.h"
#include "util/TDigest.h"

namespace {

TEST(LoginReply, RegistrationRepliesMapToTheirResults) {
  struct Row {
    const char* body;
    int error;
    int expect;
  } rows[] = {
      {R"({"code": 1, "result": {"userid": "7"}})", 0, 0},
      {R"({"code": -8, "msg": "x"})", 0, 5},
      {R"({"code": -10})", 0, 6},
      {R"({"code": -12, "result": {}})", 0, 7},
      {R"({"code": 0, "result": {}})", 0, 3},
      {R"({"code": -5, "result": {}})", 0, 3},  // -5 means something only to the login
      {R"({"code": 1})", 0, 3},                 // no "result"
      {R"({"code": 1, "result": null})", 0, 3},
      {R"({"code": "1", "result": {}})", 0, 0},  // a numeric text counts as its number
      {"<html>busy</html>", 0, 3},
      {"null", 0, 3},
      {"[1, 2]", 0, 3},
      {R"({"code": 1, "result": {"userid": )", 0, 3},  // truncated
      {"", 1, 4},                                      // nothing sent or received
      {"", 2, 3},                                      // an error status, empty body
      {"", 0, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.body);
    Json::Value result;
    EXPECT_EQ(TLoginService::RegisterReplyResult(row.body, row.error, &result), row.expect);
  }
}

TEST(LoginReply, LoginRepliesMapToTheirResults) {
  struct Row {
    const char* body;
    int error;
    int expect;
  } rows[] = {
      {R"({"code": 1, "result": {"token": "t"}})", 0, 0},
      {R"({"code": -5})", 0, 7},
      {R"({"code": -8, "result": {}})", 0, 3},
      {R"({"code": -10, "result": {}})", 0, 3},
      {R"({"code": 1})", 0, 3},
      {"garbage", 0, 3},
      {"", 1, 4},
      {"", 2, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.body);
    Json::Value result;
    EXPECT_EQ(TLoginService::LoginReplyResult(row.body, row.error, &result), row.expect);
  }
}

TEST(LoginReply, PathChoiceTicketThenEmptyMobileThenRegister) {
  EXPECT_EQ(TLoginService::ChoosePath("tk", ""), TLoginService::kPathTicket);
  EXPECT_EQ(TLoginService::ChoosePath("tk", "13800000000"), TLoginService::kPathTicket);
  EXPECT_EQ(TLoginService::ChoosePath("", ""), TLoginService::kPathAccountInfo);
  EXPECT_EQ(TLoginService::ChoosePath("", "13800000000"), TLoginService::kPathRegister);
}

TEST(LoginReply, TokensAreSaltedDigests) {
  EXPECT_EQ(TLoginService::AccountInfoToken("RT", "DEV"),
            Md5Hex("RT38475610293847561029384756102938DEV"));
  EXPECT_EQ(TLoginService::RegisteredToken("abc"), Md5Hex("abc50617283940516273849506172839405"));
  EXPECT_EQ(TLoginService::RegisteredToken("abc").size(), 32u);
}

TEST(LoginReply, LoginInfoTextKeepsTheFieldsAndParsesBack) {
  Json::Value result;
  result["name"] = "Li \"Lei\"";
  result["icon"] = "http://h/i.png";
  result["bigicon"] = "http://h/b.png";
  result["summary"] = "line1\nline2";
  result["usertype"] = 2;
  result["userversion"] = 17;
  result["redurl"] = "http://h/red";
  result["champflag"] = 1;
  result["firstreg"] = 1;
  std::string text = TLoginService::BuildLoginInfoText(result);
  EXPECT_EQ(text.rfind("{\"code\": 1,\"msg\": \"OK\",\"result\": {\"name\": ", 0), 0u) << text;
  EXPECT_EQ(text.substr(text.size() - 16), ",\"firstreg\": 1}}") << text;

  Json::Value root;
  Json::Reader reader;
  ASSERT_TRUE(reader.parse(text, root)) << text;
  const Json::Value& r = root["result"];
  EXPECT_EQ(root["code"].asInt(), 1);
  EXPECT_EQ(root["msg"].asString(), "OK");
  EXPECT_EQ(r["name"].asString(), "Li \"Lei\"");
  EXPECT_EQ(r["summary"].asString(), "line1\nline2");
  EXPECT_EQ(r["usertype"].asInt(), 2);
  EXPECT_EQ(r["userversion"].asInt(), 17);
  EXPECT_EQ(r["redurl"].asString(), "http://h/red");
  EXPECT_EQ(r["champflag"].asInt(), 1);
  EXPECT_EQ(r["firstreg"].asInt(), 1);
  // Nothing more than the nine members.
  std::vector<std::string> names = r.getMemberNames();
  EXPECT_EQ(names.size(), 9u);
}

TEST(LoginReply, RegistrationTokenIsSharedThroughOneLockedValue) {
  TLoginService::SetRegistrationToken("first");
  EXPECT_EQ(TLoginService::GetRegistrationToken(), "first");
  TLoginService::SetRegistrationToken("");
  EXPECT_EQ(TLoginService::GetRegistrationToken(), "");
}

}  // namespace
