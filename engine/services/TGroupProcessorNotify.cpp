// Group notifications pushed by the IM server: the group tables follow them, and the
// program is told through event 100009 with the notification's content.
#include <string>

#include "net/TIMPacket.h"
#include "services/TGroupProcessor.h"
#include "services/TGroupProtocol.h"
#include "services/TGroupStore.h"
#include "services/TServiceContext.h"
#include "util/TArgList.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTextUtil.h"

namespace {

// The program reads "groupid" from every notification: a content without one gets
// the group the packet was addressed to. Other texts pass unchanged.
std::string WithGroupId(const std::string& content, const Json::Value& root,
                        const std::string& groupid) {
  if (!root.isObject() || TJsonHelper::HasMember(root, "groupid") || groupid.empty())
    return content;
  const std::string trimmed = Trim(content);
  const std::string rest = Trim(trimmed.substr(1));
  const std::string field = JsonTextKey("groupid") + JsonQuote(groupid);
  return "{" + field + (rest.empty() || rest[0] == '}' ? "" : ",") + rest;
}

// A flag of the content when its key is there, else not given.
int FlagIfPresent(const TArgList& args, const char* key) {
  return args.FindKey(key) ? args.GetInt(key) : -1;
}

void SetRoles(const std::string& groupid, const Json::Value& members, int role) {
  if (!members.isArray()) return;
  for (const Json::Value& entry : members) {
    TGroupMemberRecord m;
    m.groupid = groupid;
    m.account = TJsonHelper::GetString(entry, "id");
    m.role = role;
    TGroupStore::UpsertMember(m);
  }
}

void SetUserCount(const std::string& groupid, const TArgList& args) {
  TGroupRecord g;
  g.groupid = groupid;
  g.usercount = args.GetInt("membercount");
  TGroupStore::UpsertGroup(g);
}

// The whole group row (and its parent's) for a group the own account entered.
void StoreJoinedGroup(const std::string& groupid, const TArgList& args, const Json::Value& root) {
  TGroupRecord g;
  g.groupid = groupid;
  g.groupname = args.Find("groupname");
  g.grouplogo = args.Find("logo");
  g.type = FlagIfPresent(args, "type");
  TGroupProcessor::ReadBanFlags(root, "banscreenshot", &g);
  g.entrytime = args.Find("time");
  g.parentid = args.Find("parentid");
  g.hasParentid = g.parentid.empty() ? 0 : 1;
  g.usercount = args.GetInt("membercount");
  g.surl = args.Find("surl");
  g.title = FlagIfPresent(args, "title");
  // The own account is in the group again, also after an earlier leave.
  g.groupstate = 0;
  TGroupStore::UpsertGroup(g);
  if (!g.parentid.empty()) {
    TGroupRecord parent;
    parent.groupid = g.parentid;
    parent.groupname = args.Find("parentname");
    parent.grouplogo = args.Find("parentlogo");
    TGroupStore::UpsertGroup(parent);
  }
}

void MakeTopLevel(const std::string& groupid) {
  TGroupRecord g;
  g.groupid = groupid;
  g.hasParentid = 1;
  g.path = "/" + groupid;
  TGroupStore::UpsertGroup(g);
}

}  // namespace

int TGroupProcessor::OnGroupNotify(const TIMPacket& packet, std::string* text) {
  const std::string groupid = packet.GetTo();
  const std::string content = packet.GetParam("content");
  const Json::Value root = TJsonHelper::Parse(content);
  if (text) *text = WithGroupId(content, root, groupid);

  TArgList args;
  args.Parse(content);
  const std::string notify = args.Find("notify");
  const std::string userid = args.Find("userid");
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();

  TGroupMemberRecord member;
  member.groupid = groupid;
  if (notify == "msgack") {
    const Json::Value msgids = TJsonHelper::GetValue(root, "msgids");
    if (!msgids.isObject()) return 0;
    for (const std::string& account : msgids.getMemberNames()) {
      member.account = account;
      member.msgid = TJsonHelper::ValueToInt64(msgids[account]);
      TGroupStore::UpsertMember(member);
    }
  } else if (notify == "join") {
    member.account = userid;
    member.nick = args.Find("nick");
    member.role = TGroupStore::JoinRole(groupid, userid);
    member.entrytime = args.Find("time");
    TGroupStore::UpsertMember(member);
    if (!own.empty() && userid == own)
      StoreJoinedGroup(groupid, args, root);
    else
      SetUserCount(groupid, args);
  } else if (notify == "leave") {
    member.account = userid;
    member.role = kRoleRemove;
    TGroupStore::UpsertMember(member);
    SetUserCount(groupid, args);
  } else if (notify == "removeuser") {
    SetRoles(groupid, TJsonHelper::GetValue(root, "members"), kRoleRemove);
    SetUserCount(groupid, args);
  } else if (notify == "nick") {
    member.account = userid;
    member.nick = args.Find("nick");
    TGroupStore::UpsertMember(member);
  } else if (notify == "approval") {
    member.account = own;
    if (TGroupStore::GetMemberNickRole(&member) != 0) return 0;
    return member.role == kRoleOwner || member.role == kRoleManager ? 1 : 0;
  } else if (notify == "changeadmin" || notify == "changeowner" || notify == "changemember") {
    const int role = notify == "changeadmin"   ? kRoleManager
                     : notify == "changeowner" ? kRoleOwner
                                               : kRoleMember;
    SetRoles(groupid, TJsonHelper::GetValue(root, "members"), role);
  } else if (notify == "add") {
    member.account = own;
    member.role = kRoleMember;
    member.entrytime = args.Find("time");
    TGroupStore::UpsertMember(member);
    StoreJoinedGroup(groupid, args, root);
  } else if (notify == "remove" || notify == "destroy") {
    TGroupRecord g;
    g.groupid = groupid;
    g.groupstate = 1;
    TGroupStore::UpsertGroup(g);
  } else if (notify == "release") {
    const Json::Value children = TJsonHelper::GetValue(root, "child");
    if (children.isArray())
      for (const Json::Value& child : children)
        MakeTopLevel(TJsonHelper::GetString(child, "groupid"));
  } else if (notify == "released") {
    const Json::Value parents = TJsonHelper::GetValue(root, "parent");
    if (parents.isArray() && !parents.empty()) MakeTopLevel(groupid);
  } else if (notify == "set") {
    TGroupRecord g;
    g.groupid = groupid;
    if (args.FindKey("groupname")) g.groupname = args.Find("groupname");
    g.type = FlagIfPresent(args, "type");
    TGroupStore::UpsertGroup(g);
  } else if (notify == "ban" || notify == "allow") {
    TGroupRecord g;
    g.groupid = groupid;
    g.banuser = notify == "ban" ? 1 : 0;
    TGroupStore::UpsertGroup(g);
  } else if (notify == "groupban") {
    TGroupRecord g;
    g.groupid = groupid;
    ReadBanFlags(root, "banscreenshot", &g);
    TGroupStore::UpsertGroup(g);
  } else if (notify == "allowall") {
    TGroupRecord g;
    g.groupid = groupid;
    g.banall = 0;
    TGroupStore::UpsertGroup(g);
  }
  return 1;
}
