#include "fakes/FakeLoginServer.h"

#include <json/json.h>

#include <chrono>

#include "../../engine/util/TCipherConstants.h"
#include "fakes/TestCipherKit.h"

namespace {

constexpr const char* kAccountInfoSalt = "38475610293847561029384756102938";
constexpr const char* kRegisteredSalt = "50617283940516273849506172839405";

std::string Write(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

std::string Address(const FakeHttpServer& server) {
  return "127.0.0.1:" + std::to_string(server.Port());
}

}  // namespace

FakeLoginServer::FakeLoginServer(bool tls) : m_login(tls), m_user(tls) {
  for (const char* path : {kRegisterPath, kRegTicketPath, kAccountInfoPath}) {
    m_login.Handle(path, [this](const FakeRequest& r) { return Register(r); });
  }
  m_login.Handle(kLoginQRPath, [this](const FakeRequest& r) { return QR(r.Param("auid")); });
  m_user.Handle(kLoginPath, [this](const FakeRequest& r) { return LoginReply(r); });
  m_user.Handle(kUserQRPath, [this](const FakeRequest& r) { return QR(r.query); });
}

FakeLoginServer::~FakeLoginServer() {
  ReleaseQR();
  m_login.Stop();
  m_user.Stop();
}

bool FakeLoginServer::Start() { return m_login.Start() && m_user.Start(); }

void FakeLoginServer::SetProfile(const Profile& profile) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_profile = profile;
}

FakeLoginServer::Profile FakeLoginServer::GetProfile() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_profile;
}

void FakeLoginServer::SetIMPort(int port) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_profile.proxyServer = "127.0.0.1:" + std::to_string(port);
}

void FakeLoginServer::SetRegisterReply(const FakeReply& reply) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_registerReply = reply;
}

void FakeLoginServer::SetLoginReply(const FakeReply& reply) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_loginReply = reply;
}

void FakeLoginServer::ClearReplies() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_registerReply.reset();
  m_loginReply.reset();
}

std::string FakeLoginServer::RegisterBody() const {
  return RegisterBody(GetProfile(), Address(m_user));
}

std::string FakeLoginServer::LoginBody() const { return LoginBody(GetProfile(), Address(m_user)); }

std::string FakeLoginServer::RegisterBody(const Profile& p, const std::string& userServer) {
  Json::Value result;
  result["userid"] = p.userId;
  result["ucuserid"] = p.ucUserId;
  result["account"] = p.account;
  // The user server is the HTTP server of the registered account.
  result["server"] = userServer;
  result["token"] = p.token;
  result["token2"] = p.token2;
  Json::Value domain;
  domain["domain"] = p.domain;
  domain["address"] = userServer;
  result["domainlist"].append(domain);
  Json::Value root;
  root["code"] = 1;
  root["msg"] = "ok";
  root["result"] = result;
  return Write(root);
}

std::string FakeLoginServer::LoginBody(const Profile& p, const std::string& userServer) {
  Json::Value result;
  result["token"] = p.sessionToken;
  result["name"] = p.name;
  result["icon"] = p.icon;
  result["bigicon"] = p.bigIcon;
  result["summary"] = p.summary;
  result["storageip"] = p.storageIp;
  result["storageport"] = p.storagePort;
  result["upserver"] = p.upServer;
  result["downserver"] = p.downServer;
  result["proxyserver"] = p.proxyServer;
  result["proxyssl"] = "";
  result["redurl"] = p.redUrl;
  result["firstreg"] = p.firstReg;
  result["userversion"] = p.userVersion;
  result["friendversion"] = p.friendVersion;
  result["usertype"] = p.userType;
  result["champflag"] = p.champFlag;
  std::vector<std::pair<std::string, std::string>> servers = p.servers;
  if (servers.empty()) {
    for (const char* name : {"USERSERVER", "GROUPSERVER", "IMSERVER"})
      servers.emplace_back(name, userServer);
  }
  for (const auto& entry : servers) {
    Json::Value server;
    server["name"] = entry.first;
    server["addr"] = entry.second;
    result["servers"].append(server);
  }
  Json::Value root;
  root["code"] = 1;
  root["msg"] = "ok";
  root["result"] = result;
  return Write(root);
}

std::string FakeLoginServer::QRNotYetBody() { return R"({"code": 0, "msg": "not scanned"})"; }

std::string FakeLoginServer::QRConfirmedBody(const std::string& content, const std::string& token) {
  Json::Value root;
  root["code"] = 1;
  root["msg"] = "ok";
  root["result"]["content"] = content;
  root["result"]["token"] = token;
  return Write(root);
}

FakeReply FakeLoginServer::Register(const FakeRequest&) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_registerReply) return *m_registerReply;
  }
  return FakeReply::Json(RegisterBody());
}

FakeReply FakeLoginServer::LoginReply(const FakeRequest&) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_loginReply) return *m_loginReply;
  }
  return FakeReply::Json(LoginBody());
}

void FakeLoginServer::SetQRPlan(const std::string& key, int notYet, const std::string& content,
                                const std::string& encryptedToken) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_qrPlans[key] = QRPlan{notYet, content, encryptedToken};
}

void FakeLoginServer::HoldQR(const std::string& key) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_heldKey = key;
  m_released = false;
}

void FakeLoginServer::ReleaseQR() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_released = true;
  }
  m_changed.notify_all();
}

int FakeLoginServer::QRPolls(const std::string& key) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_qrPolls.find(key);
  return it == m_qrPolls.end() ? 0 : it->second;
}

bool FakeLoginServer::WaitQRHeld(const std::string& key, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    auto it = m_qrHeld.find(key);
    return it != m_qrHeld.end() && it->second;
  });
}

FakeReply FakeLoginServer::QR(const std::string& key) {
  std::unique_lock<std::mutex> lock(m_mutex);
  int count = ++m_qrPolls[key];
  if (!m_heldKey.empty() && key == m_heldKey) {
    m_qrHeld[key] = true;
    m_changed.notify_all();
    m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return m_released; });
  }
  m_changed.notify_all();
  auto plan = m_qrPlans.find(key);
  if (plan == m_qrPlans.end() || count <= plan->second.notYet)
    return FakeReply::Json(QRNotYetBody());
  return FakeReply::Json(QRConfirmedBody(plan->second.content, plan->second.token));
}

std::vector<FakeRequest> FakeLoginServer::RegisterRequests() const {
  std::vector<FakeRequest> out;
  for (const FakeRequest& r : m_login.Requests()) {
    if (r.path == kRegisterPath || r.path == kRegTicketPath || r.path == kAccountInfoPath)
      out.push_back(r);
  }
  return out;
}

std::string FakeLoginServer::RegisteredToken(const std::string& token) {
  return TestCipherKit::Md5Hex(token + kRegisteredSalt);
}

std::string FakeLoginServer::AccountInfoToken(const std::string& regToken,
                                              const std::string& deviceId) {
  return TestCipherKit::Md5Hex(regToken + kAccountInfoSalt + deviceId);
}

std::string FakeLoginServer::VerifyCodeDigest(const std::string& code) {
  return PasswordDigest(code, 2);
}

std::string FakeLoginServer::PasswordDigest(const std::string& text, int type) {
  if (type < 0 || type > 3) return std::string();
  const std::string hex = TestCipherKit::Md5Hex(text + kPasswordSalts[type]);
  std::string out;
  for (size_t i = 0; i < hex.size(); i += 2) {
    char c = hex[i];
    out += c == '0' ? 'A' : c == '9' ? 'B' : c;
  }
  return out;
}
