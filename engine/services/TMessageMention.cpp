#include "services/TMessageMention.h"

#include <strings.h>

#include "services/TMessageType.h"
#include "services/TServiceContext.h"
#include "util/TJsonHelper.h"

namespace {

bool IsTrue(const Json::Value& v) {
  if (v.isBool()) return v.asBool();
  if (v.isString()) return strcasecmp(v.asCString(), "true") == 0;
  if (v.isIntegral()) return TJsonHelper::ValueToInt64(v) != 0;
  return false;
}

bool NamesMe(const std::string& id, const std::string& userId, const std::string& account) {
  if (id.empty()) return false;
  if (!account.empty() && id == account) return true;
  // "0" is the user id before any login: it names nobody.
  if (userId.empty() || userId == "0") return false;
  return id == userId || id.substr(0, id.find('@')) == userId;
}

}  // namespace

int ParseMention(int msgtype, const std::string& remark) {
  TServiceContext* core = TServiceContext::Instance();
  if (!core) return ParseMention(msgtype, remark, std::string(), std::string());
  return ParseMention(msgtype, remark, core->GetUserID(), core->GetAccount());
}

int ParseMention(int msgtype, const std::string& remark, const std::string& ownUserId,
                 const std::string& ownAccount) {
  if (msgtype != 0) return kAtNone;
  try {
    Json::Value root = TJsonHelper::Parse(remark);
    if (!root.isObject()) return kAtNone;
    if (IsTrue(TJsonHelper::GetValue(root, "atAll"))) return kAtAll;
    Json::Value users = TJsonHelper::GetValue(root, "atUsers");
    if (!users.isArray()) return kAtNone;
    for (Json::ArrayIndex i = 0; i < users.size(); ++i) {
      const Json::Value& entry = users[i];
      std::string id = entry.isObject() ? TJsonHelper::GetString(entry, "id")
                                        : TJsonHelper::ValueToString(entry);
      if (NamesMe(id, ownUserId, ownAccount)) return kAtMe;
    }
  } catch (...) {
  }
  return kAtNone;
}
