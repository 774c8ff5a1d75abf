// The user service's entry points: the profile command, the reply router and the
// detail-list interceptor.
#include "services/TUserService.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/TAPIPacket.h"
#include "db/TDBManager.h"
#include "db/TSaveInfoType.h"
#include "net/TFileUpload.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/TGroupProtocol.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserProtocol.h"
#include "util/TArgList.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTextUtil.h"
#include "util/TTransId.h"

namespace {

constexpr char kMobilePlaceholder[] = "@mobile";

// The login text: the number (or, for a ticket login, the account) given at login.
std::string LoginText() {
  const TServiceContext* core = TServiceContext::Instance();
  return core ? core->GetMobile() : std::string();
}

bool Contains(const std::string& text, const char* piece) {
  return text.find(piece) != std::string::npos;
}

// Uploads a local avatar and gives its download URL; false when the upload failed.
bool UploadAvatar(THttpRequestService& service, TAPIPacket* packet, std::string* path) {
  if (path->empty()) return true;
  std::string remote;
  if (UploadLocalFile(packet, *path, 0, &remote) != kUploadOk) return false;
  *path = service.GetDownloadUrl(remote);
  return true;
}

// True when position at of a JSON text lies inside a string literal.
bool InsideJsonString(const std::string& text, size_t at) {
  bool inside = false;
  for (size_t i = 0; i < at && i < text.size(); ++i) {
    if (!inside) {
      inside = text[i] == '"';
    } else if (text[i] == '\\') {
      ++i;  // the escaped character, a quote included
    } else if (text[i] == '"') {
      inside = false;
    }
  }
  return inside;
}

}  // namespace

TUserService::TUserService(THttpRequestService& service) : m_service(service) {}

bool TUserService::InBlackList(const std::string& blackList, const std::string& account) {
  if (account.empty()) return false;
  std::vector<std::string> entries;
  SplitString(blackList, ',', entries);
  return std::find(entries.begin(), entries.end(), account) != entries.end();
}

int TUserService::OnUserCommand(TAPIPacket* packet) {
  TArgList args;
  args.Parse(packet->s1);
  if (args.Find("cmd") == "modify") return ModifyProfile(packet);
  return kUserCommandUnknown;
}

int TUserService::ModifyProfile(TAPIPacket* packet) {
  const std::string login = LoginText();
  const bool isEmail = Contains(login, "@");
  const std::string mobile = isEmail ? std::string() : login;
  const std::string email = isEmail ? login : std::string();

  TArgList args;
  args.Parse(packet->s1);
  std::string logo = args.Find("logo");
  std::string biglogo = args.Find("biglogo");
  if (!UploadAvatar(m_service, packet, &logo)) return kUserCommandUploadFailed;
  if (!UploadAvatar(m_service, packet, &biglogo)) return kUserCommandUploadFailed;

  TServiceContext* core = TServiceContext::Instance();
  std::string fields;
  if (!args.FindKey("userid"))
    fields += MakeStringArgument("userid", core ? core->GetUserID() : std::string());
  if (!args.FindKey("mobile")) fields += MakeStringArgument("mobile", mobile);
  if (!args.FindKey("email")) fields += MakeStringArgument("email", email);
  for (int i = 0; i < args.Count(); ++i) {
    const std::string key = args.KeyAt(i);
    const std::string value = key == "logo" ? logo : key == "biglogo" ? biglogo : args.ValueAt(i);
    fields += MakeStringArgument(key, value);
  }
  int result = m_service.Post(packet, m_service.GetServerUrl(kUserCommandPath, kUserServer),
                              JsonTextCloseObject(fields));
  if (result != kHttpOk) return result;

  Json::Value root = TJsonHelper::Parse(packet->s4);
  if (!root.isObject()) return kUserCommandBadReply;
  const int code = TJsonHelper::GetInt(root, "code");
  // Only 1 is an acceptance: a 0 handed back as the result would read as success.
  if (code == 0) return kUserCommandCodeZero;
  if (code != 1) return code;
  Json::Value profile = TJsonHelper::GetValue(root, "result");
  if (!profile.isObject()) return kUserCommandBadReply;

  const std::string name = TJsonHelper::GetString(profile, "name");
  const std::string icon = TJsonHelper::GetString(profile, "icon");
  const std::string bigicon = TJsonHelper::GetString(profile, "bigicon");
  const std::string summary = TJsonHelper::GetString(profile, "summary");
  const int version = TJsonHelper::GetInt(profile, "userversion");
  const bool nameChanged = core && core->GetName() != name;

  if (TDBManager* db = ServiceDatabase()) {
    db->SetSaveInfo(kSaveInfoSession, "NAME", name);
    db->SetSaveInfo(kSaveInfoSession, "ICON", icon);
    db->SetSaveInfo(kSaveInfoSession, "BIGICON", bigicon);
    db->SetSaveInfo(kSaveInfoSession, "SUMMARY", summary);
    db->SetSaveInfoInt(kSaveInfoSession, "VERSION", version);
  }
  if (core) core->SetProfile(name, icon, bigicon, summary, version, core->GetChampFlag());

  if (nameChanged) {
    // The groups show the member's name too; whether they take it is not the
    // profile's concern.
    m_service.Post(packet, m_service.GetServerUrl(kGroupProcessPath, kGroupServer),
                   JsonTextCloseObject(JsonTextStringField("cmd", "setname") +
                                       JsonTextStringField("transid", MakeTransId("")) +
                                       JsonTextStringField("name", name)));
  }
  return 0;
}

TUserRoute TUserService::RouteOf(const std::string& url) {
  static const struct {
    const char* text;
    TUserRoute route;
  } kTable[] = {
      {"/navigation/user/checkaccount.do", TUserRoute::kCheckAccount},
      {"/navigation/user/checkmobile.do", TUserRoute::kCheckMobile},
      {kUserDetailPath, TUserRoute::kDetail},
      {kFriendListPath, TUserRoute::kFriendList},
      {"userinfo/user/removefriend.do", TUserRoute::kRemoveFriend},
      {"/navigation/user/myservices.do", TUserRoute::kMyServices},
      {"/redpacket/", TUserRoute::kRedPacketCreated},  // then by "create.do" or "grad.do"
      {"/public/info/recommend.do", TUserRoute::kRecommend},
      {"/userinfo/user/setremark.do", TUserRoute::kSetRemark},
      {"/userinfo/user/setblack.do", TUserRoute::kSetBlack},
      {"navigation/user/searchaccount.do", TUserRoute::kSearchAccount},
  };
  for (const auto& row : kTable) {
    if (!Contains(url, row.text)) continue;
    if (row.route != TUserRoute::kRedPacketCreated) return row.route;
    // A red-packet URL of neither kind goes nowhere; later rows are not tried.
    if (Contains(url, "create.do")) return TUserRoute::kRedPacketCreated;
    if (Contains(url, "grad.do")) return TUserRoute::kRedPacketGrad;
    return TUserRoute::kNone;
  }
  return TUserRoute::kNone;
}

void TUserService::RouteReply(TAPIPacket* packet, const std::string& url,
                              const std::string& reply) {
  switch (RouteOf(url)) {
    case TUserRoute::kCheckAccount:
      return OnCheckAccount(packet, reply);
    case TUserRoute::kCheckMobile:
      return OnCheckMobile(packet, reply);
    case TUserRoute::kDetail:
      return StoreDetail(reply);
    case TUserRoute::kFriendList:
      return OnFriendList(packet, reply);
    case TUserRoute::kRemoveFriend:
      return OnRemoveFriend(packet, reply);
    case TUserRoute::kMyServices:
      return OnMyServices(packet, reply);
    case TUserRoute::kRedPacketCreated:
      return OnRedPacketCreated(packet, reply);
    case TUserRoute::kRedPacketGrad:
      return OnRedPacketGrad(packet, reply);
    case TUserRoute::kRecommend:
      return OnRecommend(packet, reply);
    case TUserRoute::kSetRemark:
      return OnSetRemark(packet, reply);
    case TUserRoute::kSetBlack:
      return OnSetBlack(packet, reply);
    case TUserRoute::kSearchAccount:
      return OnSearchAccount(packet, reply);
    case TUserRoute::kNone:
      return;
  }
}

int TUserService::InterceptDetailList(TAPIPacket* packet, const std::string& url,
                                      const std::string& body, int* handled) {
  if (!Contains(url, kUserDetailListPath)) return 1;
  *handled = 1;
  return RunDetailListRequest(packet, url, body);
}

void TUserService::OnMyServices(TAPIPacket* packet, const std::string& reply) {
  const size_t at = reply.find(kMobilePlaceholder);
  if (at == std::string::npos) return;
  // The login text is escaped for where it lands: inside a JSON string it joins the
  // string, elsewhere it becomes one; either way the reply stays valid JSON.
  std::string login = JsonQuote(LoginText());
  if (InsideJsonString(reply, at)) login = login.substr(1, login.size() - 2);
  packet->s4 = reply.substr(0, at) + login + reply.substr(at + sizeof(kMobilePlaceholder) - 1);
}
