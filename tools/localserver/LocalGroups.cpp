#include "LocalGroups.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

#include "LocalKeys.h"
#include "LocalServer.h"

namespace {

// Members of a kept file, which may hold anything.
std::string Text(const Json::Value& v, const char* key) {
  return v.isObject() && v[key].isString() ? v[key].asString() : std::string();
}

int Int(const Json::Value& v, const char* key, int fallback = 0) {
  return v.isObject() && v[key].isInt() ? v[key].asInt() : fallback;
}

const FakeGroupServer::Member* FindMember(const FakeGroupServer::Group& g,
                                          const std::string& account) {
  for (const auto& m : g.members) {
    if (m.account == account) return &m;
  }
  return nullptr;
}

// What a member learns of a group it is now in.
Json::Value GroupFields(const FakeGroupServer::Group& g, const std::string& time) {
  Json::Value c(Json::objectValue);
  c["groupid"] = g.groupid;
  c["groupname"] = g.groupname;
  c["logo"] = g.logo;
  c["type"] = g.type;
  c["banall"] = g.banall;
  c["banurl"] = g.banurl;
  c["banchat"] = g.banchat;
  c["banmsg"] = g.banmsg;
  c["banpic"] = g.banpic;
  c["banscreenshot"] = g.banscreenshot;
  c["time"] = time;
  c["parentid"] = g.parentid;
  c["membercount"] = static_cast<int>(g.members.size());
  c["surl"] = g.surl;
  c["title"] = g.title;
  return c;
}

// Members a notice names: [{"id", "nick"}], in the group's order.
Json::Value MemberList(const std::vector<std::string>& accounts,
                       const std::function<std::string(const std::string&)>& nickOf) {
  Json::Value list(Json::arrayValue);
  for (const std::string& a : accounts) {
    Json::Value e(Json::objectValue);
    e["id"] = a;
    e["nick"] = nickOf(a);
    list.append(e);
  }
  return list;
}

std::string Joined(const std::vector<std::string>& accounts) {
  std::string out;
  for (const std::string& a : accounts) out += (out.empty() ? "" : ",") + a;
  return out;
}

const std::pair<const char*, int FakeGroupServer::Group::*> kFlags[] = {
    {"banall", &FakeGroupServer::Group::banall},
    {"banurl", &FakeGroupServer::Group::banurl},
    {"banpic", &FakeGroupServer::Group::banpic},
    {"banchat", &FakeGroupServer::Group::banchat},
    {"banmsg", &FakeGroupServer::Group::banmsg},
    {"banscreenshot", &FakeGroupServer::Group::banscreenshot}};

Json::Value ToJson(const FakeGroupServer::Group& g) {
  Json::Value v(Json::objectValue);
  v["groupid"] = g.groupid;
  v["name"] = g.groupname;
  v["logo"] = g.logo;
  v["info"] = g.info;
  v["parentid"] = g.parentid;
  v["type"] = g.type;
  v["code"] = g.code;
  v["codeexpire"] = static_cast<Json::Int64>(g.codeExpire);
  v["time"] = g.time;
  v["version"] = g.version;
  v["userversion"] = g.userversion;
  for (const auto& flag : kFlags) v[flag.first] = g.*flag.second;
  v["members"] = Json::Value(Json::arrayValue);
  for (const auto& m : g.members) {
    Json::Value e(Json::objectValue);
    e["account"] = m.account;
    e["nick"] = m.nick;
    e["role"] = m.role;
    if (m.banned) e["ban"] = 1;
    v["members"].append(e);
  }
  v["refused"] = Json::Value(Json::arrayValue);
  for (const std::string& a : g.refused) v["refused"].append(a);
  return v;
}

}  // namespace

LocalGroups::LocalGroups(LocalServer& server) : m_server(server) {
  m_groups = std::make_unique<FakeGroupServer>(server.Http(LocalKeys::kGroupServer));
  FakeGroupServer::MountCreatePath(server.Http(LocalKeys::kLoginServer), *m_groups);
  // The world's logos name the servers, whose ports are known once they listen.
  server.AfterStart([this] { Fill(); });
  m_groups->SetGroupServerAddressFrom([this] { return m_server.Address(LocalKeys::kGroupServer); });
  m_groups->SetCallerOf([this](const FakeRequest& r) { return m_server.AccountOf(r); });
  m_groups->SetChangeHook([this](const FakeGroupServer::Change& c) { Changed(c); });
  m_groups->SetRoleRules(true);
  server.SetGroupMembers([this](const std::string& id) { return MembersOf(id); });
}

void LocalGroups::Plug(LocalServer& server) { server.Keep(std::make_shared<LocalGroups>(server)); }

void LocalGroups::Fill() {
  const LocalWorld& world = m_server.World();
  // New groups take the domain of the world's groups, else "group." and the accounts'.
  std::string domain = "group." + world.Accounts().front().account.substr(
                                      world.Accounts().front().account.find('@') + 1);
  if (!world.Groups().empty()) {
    const std::string& id = world.Groups().front().groupId;
    domain = id.substr(id.find('@') + 1);
  }
  m_groups->SetGroupDomain(domain);

  auto nickOf = [&world](const std::string& account) {
    const LocalAccount* a = world.FindAccount(account);
    return a ? a->name : std::string();
  };
  Json::Value kept;
  if (m_server.Store().LoadJson(kStateFile, &kept) && kept["groups"].isArray()) {
    for (const Json::Value& v : kept["groups"]) {
      FakeGroupServer::Group g;
      g.groupid = Text(v, "groupid");
      if (g.groupid.find("group.") == std::string::npos) {
        std::fprintf(stderr, "%s: a group without a usable \"groupid\" skipped\n", kStateFile);
        continue;
      }
      g.groupname = Text(v, "name");
      g.logo = m_server.Fill(Text(v, "logo"));
      g.info = Text(v, "info");
      g.parentid = Text(v, "parentid");
      g.type = Int(v, "type");
      g.code = Text(v, "code");
      if (v.isObject() && v["codeexpire"].isIntegral()) g.codeExpire = v["codeexpire"].asInt64();
      if (!Text(v, "time").empty()) g.time = Text(v, "time");
      g.version = std::max(1, Int(v, "version", 1));
      g.userversion = std::max(1, Int(v, "userversion", 1));
      for (const auto& flag : kFlags) g.*flag.second = Int(v, flag.first) != 0 ? 1 : 0;
      const Json::Value members = v.isObject() ? v["members"] : Json::Value();
      for (const Json::Value& m : members) {
        const std::string account = Text(m, "account");
        if (!world.FindAccount(account) || FindMember(g, account)) continue;
        const int role = Int(m, "role", 3);
        FakeGroupServer::Member member{account, Text(m, "nick"), role >= 1 && role <= 3 ? role : 3,
                                       0, 0};
        member.banned = Int(m, "ban") != 0;
        g.members.push_back(member);
      }
      const Json::Value refused = v.isObject() ? v["refused"] : Json::Value();
      for (const Json::Value& a : refused) {
        if (a.isString() && world.FindAccount(a.asString())) g.refused.push_back(a.asString());
      }
      m_groups->AddGroup(g);
    }
    return;
  }
  for (const LocalGroup& lg : world.Groups()) {
    FakeGroupServer::Group g;
    g.groupid = lg.groupId;
    g.groupname = lg.name;
    g.logo = m_server.Fill(lg.logo);
    g.info = lg.info;
    g.code = lg.code;  // a world's code does not expire
    g.type = lg.type;
    for (const LocalGroupMember& m : lg.members)
      g.members.push_back({m.account, nickOf(m.account), m.role, 0, 0});
    m_groups->AddGroup(g);
  }
}

std::vector<std::string> LocalGroups::MembersOf(const std::string& groupId) {
  std::vector<std::string> out;
  for (const auto& m : m_groups->GetGroup(groupId).members) out.push_back(m.account);
  return out;
}

void LocalGroups::Save() {
  std::lock_guard<std::mutex> lock(m_saveMutex);
  Json::Value state(Json::objectValue);
  state["groups"] = Json::Value(Json::arrayValue);
  for (auto g : m_groups->Groups()) {
    g.logo = m_server.Unfill(g.logo);  // addresses kept as names: ports change
    state["groups"].append(ToJson(g));
  }
  m_server.Store().SaveJson(kStateFile, state);
}

std::vector<LocalGroups::Notice> LocalGroups::NoticesOf(const FakeGroupServer::Change& c,
                                                        const std::string& time) {
  std::vector<Notice> out;
  const auto& before = c.before.members;
  const auto& after = c.after.members;
  // A member's name in the group, now or (for one who left) before.
  auto nickOf = [&c](const std::string& account) {
    if (const FakeGroupServer::Member* m = FindMember(c.after, account)) return m->nick;
    if (const FakeGroupServer::Member* m = FindMember(c.before, account)) return m->nick;
    return std::string();
  };
  // Every notice names the group, the one who acted and that one's name.
  const std::string groupid = c.after.groupid.empty() ? c.before.groupid : c.after.groupid;
  auto notice = [&](const char* kind) {
    Json::Value content(Json::objectValue);
    content["notify"] = kind;
    content["groupid"] = groupid;
    content["userid"] = c.caller;
    content["nick"] = nickOf(c.caller);
    return content;
  };
  // Everyone in the group now, the one who acted too (its other devices learn of it),
  // but those the change is about, who are told apart.
  auto toMembers = [&](const Json::Value& content, const std::set<std::string>& skip) {
    for (const auto& m : after) {
      if (!skip.count(m.account)) out.emplace_back(m.account, content);
    }
  };
  std::vector<std::string> added;
  std::vector<std::string> removed;
  for (const auto& m : after) {
    if (!FindMember(c.before, m.account)) added.push_back(m.account);
  }
  for (const auto& m : before) {
    if (!FindMember(c.after, m.account)) removed.push_back(m.account);
  }
  const int count = static_cast<int>(after.size());

  if (c.cmd == "destroy") {
    const Json::Value content = notice("destroy");
    for (const auto& m : before) out.emplace_back(m.account, content);
    return out;
  }
  if (c.after.groupid.empty()) return out;
  if (c.cmd == "set") {
    // Only what changed: a new name, introduction, picture or join type.
    Json::Value content = notice("set");
    bool changed = false;
    auto name = [&](const char* key, const std::string& was, const std::string& now) {
      if (was == now) return;
      content[key] = now;
      changed = true;
    };
    name("groupname", c.before.groupname, c.after.groupname);
    name("info", c.before.info, c.after.info);
    name("logo", c.before.logo, c.after.logo);
    if (c.before.type != c.after.type) {
      content["type"] = c.after.type;
      changed = true;
    }
    if (changed) toMembers(content, {});
    return out;
  }
  if (c.cmd == "setcode") {
    if (c.after.code.empty() || c.after.code == c.before.code) return out;
    Json::Value content = notice("code");
    content["code"] = c.after.code;
    toMembers(content, {});
    return out;
  }
  if (c.cmd == "banuser") {
    Json::Value content = notice("groupban");
    bool changed = false;
    for (const auto& flag : kFlags) {
      if (c.before.*flag.second == c.after.*flag.second) continue;
      content[flag.first] = c.after.*flag.second;
      changed = true;
    }
    if (changed) toMembers(content, {});
    // Members banned or allowed to speak: each told so, the others told who.
    for (const bool ban : {true, false}) {
      std::vector<std::string> concerned;
      for (const auto& m : after) {
        const FakeGroupServer::Member* was = FindMember(c.before, m.account);
        if (was && m.banned == ban && was->banned != ban) concerned.push_back(m.account);
      }
      if (concerned.empty()) continue;
      const Json::Value own = notice(ban ? "ban" : "allow");
      for (const std::string& a : concerned) out.emplace_back(a, own);
      Json::Value others = notice(ban ? "banuser" : "allowuser");
      others["members"] = MemberList(concerned, nickOf);
      others["count"] = static_cast<int>(concerned.size());
      others["recvusers"] = Joined(concerned);
      toMembers(others, std::set<std::string>(concerned.begin(), concerned.end()));
    }
    return out;
  }
  // Roles that changed (a grant, or the owner leaving): one notice per new role.
  static const char* kRoleWords[] = {"", "changeowner", "changeadmin", "changemember"};
  std::vector<Notice> roles;
  for (int role = 1; role <= 3; ++role) {
    std::vector<std::string> changed;
    for (const auto& m : after) {
      const FakeGroupServer::Member* was = FindMember(c.before, m.account);
      if (m.role == role && was && was->role != role) changed.push_back(m.account);
    }
    if (changed.empty()) continue;
    Json::Value content = notice(kRoleWords[role]);
    content["members"] = MemberList(changed, nickOf);
    for (const auto& m : after) roles.emplace_back(m.account, content);
  }
  if (c.cmd == "grantuser") return roles;
  // A member's "join" renames it in the group.
  if (c.cmd == "join" && added.empty()) {
    const FakeGroupServer::Member* was = FindMember(c.before, c.caller);
    const FakeGroupServer::Member* now = FindMember(c.after, c.caller);
    if (was && now && was->nick != now->nick) toMembers(notice("nick"), {});
    return out;
  }
  // Members who came: each told it was added (unless it came by itself), the members
  // who were there that someone joined.
  const std::set<std::string> newcomers(added.begin(), added.end());
  for (const std::string& account : added) {
    if (account != c.caller) {
      Json::Value content = GroupFields(c.after, time);
      content["notify"] = "add";
      content["userid"] = c.caller;
      content["nick"] = nickOf(c.caller);
      out.emplace_back(account, content);
    }
    Json::Value content(Json::objectValue);
    content["notify"] = "join";
    content["groupid"] = c.after.groupid;
    content["groupname"] = c.after.groupname;
    content["userid"] = account;
    content["nick"] = nickOf(account);
    content["time"] = time;
    content["membercount"] = count;
    toMembers(content, newcomers);
  }
  if (removed.empty()) return out;
  if (c.cmd == "leave") {
    Json::Value content = notice("leave");
    content["membercount"] = count;
    toMembers(content, {});
    out.insert(out.end(), roles.begin(), roles.end());
    return out;
  }
  const Json::Value gone = notice("remove");
  for (const std::string& account : removed) out.emplace_back(account, gone);
  Json::Value content = notice("removeuser");
  content["members"] = MemberList(removed, nickOf);
  content["count"] = static_cast<int>(removed.size());
  content["recvusers"] = Joined(removed);
  content["membercount"] = count;
  toMembers(content, {});
  return out;
}

void LocalGroups::Changed(const FakeGroupServer::Change& change) {
  static const std::set<std::string> kReadOnly = {
      "getupdate", "getversion",  "getinfo", "getuser", "search",   "msgstatus",
      "getchild",  "getuserinfo", "msgsub",  "msgack",  "checkuser"};
  if (kReadOnly.count(change.cmd)) return;
  Save();
  const std::string time = LocalServer::Now();
  const std::string groupid =
      change.after.groupid.empty() ? change.before.groupid : change.after.groupid;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  w["emitUTF8"] = true;
  // A notice to the whole group is one message of its history, under one id for all
  // its members: those not online read it there at their next login, and those who
  // got the push do not store it twice.
  std::vector<std::pair<Json::Value, int64_t>> kept;
  for (const Notice& notice : NoticesOf(change, time)) {
    const std::string content = Json::writeString(w, notice.second);
    int64_t msgid = 0;
    if (IsGroupWide(notice.second)) {
      for (const auto& k : kept)
        if (k.first == notice.second) msgid = k.second;
      if (msgid == 0) {
        msgid = m_server.TakeMsgid();
        kept.emplace_back(notice.second, msgid);
        LocalMessage message;
        message.msgid = msgid;
        message.from = change.caller;
        message.to = groupid;
        message.fromGroup = groupid;
        message.type = "groupnotify";
        message.content = content;
        message.time = time;
        m_server.Store().AddMessage(message);
      }
    } else {
      msgid = m_server.TakeMsgid();
    }
    const FakeIMServer::Params params = {
        {"id", std::to_string(msgid)},
        {"fromgroup", groupid},
        {"content", content},
        {"time", time},
        {"curtime", time},
    };
    m_server.PushTo(notice.first,
                    FakeIMServer::ChatPacket(change.caller, groupid, "groupnotify", params));
  }
}

bool LocalGroups::IsGroupWide(const Json::Value& notice) {
  // Told to one member alone (added, removed, banned, allowed), or of a group that is
  // gone: no history holds it.
  static const std::set<std::string> kPersonal = {"add", "remove", "ban", "allow", "destroy"};
  return !kPersonal.count(Text(notice, "notify"));
}
