#include "LocalServer.h"

#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "LocalFileRemark.h"
#include "LocalKeys.h"
#include "LocalPlugins.h"
#include "fakes/TestCipherKit.h"

namespace {

constexpr size_t kRecordLimit = 200;
constexpr const char* kDownPrefix = "/group1/";
// A pushed file is read whole into memory.
constexpr uintmax_t kMaxPushedFile = 64u << 20;

std::string RandomHex(size_t bytes) {
  std::vector<unsigned char> raw(bytes);
  if (RAND_bytes(raw.data(), static_cast<int>(bytes)) != 1) {
    for (auto& b : raw) b = static_cast<unsigned char>(std::rand());
  }
  static const char* kHex = "0123456789abcdef";
  std::string out;
  for (unsigned char b : raw) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

bool ParseObject(const std::string& body, Json::Value* root) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  return reader->parse(body.data(), body.data() + body.size(), root, &errors) && root->isObject();
}

std::string Str(const Json::Value& root, const char* key) {
  const Json::Value& v = root[key];
  return v.isString() ? v.asString() : std::string();
}

FakeReply Refuse(int code, const std::string& msg) {
  Json::Value root;
  root["code"] = code;
  root["msg"] = msg;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  return FakeReply::Json(Json::writeString(w, root));
}

FakeReply Result(const Json::Value& result) {
  Json::Value root;
  root["code"] = 1;
  root["msg"] = "ok";
  root["result"] = result;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  return FakeReply::Json(Json::writeString(w, root));
}

FakeReply Page(const std::string& title, const std::string& text) {
  return FakeReply::Text(200,
                         "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title +
                             "</title></head><body><h1>" + title + "</h1><p>" + text +
                             "</p></body></html>",
                         "text/html; charset=utf-8");
}

std::string ContentType(const std::string& path) {
  const size_t dot = path.rfind('.');
  const std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
  if (ext == "png") return "image/png";
  if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
  if (ext == "gif") return "image/gif";
  if (ext == "txt") return "text/plain";
  if (ext == "wav") return "audio/wav";
  if (ext == "amr") return "audio/amr";
  return "application/octet-stream";
}

bool ReadFile(const std::string& path, std::string* data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream out;
  out << in.rdbuf();
  *data = out.str();
  return true;
}

std::string Domain(const std::string& account) {
  const size_t at = account.find('@');
  return at == std::string::npos ? std::string() : account.substr(at + 1);
}

}  // namespace

const std::vector<std::string>& LocalServer::HttpKeys() {
  static const std::vector<std::string> kKeys = {LocalKeys::kLoginServer, LocalKeys::kUserServer,
                                                 LocalKeys::kGroupServer, LocalKeys::kImServer,
                                                 LocalKeys::kPubServer,   LocalKeys::kSpeechServer};
  return kKeys;
}

LocalServer::LocalServer(const LocalWorld& world, const Options& options)
    : m_world(world), m_options(options), m_down(false) {
  for (const std::string& key : HttpKeys()) m_http[key] = std::make_unique<FakeHttpServer>(true);
  m_send = std::make_unique<FakeImHttpPaths>(Http(LocalKeys::kImServer));
  m_qrAuto = world.QRAutoConfirm();
}

LocalServer::~LocalServer() { Stop(); }

FakeHttpServer& LocalServer::Http(const std::string& key) {
  auto it = m_http.find(key);
  if (it == m_http.end()) return *m_http.at(LocalKeys::kLoginServer);
  return *it->second;
}

std::string LocalServer::Address(const std::string& key) {
  if (key == LocalKeys::kDown) return "127.0.0.1:" + std::to_string(m_down.Port());
  if (key == LocalKeys::kIm) return "127.0.0.1:" + std::to_string(m_im->Port());
  if (key == LocalKeys::kTracker) return m_files->TrackerAddress();
  return "127.0.0.1:" + std::to_string(Http(key).Port());
}

std::string LocalServer::EntryAddress() const {
  return "127.0.0.1:" + std::to_string(m_http.at(LocalKeys::kLoginServer)->Port());
}

void LocalServer::Keep(std::shared_ptr<void> object) { m_kept.push_back(std::move(object)); }

void LocalServer::SetLoginProfile(LoginProfile adjust) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_loginProfile = std::move(adjust);
}

void LocalServer::NameServer(const std::string& name, const std::string& key) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_serverNames.emplace_back(name, key);
}

std::string LocalServer::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char text[32];
  std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

bool LocalServer::Start(std::string* error) {
  std::string dir = m_options.stateDir;
  if (dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tesmo-localserver-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) {
      *error = "cannot make a temporary folder";
      return false;
    }
    m_tempDir = dir = buf.data();
  }
  if (!m_store.Open(dir, error)) return false;
  m_store.RenumberOutOfRange(kFirstMsgid);
  mkdir((dir + "/tls").c_str(), 0700);
  if (!TestCertificates::MakeLasting(dir + "/tls", &m_certs, error)) return false;
  m_ports.Load(m_store);
  m_sessions.Load(m_store, [this](const std::string& a) { return m_world.FindAccount(a); });
  {
    std::lock_guard<std::mutex> lock(m_msgidMutex);
    m_msgidMark = std::max({kFirstMsgid, m_store.MaxMsgid() + 1, m_store.MsgidMark()});
  }
  if (!Listen(error)) return false;
  m_started = true;
  for (const auto& step : m_afterStart) step();
  return true;
}

bool LocalServer::Listen(std::string* error) {
  // Names the kept port of keys that something else holds now.
  auto taken = [&](const std::vector<std::string>& keys, const std::vector<int>& kept, bool udp) {
    for (size_t i = 0; i < keys.size(); ++i) {
      if (kept[i] == 0 || LocalPorts::IsFree(kept[i], udp)) continue;
      if (keys[i] == LocalKeys::kLoginServer && m_options.entryPort == kept[i]) {
        *error = "port " + std::to_string(kept[i]) + " (" + LocalKeys::kLoginServer + ") is taken";
      } else {
        *error = LocalPorts::TakenError(keys[i], kept[i], PortsFile());
      }
      return false;
    }
    *error = "cannot listen for " + keys.front();
    return false;
  };
  const int im = m_ports.Get(LocalKeys::kIm);
  if (!LocalPorts::Open({im}, true, [this](const std::vector<int>& ports) {
        m_im = std::make_unique<FakeIMSessionServer>(ports[0]);
        return m_im->Port() != 0;
      }))
    return taken({LocalKeys::kIm}, {im}, true);
  const std::vector<int> files = {m_ports.Get(LocalKeys::kTracker),
                                  m_ports.Get(LocalKeys::kStorage)};
  if (!LocalPorts::Open(files, false, [this](const std::vector<int>& ports) {
        m_files = std::make_unique<FakeFileStore>(false, ports[0], ports[1]);
        return m_files->TrackerPort() != 0 && m_files->StoragePort() != 0;
      }))
    return taken({LocalKeys::kTracker, LocalKeys::kStorage}, files, false);

  RegisterPaths();
  for (const auto& plugin : LocalPathPlugins()) plugin(*this);

  m_down.SetRecordLimit(kRecordLimit);
  for (auto& entry : m_http) {
    entry.second->SetCertificate(m_certs.serverCertFile, m_certs.serverKeyFile);
    entry.second->SetRecordLimit(kRecordLimit);
  }
  std::vector<std::pair<std::string, FakeHttpServer*>> http;
  for (const std::string& key : HttpKeys()) http.emplace_back(key, &Http(key));
  http.emplace_back(LocalKeys::kDownServer, &m_down);
  for (const auto& server : http) {
    const std::string& key = server.first;
    const int kept = key == LocalKeys::kLoginServer && m_options.entryPort != 0
                         ? m_options.entryPort
                         : m_ports.Get(key);
    if (!LocalPorts::Open({kept}, false, [&server](const std::vector<int>& ports) {
          server.second->SetPort(ports[0]);
          return server.second->Start();
        }))
      return taken({key}, {kept}, false);
    m_ports.Keep(m_store, key, server.second->Port());
  }
  m_ports.Keep(m_store, LocalKeys::kIm, m_im->Port());
  m_ports.Keep(m_store, LocalKeys::kTracker, m_files->TrackerPort());
  m_ports.Keep(m_store, LocalKeys::kStorage, m_files->StoragePort());
  return true;
}

std::string LocalServer::PortsFile() const { return m_store.Dir() + "/" + LocalPorts::kStateFile; }

void LocalServer::AfterStart(std::function<void()> step) {
  m_afterStart.push_back(std::move(step));
}

void LocalServer::Stop() {
  m_scheduler.Stop();
  for (auto& entry : m_http) entry.second->Stop();
  m_down.Stop();
  m_started = false;
  if (!m_tempDir.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(m_tempDir, ec);
    if (ec)
      std::fprintf(stderr, "could not remove %s: %s\n", m_tempDir.c_str(), ec.message().c_str());
    m_tempDir.clear();
  }
}

std::string LocalServer::Describe() const {
  std::ostringstream out;
  for (const std::string& key : HttpKeys())
    out << key << " https://127.0.0.1:" << m_http.at(key)->Port() << "\n";
  out << LocalKeys::kDownServer << " http://127.0.0.1:" << m_down.Port() << "\n";
  out << LocalKeys::kIm << " udp://127.0.0.1:" << m_im->Port() << "\n";
  out << LocalKeys::kTracker << " 127.0.0.1:" << m_files->TrackerPort() << "\n";
  out << LocalKeys::kStorage << " 127.0.0.1:" << m_files->StoragePort() << "\n";
  out << "TESMO_SERVER=" << EntryAddress() << "\n";
  out << "TESMO_CA_FILE=" << m_certs.caFile << "\n";
  return out.str();
}

std::string LocalServer::Fill(const std::string& text) const {
  std::string out = text;
  auto replace = [&out](const std::string& name, const std::string& value) {
    for (size_t at = out.find(name); at != std::string::npos;
         at = out.find(name, at + value.size()))
      out.replace(at, name.size(), value);
  };
  replace("${ENTRY}", EntryAddress());
  replace("${DOWN}", "http://127.0.0.1:" + std::to_string(m_down.Port()));
  for (const std::string& key : HttpKeys())
    replace("${" + key + "}", "127.0.0.1:" + std::to_string(m_http.at(key)->Port()));
  return out;
}

std::string LocalServer::Unfill(const std::string& text) const {
  std::string out = text;
  // An address ends where its port does: ":4010" is no part of ":40105".
  auto replace = [&out](const std::string& value, const std::string& name) {
    for (size_t at = out.find(value); at != std::string::npos;) {
      const size_t end = at + value.size();
      if (end < out.size() && std::isdigit(static_cast<unsigned char>(out[end]))) {
        at = out.find(value, end);
        continue;
      }
      out.replace(at, value.size(), name);
      at = out.find(value, at + name.size());
    }
  };
  replace("http://127.0.0.1:" + std::to_string(m_down.Port()), "${DOWN}");
  replace(EntryAddress(), "${ENTRY}");
  for (const std::string& key : HttpKeys())
    replace("127.0.0.1:" + std::to_string(m_http.at(key)->Port()), "${" + key + "}");
  return out;
}

void LocalServer::RegisterPaths() {
  FakeHttpServer& entry = Http(LocalKeys::kLoginServer);
  entry.Handle(FakeLoginServer::kRegisterPath,
               [this](const FakeRequest& r) { return Register(r); });
  entry.Handle(FakeLoginServer::kAccountInfoPath,
               [this](const FakeRequest& r) { return AccountInfo(r); });
  entry.Handle(FakeLoginServer::kRegTicketPath,
               [](const FakeRequest&) { return Refuse(-1, "no ticket login here"); });
  entry.Handle(FakeLoginServer::kLoginQRPath,
               [this](const FakeRequest& r) { return QR(r.Param("auid"), r.Param("device")); });
  entry.Handle("/navigation/user/sendcheckcode.do",
               [this](const FakeRequest& r) { return CheckCode(r); });
  entry.Handle("/bit/app.cfg", [this](const FakeRequest&) { return AppConfig(); });
  entry.Handle("/down/", [](const FakeRequest&) {
    return Page("TesmoChat", "The mobile app is not part of the local server.");
  });
  entry.Handle("/", [](const FakeRequest&) {
    return Page("TesmoChat", "The local server stands in for the real servers.");
  });
  // The pages the login reply and the coin list link to.
  entry.SetFallback([](const FakeRequest& r) {
    if (r.path == "/red/" || r.path.rfind("/coin/", 0) == 0)
      return Page("TesmoChat", "A page of the web host; the local server shows no content.");
    return FakeReply::Text(404, "not found");
  });

  FakeHttpServer& user = Http(LocalKeys::kUserServer);
  user.Handle(FakeLoginServer::kLoginPath, [this](const FakeRequest& r) { return Login(r); });
  user.Handle(FakeLoginServer::kUserQRPath,
              [this](const FakeRequest& r) { return QR(r.query, ""); });

  // No translation here: the text comes back marked with the language asked for.
  Http(LocalKeys::kSpeechServer).Handle("/speech/translate/process.do", [](const FakeRequest& r) {
    Json::Value body;
    if (!ParseObject(r.body, &body) || Str(body, "cmd") != "translate")
      return Refuse(-1, "not a translation");
    Json::Value result;
    result["text"] = "[" + Str(body, "to") + "] " + Str(body, "text");
    return Result(result);
  });
  Http(LocalKeys::kPubServer).Handle("/public/info/querycurrency.do", [this](const FakeRequest&) {
    return Coins();
  });
  Http(LocalKeys::kPubServer).Handle("/public/info/uploaddump.do", [](const FakeRequest&) {
    return Result(Json::Value(Json::objectValue));
  });

  m_send->SetRecordLimit(kRecordLimit);
  {
    std::lock_guard<std::mutex> lock(m_msgidMutex);
    m_send->SetFirstMsgid(m_msgidMark);
  }
  m_send->SetClock([] { return Now(); });
  m_send->SetCheck(
      [this](const FakeImHttpPaths::Message& m, const FakeRequest& r) { return CheckSend(m, r); });
  m_send->SetAcceptHook(
      [this](const FakeImHttpPaths::Message& m, const FakeRequest& r) { Deliver(m, r); });

  // The web tab's page, in plain http: the web engine does not trust the local CA.
  m_down.Handle("/web/", [](const FakeRequest&) {
    return Page("TesmoChat on the local server",
                "This tab shows the web pages of a TesmoChat deployment. The local server "
                "stands in for the real servers so that the program can be tried and "
                "tested on one machine; it has no web pages of its own.");
  });
  m_down.SetFallback([this](const FakeRequest& r) { return Download(r); });
  m_files->SetRecordLimit(20);
  // Names unique across runs, so files kept from an earlier run are never replaced.
  m_files->SetStoredNamePrefix("M00/00/" + RandomHex(4) + "/f");
  m_files->SetUploadHook([this](const FakeFileStore::Upload& up) { SaveUpload(up); });

  m_im->Server().SetRecordLimit(kRecordLimit);
  m_im->SetLoginCheck([this](const FakeIMServer::Record& login) { return ImLogin(login); });
  m_im->Server().SetTextHandler([this](const FakeIMServer::Record& text) { ImText(text); });
}

FakeLoginServer::Profile LocalServer::ProfileOf(const LocalAccount& a) {
  FakeLoginServer::Profile p;
  p.userId = a.userId;
  p.ucUserId = a.ucUserId;
  p.account = a.account;
  p.domain = Domain(a.account);
  p.name = a.name;
  p.icon = Fill(a.icon);
  p.bigIcon = Fill(a.bigIcon);
  p.summary = a.summary;
  p.storageIp = "127.0.0.1";
  p.storagePort = m_files->StoragePort();
  p.upServer = m_files->TrackerAddress();
  p.downServer = "http://" + Address(LocalKeys::kDown);
  p.proxyServer = Address(LocalKeys::kIm);
  p.redUrl = "https://" + EntryAddress() + "/red/";
  p.firstReg = 0;
  p.userVersion = a.userVersion;
  p.friendVersion = 1;
  p.userType = a.userType;
  p.champFlag = a.champFlag;
  for (const std::string& key : HttpKeys()) {
    if (key != LocalKeys::kLoginServer) p.servers.emplace_back(key, Address(key));
  }
  LoginProfile adjust;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& named : m_serverNames)
      p.servers.emplace_back(named.first, Address(named.second));
    adjust = m_loginProfile;
  }
  if (adjust) adjust(a.account, &p);
  return p;
}

FakeReply LocalServer::Registered(const LocalAccount& account) {
  FakeLoginServer::Profile p = ProfileOf(account);
  p.token = RandomHex(16);
  p.token2 = RandomHex(16);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_loginTokens[FakeLoginServer::RegisteredToken(p.token)] = account.account;
  }
  return FakeReply::Json(FakeLoginServer::RegisterBody(p, Address(LocalKeys::kUserServer)));
}

FakeReply LocalServer::Register(const FakeRequest& request) {
  Json::Value body;
  if (!ParseObject(request.body, &body)) return Refuse(-1, "not a registration");
  const LocalAccount* account = m_world.FindByMobile(Str(body, "mobile"), Str(body, "nationcode"));
  if (!account) return Refuse(-8, "unknown mobile number");
  if (Str(body, "verifycode") != FakeLoginServer::VerifyCodeDigest(account->verifyCode))
    return Refuse(-10, "wrong verification code");
  std::printf("login by code: %s\n", account->account.c_str());
  std::fflush(stdout);
  return Registered(*account);
}

FakeReply LocalServer::AccountInfo(const FakeRequest& request) {
  std::string name;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_accountInfoTokens.find(request.Header("TS-IM-TOKEN"));
    if (it != m_accountInfoTokens.end()) name = it->second;
  }
  const LocalAccount* account = m_world.FindAccount(name);
  if (!account) return Refuse(-8, "unknown registration");
  std::printf("login by QR: %s\n", account->account.c_str());
  std::fflush(stdout);
  return Registered(*account);
}

FakeReply LocalServer::Login(const FakeRequest& request) {
  Json::Value body;
  if (!ParseObject(request.body, &body)) return Refuse(-1, "not a login");
  std::string name;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_loginTokens.find(request.Header("TS-IM-TOKEN"));
    if (it != m_loginTokens.end()) name = it->second;
  }
  const LocalAccount* account = m_world.FindAccount(name);
  if (!account || Str(body, "account") != account->account) return Refuse(-5, "not registered");
  FakeLoginServer::Profile p = ProfileOf(*account);
  p.sessionToken = RandomHex(16);
  m_sessions.Open(p.sessionToken, account->account);
  return FakeReply::Json(FakeLoginServer::LoginBody(p, Address(LocalKeys::kUserServer)));
}

FakeReply LocalServer::CheckCode(const FakeRequest& request) {
  const LocalAccount* account = m_world.FindByMobile(request.Param("mobile"), "");
  if (!account) return Refuse(-8, "unknown mobile number");
  std::printf("verification code for %s: %s\n", account->mobile.c_str(),
              account->verifyCode.c_str());
  std::fflush(stdout);
  Json::Value result;
  result["verifycode"] = FakeLoginServer::PasswordDigest(account->verifyCode, 1);
  return Result(result);
}

std::string LocalServer::ConfirmQR(const std::string& key, const std::string& account) {
  // m_mutex held. The registration token travels enciphered; the engine derives the
  // accountinfo token from it and the device, which the poll named.
  QRPoll& poll = m_qrPolls[key];
  poll.confirmedAs = account;
  const std::string token2 = RandomHex(16);
  m_accountInfoTokens[FakeLoginServer::AccountInfoToken(token2, poll.device)] = account;
  return TestCipherKit::Encrypt(token2);
}

FakeReply LocalServer::QR(const std::string& key, const std::string& device) {
  if (key.empty() || key.size() > 256) return FakeReply::Json(FakeLoginServer::QRNotYetBody());
  std::unique_lock<std::mutex> lock(m_mutex);
  auto it = m_qrPolls.find(key);
  if (it == m_qrPolls.end()) {
    if (m_qrPolls.size() > 1000) m_qrPolls.clear();
    it = m_qrPolls.emplace(key, QRPoll{std::chrono::steady_clock::now(), device, ""}).first;
    m_lastQRKey = key;
  }
  QRPoll& poll = it->second;
  if (poll.confirmedAs.empty() && m_qrAuto &&
      std::chrono::steady_clock::now() - poll.first >=
          std::chrono::milliseconds(m_world.QRDelayMs())) {
    const std::string token = ConfirmQR(key, m_world.QRAccount());
    std::printf("QR code confirmed as %s\n", m_world.QRAccount().c_str());
    std::fflush(stdout);
    return FakeReply::Json(FakeLoginServer::QRConfirmedBody(m_world.QRAccount(), token));
  }
  if (poll.confirmedAs.empty()) return FakeReply::Json(FakeLoginServer::QRNotYetBody());
  const std::string account = poll.confirmedAs;
  const std::string token = ConfirmQR(key, account);
  return FakeReply::Json(FakeLoginServer::QRConfirmedBody(account, token));
}

FakeReply LocalServer::AppConfig() {
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  w["commentStyle"] = "None";  // comments of the world file are no JSON
  const std::string text = Fill(Json::writeString(w, m_world.AppConfig()));
  const std::string config = TestCipherKit::BuildConfigString(text);
  if (config.empty()) return FakeReply::Text(500, "the configuration key is missing");
  return FakeReply::Text(200, config, "application/octet-stream");
}

FakeReply LocalServer::Coins() {
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  w["commentStyle"] = "None";
  Json::Value coins;
  if (!ParseObject("{\"params\":" + Fill(Json::writeString(w, m_world.Coins())) + "}", &coins))
    coins["params"] = Json::Value(Json::arrayValue);
  return Result(coins);
}

FakeReply LocalServer::Download(const FakeRequest& request) {
  std::string data;
  auto world = m_world.Files().find(request.path);
  const std::string path =
      world != m_world.Files().end() ? world->second : m_store.FilePath(request.path);
  if (path.empty() || !ReadFile(path, &data)) return FakeReply::Text(404, "not found");
  return FakeReply::Text(200, data, ContentType(path));
}

std::string LocalServer::PushFile(const std::string& to, const std::string& from,
                                  const std::string& type, const std::string& path) {
  const std::string wrong = CheckPushParties(to, from);
  if (!wrong.empty()) return wrong;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  std::string data;
  if (ec || !std::filesystem::is_regular_file(path, ec) || size > kMaxPushedFile ||
      !ReadFile(path, &data))
    return "cannot push " + path + ": not a readable file of at most " +
           std::to_string(kMaxPushedFile >> 20) + " MiB\n";
  const std::string name = std::filesystem::path(path).filename().string();
  // The extension as an upload names it: up to six letters or digits.
  std::string extension;
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot + 1 < name.size() && name.size() - dot - 1 <= 6) {
    extension = name.substr(dot + 1);
    for (char c : extension) {
      if (!std::isalnum(static_cast<unsigned char>(c))) extension.clear();
    }
  }
  const FakeFileStore::Upload stored = m_files->Store(data, extension);
  const LocalAccount* sender = m_world.FindAccount(from);
  LocalMessage message;
  message.msgid = TakeMsgid();
  message.from = from;
  message.to = to;
  message.fromGroup = to.find("group.") != std::string::npos ? to : "";
  message.type = type;
  message.content = "http://" + Address(LocalKeys::kDown) + kDownPrefix + stored.storedName;
  message.remark = LocalFileRemark::Build(type, name, data, sender->name, Fill(sender->icon));
  message.time = Now();
  m_store.AddMessage(message);
  Relay(message);
  return "pushed " + std::to_string(message.msgid) + " " + message.content + "\n";
}

void LocalServer::SaveUpload(const FakeFileStore::Upload& up) {
  const std::string path = m_store.FilePath(kDownPrefix + up.storedName);
  if (path.empty()) return;
  std::string folder = path.substr(0, path.rfind('/'));
  for (size_t at = m_store.FilesDir().size() + 1; at <= folder.size(); ++at) {
    if (at == folder.size() || folder[at] == '/') mkdir(folder.substr(0, at).c_str(), 0700);
  }
  std::ofstream out(path, std::ios::binary);
  out.write(up.data.data(), static_cast<std::streamsize>(up.data.size()));
  if (!out) std::fprintf(stderr, "cannot keep the upload %s\n", path.c_str());
}

std::string LocalServer::AccountOf(const FakeRequest& request) {
  return m_sessions.AccountOf(request.Header("TS-IM-TOKEN"));
}

std::string LocalServer::ImLogin(const FakeIMServer::Record& login) {
  const std::string account = login.json["from"].isString() ? login.json["from"].asString() : "";
  if (!FakeIMSessionServer::LoginKeyValid(login.json) || !m_world.FindAccount(account)) return "f";
  if (!m_sessions.HasSession(account)) return "f";
  const Json::Value& transid = login.json["transid"];
  m_sessions.Register(account, login.host, login.port,
                      transid.isString() ? transid.asString() : "");
  return "t";
}

void LocalServer::SetGroupMembers(GroupMembers members) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_groupMembers = std::move(members);
}

std::vector<std::string> LocalServer::MembersOf(const std::string& groupId) {
  GroupMembers members;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    members = m_groupMembers;
  }
  if (members) return members(groupId);
  std::vector<std::string> out;
  if (const LocalGroup* group = m_world.FindGroup(groupId)) {
    for (const LocalGroupMember& m : group->members) out.push_back(m.account);
  }
  return out;
}

void LocalServer::ImText(const FakeIMServer::Record& text) {
  // "R" + the device type + the account: the client leaves; "r" + ...: its periodic
  // re-registration, which after a restart tells that it is still there.
  if (text.text.empty() || (text.text[0] != 'R' && text.text[0] != 'r')) return;
  const std::string account = m_sessions.AccountAt(text.text, text.host, text.port);
  if (account.empty()) return;
  if (text.text[0] == 'R') {
    m_sessions.Unregister(account);
  } else if (m_sessions.Reregister(account, text.host, text.port)) {
    std::printf("IM client of %s registered again\n", account.c_str());
    std::fflush(stdout);
  }
}

bool LocalServer::PushTo(const std::string& account, const std::string& text) {
  const std::optional<LocalSessions::Registration> online = m_sessions.Find(account);
  if (!online) return false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_pushes;
  }
  m_im->Server().PushTo(text, online->host, online->port);
  return true;
}

int64_t LocalServer::TakeMsgid() {
  const int64_t msgid = m_send->TakeMsgid();
  NoteMsgid(msgid);
  return msgid;
}

void LocalServer::NoteMsgid(int64_t msgid) {
  constexpr int64_t kBlock = 1000;
  std::lock_guard<std::mutex> lock(m_msgidMutex);
  if (msgid < m_msgidMark) return;
  m_msgidMark = msgid + kBlock;
  m_store.SetMsgidMark(m_msgidMark);
}
