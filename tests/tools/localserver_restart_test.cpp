// The local server stopped and started again on its state folder while the engine
// stays logged in, as a real deployment restarts under its clients: every port is
// the same, the engine registers again on its own within its re-registration period
// (sooner still when the outage was long enough for it to go offline), a text sent
// after the restart is delivered and answered by a push, and a picture uploaded before
// the restart downloads after it. The engine's session clock runs faster here, so
// its periods (keep-alive, silence, reconnect) pass in seconds.
#include <gtest/gtest.h>
#include <json/json.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "net/TIMConnState.h"
#include "net/TIMSession.h"
#include "platform/clock.h"
#include "support/CallbackRecorder.h"
#include "tools/EngineQueries.h"
#include "tools/LocalServerFixture.h"
#include "tools/MediaSamples.h"

namespace {

const char* kWorld = TESMO_TEST_DATA_DIR "/localserver-world.json";
const char* kMe = "200001@test.local";
const char* kFriend = "200002@test.local";
// Every server the local server prints, the UDP IM server and the control port too.
const std::vector<std::string> kServers = {
    "LOGIN",      "USERSERVER", "GROUPSERVER", "IMSERVER", "PUBSERVER", "SPEECHSERVER",
    "DOWNSERVER", "IM",         "TRACKER",     "STORAGE",  "CONTROL",   "TESMO_SERVER"};
constexpr auto kWait = std::chrono::seconds(90);
// The engine's session clock runs this many times faster than the real one.
constexpr uint64_t kSpeed = 10;
// The IM session's periodic re-registration: every sixth keep-alive tick.
constexpr uint64_t kReregisterPeriodMs = 6 * TIMConnState::kKeepAliveMs;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool Eventually(const std::function<bool()>& check) {
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (!check()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The line of the "accounts" answer about one account.
std::string AccountLine(const LocalServerProcess& server, const std::string& account) {
  const std::string all = server.Command("accounts");
  const size_t at = all.find(account + "  ");
  if (at == std::string::npos) return "";
  return all.substr(at, all.find('\n', at) - at);
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class LocalServerRestartTest : public LocalServerFixture {
 protected:
  LocalServerRestartTest() : LocalServerFixture(kWorld, "localserver-restart") {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(LocalServerFixture::SetUp());
    PrepareEngine(*server);
    // The product's periods, on a faster clock and with shorter worker rounds.
    TIMSession* session = TEngineCore::Instance()->GetIMSession();
    const uint64_t start = tesmo::TickCountMs();
    session->SetClock([start] { return start + (tesmo::TickCountMs() - start) * kSpeed; });
    session->SetPauseMs(1000 / kSpeed);
    ASSERT_EQ(api.Run(), 1);
    LogInByCode("tesChat.db", "13900000001", "111222", "DEVICE-R", kWait);
  }
  std::map<std::string, std::string> Addresses() {
    std::map<std::string, std::string> out;
    for (const std::string& key : kServers) out[key] = server->Value(key);
    return out;
  }
  // Sends a picture to the friend; the address the file store gave it.
  std::string SendPicture(const std::string& bytes) {
    const std::string file = dir + "/before.png";
    std::ofstream(file, std::ios::binary) << bytes;
    const int id = api.SendMsgFile(kFriend, 2, file.c_str(), "{\"width\":8,\"height\":8}");
    EXPECT_GT(id, 0);
    auto sent = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDMSGFILE, id, kWait);
    EXPECT_TRUE(sent);
    if (!sent) return "";
    EXPECT_EQ(sent->a, 0) << sent->text;
    return QueryText(api, "select content from nq_message where id=" + std::to_string(id));
  }
  // A text to the scripted friend after the restart: sent, and its answer pushed.
  void TextIsDeliveredAndAnswered(const std::string& text) {
    const int id = api.SendMsgIM(kFriend, 0, text.c_str(), "{}");
    ASSERT_GT(id, 0);
    auto sent = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDMSGIM, id, kWait);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->a, 0) << sent->text;
    const std::string msgid =
        QueryText(api, "select msgid from nq_message where id=" + std::to_string(id));
    ASSERT_FALSE(msgid.empty());
    // Ids stay within what the program holds.
    EXPECT_GT(std::stoll(msgid), 0);
    EXPECT_LE(std::stoll(msgid), 2147483647LL);
    const std::string answer = "echo: " + text;
    EXPECT_TRUE(Eventually([&] {
      for (const RecordedReport& r : CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE)) {
        Json::Value m;
        if (Json::Reader().parse(r.text, m) && m["content"].asString() == answer) return true;
      }
      return false;
    })) << server->Output();
  }
  std::string Download(const std::string& url, const std::string& target) {
    const int dialog = api.CreateDialogID();
    EXPECT_EQ(api.DownloadFile(dialog, url.c_str(), target.c_str(), 1), dialog);
    auto done = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_DOWNFILE, dialog, kWait);
    EXPECT_TRUE(done) << url;
    if (!done) return "";
    EXPECT_EQ(done->a, 0) << url;
    return ReadAll(target);
  }
};

TEST_F(LocalServerRestartTest, SamePortsRegisteredAgainWithinThePeriodTextsAndFilesFlow) {
  // Before: a text answered by a push (whose packet id the engine remembers) and a
  // picture in the file store.
  TextIsDeliveredAndAnswered("before the restart");
  const std::string picture = media_samples::PngSample(8, 8);
  const std::string url = SendPicture(picture);
  ASSERT_EQ(url.rfind(server->Value("DOWNSERVER") + "/group1/", 0), 0u) << url;
  ASSERT_TRUE(Eventually([&] { return EndsWith(AccountLine(*server, kMe), "  online"); }));
  const auto before = Addresses();

  RestartServer();
  const uint64_t restarted = tesmo::TickCountMs();
  EXPECT_EQ(Addresses(), before) << server->Output();
  // The registration is known, but not yet confirmed by the client.
  EXPECT_TRUE(EndsWith(AccountLine(*server, kMe), "not heard from since"))
      << AccountLine(*server, kMe);
  ASSERT_TRUE(Eventually([&] { return EndsWith(AccountLine(*server, kMe), "  online"); }))
      << AccountLine(*server, kMe) << "\n"
      << server->Output();
  // Within the period (one more for a loaded machine), in the session's own time.
  const uint64_t took = (tesmo::TickCountMs() - restarted) * kSpeed;
  EXPECT_LE(took, 2 * kReregisterPeriodMs) << took;

  TextIsDeliveredAndAnswered("after the restart");
  EXPECT_TRUE(Download(url, dir + "/after.png") == picture);
  // The client never noticed: no offline report.
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_OFFLINE).size(), 0u);
}

// An outage longer than the engine's silence limit: it reports offline, and once the
// server is back it logs in again on the IM channel by itself (the restarted server
// still knows its session) and texts flow again.
TEST_F(LocalServerRestartTest, AfterALongOutageTheEngineLogsInAgainByItself) {
  ASSERT_EQ(server->Stop(), 0) << server->Errors();
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_REPORT_OFFLINE, std::nullopt, kWait));
  StartServer();
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_RELOGIN_SUCCESS, std::nullopt, kWait))
      << server->Output() << server->Errors();
  EXPECT_TRUE(EndsWith(AccountLine(*server, kMe), "  online")) << AccountLine(*server, kMe);
  TextIsDeliveredAndAnswered("after a long outage");
}

// A kept port another program holds: the server refuses to start and names it.
TEST(LocalServerPortsTest, ATakenKeptPortIsAClearError) {
  const TempFolder temp("localserver-ports");
  ASSERT_FALSE(temp.Path().empty());
  const std::string dir = temp.Path();
  LocalServerProcess first;
  ASSERT_TRUE(first.Start({"--world", kWorld, "--state", dir})) << first.Errors();
  const int port = first.Port("GROUPSERVER");
  ASSERT_EQ(first.Stop(), 0);

  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  ASSERT_EQ(listen(fd, 1), 0);
  LocalServerProcess second;
  EXPECT_FALSE(second.Start({"--world", kWorld, "--state", dir}));
  EXPECT_EQ(second.Wait(), 1);
  EXPECT_NE(second.Errors().find("port " + std::to_string(port) + " (GROUPSERVER) is taken"),
            std::string::npos)
      << second.Errors();

  // Held a moment only (a passing socket): the server waits for it, and keeps it.
  std::thread release([fd] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    close(fd);
  });
  LocalServerProcess third;
  const bool started = third.Start({"--world", kWorld, "--state", dir});
  release.join();
  ASSERT_TRUE(started) << third.Errors();
  EXPECT_EQ(third.Port("GROUPSERVER"), port);
  EXPECT_EQ(third.Stop(), 0);
}

// Ports chosen at a first start lie below the range the system gives passing sockets
// (connections, servers on any port), so none of those takes one while it is stopped.
TEST(LocalServerPortsTest, NewPortsAreOutsideTheSystemsPassingRange) {
  std::ifstream range("/proc/sys/net/ipv4/ip_local_port_range");
  int low = 0;
  ASSERT_TRUE(range >> low);
  LocalServerProcess server;
  ASSERT_TRUE(server.Start({"--world", kWorld})) << server.Errors();
  for (const std::string& key : kServers) {
    EXPECT_GT(server.Port(key), 1023) << key;
    EXPECT_LT(server.Port(key), low) << key;
  }
  EXPECT_EQ(server.Stop(), 0);
}

}  // namespace
