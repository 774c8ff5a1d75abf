// Request URLs from server keys, account domains and the download server.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "net/THttpRequestService.h"
#include "util/TJsonHelper.h"

namespace {

class ServiceUrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_api.Init();
    m_core = TEngineCore::Instance();
    ASSERT_NE(m_core, nullptr);
  }

  // Server addresses as a login leaves them.
  void Configure(const char* loginHost, int loginPort, const char* httpServer) {
    m_core->SetLoginServer(loginHost, loginPort);
    m_core->SetHttpServer(httpServer);
  }

  TAPIInterface m_api;
  TEngineCore* m_core = nullptr;
  THttpRequestService m_service{nullptr};
};

struct ServerRow {
  const char* name;
  const char* loginHost;
  int loginPort;
  const char* httpServer;  // HTTPSERVER "host:port"
  const char* entry;       // server map entry under the key, nullptr = none
  const char* key;
  const char* expected;
};

TEST_F(ServiceUrlTest, ServerKeyTablePlainHttp) {
  const ServerRow rows[] = {
      {"login, port 80 left out", "login.test", 80, "", nullptr, "LOGIN",
       "http://login.test/p?x=1"},
      {"login, port 0 left out", "login.test", 0, "", nullptr, "LOGIN", "http://login.test/p?x=1"},
      {"login, other port kept", "login.test", 8080, "", nullptr, "LOGIN",
       "http://login.test:8080/p?x=1"},
      {"login, 443 is not http's own port", "login.test", 443, "", nullptr, "LOGIN",
       "http://login.test:443/p?x=1"},
      {"LOGIN ignores the HTTP server", "login.test", 80, "http.test:81", "other:1", "LOGIN",
       "http://login.test/p?x=1"},
      {"entry with port", "login.test", 80, "http.test:81", "user.test:9000", "USERSERVER",
       "http://user.test:9000/p?x=1"},
      {"entry without port keeps the HTTP server's", "login.test", 80, "http.test:81", "user.test",
       "USERSERVER", "http://user.test:81/p?x=1"},
      {"entry with default port", "login.test", 80, "http.test:81", "user.test:80", "USERSERVER",
       "http://user.test/p?x=1"},
      {"no entry: the HTTP server", "login.test", 80, "http.test:81", nullptr, "GROUPSERVER",
       "http://http.test:81/p?x=1"},
      {"empty entry: the HTTP server", "login.test", 80, "http.test:81", "", "IMSERVER",
       "http://http.test:81/p?x=1"},
      {"no HTTP server and no entry: the login server", "login.test", 8080, "", nullptr,
       "PUBSERVER", "http://login.test:8080/p?x=1"},
      {"entry without host: the login server", "login.test", 8080, "http.test:81", ":9000",
       "SPEECHSERVER", "http://login.test:8080/p?x=1"},
  };
  for (const ServerRow& row : rows) {
    Configure(row.loginHost, row.loginPort, row.httpServer);
    m_core->SetServer(row.key, row.entry ? row.entry : "");
    EXPECT_EQ(m_service.GetServerUrl("/p?x=1", row.key), row.expected) << row.name;
    EXPECT_STREQ(m_api.CreateRequestURL("/p?x=1", row.key), row.expected) << row.name;
  }
}

TEST_F(ServiceUrlTest, ServerKeyTableHttps) {
  m_api.UseOpenssl("", "", "");
  const ServerRow rows[] = {
      {"login, 443 left out", "login.test", 443, "", nullptr, "LOGIN", "https://login.test/a"},
      {"login, 80 is not https's own port", "login.test", 80, "", nullptr, "LOGIN",
       "https://login.test:80/a"},
      {"login, other port kept", "login.test", 8443, "", nullptr, "LOGIN",
       "https://login.test:8443/a"},
      {"entry with 443", "login.test", 443, "http.test:8443", "user.test:443", "USERSERVER",
       "https://user.test/a"},
      {"no entry: the HTTP server", "login.test", 443, "http.test:8443", nullptr, "USERSERVER",
       "https://http.test:8443/a"},
  };
  for (const ServerRow& row : rows) {
    Configure(row.loginHost, row.loginPort, row.httpServer);
    m_core->SetServer(row.key, row.entry ? row.entry : "");
    EXPECT_EQ(m_service.GetServerUrl("/a", row.key), row.expected) << row.name;
  }
}

TEST_F(ServiceUrlTest, AccountDomainTable) {
  Configure("login.test", 80, "http.test:81");
  m_core->SetServer("USERSERVER", "user.test:9000");
  m_core->SetServer("dom1.test", "node1.test:7000");
  m_core->SetServer("dom2.test", "node2.test");
  m_core->SetServer("dom3.test", "");
  m_core->SetServer("dom4.test", ":7000");
  struct Row {
    const char* name;
    const char* account;
    const char* expected;
  };
  const Row rows[] = {
      {"domain with port", "u1@dom1.test", "http://node1.test:7000/q"},
      {"domain without port: the HTTP server's port", "u1@dom2.test", "http://node2.test:81/q"},
      {"only the first @ counts", "u1@dom1.test@x", "http://user.test:9000/q"},
      {"unknown domain: the key", "u1@nowhere.test", "http://user.test:9000/q"},
      {"empty domain entry: the key", "u1@dom3.test", "http://user.test:9000/q"},
      {"domain entry without host: the key", "u1@dom4.test", "http://user.test:9000/q"},
      {"no @: the key", "u1", "http://user.test:9000/q"},
      {"nothing after @: the key", "u1@", "http://user.test:9000/q"},
      {"empty account: the key", "", "http://user.test:9000/q"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(m_service.BuildUrl("/q", row.account, "USERSERVER"), row.expected) << row.name;
    EXPECT_STREQ(m_api.CreateAccountRequestURL("/q", row.account, "USERSERVER"), row.expected)
        << row.name;
  }
}

TEST_F(ServiceUrlTest, DownloadUrlTable) {
  struct Row {
    const char* name;
    bool https;
    const char* downServer;
    const char* expected;
  };
  const Row rows[] = {
      {"full http base", false, "http://dl.test:81", "http://dl.test:81/g1/f.png"},
      {"full https base kept under http", false, "https://dl.test", "https://dl.test/g1/f.png"},
      {"bare host gets the scheme", false, "dl.test:81", "http://dl.test:81/g1/f.png"},
      {"empty: a path on the HTTP server", false, "", "http:///g1/f.png"},
      {"bare host under https", true, "dl.test", "https://dl.test/g1/f.png"},
      {"full http base kept under https", true, "http://dl.test", "http://dl.test/g1/f.png"},
  };
  for (const Row& row : rows) {
    if (row.https) m_api.UseOpenssl("", "", "");
    m_core->SetDownServer(row.downServer);
    EXPECT_EQ(m_service.GetDownloadUrl("/g1/f.png"), row.expected) << row.name;
  }
}

TEST_F(ServiceUrlTest, FacadeUrlsFitTheirBufferAndNeedTheCore) {
  Configure("login.test", 80, "");
  std::string longPath = "/" + std::string(600, 'x');
  const char* url = m_api.CreateRequestURL(longPath.c_str(), "LOGIN");
  EXPECT_EQ(strlen(url), 511u);
  EXPECT_EQ(std::string(url), ("http://login.test" + longPath).substr(0, 511));
  EXPECT_STREQ(m_api.CreateRequestURL(nullptr, nullptr), "http://login.test");

  m_api.Release();
  EXPECT_STREQ(m_api.CreateRequestURL("/p", "LOGIN"), "");
  EXPECT_STREQ(m_api.CreateAccountRequestURL("/p", "a@b", "LOGIN"), "");
}

// The body prefix: three fields, each "key": value and a comma, the name escaped.
TEST_F(ServiceUrlTest, ClientFieldsLeadRequestBodies) {
  m_core->SetProfile("Ann \"A\" \\ \xE6\x9D\x8E", "", "", "", 7, 0);
  m_core->SetDeviceType(2);
  const std::string fields = AddClientFields();
  EXPECT_EQ(fields.rfind("\"name\": \"", 0), 0u) << fields;
  EXPECT_NE(fields.find("\"device\": 2,\"fromver\": 7,"), std::string::npos) << fields;
  ASSERT_EQ(fields.back(), ',');
  Json::Value v = TJsonHelper::Parse("{" + fields + "\"transid\": \"t\"}");
  ASSERT_TRUE(v.isObject()) << fields;
  EXPECT_EQ(v["name"].asString(), "Ann \"A\" \\ \xE6\x9D\x8E");
  EXPECT_EQ(v["device"].asInt(), 2);
  EXPECT_EQ(v["fromver"].asInt(), 7);
  EXPECT_EQ(ConcatStrings("ab", "cd"), "abcd");
}

}  // namespace
