#include "services/TLoginService.h"

#include <mutex>

#include "db/TDBManager.h"
#include "db/TSaveInfoType.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "util/TDigest.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TPasswordHash.h"
#include "util/TTransId.h"

namespace {

// Salts of the registration tokens; both sides of the protocol know them.
constexpr const char* kAccountInfoSalt = "38475610293847561029384756102938";
constexpr const char* kRegisteredSalt = "50617283940516273849506172839405";
// The verification code travels as the type-2 password digest.
constexpr int kVerifyCodeDigestType = 2;
// The synchronous exchange's error when nothing could be sent or received.
constexpr int kPostNotSent = 1;

// The registration token outlives every engine object (a poll may still end while
// the process exits), so it is never destroyed.
struct RegistrationToken {
  std::mutex mutex;
  std::string text;
};

RegistrationToken& RegToken() {
  static RegistrationToken* token = new RegistrationToken;
  return *token;
}

// The reply as a JSON object, or the failure number of an empty or unparsable body.
int ParseReply(const std::string& body, int error, Json::Value* root) {
  if (body.empty()) {
    return error == kPostNotSent ? TLoginService::kNoReply : TLoginService::kNoUsableReply;
  }
  *root = TJsonHelper::Parse(body);
  if (!root->isObject()) return TLoginService::kNoUsableReply;
  return TLoginService::kOk;
}

// The reply's "result", or a failure when it is missing.
int TakeResult(const Json::Value& root, Json::Value* result) {
  Json::Value r = TJsonHelper::GetValue(root, "result");
  if (r.isNull()) return TLoginService::kNoUsableReply;
  if (result) *result = r;
  return TLoginService::kOk;
}

void Store(TDBManager* db, const char* key, const std::string& value) {
  if (db) db->SetSaveInfo(kSaveInfoSession, key, value);
}

void StoreInt(TDBManager* db, const char* key, int value) {
  if (db) db->SetSaveInfoInt(kSaveInfoSession, key, value);
}

// The first members of every registration body.
std::string RegisterBodyHead(TServiceContext* core) {
  return JsonTextStringField("transid", MakeTransId("")) +
         JsonTextStringField("system", TServiceContext::GetSystemName()) +
         JsonTextStringField("libver", TServiceContext::GetLibVersion()) +
         JsonTextIntField("devicetype", core->GetDeviceType());
}

}  // namespace

void TLoginService::SetRegistrationToken(const std::string& token) {
  std::lock_guard<std::mutex> lock(RegToken().mutex);
  RegToken().text = token;
}

std::string TLoginService::GetRegistrationToken() {
  std::lock_guard<std::mutex> lock(RegToken().mutex);
  return RegToken().text;
}

TLoginService::Path TLoginService::ChoosePath(const std::string& ticket,
                                              const std::string& mobile) {
  if (!ticket.empty()) return kPathTicket;
  if (mobile.empty()) return kPathAccountInfo;
  return kPathRegister;
}

std::string TLoginService::AccountInfoToken(const std::string& regToken,
                                            const std::string& deviceId) {
  return Md5Hex(regToken + kAccountInfoSalt + deviceId);
}

std::string TLoginService::RegisteredToken(const std::string& token) {
  return Md5Hex(token + kRegisteredSalt);
}

int TLoginService::RegisterReplyResult(const std::string& body, int error, Json::Value* result) {
  Json::Value root;
  int r = ParseReply(body, error, &root);
  if (r != kOk) return r;
  switch (TJsonHelper::GetInt(root, "code")) {
    case 1:
      return TakeResult(root, result);
    case -10:
      return kServerMinus10;
    case -8:
      return kServerMinus8;
    case -12:
      return kServerRefused;
    default:
      return kNoUsableReply;
  }
}

int TLoginService::LoginReplyResult(const std::string& body, int error, Json::Value* result) {
  Json::Value root;
  int r = ParseReply(body, error, &root);
  if (r != kOk) return r;
  int code = TJsonHelper::GetInt(root, "code");
  if (code == -5) return kServerRefused;
  if (code != 1) return kNoUsableReply;
  return TakeResult(root, result);
}

std::string TLoginService::BuildLoginInfoText(const Json::Value& result) {
  std::string text = "{";
  text += JsonTextIntField("code", 1);
  text += JsonTextStringField("msg", "OK");
  text += JsonTextKey("result");
  text += "{";
  for (const char* key : {"name", "icon", "bigicon", "summary"})
    text += JsonTextStringField(key, TJsonHelper::GetString(result, key));
  text += JsonTextIntField("usertype", TJsonHelper::GetInt(result, "usertype"));
  text += JsonTextIntField("userversion", TJsonHelper::GetInt(result, "userversion"));
  text += JsonTextStringField("redurl", TJsonHelper::GetString(result, "redurl"));
  text += JsonTextIntField("champflag", TJsonHelper::GetInt(result, "champflag"));
  text += JsonTextKey("firstreg") + std::to_string(TJsonHelper::GetInt(result, "firstreg"));
  text += "}}";
  return text;
}

std::string TLoginService::Post(const std::string& url, const std::string& body, int* error) {
  *error = 0;
  if (!m_service) {
    *error = 2;
    return std::string();
  }
  return m_service->PostJson(url, body, error);
}

int TLoginService::Register() {
  TServiceContext* core = TServiceContext::Instance();
  if (!core) return kNoUsableReply;
  TDBManager* db = ServiceDatabase();
  const std::string mobile = core->GetMobile();
  const std::string ticket = core->GetTicket();
  const std::string deviceId = core->GetDeviceID();
  std::string code = core->GetCode();
  if (!code.empty()) code = HashPassword(code, "", kVerifyCodeDigestType);

  std::string fields = RegisterBodyHead(core);
  std::string path;
  switch (ChoosePath(ticket, mobile)) {
    case kPathTicket:
      path = kRegTicketPath;
      fields += JsonTextStringField("mobile", mobile);
      fields += JsonTextStringField("ticket", ticket);
      fields += JsonTextStringField("deviceid", deviceId);
      break;
    case kPathAccountInfo: {
      path = kAccountInfoPath;
      std::string regToken = GetRegistrationToken();
      if (regToken.empty() && db) regToken = db->GetSaveInfo(kSaveInfoSession, "REGTOKEN");
      std::string ucUserId = db ? db->GetSaveInfo(kSaveInfoSession, "ucuserid") : std::string();
      fields += JsonTextStringField("ucuserid", ucUserId);
      // The request proves the earlier registration through its token header.
      core->SetToken(AccountInfoToken(regToken, deviceId));
      break;
    }
    case kPathRegister:
      path = kRegisterPath;
      fields += JsonTextStringField("mobile", mobile);
      fields += JsonTextStringField("nationcode", core->GetNationCode());
      fields += JsonTextStringField("verifycode", code);
      fields += JsonTextStringField("deviceid", deviceId);
      break;
  }

  int error = 0;
  std::string body = Post(m_service ? m_service->GetServerUrl(path, kLoginServer) : path,
                          JsonTextCloseObject(fields), &error);
  Json::Value result;
  int r = RegisterReplyResult(body, error, &result);
  if (r != kOk) return r;

  const std::string userId = TJsonHelper::GetString(result, "userid");
  const std::string ucUserId = TJsonHelper::GetString(result, "ucuserid");
  const std::string account = TJsonHelper::GetString(result, "account");
  const std::string server = TJsonHelper::GetString(result, "server");
  const std::string token2 = TJsonHelper::GetString(result, "token2");
  core->SetToken(RegisteredToken(TJsonHelper::GetString(result, "token")));

  Json::Value domains = TJsonHelper::GetValue(result, "domainlist");
  if (domains.isArray()) {
    for (const Json::Value& d : domains)
      core->SetServer(TJsonHelper::GetString(d, "domain"), TJsonHelper::GetString(d, "address"));
  }

  if (db) {
    StoreInt(db, "REGSTATE", 1);
    Store(db, "USERID", userId);
    Store(db, "ACCOUNT", account);
    Store(db, "HTTPSERVER", server);
    if (!token2.empty()) Store(db, "REGTOKEN", token2);
    if (!ucUserId.empty()) Store(db, "ucuserid", ucUserId);
  }
  core->SetUserAccount(userId, account);
  core->SetHttpServer(server);
  return kOk;
}

int TLoginService::Login() {
  TServiceContext* core = TServiceContext::Instance();
  if (!core) return kNoUsableReply;
  TDBManager* db = ServiceDatabase();
  std::string mobile = core->GetMobile();
  std::string email;
  if (mobile.find('@') != std::string::npos) {
    email = mobile;
    mobile.clear();
  }

  std::string fields = JsonTextStringField("transid", MakeTransId(""));
  fields += JsonTextStringField("userid", core->GetUserID());
  fields += JsonTextStringField("account", core->GetAccount());
  fields += JsonTextStringField("mobile", mobile);
  fields += JsonTextStringField("nationcode", core->GetNationCode());
  fields += JsonTextStringField("email", email);
  fields += JsonTextStringField("deviceid", core->GetDeviceID());
  fields += JsonTextStringField("system", TServiceContext::GetSystemName());
  fields += JsonTextStringField("libver", TServiceContext::GetLibVersion());
  fields += JsonTextStringField("language", core->GetLanguage());
  fields += JsonTextIntField("devicetype", core->GetDeviceType());

  int error = 0;
  std::string body = Post(m_service ? m_service->GetServerUrl(kLoginPath, kUserServer) : "",
                          JsonTextCloseObject(fields), &error);
  Json::Value result;
  int r = LoginReplyResult(body, error, &result);
  if (r != kOk) return r;

  const std::string token = TJsonHelper::GetString(result, "token");
  const std::string name = TJsonHelper::GetString(result, "name");
  const std::string icon = TJsonHelper::GetString(result, "icon");
  const std::string bigIcon = TJsonHelper::GetString(result, "bigicon");
  const std::string summary = TJsonHelper::GetString(result, "summary");
  const std::string storageIp = TJsonHelper::GetString(result, "storageip");
  const std::string upServer = TJsonHelper::GetString(result, "upserver");
  const std::string downServer = TJsonHelper::GetString(result, "downserver");
  const std::string proxyServer = TJsonHelper::GetString(result, "proxyserver");
  const std::string redUrl = TJsonHelper::GetString(result, "redurl");
  const int userVersion = TJsonHelper::GetInt(result, "userversion");
  const int storagePort = TJsonHelper::GetInt(result, "storageport");
  const int champFlag = TJsonHelper::GetInt(result, "champflag");
  const int friendVersion = TJsonHelper::GetInt(result, "friendversion");

  Json::Value servers = TJsonHelper::GetValue(result, "servers");
  if (servers.isArray()) {
    for (const Json::Value& s : servers)
      core->SetServer(TJsonHelper::GetString(s, "name"), TJsonHelper::GetString(s, "addr"));
  }
  if (!storageIp.empty()) core->SetStorageHost(storageIp);
  if (storagePort != 0) core->SetStoragePort(storagePort);
  core->SetRedPacketUrl(redUrl);
  core->SetFriendVersion(friendVersion);

  if (db) {
    StoreInt(db, "LOGINSTATE", 1);
    Store(db, "NAME", name);
    Store(db, "ICON", icon);
    Store(db, "BIGICON", bigIcon);
    Store(db, "SUMMARY", summary);
    StoreInt(db, "VERSION", userVersion);
    StoreInt(db, "CHAMPFLAG", champFlag);
    Store(db, "UPSERVER", upServer);
    Store(db, "DOWNSERVER", downServer);
    Store(db, "PROXYSERVER", proxyServer);
  }

  core->SetProfile(name, icon, bigIcon, summary, userVersion, champFlag);
  core->SetToken(token);
  core->SetUpServer(upServer);
  core->SetDownServer(downServer);
  core->SetProxyServer(proxyServer);
  core->SetLoginInfo(BuildLoginInfoText(result));
  return kOk;
}
