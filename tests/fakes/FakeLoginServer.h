// FakeLoginServer: the two HTTP servers of a login, on loopback FakeHttpServers.
//   Login(): the navigation server (server key LOGIN): registration by code
//            ("/navigation/user/register.do"), by ticket (".../regticket.do") or by an
//            earlier registration (".../accountinfo.do"), and the program's QR poll
//            ("/navigation/qrcode/getuserinfo.do?auid=...&device=...").
//   User():  the user server: "/userinfo/user/login.do" and the QR poll
//            "/qrcode/getuserinfo.do?<key>".
// The replies are built from one Profile; a test may replace a whole reply, hold the
// QR polls of a key, and read back every request. Digests and tokens are computed
// here on their own, so the engine's are checked against an independent peer.
//
//   FakeLoginServer servers;
//   servers.SetIMPort(im.Port());            // the login reply's proxy server
//   ASSERT_TRUE(servers.Start());
//   api.SetServerInfo("127.0.0.1", servers.Login().Port());
//   servers.SetRegisterReply(FakeReply::Json(R"({"code": -10})"));
#ifndef TESMO_TESTS_FAKES_FAKELOGINSERVER_H
#define TESMO_TESTS_FAKES_FAKELOGINSERVER_H

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/FakeHttpServer.h"

class FakeLoginServer {
 public:
  struct Profile {
    std::string userId = "1001";
    std::string ucUserId = "uc-1001";
    std::string account = "1001@im.test";
    std::string token = "reg-token-1";
    std::string token2 = "reg-token-2";
    std::string domain = "im.test";
    std::string sessionToken = "session-token-1";
    std::string name = "Li Lei";
    std::string icon = "http://127.0.0.1/icon.png";
    std::string bigIcon = "http://127.0.0.1/big.png";
    std::string summary = "hello \"world\"";
    std::string storageIp = "127.0.0.1";
    int storagePort = 22122;
    std::string upServer = "127.0.0.1:8181";
    std::string downServer = "http://127.0.0.1:8282";
    std::string proxyServer;  // "127.0.0.1:<IM port>" once SetIMPort was called
    std::string redUrl = "http://127.0.0.1/red";
    int firstReg = 1;
    int userVersion = 17;
    int friendVersion = 3;
    int userType = 2;
    int champFlag = 1;
    // The login reply's server list (name, "host:port"); empty: USERSERVER,
    // GROUPSERVER and IMSERVER all at the user server.
    std::vector<std::pair<std::string, std::string>> servers;
  };

  static constexpr const char* kRegisterPath = "/navigation/user/register.do";
  static constexpr const char* kRegTicketPath = "/navigation/user/regticket.do";
  static constexpr const char* kAccountInfoPath = "/navigation/user/accountinfo.do";
  static constexpr const char* kLoginQRPath = "/navigation/qrcode/getuserinfo.do";
  static constexpr const char* kLoginPath = "/userinfo/user/login.do";
  static constexpr const char* kUserQRPath = "/qrcode/getuserinfo.do";

  // tls: both servers speak HTTPS with the test CA's certificate.
  explicit FakeLoginServer(bool tls = false);
  ~FakeLoginServer();
  FakeLoginServer(const FakeLoginServer&) = delete;
  FakeLoginServer& operator=(const FakeLoginServer&) = delete;

  bool Start();
  FakeHttpServer& Login() { return m_login; }
  FakeHttpServer& User() { return m_user; }

  void SetProfile(const Profile& profile);
  Profile GetProfile() const;
  void SetIMPort(int port);

  // Replaces the reply of every registration path, or of the login; Clear restores
  // the replies built from the profile.
  void SetRegisterReply(const FakeReply& reply);
  void SetLoginReply(const FakeReply& reply);
  void ClearReplies();

  // QR polls of a key are answered "not yet" notYet times, then confirmed with the
  // content and the (enciphered) token; a key without a plan is never confirmed.
  void SetQRPlan(const std::string& key, int notYet, const std::string& content,
                 const std::string& encryptedToken);
  // Polls of this key wait until ReleaseQR (or 30 s).
  void HoldQR(const std::string& key);
  void ReleaseQR();
  // Polls received for the key so far; the key of a poll whose hold began.
  int QRPolls(const std::string& key) const;
  bool WaitQRHeld(const std::string& key, int timeoutMs = 10000) const;

  // Requests of the three registration paths, in arrival order.
  std::vector<FakeRequest> RegisterRequests() const;
  std::vector<FakeRequest> LoginRequests() const { return m_user.Requests(kLoginPath); }

  // The reply bodies built from the profile.
  std::string RegisterBody() const;
  std::string LoginBody() const;
  // The same for any profile, the user server at userServer ("host:port"); a server
  // that keeps several accounts answers with these.
  static std::string RegisterBody(const Profile& profile, const std::string& userServer);
  static std::string LoginBody(const Profile& profile, const std::string& userServer);
  // A QR poll's answers: not yet scanned, and confirmed.
  static std::string QRNotYetBody();
  static std::string QRConfirmedBody(const std::string& content, const std::string& token);

  // What the engine must derive, computed here on their own.
  static std::string RegisteredToken(const std::string& token);
  static std::string AccountInfoToken(const std::string& regToken, const std::string& deviceId);
  static std::string VerifyCodeDigest(const std::string& code);
  // The salted 16-character digest of a text with the password salt of type 0-3.
  static std::string PasswordDigest(const std::string& text, int type);

 private:
  FakeReply Register(const FakeRequest& request);
  FakeReply LoginReply(const FakeRequest& request);
  FakeReply QR(const std::string& key);

  FakeHttpServer m_login;
  FakeHttpServer m_user;
  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  Profile m_profile;
  std::optional<FakeReply> m_registerReply;
  std::optional<FakeReply> m_loginReply;
  struct QRPlan {
    int notYet;
    std::string content;
    std::string token;
  };
  std::map<std::string, QRPlan> m_qrPlans;
  std::string m_heldKey;
  bool m_released = false;
  std::map<std::string, int> m_qrPolls;
  std::map<std::string, bool> m_qrHeld;
};

#endif
