// Red packets, the account search and recommendations: reply handlers that keep a
// local record of red packets, store search hits and filter recommendations.
#include <set>
#include <string>

#include "base/TAPIPacket.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TRecordSet.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "net/TUrlCodec.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserProtocol.h"
#include "services/TUserService.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTransId.h"

namespace {

struct RedPacket {
  std::string key;
  std::string crtime;
  int type = 0;
};

// The accepted reply's red packet; an empty key when there is none to record.
RedPacket ReadRedPacket(const std::string& reply, Json::Value* result) {
  RedPacket packet;
  Json::Value root = TJsonHelper::ParseAccepted(reply);
  if (root.isNull()) return packet;
  *result = TJsonHelper::GetValue(root, "result");
  packet.key = GetUrlParam(TJsonHelper::GetString(*result, "gradurl"), "redtext");
  packet.type = TJsonHelper::GetInt(*result, "type");
  packet.crtime = TJsonHelper::GetString(*result, "crtime");
  return packet;
}

// The red packet row; the creator's id has been checked to be digits.
void StoreRedPacket(const RedPacket& packet, const std::string& userId, int state, int finish,
                    const std::string& amount) {
  TDBManager* db = ServiceDatabase();
  if (!db) return;
  db->Exec(
      "replace into nq_redlist(redkey,userid,redtype,state,finish,reason,amount,crtime) "
      "values(" +
      SqlQuoted(packet.key) + "," + userId + "," + std::to_string(packet.type) + "," +
      std::to_string(state) + "," + std::to_string(finish) + ",0," + SqlQuoted(amount) + "," +
      SqlQuoted(packet.crtime) + ")");
}

std::set<std::string> FirstColumn(const char* sql) {
  std::set<std::string> values;
  TDBManager* db = ServiceDatabase();
  TRecordSet records;
  if (!db || !db->Exec(sql, &records)) return values;
  for (int i = 0; i < records.GetRecordCount(); ++i) values.insert(records.GetString(i, 0));
  return values;
}

std::string LogoField(const Json::Value& element) {
  return JsonTextKey("logo") + JsonQuote(TJsonHelper::GetString(element, "logo"));
}

// The objects of list whose "account" is not in known, in reply order; *kept counts them.
template <typename WriteObject>
std::string KeepUnknown(const Json::Value& list, const std::set<std::string>& known,
                        WriteObject write, int* kept) {
  std::string objects;
  *kept = 0;
  if (!list.isArray()) return objects;
  for (const Json::Value& element : list) {
    const std::string account = TJsonHelper::GetString(element, "account");
    if (known.count(account)) continue;
    if (*kept > 0) objects += ",";
    objects += "{" + JsonTextStringField("account", account) +
               JsonTextStringField("name", TJsonHelper::GetString(element, "name")) +
               write(element) + "}";
    ++*kept;
  }
  return objects;
}

}  // namespace

void TUserService::OnRedPacketCreated(TAPIPacket*, const std::string& reply) {
  Json::Value result;
  RedPacket packet = ReadRedPacket(reply, &result);
  if (packet.key.empty()) return;
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetUserID() : std::string();
  if (!AcceptSqlId(own, "red packet")) return;
  StoreRedPacket(packet, own, 0, 0, "");
}

void TUserService::OnRedPacketGrad(TAPIPacket*, const std::string& reply) {
  Json::Value result;
  RedPacket packet = ReadRedPacket(reply, &result);
  if (packet.key.empty()) return;
  const std::string creator = TJsonHelper::GetString(result, "cruserid");
  if (!AcceptSqlId(creator, "red packet")) return;
  StoreRedPacket(packet, creator, TJsonHelper::GetInt(result, "state"),
                 TJsonHelper::GetInt(result, "finish"),
                 TJsonHelper::GetString(result, "gradmoney"));
}

void TUserService::OnSearchAccount(TAPIPacket* packet, const std::string& reply) {
  Json::Value root = TJsonHelper::ParseAccepted(reply);
  if (root.isNull()) return;
  const std::string account =
      TJsonHelper::GetString(TJsonHelper::GetValue(root, "result"), "account");
  if (account.empty()) return;
  // Routed in its turn: the detail reply stores the user and becomes the answer.
  m_service.Post(packet, m_service.GetServerUrl(kUserDetailPath, kUserServer),
                 JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                                     JsonTextStringField("account", account) +
                                     JsonTextIntField("isfriend", 0)));
}

void TUserService::OnRecommend(TAPIPacket* packet, const std::string& reply) {
  Json::Value root = TJsonHelper::ParseAccepted(reply);
  if (root.isNull()) return;
  Json::Value result = TJsonHelper::GetValue(root, "result");
  int groups = TJsonHelper::GetInt(result, "groupaccount");
  int users = TJsonHelper::GetInt(result, "useraccount");

  std::string groupObjects;
  if (groups > 0) {
    groupObjects = KeepUnknown(
        TJsonHelper::GetValue(result, "groups"), FirstColumn("select groupid from nq_group"),
        [](const Json::Value& e) {
          return JsonTextIntField("member", TJsonHelper::GetInt(e, "member")) + LogoField(e);
        },
        &groups);
  }
  std::string userObjects;
  if (users > 0) {
    userObjects = KeepUnknown(TJsonHelper::GetValue(result, "users"),
                              FirstColumn("select account from nq_contact where isfriend=1"),
                              LogoField, &users);
  }

  std::string body =
      JsonTextIntField("groupaccount", groups) + JsonTextIntField("useraccount", users);
  if (groups > 0) body += JsonTextKey("groups") + "[" + groupObjects + "],";
  if (users > 0) body += JsonTextKey("users") + "[" + userObjects + "],";
  body.pop_back();  // the trailing ","
  packet->s4 = "{" + JsonTextIntField("code", 1) + JsonTextStringField("msg", "OK") +
               JsonTextKey("result") + "{" + body + "}" + "}";
}
