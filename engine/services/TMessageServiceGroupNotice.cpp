// Group notices inside chat messages, seen from the own account.
#include <json/json.h>

#include <string>
#include <utility>
#include <vector>

#include "services/TGroupProtocol.h"
#include "services/TGroupStore.h"
#include "services/TMessageService.h"
#include "services/TServiceContext.h"
#include "util/TArgList.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTextUtil.h"

namespace {

// True when a text of the value is exactly the account, or one entry of a ","
// list is: "12@d" must not match "112@d". Arrays and objects are searched through.
bool NamesAccount(const Json::Value& value, const std::string& account) {
  if (account.empty()) return false;
  if (value.isString()) {
    std::vector<std::string> entries;
    SplitString(value.asString(), ',', entries);
    for (const std::string& entry : entries)
      if (Trim(entry) == account) return true;
    return false;
  }
  if (value.isArray() || value.isObject()) {
    for (const Json::Value& item : value)
      if (NamesAccount(item, account)) return true;
  }
  return false;
}

// {"notify": kind, then the named fields of the notice}, one field per line.
std::string NoticeText(const std::string& kind, const TArgList& args,
                       const std::vector<std::string>& keys) {
  std::string fields = JsonTextStringField("notify", kind);
  for (const std::string& key : keys) fields += JsonTextStringField(key, args.Find(key));
  fields.pop_back();  // the last separating comma
  return "{\n" + fields + "\n}";
}

}  // namespace

std::string TMessageService::RewriteGroupNotice(const std::string& fromgroup,
                                                const std::string& touser,
                                                const std::string& content, int* lostGroup) {
  if (fromgroup != touser) return content;
  TArgList args;
  args.Parse(content);
  const std::string notify = args.Find("notify");
  const std::string userid = args.Find("userid");
  const Json::Value root = TJsonHelper::Parse(content);
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();
  const bool ownReceives = NamesAccount(TJsonHelper::GetValue(root, "recvusers"), own);
  auto lose = [lostGroup] {
    if (lostGroup) *lostGroup = 1;
  };

  if (notify == "addeduser") {
    if (!ownReceives) return content;
    std::vector<std::string> keys = {"groupid", "groupname", "logo"};
    if (!args.Find("parentid").empty())
      keys.insert(keys.end(), {"parentid", "parentname", "parentlogo"});
    keys.insert(keys.end(), {"userid", "nick"});
    return NoticeText("add", args, keys);
  }
  if (notify == "removeuser") {
    if (!ownReceives) return content;
    lose();
    return NoticeText("remove", args, {"groupid", "userid", "nick"});
  }
  if (notify == "destroy") {
    TGroupStore::MarkGroupLeft(args.Find("groupid"));
    lose();
    return content;
  }
  if (notify == "remove") {
    lose();
    return content;
  }
  if (notify == "approval") {
    const int role = TGroupStore::GetMemberRole(args.Find("groupid"), own);
    return role == kRoleOwner || role == kRoleManager ? content : std::string();
  }
  static const std::pair<const char*, const char*> kGrants[] = {{"changeowner", "grantowner"},
                                                                {"changeadmin", "grantadmin"},
                                                                {"changemember", "grantmember"}};
  for (const auto& grant : kGrants) {
    if (notify != grant.first) continue;
    if (userid == own || !NamesAccount(root, own)) return content;
    return NoticeText(grant.second, args, {"groupid", "userid", "nick"});
  }
  if (notify == "banuser" && ownReceives)
    return NoticeText("ban", args, {"groupid", "userid", "nick"});
  if (notify == "allowuser" && ownReceives)
    return NoticeText("allow", args, {"groupid", "userid", "nick"});
  return content;
}
