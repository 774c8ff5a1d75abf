// The local server program as a process: it starts from one command, prints its
// addresses, refuses a broken world naming the line, survives hostile input on every
// port, and leaves no port bound after SIGTERM.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TAPIInterface.h"
#include "fakes/FakeIMServer.h"
#include "tools/LocalServerProcess.h"
#include "tools/TempFolder.h"
#include "tools/TlsExchange.h"

namespace {

const char* kWorld = TESMO_TEST_DATA_DIR "/localserver-world.json";
const std::vector<std::string> kTcpKeys = {"LOGIN",     "USERSERVER",   "GROUPSERVER", "IMSERVER",
                                           "PUBSERVER", "SPEECHSERVER", "DOWNSERVER",  "TRACKER",
                                           "STORAGE",   "CONTROL"};

// Sends bytes (closing the writing side when asked) and reads what comes back
// within a short while; the server's answer, possibly empty.
std::string Exchange(int port, const std::string& bytes, bool shutWrite) {
  const int fd = ConnectLoopback(port);
  if (fd < 0) return "<no connection>";
  send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  if (shutWrite) shutdown(fd, SHUT_WR);
  const std::string answer = ReadReply(fd, 1500);
  close(fd);
  return answer;
}

void SendDatagram(int port, const std::string& bytes) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  close(fd);
}

TEST(LocalServerProcessTest, StartsPrintsItsAddressesAndStopsOnSigtermLeavingNoPortBound) {
  const TempFolder temp("localserver-test");
  const std::string& dir = temp.Path();
  LocalServerProcess server;
  ASSERT_TRUE(server.Start({"--world", kWorld, "--state", dir})) << server.Errors();
  for (const std::string& key : kTcpKeys) {
    ASSERT_GT(server.Port(key), 0) << key << "\n" << server.Output();
    const int fd = ConnectLoopback(server.Port(key));
    EXPECT_GE(fd, 0) << key;
    if (fd >= 0) close(fd);
  }
  EXPECT_EQ(server.Value("TESMO_SERVER"), "127.0.0.1:" + std::to_string(server.Port("LOGIN")));
  const std::string ca = server.Value("TESMO_CA_FILE");
  EXPECT_EQ(ca, dir + "/tls/ca.pem");
  EXPECT_TRUE(std::filesystem::exists(ca));
  EXPECT_NE(server.Output().find("QR login signs in as 200001@test.local"), std::string::npos);
  EXPECT_NE(server.Output().find("login by code: +86 13900000001, code 111222"), std::string::npos);
  // The HTTPS entry answers with a certificate of that CA.
  EXPECT_NE(
      TlsExchange(server.Port("LOGIN"), ca, "GET / HTTP/1.1\r\nHost: x\r\n\r\n").find("200 OK"),
      std::string::npos);

  // The web pages the program links to live on the entry server too.
  const std::pair<const char*, const char*> pages[] = {
      {"/down/", "200 OK"}, {"/red/", "200 OK"}, {"/coin/btc", "200 OK"}, {"/nowhere", " 404 "}};
  for (const auto& page : pages) {
    EXPECT_NE(TlsExchange(server.Port("LOGIN"), ca,
                          std::string("GET ") + page.first + " HTTP/1.1\r\nHost: x\r\n\r\n")
                  .find(page.second),
              std::string::npos)
        << page.first;
  }

  std::vector<int> tcp;
  for (const std::string& key : kTcpKeys) tcp.push_back(server.Port(key));
  const int udp = server.Port("IM");
  ASSERT_EQ(server.Stop(), 0) << server.Errors();
  EXPECT_NE(server.Output().find("\nstopped\n"), std::string::npos);
  for (size_t i = 0; i < tcp.size(); ++i) EXPECT_TRUE(PortIsFree(tcp[i], false)) << kTcpKeys[i];
  EXPECT_TRUE(PortIsFree(udp, true));

  // A second start keeps the CA it made (the program trusts the same file) and can
  // take the entry port given.
  std::ifstream first(ca);
  const std::string before((std::istreambuf_iterator<char>(first)), {});
  LocalServerProcess again;
  ASSERT_TRUE(again.Start({"--world", kWorld, "--state", dir, "--port", std::to_string(tcp[0])}))
      << again.Errors();
  EXPECT_EQ(again.Port("LOGIN"), tcp[0]);
  std::ifstream second(ca);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(second)), {}), before);
  EXPECT_EQ(again.Stop(), 0);
}

// The demo world's configuration file names the web tab's page: a plain http address
// on the download server (the web engine does not trust the local CA), which answers.
TEST(LocalServerProcessTest, TheDemoConfigurationNamesAPlainWebPageThatAnswers) {
  LocalServerProcess server;
  ASSERT_TRUE(server.Start({})) << server.Errors();
  const std::string reply = TlsExchange(server.Port("LOGIN"), server.Value("TESMO_CA_FILE"),
                                        "GET /bit/app.cfg HTTP/1.1\r\nHost: x\r\n\r\n");
  const size_t body = reply.find("\r\n\r\n");
  ASSERT_NE(body, std::string::npos) << reply;
  TAPIInterface api;
  api.Init();
  const char* plain = api.GetAppCfgString(reply.substr(body + 4).c_str());
  Json::Value config;
  ASSERT_TRUE(Json::Reader().parse(plain ? plain : "", config)) << (plain ? plain : "");
  const std::string page = config["mac_domain"]["pro_host"][0].asString();
  EXPECT_EQ(page, server.Value("DOWNSERVER") + "/web/") << plain;
  const std::string answer =
      Exchange(server.Port("DOWNSERVER"), "GET /web/ HTTP/1.1\r\nHost: x\r\n\r\n", true);
  EXPECT_NE(answer.find(" 200 "), std::string::npos) << answer;
  EXPECT_NE(answer.find("local server"), std::string::npos) << answer;
  api.Release();
  EXPECT_EQ(server.Stop(), 0) << server.Errors();
}

TEST(LocalServerProcessTest, QuitCommandStopsItAndWithoutStateFolderNothingIsLeft) {
  LocalServerProcess server;
  ASSERT_TRUE(server.Start({"--world", kWorld})) << server.Errors();
  const std::string ca = server.Value("TESMO_CA_FILE");
  ASSERT_TRUE(std::filesystem::exists(ca));
  EXPECT_NE(server.Command("help").find("kickout"), std::string::npos);
  EXPECT_EQ(server.Command("frobnicate"), "unknown command (help lists them)\n");
  server.Command("quit");
  EXPECT_EQ(server.Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(ca));
}

TEST(LocalServerProcessTest, BrokenWorldIsRefusedNamingTheLine) {
  const TempFolder temp("localserver-test");
  const std::string& dir = temp.Path();
  const std::string world = dir + "/broken.json";
  std::ofstream(world) << "{\n  \"accounts\": [\n    {\"account\": \"a@x\", \"name\": \"A\",\n"
                          "     \"friends\": [\"nobody@x\"]}\n  ]\n}\n";
  LocalServerProcess server;
  EXPECT_FALSE(server.Start({"--world", world, "--state", dir + "/state"}));
  EXPECT_EQ(server.Wait(), 1);
  EXPECT_NE(server.Errors().find(world + ":4: unknown account nobody@x"), std::string::npos)
      << server.Errors();
}

TEST(LocalServerProcessTest, HostileInputOnEveryPortNeverBringsItDown) {
  const TempFolder temp("localserver-test");
  const std::string& dir = temp.Path();
  LocalServerProcess server;
  ASSERT_TRUE(server.Start({"--world", kWorld, "--state", dir})) << server.Errors();
  const std::string ca = server.Value("TESMO_CA_FILE");

  struct Row {
    const char* key;
    std::string bytes;
    bool shutWrite;
  };
  const std::string huge(200000, 'A');
  std::vector<Row> rows;
  for (const char* key :
       {"LOGIN", "USERSERVER", "GROUPSERVER", "IMSERVER", "PUBSERVER", "SPEECHSERVER"}) {
    rows.push_back({key, "GET / HTTP/1.1\r\n\r\n", true});                      // plain text to TLS
    rows.push_back({key, std::string("\x16\x03\x01\x00\x05hello", 10), true});  // a cut hello
    rows.push_back({key, huge, true});
    rows.push_back({key, "", true});
  }
  for (const std::string& request :
       {std::string("\x01\x02garbage\r\n\r\n"), std::string("GET\r\n\r\n"),
        std::string("GET /group1/../../etc/passwd HTTP/1.1\r\n\r\n"),
        std::string("GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n\r\n"),
        std::string("POST / HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\nx"),
        std::string("POST / HTTP/1.1\r\nContent-Length: -5\r\n\r\n"),
        std::string("GET / HTTP/1.1\r\n") + huge, std::string("GET / HTTP/1.1\r\nHost")})
    rows.push_back({"DOWNSERVER", request, true});
  for (const std::string& bytes :
       {std::string("\x00\x00\x00", 3), std::string(10, '\xff'),
        std::string("\x00\x00\x00\x00\x00\x00\x00\x05\x65\x00", 10),  // query with a body
        std::string(10, '\0')})
    rows.push_back({"TRACKER", bytes, true});
  for (const std::string& bytes :
       {std::string("\x00\x00\x00\x00\x00\x00\x00\x20\x0b\x00\x00", 11),  // cut block
        std::string("\x00\x00\x00\x00\x00\x00\x00\x14\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                    "\x05../..\x00"
                    "abc",
                    29),  // cut file
        std::string("\x00\x00\x00\x00\x00\x00\x00\x14\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                    "\x05/../x\x00hello",
                    30),  // odd extension
        std::string("\x00\x00\x00\x00\xff\xff\xff\xff\x0b\x00\x00\x00\x00\x00\x00\xff\xff\xff"
                    "\xff\x00\x00\x00\x00\x00\x00",
                    25),  // 4 GB announced
        std::string(25, '\xff')})
    rows.push_back({"STORAGE", bytes, true});
  rows.push_back({"CONTROL", std::string(10000, 'x'), true});
  rows.push_back(
      {"CONTROL", std::string("push\npush a b\nkickout\nqr\nqr confirm nobody\n\x01\x02\n"), true});

  for (const Row& row : rows) {
    Exchange(server.Port(row.key), row.bytes, row.shutWrite);
    ASSERT_TRUE(server.Running()) << row.key << " " << row.bytes.substr(0, 40) << "\n"
                                  << server.Errors();
  }
  // The plain download server answers a traversal with 404 and a bad request with 400.
  EXPECT_NE(
      Exchange(server.Port("DOWNSERVER"), "GET /group1/../../etc/passwd HTTP/1.1\r\n\r\n", true)
          .find(" 404 "),
      std::string::npos);
  EXPECT_NE(Exchange(server.Port("DOWNSERVER"), "\x01garbage\r\n\r\n", true).find(" 400 "),
            std::string::npos);

  // Datagrams: garbage, short texts, a framed text that is no packet, packets with
  // missing or odd fields, an IM login with a wrong key, an oversize datagram.
  const int im = server.Port("IM");
  const std::vector<std::string> datagrams = {
      "",
      std::string(1, '\x01'),
      "01",
      "01\x00\x00\x00\x00",
      std::string(65000, 'x'),
      FakeIMServer::Frame("this is not json at all"),
      FakeIMServer::Frame("{\"request\":1}"),
      FakeIMServer::Frame("{\"request\":\"x\",\"id\":5,\"from\":[],\"method\":{}}"),
      FakeIMServer::Frame("{\"response\":1,\"id\":\"x\",\"from\":\"y\"}"),
      FakeIMServer::Frame(FakeIMServer::RequestText("1", "200001@test.local", "200001@test.local",
                                                    "register", "", {{"key", "wrong"}})),
      FakeIMServer::Frame("[1,2,3,4,5,6,7,8,9,10,11,12]"),
  };
  for (const std::string& d : datagrams) SendDatagram(im, d);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_TRUE(server.Running()) << server.Errors();

  // Still serving: a real request after all of it.
  EXPECT_NE(
      TlsExchange(server.Port("LOGIN"), ca, "GET / HTTP/1.1\r\nHost: x\r\n\r\n").find("200 OK"),
      std::string::npos);
  EXPECT_NE(server.Command("accounts").find("200001@test.local"), std::string::npos);
  // Nothing escaped the files folder.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string path = entry.path().string();
    EXPECT_EQ(path.find(".."), std::string::npos) << path;
  }
  EXPECT_EQ(server.Stop(), 0) << server.Errors();
}

TEST(LocalServerProcessTest, MalformedRequestsGetRefusalsNotCrashes) {
  const TempFolder temp("localserver-test");
  const std::string& dir = temp.Path();
  LocalServerProcess server;
  ASSERT_TRUE(server.Start({"--world", kWorld, "--state", dir})) << server.Errors();
  const std::string ca = server.Value("TESMO_CA_FILE");
  auto post = [](const std::string& path, const std::string& body) {
    return "POST " + path + " HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n" +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  };
  struct Row {
    const char* key;
    std::string request;
    const char* expected;  // a part of the reply
  };
  const std::string sendBody =
      R"({"name": "x", "device": 2, "fromver": 1, "type": "msg", "touser": "200002@test.local",)"
      R"( "content": "hi", "remark": "", "finger": "F"})";
  const std::vector<Row> rows = {
      {"LOGIN", "GARBAGE\r\n\r\n", " 400 "},
      {"LOGIN", post("/navigation/user/register.do", "{"), "\"code\":-1"},
      {"LOGIN", post("/navigation/user/register.do", "[1,2]"), "\"code\":-1"},
      {"LOGIN", post("/navigation/user/register.do", R"({"mobile": 5, "nationcode": []})"),
       "\"code\":-8"},
      {"LOGIN",
       post("/navigation/user/register.do",
            R"({"mobile": "13900000001", "nationcode": "+86", "verifycode": {"a": 1}})"),
       "\"code\":-10"},
      {"LOGIN", post("/navigation/user/accountinfo.do", R"({"ucuserid": "x"})"), "\"code\":-8"},
      {"LOGIN",
       "GET /navigation/qrcode/getuserinfo.do?auid=" + std::string(5000, 'q') +
           " HTTP/1.1\r\nHost: x\r\n\r\n",
       "\"code\": 0"},
      {"LOGIN", "GET /navigation/user/sendcheckcode.do?mobile= HTTP/1.1\r\n\r\n", "\"code\":-8"},
      {"USERSERVER", post("/userinfo/user/login.do", "{}"), "\"code\":-5"},
      {"USERSERVER", post("/userinfo/user/login.do", "\xff\xfe"), "\"code\":-1"},
      {"IMSERVER", post("/im/message/user/send.do", sendBody), "\"code\" : -1"},
      {"IMSERVER", post("/im/message/user/send.do", "not json"), "\"code\" : -1"},
      {"PUBSERVER", "GET /nothing/here HTTP/1.1\r\n\r\n", " 404 "},
  };
  for (const Row& row : rows) {
    const std::string reply = TlsExchange(server.Port(row.key), ca, row.request);
    EXPECT_NE(reply.find(row.expected), std::string::npos)
        << row.key << " " << row.request.substr(0, 60) << "\n -> " << reply;
    ASSERT_TRUE(server.Running()) << server.Errors();
  }
  EXPECT_EQ(server.Stop(), 0) << server.Errors();
}

}  // namespace
