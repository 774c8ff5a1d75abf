#include "net/TIMSession.h"

#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/TAPIPacket.h"
#include "base/TStopFlag.h"
#include "db/TAccountScope.h"
#include "net/TIMChannel.h"
#include "net/TIMPacket.h"
#include "net/TLoginResult.h"
#include "net/TNetContext.h"
#include "platform/clock.h"
#include "platform/netif.h"
#include "util/TDigest.h"
#include "util/TSocketUtil.h"
#include "util/TTransId.h"

namespace {

// Salt of the IM login's "key"; the IM server checks the digest with it.
constexpr const char* kLoginSalt =
    "%%^^[[]]--==##&&!!??qpwoeirutyalskdjfhg;zmxncbv'p{qowieur{}}xxyyz";
constexpr int kMethodRegister = 2;
constexpr int kClientDesktop = 1;
constexpr int kRegistrationIdDigits = 32;
constexpr size_t kProbeReceive = 1024;

// Process-wide and never destroyed: the push dispatch may ask for it until the end.
struct RegistrationId {
  std::mutex mutex;
  std::string text;
};

RegistrationId& RegId() {
  static RegistrationId* id = new RegistrationId;
  return *id;
}

bool IsLoopback(const std::string& address) { return address.compare(0, 4, "127.") == 0; }

std::vector<std::string> IPv6Addresses() {
  std::vector<std::string> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (ifaddrs* it = list; it; it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET6) continue;
    const auto* sin6 = reinterpret_cast<const sockaddr_in6*>(it->ifa_addr);
    const unsigned char* b = sin6->sin6_addr.s6_addr;
    char text[40];
    snprintf(text, sizeof(text),
             "%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x:%02x%02x", b[0], b[1],
             b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14],
             b[15]);
    out.emplace_back(text);
  }
  freeifaddrs(list);
  return out;
}

}  // namespace

TIMSession::TIMSession(EventFunction eventFunction)
    : m_eventFunction(eventFunction), m_connState(this, [this] { return Now(); }) {}

TIMSession::~TIMSession() { Stop(); }

uint64_t TIMSession::Now() const { return m_clock ? m_clock() : tesmo::TickCountMs(); }

bool TIMSession::Stopping() const { return m_stop.load() || IsEngineStopping(); }

void TIMSession::DrainPushes() {
  if (PushDrainHandler drain = m_pushDrainHandler.load()) drain(*this);
}

std::string TIMSession::GetRegistrationId() {
  std::lock_guard<std::mutex> lock(RegId().mutex);
  return RegId().text;
}

std::string TIMSession::GetLocalAddress() const {
  std::lock_guard<std::mutex> lock(m_addressMutex);
  return m_localAddress;
}

int TIMSession::Start() {
  int expected = 0;
  if (!m_started.compare_exchange_strong(expected, 1)) return 1;
  m_stop = false;
  m_channel = std::make_unique<TIMChannel>([this](const std::string& text, const std::string& host,
                                                  int port) { OnChannelText(text, host, port); });
  m_channel->SetDrainFunction([this] { DrainPushes(); });
  m_channel->SetRecvCacheSize(kChannelCacheSize);
  m_channel->SetResendPoolSize(kChannelCacheSize);
  m_lastAutoLogin = Now();
  m_worker = std::make_unique<TBaseThread>(&TIMSession::WorkerEntry, this);
  m_channel->Start(1);
  return 1;
}

void TIMSession::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_commandMutex);
    m_stop = true;
  }
  m_commandCond.notify_all();
  if (m_worker) m_worker->Join();
  m_worker.reset();
  if (m_channel) m_channel->Stop();
  m_started = 0;
}

void TIMSession::PostCommand(int command) {
  {
    std::lock_guard<std::mutex> lock(m_commandMutex);
    m_commands.push_back(command);
  }
  m_commandCond.notify_all();
}

bool TIMSession::Pause(unsigned ms) {
  std::unique_lock<std::mutex> lock(m_commandMutex);
  m_commandCond.wait_for(lock, std::chrono::milliseconds(ms), [this] { return Stopping(); });
  return Stopping();
}

unsigned TIMSession::WorkerEntry(void* arg) {
  static_cast<TIMSession*>(arg)->WorkerLoop();
  return 0;
}

void TIMSession::WorkerLoop() {
  while (!Stopping()) {
    int command = 0;
    {
      std::lock_guard<std::mutex> lock(m_commandMutex);
      if (!m_commands.empty()) {
        command = m_commands.front();
        m_commands.pop_front();
      }
    }
    if (command) {
      RunCommand(command);
    } else {
      TNetContext* core = TNetContext::Instance();
      switch (m_phase.load()) {
        case kPhaseRetry: {
          uint64_t now = Now();
          if (core && core->GetLoginMode() == 0 && now >= m_lastAutoLogin &&
              now - m_lastAutoLogin >= kAutoLoginMs) {
            m_lastAutoLogin = now;
            LoginStep(true);
          }
          break;
        }
        case kPhaseRegistered:
          m_connState.Step();
          break;
        default:
          break;
      }
      // One round a second; a command or a stop ends the wait at once.
      std::unique_lock<std::mutex> lock(m_commandMutex);
      m_commandCond.wait_for(lock, std::chrono::milliseconds(m_pauseMs),
                             [this] { return Stopping() || !m_commands.empty(); });
    }
    ++m_rounds;
  }
}

void TIMSession::RunCommand(int command) {
  switch (command) {
    case kCommandLogin:
      LoginStep(false);
      break;
    case kCommandUnregister:
      m_connState.Unregister();
      break;
    case kCommandNetUp:
      if (m_phase.load() == kPhaseRetry) {
        TNetContext* core = TNetContext::Instance();
        if (core && core->GetLoginMode() == 0) {
          m_lastAutoLogin = Now();
          LoginStep(true);
        }
      } else {
        m_connState.NetworkUp();
      }
      break;
    case kCommandNetDown:
      m_connState.NetworkDown();
      break;
    default:
      break;
  }
}

int TIMSession::RunHttpLogin() {
  // The engine core sets the function; without one there is no login to run.
  return m_loginFunction ? m_loginFunction() : kLoginNoUsableReply;
}

void TIMSession::LoginStep(bool retry) {
  int r = RunHttpLogin();
  if (r == kLoginServerMinus8 || r == kLoginServerMinus10 || r == kLoginServerRefused) {
    m_phase = kPhaseRefused;
    RaiseEvent(_EVENT_LOGIN_FAIL, r, "");
    return;
  }
  if (r == kLoginOk) {
    std::string address;
    int socket = Probe(&address);
    if (socket > 0) {
      m_phase = kPhaseRegistered;
      AttachSocket(socket);
      if (Pause(m_pauseMs)) return;
      m_connState.SendLogin(true);
      return;
    }
    m_phase = kPhaseRetry;
    if (!retry) RaiseEvent(_EVENT_LOGIN_FAIL, kLoginNoReply, "");
    return;
  }
  m_phase = kPhaseRetry;
  if (!retry) {
    RaiseEvent(_EVENT_LOGIN_FAIL, r == kLoginNoReply ? kLoginNoReply : kLoginNoUsableReply, "");
  }
}

void TIMSession::AttachSocket(int socket) {
  TNetContext* core = TNetContext::Instance();
  if (core && m_channel) m_channel->SetServer(core->GetProxyHost(), core->GetProxyPort());
  if (m_channel)
    m_channel->SetSocket(socket, 0);
  else
    close(socket);
}

std::vector<std::string> TIMSession::LocalAddresses(bool loopbackServer) {
  std::vector<std::string> all = tesmo::LocalIPv4Addresses(true);
  std::vector<std::string> out;
  if (loopbackServer) {
    std::copy_if(all.begin(), all.end(), std::back_inserter(out), IsLoopback);
    return out;
  }
  std::copy_if(all.begin(), all.end(), std::back_inserter(out),
               [](const std::string& a) { return !IsLoopback(a); });
  std::copy_if(all.begin(), all.end(), std::back_inserter(out), IsLoopback);
  std::vector<std::string> v6 = IPv6Addresses();
  out.insert(out.end(), v6.begin(), v6.end());
  return out;
}

void TIMSession::SetAddressSource(AddressSource source) {
  std::lock_guard<std::mutex> lock(m_addressMutex);
  m_addressSource = std::move(source);
}

std::vector<std::string> TIMSession::AddressList() const {
  AddressSource source;
  {
    std::lock_guard<std::mutex> lock(m_addressMutex);
    source = m_addressSource;
  }
  if (source) return source();
  TNetContext* core = TNetContext::Instance();
  return LocalAddresses(core && IsLoopback(core->GetProxyHost()));
}

int TIMSession::Probe(std::string* address) {
  address->clear();
  TNetContext* core = TNetContext::Instance();
  if (!core) return -1;
  const std::string host = core->GetProxyHost();
  const int port = core->GetProxyPort();

  struct Candidate {
    int socket;
    std::string address;
  };
  std::vector<Candidate> candidates;
  std::vector<std::string> addresses = AddressList();
  for (size_t i = 0; i < addresses.size() && i < kProbeAddresses; ++i) {
    int s = BindUdp(addresses[i], 0);
    // One select set holds them all; a descriptor past its range is not usable.
    if (s > 0 && s < FD_SETSIZE) {
      candidates.push_back({s, addresses[i]});
    } else if (s > 0) {
      close(s);
    }
  }
  if (candidates.empty()) return -1;

  std::string frame;
  if (TIMChannel::Frame("o", &frame)) {
    for (const Candidate& c : candidates) {
      for (int i = 0; i < kProbeSends; ++i)
        SendToHost(c.socket, frame.data(), frame.size(), host, port);
    }
  }

  int winner = -1;
  for (int round = 0; round < kProbeRounds && winner < 0 && !Stopping(); ++round) {
    fd_set set;
    FD_ZERO(&set);
    int maxFd = 0;
    for (const Candidate& c : candidates) {
      FD_SET(c.socket, &set);
      maxFd = std::max(maxFd, c.socket);
    }
    timeval tv{0, kProbeWaitMs * 1000};
    if (select(maxFd + 1, &set, nullptr, nullptr, &tv) <= 0) continue;
    for (size_t i = 0; i < candidates.size() && winner < 0; ++i) {
      if (!FD_ISSET(candidates[i].socket, &set)) continue;
      char buffer[kProbeReceive];
      if (recv(candidates[i].socket, buffer, sizeof(buffer), MSG_DONTWAIT) > 0)
        winner = static_cast<int>(i);
    }
  }
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (static_cast<int>(i) != winner) close(candidates[i].socket);
  }
  if (winner < 0) return -1;
  *address = candidates[winner].address;
  {
    std::lock_guard<std::mutex> lock(m_addressMutex);
    m_localAddress = *address;
  }
  return candidates[winner].socket;
}

bool TIMSession::Reconnect() {
  if (m_channel) m_channel->CloseSocket();
  std::string address;
  int socket = Probe(&address);
  if (socket <= 0) return false;
  AttachSocket(socket);
  return true;
}

bool TIMSession::IsLocalAddressPresent() {
  std::vector<std::string> addresses = AddressList();
  if (addresses.size() > kStillHereAddresses) addresses.resize(kStillHereAddresses);
  const std::string local = GetLocalAddress();
  return std::find(addresses.begin(), addresses.end(), local) != addresses.end();
}

std::string TIMSession::LoginKey(const std::string& id, const std::string& from) {
  return Md5Hex(id + from + kLoginSalt);
}

std::string TIMSession::BuildLoginPacket(const std::string& account, const std::string& userId,
                                         const std::string& name, int deviceType,
                                         const std::string& localAddress,
                                         const std::string& registrationId) {
  TIMPacket packet;
  packet.NewId(localAddress);
  packet.SetFrom(account);
  packet.SetTo(account);
  packet.SetMethod(kMethodRegister);
  packet.SetClient(kClientDesktop);
  packet.SetTransId(registrationId);
  packet.AddParam("userid", userId);
  packet.AddParam("name", name);
  packet.AddParam("device", std::to_string(deviceType));
  packet.AddParam("method", "login");
  packet.AddParam("key", LoginKey(packet.GetId(), packet.GetFrom()));
  return packet.ToRequest();
}

void TIMSession::SendLoginPacket() {
  TNetContext* core = TNetContext::Instance();
  if (!core) return;
  // Every IM login is a new registration; a kick-out for an older one is ignored.
  std::string id = RandomDigits(kRegistrationIdDigits) + "@" + Md5Hex(core->GetDeviceID());
  {
    std::lock_guard<std::mutex> lock(RegId().mutex);
    RegId().text = id;
  }
  SendToServer(BuildLoginPacket(core->GetAccount(), core->GetUserID(), core->GetName(),
                                core->GetDeviceType(), GetLocalAddress(), id));
}

std::string TIMSession::LoginInfoText() {
  TNetContext* core = TNetContext::Instance();
  return core ? core->GetLoginInfo() : std::string();
}

int TIMSession::DeviceType() {
  TNetContext* core = TNetContext::Instance();
  return core ? core->GetDeviceType() : 0;
}

std::string TIMSession::Account() {
  TNetContext* core = TNetContext::Instance();
  return core ? core->GetAccount() : std::string();
}

void TIMSession::SendToServer(const std::string& text) {
  TNetContext* core = TNetContext::Instance();
  if (!core || !m_channel) return;
  m_channel->Send(text, core->GetProxyHost(), core->GetProxyPort());
}

void TIMSession::RaiseEvent(int code, int a, const std::string& text) {
  RaiseEvent(code, a, 0, text);
}

void TIMSession::RaiseEvent(int code, int a, int id, const std::string& text) {
  // A push of a login that is over tells the caller nothing more.
  if (TAccountScope::IsLoginOver()) return;
  TAPIPacket* packet = new TAPIPacket;
  packet->code = code;
  packet->a = a;
  packet->id = id;
  packet->s4 = text;
  if (m_eventFunction)
    m_eventFunction(packet);
  else
    delete packet;
}

void TIMSession::OnChannelText(const std::string& text, const std::string& host, int port) {
  OnPush(text, host, port);
}
