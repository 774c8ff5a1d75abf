#ifndef TESMO_NET_TIMSESSION_H
#define TESMO_NET_TIMSESSION_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/TBaseThread.h"
#include "net/TIMConnState.h"

class TAPIPacket;
class TIMChannel;
class TIMPacket;

// Keeps the engine registered with the IM server: the login step (HTTP registration
// and login, the network probe, the IM login packet), keep-alive, reconnect and
// re-login, each change reported as an event. Commands from the engine core: 1 log
// in, 2 unregister, 3 network up, 4 network down. Everything runs on the session's
// worker except the server's texts, which arrive on the channel's dispatch thread.
class TIMSession : private TIMConnState::Host {
 public:
  using EventFunction = void (*)(TAPIPacket*);
  // Takes every pushed "im" packet (chat messages and group notifications).
  using PushHandler = void (*)(TIMSession& session, const TIMPacket& packet);
  // Finishes what the push handler kept open across pushes (stored rows not yet
  // committed, their events). Runs on the dispatch thread when no push is waiting
  // there, before anything that is not an "im" packet, and as the thread ends.
  using PushDrainHandler = void (*)(TIMSession& session);
  // The HTTP part of the login step: 0 or a failure number of the login service.
  using LoginFunction = std::function<int()>;
  using AddressSource = std::function<std::vector<std::string>()>;
  using Clock = TIMConnState::Clock;

  enum Phase { kPhaseNone = 0, kPhaseRefused = 1, kPhaseRetry = 2, kPhaseRegistered = 3 };
  enum Command {
    kCommandLogin = 1,
    kCommandUnregister = 2,
    kCommandNetUp = 3,
    kCommandNetDown = 4
  };

  static constexpr uint64_t kAutoLoginMs = 120000;
  static constexpr unsigned kRoundMs = 1000;
  static constexpr size_t kShortTextMax = 10;
  static constexpr size_t kProbeAddresses = 16;
  static constexpr int kProbeSends = 10;
  static constexpr int kProbeRounds = 100;
  static constexpr int kProbeWaitMs = 10;
  static constexpr size_t kStillHereAddresses = 32;
  static constexpr int kChannelCacheSize = 500;

  explicit TIMSession(EventFunction eventFunction);
  ~TIMSession() override;
  TIMSession(const TIMSession&) = delete;
  TIMSession& operator=(const TIMSession&) = delete;

  int Start();
  // Ends the worker and the channel and joins their threads.
  void Stop();
  void PostCommand(int command);

  // The channel's receive function.
  void OnChannelText(const std::string& text, const std::string& host, int port);
  // Everything the channel delivers: short texts to the state machine, "im" packets
  // to the push handler, "sys" packets (kick-outs, friend and profile changes,
  // system notices) handled here; anything else is dropped.
  void OnPush(const std::string& text, const std::string& host, int port);
  void SendToServer(const std::string& text) override;
  void RaiseEvent(int code, int a, const std::string& text) override;
  // An event about one stored row: id is its local id.
  void RaiseEvent(int code, int a, int id, const std::string& text);

  TIMConnState& ConnState() { return m_connState; }
  TIMChannel* Channel() const { return m_channel.get(); }
  int GetPhase() const { return m_phase.load(); }
  std::string GetLocalAddress() const;

  // The push handlers; the engine core installs them (core/TEngineWiring.cpp). They
  // may be replaced while the session runs.
  void SetPushHandler(PushHandler handler) { m_pushHandler = handler; }
  PushHandler GetPushHandler() const { return m_pushHandler.load(); }
  void SetPushDrainHandler(PushDrainHandler handler) { m_pushDrainHandler = handler; }
  void DrainPushes();
  // The registration id of the last IM login; a kick-out names it.
  static std::string GetRegistrationId();

  // The host's addresses, as the probe tries them: IPv4 first, then IPv6 written as
  // eight groups of four hex digits. For a server on loopback only loopback addresses
  // can answer, so only those are listed.
  static std::vector<std::string> LocalAddresses(bool loopbackServer);
  // The IM login packet's text.
  static std::string BuildLoginPacket(const std::string& account, const std::string& userId,
                                      const std::string& name, int deviceType,
                                      const std::string& localAddress,
                                      const std::string& registrationId);
  static std::string LoginKey(const std::string& id, const std::string& from);

  // The HTTP registration and login before every IM login, set by the engine core
  // (before Start); it returns a TLoginResult.
  void SetLoginFunction(LoginFunction login) { m_loginFunction = std::move(login); }
  // For tests: replace the clock and the length of the one-second pauses (before
  // Start), and the address list (at any time).
  void SetClock(Clock clock) { m_clock = std::move(clock); }
  void SetAddressSource(AddressSource source);
  void SetPauseMs(unsigned ms) { m_pauseMs = ms; }
  // Rounds of the worker so far (a test waits for rounds instead of time).
  uint64_t RoundCount() const { return m_rounds.load(); }

 private:
  static unsigned WorkerEntry(void* arg);
  void WorkerLoop();
  void RunCommand(int command);
  void LoginStep(bool retry);
  int RunHttpLogin();
  // A bound socket through which the IM server answered, or -1.
  int Probe(std::string* address);
  std::vector<std::string> AddressList() const;
  void AttachSocket(int socket);
  void OnSysPush(const TIMPacket& packet);
  void OnUpdateDetail(const std::string& content);
  uint64_t Now() const;
  bool Stopping() const;

  // TIMConnState::Host
  bool Reconnect() override;
  bool IsLocalAddressPresent() override;
  void SendLoginPacket() override;
  std::string LoginInfoText() override;
  int DeviceType() override;
  std::string Account() override;
  bool Pause(unsigned ms) override;

  EventFunction m_eventFunction;
  std::atomic<PushHandler> m_pushHandler{nullptr};
  std::atomic<PushDrainHandler> m_pushDrainHandler{nullptr};
  std::atomic<int> m_phase{kPhaseNone};
  TIMConnState m_connState;
  std::unique_ptr<TIMChannel> m_channel;
  std::atomic<int> m_started{0};
  std::atomic<bool> m_stop{false};
  mutable std::mutex m_addressMutex;
  std::string m_localAddress = "127.0.0.1";
  std::mutex m_commandMutex;
  std::condition_variable m_commandCond;
  std::deque<int> m_commands;
  std::unique_ptr<TBaseThread> m_worker;
  uint64_t m_lastAutoLogin = 0;
  std::atomic<uint64_t> m_rounds{0};

  LoginFunction m_loginFunction;
  Clock m_clock;
  AddressSource m_addressSource;
  unsigned m_pauseMs = kRoundMs;
};

#endif
