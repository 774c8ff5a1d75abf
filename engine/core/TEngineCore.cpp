#include "core/TEngineCore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "base/TStopFlag.h"
#include "core/TEngineWiring.h"
#include "core/TStringQueue.h"
#include "db/TAccountScope.h"
#include "db/TDatabaseLock.h"
#include "net/THttpRequestService.h"
#include "net/TIMSession.h"
#include "platform/netif.h"
#include "platform/path.h"
#include "platform/socket.h"
#include "services/TContactCache.h"
#include "services/TQRLoginThread.h"
#include "services/TSenderDetails.h"
#include "util/TSocketUtil.h"
#include "util/TTextUtil.h"

namespace {

std::atomic<TEngineCore*> g_core{nullptr};

template <size_t N>
void CopyField(char (&field)[N], const char* text) {
  size_t len = text ? strnlen(text, N - 1) : 0;
  if (len) memcpy(field, text, len);
  field[len] = '\0';
}

}  // namespace

TEngineCore::TEngineCore(std::unique_ptr<TFacadeLink> facade) : m_facade(std::move(facade)) {
  SetEngineStopping(false);
  m_requestService = std::make_unique<THttpRequestService>(&TEngineCore::OnServicePacket);
  m_imSession = std::make_unique<TIMSession>(&TEngineCore::OnSessionPacket);
  // Every executor, reply hook, push handler and the background worker, in one list.
  TEngineWiring::Install(*m_requestService, *m_imSession);
  m_contactCache = std::make_unique<TContactCache>();
  g_core = this;
  Attach(this);
}

TEngineCore::~TEngineCore() {
  // Raise the stop flag first: every loop wakes and ends, then each owner joins its
  // threads before the objects they use go away.
  SetEngineStopping(true);
  TQRLoginThread::Instance().Shutdown();
  if (m_imSession) m_imSession->Stop();
  if (m_requestService) m_requestService->Stop();
  m_imSession.reset();
  m_requestService.reset();
  // The fetches of senders' details queued or under way ended with the workers,
  // unfinished: forget them, or the next run would wait for them for good.
  TSenderDetails::Clear();
  m_httpLog.Close();
  Detach(this);
  TEngineCore* self = this;
  g_core.compare_exchange_strong(self, nullptr);
  // Every engine thread has ended: the flag comes down again, so the synchronous
  // exchanges that need no core (SyncSendGet, SyncSendPost) work after a release.
  SetEngineStopping(false);
}

TEngineCore* TEngineCore::Instance() { return g_core.load(); }

int TEngineCore::NextDialogID() {
  static TBaseMutex mutex;
  static int counter = 10000;
  TAutoLock lock(mutex);
  return ++counter;
}

int TEngineCore::Run() {
  int expected = 0;
  if (!m_running.compare_exchange_strong(expected, 1)) return 1;
  tesmo::StartSockets();
  m_requestService->Start();
  m_imSession->Start();
  return 1;
}

int TEngineCore::MakeRegister() {
  m_imSession->PostCommand(1);
  return 1;
}

int TEngineCore::MakeUnRegister() {
  if (GetDatabase()) SetSaveInfoValue("ISLOGIN", "0");
  // The session's queued background work and downloads end with it.
  TAccountScope::EndLogin();
  m_imSession->PostCommand(2);
  return 1;
}

int TEngineCore::SetNetworkState(int state) {
  m_imSession->PostCommand(state == 1 ? 3 : 4);
  return 1;
}

void TEngineCore::PostPacket(TAPIPacket* packet) {
  if (!packet) return;
  if (IsEngineStopping()) {
    delete packet;
    return;
  }
  m_requestService->Enqueue(packet);
}

int TEngineCore::QueueRequest(int code, int id, const std::string& s1, const std::string& s2,
                              const std::string& s3) {
  TEngineCore* core = Instance();
  if (!core) return id;
  try {
    std::unique_ptr<TAPIPacket> packet(new TAPIPacket);
    packet->code = code;
    packet->id = id;
    packet->s1 = s1;
    packet->s2 = s2;
    packet->s3 = s3;
    core->PostPacket(packet.release());
  } catch (...) {
    // Out of memory: the request is dropped, no exception leaves the facade.
  }
  return id;
}

void TEngineCore::OnServicePacket(TAPIPacket* packet) {
  TEngineCore* core = Instance();
  TFacadeLink* facade = core ? core->m_facade.get() : TFacadeLink::Current();
  if (IsEngineStopping() || !facade) {
    delete packet;
    return;
  }
  facade->DeliverPacket(packet);
}

void TEngineCore::OnSessionPacket(TAPIPacket* packet) {
  TEngineCore* core = Instance();
  if (!core) {
    delete packet;
    return;
  }
  core->FilterLoginState(packet);
}

void TEngineCore::FilterLoginState(TAPIPacket* packet) {
  if (!packet) return;
  if (IsEngineStopping()) {
    delete packet;
    return;
  }
  switch (packet->code) {
    case _EVENT_LOGIN_SUCCESS:
      m_loginState = 1;
      if (GetDatabase()) SetSaveInfoValue("ISLOGIN", "1");
      m_requestService->SetLoggedIn(0);
      break;
    case _EVENT_RELOGIN_SUCCESS:
      m_loginState = 1;
      m_requestService->SetLoggedIn(1);
      break;
    case _EVENT_RECV_KICKOUT:
      // A kick-out ends the session like a logout: its queued work is dropped.
      TAccountScope::EndLogin();
      m_loginState = 0;
      break;
    case _EVENT_REPORT_SYSKICKOUT:
      TAccountScope::EndLogin();
      break;
    case _EVENT_LOGIN_FAIL:
    case _EVENT_REPORT_OFFLINE:
      m_loginState = 0;
      break;
    default:
      break;
  }
  m_facade->DeliverPacket(packet);
}

void TEngineCore::SetBlackList(const std::string& text) {
  // Asked under the database lock: a friend list of an account that is gone must not
  // become this one's, in memory or in its file.
  TAutoLock dbLock(DatabaseMutex());
  if (TAccountScope::IsStale()) return;
  if (GetDatabase()) SetSaveInfoValue("BLACK", text);
  TAutoLock lock(m_fieldMutex);
  m_blackList = text;
}

void TEngineCore::SetDownServer(const std::string& text) {
  TAutoLock lock(m_fieldMutex);
  CopyField(m_downServer, text.c_str());
}

void TEngineCore::SetProfile(const std::string& name, const std::string& logo,
                             const std::string& bigLogo, const std::string& summary, int version,
                             int champFlag) {
  TAutoLock lock(m_fieldMutex);
  m_name = name;
  m_logo = logo;
  m_bigLogo = bigLogo;
  m_summary = summary;
  m_version = version;
  m_champFlag = champFlag;
}

void TEngineCore::SplitServer(const std::string& hostPort, char* host, int* port) {
  std::string h;
  int p = 0;
  SplitHostPort(hostPort, h, p);
  TAutoLock lock(m_fieldMutex);
  size_t len = strnlen(h.c_str(), kHostSize - 1);
  memcpy(host, h.data(), len);
  host[len] = '\0';
  *port = p;
}

void TEngineCore::SetHttpServer(const std::string& hostPort) {
  int port = 0;
  SplitServer(hostPort, m_httpHost, &port);
  m_httpPort = port;
}

void TEngineCore::SetUpServer(const std::string& hostPort) {
  int port = 0;
  SplitServer(hostPort, m_upHost, &port);
  m_upPort = port;
}

void TEngineCore::SetProxyServer(const std::string& hostPort) {
  int port = 0;
  SplitServer(hostPort, m_proxyHost, &port);
  m_proxyPort = port;
}

void TEngineCore::SetServer(const std::string& name, const std::string& address) {
  TAutoLock lock(m_coreMutex);
  m_servers[name] = address;
}

std::string TEngineCore::GetServer(const std::string& name) const {
  TAutoLock lock(m_coreMutex);
  auto it = m_servers.find(name);
  return it == m_servers.end() ? std::string() : it->second;
}

void TEngineCore::SetUserAccount(const std::string& userId, const std::string& account) {
  TAutoLock lock(m_fieldMutex);
  m_userId = userId;
  m_account = account;
}

void TEngineCore::SetToken(const std::string& token) {
  TAutoLock lock(m_fieldMutex);
  m_token = token;
}

void TEngineCore::SetSummary(const std::string& summary) {
  TAutoLock lock(m_fieldMutex);
  m_summary = summary;
}

void TEngineCore::SetStorageHost(const std::string& host) {
  TAutoLock lock(m_fieldMutex);
  m_storageHost = host;
}

void TEngineCore::SetRedPacketUrl(const std::string& url) {
  TAutoLock lock(m_fieldMutex);
  m_redPacketUrl = url;
}

void TEngineCore::SetLoginInfo(const std::string& text) {
  TAutoLock lock(m_fieldMutex);
  m_loginInfo = text;
}

void TEngineCore::SetLanguage(const std::string& language) {
  TAutoLock lock(m_fieldMutex);
  m_language = language;
}

void TEngineCore::SetLoginServer(const char* host, int port) {
  TAutoLock lock(m_fieldMutex);
  CopyField(m_loginHost, host);
  m_loginPort = port;
}

void TEngineCore::SetMobileLogin(const char* mobile, const char* nationCode, const char* code,
                                 const char* deviceId, int mode) {
  TAutoLock lock(m_fieldMutex);
  CopyField(m_mobile, mobile);
  CopyField(m_nationCode, nationCode);
  CopyField(m_code, code);
  CopyField(m_deviceId, deviceId);
  // Each login setter describes the whole next login: fields of another kind of login
  // left from earlier would choose the wrong registration request.
  CopyField(m_ticket, "");
  CopyField(m_qrKey, "");
  m_loginMode = mode;
}

void TEngineCore::SetQRLogin(const char* qrKey, const char* deviceId, int mode) {
  TAutoLock lock(m_fieldMutex);
  CopyField(m_qrKey, qrKey);
  CopyField(m_deviceId, deviceId);
  CopyField(m_mobile, "");
  CopyField(m_nationCode, "");
  CopyField(m_code, "");
  CopyField(m_ticket, "");
  m_loginMode = mode;
}

void TEngineCore::SetTicketLogin(const char* ticket, const char* deviceId, int mode,
                                 const char* account) {
  TAutoLock lock(m_fieldMutex);
  CopyField(m_ticket, ticket);
  CopyField(m_deviceId, deviceId);
  CopyField(m_mobile, account);
  CopyField(m_nationCode, "");
  CopyField(m_code, "");
  CopyField(m_qrKey, "");
  m_loginMode = mode;
}

void TEngineCore::UseOpenssl(const char* certFile, const char* keyFile, const char* password) {
  TAutoLock lock(m_fieldMutex);
  m_https = 1;
  m_certFile = certFile ? certFile : "";
  m_keyFile = keyFile ? keyFile : "";
  m_password = password ? password : "";
}

#define TESMO_FIELD_GETTER(Name, expr)    \
  std::string TEngineCore::Name() const { \
    TAutoLock lock(m_fieldMutex);         \
    return std::string(expr);             \
  }

TESMO_FIELD_GETTER(GetUserID, m_userId)
TESMO_FIELD_GETTER(GetAccount, m_account)
TESMO_FIELD_GETTER(GetName, m_name)
TESMO_FIELD_GETTER(GetLogo, m_logo)
TESMO_FIELD_GETTER(GetBigLogo, m_bigLogo)
TESMO_FIELD_GETTER(GetSummary, m_summary)
TESMO_FIELD_GETTER(GetToken, m_token)
TESMO_FIELD_GETTER(GetBlackList, m_blackList)
TESMO_FIELD_GETTER(GetLanguage, m_language)
TESMO_FIELD_GETTER(GetDeviceID, m_deviceId)
TESMO_FIELD_GETTER(GetMobile, m_mobile)
TESMO_FIELD_GETTER(GetNationCode, m_nationCode)
TESMO_FIELD_GETTER(GetCode, m_code)
TESMO_FIELD_GETTER(GetTicket, m_ticket)
TESMO_FIELD_GETTER(GetQRKey, m_qrKey)
TESMO_FIELD_GETTER(GetDownServer, m_downServer)
TESMO_FIELD_GETTER(GetCertFile, m_certFile)
TESMO_FIELD_GETTER(GetKeyFile, m_keyFile)
TESMO_FIELD_GETTER(GetPassword, m_password)
TESMO_FIELD_GETTER(GetLoginHost, m_loginHost)
TESMO_FIELD_GETTER(GetHttpHost, m_httpHost)
TESMO_FIELD_GETTER(GetUpHost, m_upHost)
TESMO_FIELD_GETTER(GetProxyHost, m_proxyHost)
TESMO_FIELD_GETTER(GetStorageHost, m_storageHost)
TESMO_FIELD_GETTER(GetRedPacketUrl, m_redPacketUrl)
TESMO_FIELD_GETTER(GetLoginInfo, m_loginInfo)

#undef TESMO_FIELD_GETTER

TDBManager* TEngineCore::GetDatabase() const {
  return m_facade ? m_facade->GetDatabaseManager() : nullptr;
}

int TEngineCore::IsNetworkUp() { return tesmo::LocalIPv4Addresses().empty() ? 0 : 1; }

void TEngineCore::PrefetchServerAddresses() {
  // Warms the address cache so the first upload does not wait for name resolution.
  std::string upHost = GetUpHost();
  if (!upHost.empty()) ResolveAddress(upHost, m_upPort, false);
  std::string storageHost = GetStorageHost();
  if (!storageHost.empty()) ResolveAddress(storageHost, m_storagePort, false);
}

int TEngineCore::SetNationPrefix(const char* path) {
  if (!path || !*path) return 0;
  std::ifstream in(tesmo::ResolveBesideProgram(path));
  if (!in) return 0;
  std::map<std::string, int> loaded;
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > 1023) line.resize(1023);
    std::string t = Trim(line);
    if (!t.empty() && t[0] == '+') loaded[t] = 1;
  }
  TAutoLock lock(m_fieldMutex);
  for (auto& kv : loaded) m_nationPrefixes[kv.first] = 1;
  return 1;
}

const char* TEngineCore::RemoveNationPrefix(const char* text) {
  if (!text) return TStringQueue::EmptyText();
  std::string t = Trim(text);
  if (t.empty()) return TStringQueue::EmptyText();
  if (t[0] == '+' && t.size() < 100) {
    TAutoLock lock(m_fieldMutex);
    for (size_t n = 5; n >= 2; --n) {
      if (t.size() < n) continue;
      if (m_nationPrefixes.count(t.substr(0, n))) {
        thread_local char buffer[512];
        return FillResultBuffer(buffer, sizeof(buffer), t.substr(n));
      }
    }
  }
  return text;
}
