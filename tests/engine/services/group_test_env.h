// Shared set-up of the group tests: a running engine with an account database, the
// loopback group server (its model of groups and members), the login server's
// create path and the user server, all on one HTTP server.
#ifndef TESMO_TESTS_ENGINE_SERVICES_GROUP_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_GROUP_TEST_ENV_H

#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "engine/db/StoreTestSupport.h"
#include "fakes/FakeGroupServer.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeUserServer.h"
#include "support/CallbackRecorder.h"

namespace grouptest {

constexpr char kOwn[] = "1001@tesmo.x";
constexpr char kDomain[] = "tesmo.x";

// The user server, mounted for the accounts' domain, with a shorthand for the
// users the group tests need.
class UserDirectory {
 public:
  explicit UserDirectory(FakeHttpServer& http) { m_model.Mount(http, kDomain); }
  void Add(const std::string& account, const std::string& name, int version = 1,
           int champflag = 0) {
    FakeUserServer::User u;
    u.userId = account.substr(0, account.find('@'));
    u.account = account;
    u.name = name;
    u.logo = "http://logo/" + name;
    u.biglogo = "http://big/" + name;
    u.version = version;
    u.champflag = champflag;
    m_model.AddUser(u);
  }

 private:
  FakeUserServer m_model;
};

class GroupEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    ASSERT_TRUE(http.Start());
    const std::string here = "127.0.0.1:" + std::to_string(http.Port());
    groups.SetCaller(kOwn);
    groups.SetGroupServerAddress(here);
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
    api.SetDeviceType(2);
    TEngineCore* core = TEngineCore::Instance();
    core->SetUserAccount("1001", kOwn);
    core->SetProfile("Me", "http://me/logo", "", "", 7, 0);
    core->SetLoginServer("127.0.0.1", http.Port());
    core->SetServer("GROUPSERVER", here);
    core->SetServer("USERSERVER", here);
    core->SetUpServer("127.0.0.1:1");  // no file store: uploads fail
    api.Run();
  }
  void TearDown() override {
    api.Release();
    http.Stop();
  }

  // Runs one group command and waits for its one answer.
  RecordedReport Command(const Json::Value& args) {
    const int id = ++m_nextId;
    api.GroupCommand(id, Json::FastWriter().write(args).c_str());
    auto r =
        CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_GROUPCOMMAND, id, std::chrono::seconds(60));
    EXPECT_TRUE(r.has_value()) << "no answer to " << args["cmd"].asString();
    return r.value_or(RecordedReport{});
  }
  static Json::Value Args(const std::string& cmd, const std::string& groupid = "") {
    Json::Value a;
    a["transid"] = "T-" + cmd;
    a["language"] = "zh-CN";
    a["cmd"] = cmd;
    if (!groupid.empty()) a["groupid"] = groupid;
    return a;
  }
  static Json::Value Parse(const std::string& text) {
    Json::Value v;
    Json::Reader().parse(text, v);
    return v;
  }
  storetest::Rows Select(const std::string& sql) { return storetest::Select(api, sql); }
  std::string SelectOne(const std::string& sql) { return storetest::SelectOne(api, sql); }
  bool Exec(const std::string& sql) { return api.DBExecSql(sql.c_str()) == 1; }
  // One row of a group, its columns joined with "|"; "<none>" when absent.
  std::string GroupRow(const std::string& groupid, const std::string& columns) {
    return Joined(
        Select("select " + columns + " from nq_group where groupid=" + storetest::Quote(groupid)));
  }
  // The members of a group as "account:nick:role" in account order.
  std::string Members(const std::string& groupid) {
    std::string out;
    for (auto& row : Select("select account,nick,role from nq_groupuser where groupid=" +
                            storetest::Quote(groupid) + " order by account"))
      out += row[0] + ":" + row[1] + ":" + row[2] + " ";
    return out;
  }
  static std::string Joined(const storetest::Rows& rows) {
    if (rows.empty()) return "<none>";
    std::string out;
    for (size_t i = 0; i < rows[0].size(); ++i) out += (i ? "|" : "") + rows[0][i];
    return out;
  }
  // Member names of an object in the order of the text.
  static std::vector<std::string> KeyOrder(const std::string& text, const Json::Value& object) {
    std::vector<std::pair<size_t, std::string>> found;
    for (const std::string& key : object.getMemberNames())
      found.emplace_back(text.find("\"" + key + "\""), key);
    std::sort(found.begin(), found.end());
    std::vector<std::string> keys;
    for (auto& f : found) keys.push_back(f.second);
    return keys;
  }

  FakeHttpServer http;
  FakeGroupServer groups{http};
  UserDirectory users{http};
  storetest::TempDir dir;
  TAPIInterface api;
  int m_nextId = 100;
};

}  // namespace grouptest

#endif
