#ifndef TESMO_NET_TIMCONNSTATE_H
#define TESMO_NET_TIMCONNSTATE_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/TBaseMutex.h"

// The IM connection's state machine: first login, online with keep-alive, offline
// with reconnect, re-login. The session's worker drives it (Step, commands) and the
// channel's dispatch thread feeds it the server's short texts, so every field is
// behind one lock. Events and the slow reconnect run outside the lock.
class TIMConnState {
 public:
  enum State {
    kStateNone = 0,
    kStateFirstLogin = 1,
    kStateFirstLoginFailed = 2,
    kStateOnline = 3,
    kStateOffline = 4,
    kStateRelogin = 5
  };

  // Limits in milliseconds of the monotonic clock.
  static constexpr uint64_t kFirstLoginWaitMs = 120000;
  static constexpr uint64_t kSilenceLimitMs = 90000;
  static constexpr uint64_t kKeepAliveMs = 10000;
  static constexpr uint64_t kReconnectMs = 120000;
  static constexpr uint64_t kReloginWaitMs = 30000;
  static constexpr int kNetworkUpTries = 5;
  static constexpr unsigned kNetworkUpPauseMs = 1000;

  // What the state machine needs of its session.
  class Host {
   public:
    virtual ~Host() = default;
    virtual void SendToServer(const std::string& text) = 0;
    virtual void RaiseEvent(int code, int a, const std::string& text) = 0;
    // Drops the channel's socket, probes and hands a new one over; true when found.
    virtual bool Reconnect() = 0;
    // True while the address that answered the last probe is still the host's.
    virtual bool IsLocalAddressPresent() = 0;
    // Makes a new registration id and sends the IM login packet once.
    virtual void SendLoginPacket() = 0;
    virtual std::string LoginInfoText() = 0;
    virtual int DeviceType() = 0;
    virtual std::string Account() = 0;
    // Waits; true when the session or the engine is stopping.
    virtual bool Pause(unsigned ms) = 0;
  };

  using Clock = std::function<uint64_t()>;  // monotonic milliseconds

  explicit TIMConnState(Host* host, Clock clock = Clock());
  TIMConnState(const TIMConnState&) = delete;
  TIMConnState& operator=(const TIMConnState&) = delete;

  void SendText(const std::string& text, int count);
  void SendLogin(bool firstLogin);
  void Tick();
  void Unregister();
  void NetworkUp();
  void NetworkDown();
  void Step();
  void OnShortText(const std::string& text);

  int GetState() const;
  // A kick-out ends keep-alive and automatic re-login.
  void SetState(int state);
  int GetTickCount() const;

  std::string KeepAliveText() const;
  std::string UnregisterText() const;

 private:
  struct Event {
    int code;
    int a;
    std::string text;
  };

  uint64_t Now() const;
  static bool Reached(uint64_t now, uint64_t since, uint64_t limit);
  void SendLoginLocked(bool firstLogin, uint64_t now);
  void TickLocked();
  // The timed transitions; true when an offline session is due to reconnect.
  bool StepLocked();
  void Raise(const std::vector<Event>& events);
  bool ReconnectAndLogin();

  Host* m_host;
  Clock m_clock;
  mutable TBaseMutex m_mutex;
  // Held from a transition to the end of its events, so events leave in the order
  // of the transitions even when two threads change the state.
  TBaseMutex m_raiseMutex;
  int m_tick = 0;
  uint64_t m_lastAction = 0;
  uint64_t m_lastReceive = 0;
  int m_state = kStateNone;
};

#endif
