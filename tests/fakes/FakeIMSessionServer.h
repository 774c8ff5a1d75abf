// FakeIMSessionServer: the IM server's side of a session, on top of FakeIMServer.
// It answers the probe "o" with "o", answers the IM login ("register" request) with
// its response and then the verdict text ("t" accepted, "f" refused), and answers the
// keep-alive texts. Each answer can be withheld on cue, and the login key is checked
// with the server's own digest code.
//
//   FakeIMSessionServer im;                        // loopback, im.Port()
//   core->SetProxyServer("127.0.0.1:" + std::to_string(im.Port()));
//   im.SetProbeAnswered(false);                    // the probe finds nothing
//   im.WaitFor([&] { return im.CountText("R2me@s") == 5; });
#ifndef TESMO_TESTS_FAKES_FAKEIMSESSIONSERVER_H
#define TESMO_TESTS_FAKES_FAKEIMSESSIONSERVER_H

#include <json/json.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeIMServer.h"

class FakeIMSessionServer {
 public:
  // The salt with which the server checks the login key.
  static const char* const kLoginSalt;

  // The UDP port to bind (0: any free one); Port() is 0 when it could not be had.
  explicit FakeIMSessionServer(int port = 0);
  FakeIMSessionServer(const FakeIMSessionServer&) = delete;
  FakeIMSessionServer& operator=(const FakeIMSessionServer&) = delete;

  FakeIMServer& Server() { return m_server; }
  int Port() const { return m_server.Port(); }

  void SetProbeAnswered(bool answered);
  // "t", "f", or "" for no verdict at all.
  void SetLoginVerdict(const std::string& verdict);
  // Decides the verdict of each IM login instead (runs on the server's thread, which
  // it may use: the record names the client's address).
  using LoginCheck = std::function<std::string(const FakeIMServer::Record& login)>;
  void SetLoginCheck(LoginCheck check);
  void SetKeepAliveAnswered(bool answered);

  // Session texts (texts that are no packet: probes, keep-alives, unregisters)
  // received that equal text.
  size_t CountText(const std::string& text) const;
  // Session texts received, in order, leaving out the probe.
  std::vector<std::string> SessionTexts() const;
  // The IM login packets received, parsed.
  std::vector<Json::Value> LoginPackets() const;
  bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 20000) const {
    return m_server.WaitFor(cond, timeoutMs);
  }

  // True when the packet's params "key" is the digest of its id, from and the salt.
  static bool LoginKeyValid(const Json::Value& packet);
  static std::string Md5Hex(const std::string& text);

 private:
  mutable std::mutex m_mutex;
  bool m_probeAnswered = true;
  bool m_keepAliveAnswered = true;
  std::string m_verdict = "t";
  LoginCheck m_loginCheck;
  FakeIMServer m_server;
};

#endif
