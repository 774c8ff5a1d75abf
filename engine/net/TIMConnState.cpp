#include "net/TIMConnState.h"

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "platform/clock.h"

namespace {
constexpr int kKeepAliveShortCount = 3;
constexpr int kKeepAliveLongCount = 5;
constexpr int kUnregisterCount = 5;
}  // namespace

TIMConnState::TIMConnState(Host* host, Clock clock) : m_host(host), m_clock(std::move(clock)) {}

uint64_t TIMConnState::Now() const { return m_clock ? m_clock() : tesmo::TickCountMs(); }

bool TIMConnState::Reached(uint64_t now, uint64_t since, uint64_t limit) {
  // A clock that went back counts as a limit not yet reached.
  return now >= since && now - since >= limit;
}

void TIMConnState::Raise(const std::vector<Event>& events) {
  for (const Event& e : events) m_host->RaiseEvent(e.code, e.a, e.text);
}

std::string TIMConnState::KeepAliveText() const {
  return "r" + std::to_string(m_host->DeviceType()) + m_host->Account();
}

std::string TIMConnState::UnregisterText() const {
  return "R" + std::to_string(m_host->DeviceType()) + m_host->Account();
}

void TIMConnState::SendText(const std::string& text, int count) {
  for (int i = 0; i < count; ++i) m_host->SendToServer(text);
}

void TIMConnState::SendLogin(bool firstLogin) {
  TAutoLock lock(m_mutex);
  SendLoginLocked(firstLogin, Now());
}

void TIMConnState::SendLoginLocked(bool firstLogin, uint64_t now) {
  m_state = (m_state == kStateNone || firstLogin) ? kStateFirstLogin : kStateRelogin;
  m_lastAction = now;
  m_lastReceive = now;
  m_tick = 0;
  m_host->SendLoginPacket();
}

void TIMConnState::Tick() {
  TAutoLock lock(m_mutex);
  TickLocked();
}

void TIMConnState::TickLocked() {
  ++m_tick;
  if (m_tick % 6 == 0) {
    SendText(KeepAliveText(), kKeepAliveLongCount);
  } else if (m_tick % 3 == 0) {
    SendText("a", kKeepAliveShortCount);
  }
}

void TIMConnState::Unregister() {
  TAutoLock lock(m_mutex);
  if (m_state == kStateNone) return;
  m_state = kStateNone;
  SendText(UnregisterText(), kUnregisterCount);
}

bool TIMConnState::ReconnectAndLogin() {
  // The probe takes up to a second; the dispatch thread must not wait for it.
  bool found = m_host->Reconnect();
  TAutoLock lock(m_mutex);
  uint64_t now = Now();
  // An unregister or kick-out during the probe wins over the re-login.
  if (found && m_state == kStateOffline) SendLoginLocked(false, now);
  m_lastAction = now;
  return found;
}

void TIMConnState::NetworkUp() {
  {
    TAutoLock lock(m_mutex);
    if (m_state != kStateOffline) return;
    m_lastAction = Now();
  }
  for (int i = 0; i < kNetworkUpTries; ++i) {
    if (ReconnectAndLogin()) return;
    if (m_host->Pause(kNetworkUpPauseMs)) return;
    TAutoLock lock(m_mutex);
    if (m_state != kStateOffline) return;
  }
}

void TIMConnState::NetworkDown() {
  TAutoLock order(m_raiseMutex);
  std::vector<Event> events;
  {
    TAutoLock lock(m_mutex);
    if (m_state != kStateOnline) return;
    m_state = kStateOffline;
    events.push_back({_EVENT_REPORT_OFFLINE, 0, ""});
    m_lastAction = Now();
  }
  Raise(events);
}

void TIMConnState::Step() {
  if (StepLocked()) ReconnectAndLogin();
}

bool TIMConnState::StepLocked() {
  TAutoLock order(m_raiseMutex);
  std::vector<Event> events;
  bool reconnect = false;
  {
    TAutoLock lock(m_mutex);
    uint64_t now = Now();
    switch (m_state) {
      case kStateFirstLogin:
        if (Reached(now, m_lastAction, kFirstLoginWaitMs)) {
          m_state = kStateFirstLoginFailed;
          events.push_back({_EVENT_LOGIN_FAIL, 4, ""});
          m_lastAction = now;
        }
        break;
      case kStateOnline:
        if (!m_host->IsLocalAddressPresent() || Reached(now, m_lastReceive, kSilenceLimitMs)) {
          m_state = kStateOffline;
          events.push_back({_EVENT_REPORT_OFFLINE, 0, ""});
          m_lastAction = now;
        } else if (Reached(now, m_lastAction, kKeepAliveMs)) {
          TickLocked();
          m_lastAction = now;
        }
        break;
      case kStateOffline:
        reconnect = Reached(now, m_lastAction, kReconnectMs);
        break;
      case kStateRelogin:
        if (Reached(now, m_lastAction, kReloginWaitMs)) m_state = kStateOffline;
        break;
      default:
        break;
    }
  }
  Raise(events);
  return reconnect;
}

void TIMConnState::OnShortText(const std::string& text) {
  TAutoLock order(m_raiseMutex);
  std::vector<Event> events;
  {
    TAutoLock lock(m_mutex);
    if (text == "o") return;  // a late probe answer
    if (text == "f") {
      if (m_state == kStateFirstLogin) {
        m_state = kStateOffline;
        events.push_back({_EVENT_LOGIN_FAIL, 4, ""});
      } else if (m_state == kStateRelogin) {
        m_state = kStateOffline;
      } else if (m_state == kStateOnline) {
        m_state = kStateOffline;
        events.push_back({_EVENT_REPORT_OFFLINE, 0, ""});
      }
    } else {
      m_lastReceive = Now();
      if (text == "t") {
        if (m_state == kStateFirstLogin) {
          events.push_back({_EVENT_LOGIN_SUCCESS, 0, m_host->LoginInfoText()});
          m_state = kStateOnline;
        } else if (m_state == kStateOffline || m_state == kStateRelogin) {
          events.push_back({_EVENT_RELOGIN_SUCCESS, 0, ""});
          m_state = kStateOnline;
        }
      }
    }
  }
  Raise(events);
}

int TIMConnState::GetState() const {
  TAutoLock lock(m_mutex);
  return m_state;
}

void TIMConnState::SetState(int state) {
  TAutoLock lock(m_mutex);
  m_state = state;
}

int TIMConnState::GetTickCount() const {
  TAutoLock lock(m_mutex);
  return m_tick;
}
