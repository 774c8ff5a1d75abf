#include "LocalGroups.h"

#include <algorithm>
#include <cstdio>
#include <set>

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

Json::Value IdList(const std::vector<std::string>& accounts) {
  Json::Value list(Json::arrayValue);
  for (const std::string& a : accounts) {
    Json::Value e(Json::objectValue);
    e["id"] = a;
    list.append(e);
  }
  return list;
}

Json::Value ToJson(const FakeGroupServer::Group& g) {
  Json::Value v(Json::objectValue);
  v["groupid"] = g.groupid;
  v["name"] = g.groupname;
  v["logo"] = g.logo;
  v["info"] = g.info;
  v["parentid"] = g.parentid;
  v["type"] = g.type;
  v["code"] = g.code;
  v["time"] = g.time;
  v["members"] = Json::Value(Json::arrayValue);
  for (const auto& m : g.members) {
    Json::Value e(Json::objectValue);
    e["account"] = m.account;
    e["nick"] = m.nick;
    e["role"] = m.role;
    v["members"].append(e);
  }
  return v;
}

}  // namespace

LocalGroups::LocalGroups(LocalServer& server) : m_server(server) {
  m_groups = std::make_unique<FakeGroupServer>(server.Http("GROUPSERVER"));
  FakeGroupServer::MountCreatePath(server.Http("LOGIN"), *m_groups);
  // The world's logos name the servers, whose ports are known once they listen.
  server.AfterStart([this] { Fill(); });
  m_groups->SetGroupServerAddressFrom([this] { return m_server.Address("GROUPSERVER"); });
  m_groups->SetCallerOf([this](const FakeRequest& r) { return m_server.AccountOf(r); });
  m_groups->SetChangeHook([this](const FakeGroupServer::Change& c) { Changed(c); });
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
      if (!Text(v, "time").empty()) g.time = Text(v, "time");
      const Json::Value members = v.isObject() ? v["members"] : Json::Value();
      for (const Json::Value& m : members) {
        const std::string account = Text(m, "account");
        if (!world.FindAccount(account) || FindMember(g, account)) continue;
        const int role = Int(m, "role", 3);
        g.members.push_back({account, Text(m, "nick"), role >= 1 && role <= 3 ? role : 3, 0, 0});
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
    Json::Value content(Json::objectValue);
    content["notify"] = "destroy";
    content["groupid"] = c.before.groupid;
    for (const auto& m : before) out.emplace_back(m.account, content);
    return out;
  }
  if (c.after.groupid.empty()) return out;
  if (c.cmd == "set") {
    Json::Value content(Json::objectValue);
    content["notify"] = "set";
    content["groupid"] = c.after.groupid;
    content["groupname"] = c.after.groupname;
    content["type"] = c.after.type;
    toMembers(content, {});
    return out;
  }
  if (c.cmd == "grantuser") {
    static const char* kWords[] = {"", "changeowner", "changeadmin", "changemember"};
    for (int role = 1; role <= 3; ++role) {
      std::vector<std::string> changed;
      for (const auto& m : after) {
        const FakeGroupServer::Member* was = FindMember(c.before, m.account);
        if (m.role == role && was && was->role != role) changed.push_back(m.account);
      }
      if (changed.empty()) continue;
      Json::Value content(Json::objectValue);
      content["notify"] = kWords[role];
      content["groupid"] = c.after.groupid;
      content["members"] = IdList(changed);
      toMembers(content, {});
    }
    return out;
  }
  // Members who came: each told it was added (unless it came by itself), the members
  // who were there that someone joined.
  const std::set<std::string> newcomers(added.begin(), added.end());
  for (const std::string& account : added) {
    if (account != c.caller) {
      Json::Value content = GroupFields(c.after, time);
      content["notify"] = "add";
      out.emplace_back(account, content);
    }
    Json::Value content(Json::objectValue);
    content["notify"] = "join";
    content["groupid"] = c.after.groupid;
    content["userid"] = account;
    const FakeGroupServer::Member* m = FindMember(c.after, account);
    content["nick"] = m ? m->nick : "";
    content["time"] = time;
    content["membercount"] = count;
    toMembers(content, newcomers);
  }
  if (removed.empty()) return out;
  if (c.cmd == "leave") {
    Json::Value content(Json::objectValue);
    content["notify"] = "leave";
    content["groupid"] = c.after.groupid;
    content["userid"] = c.caller;
    content["membercount"] = count;
    toMembers(content, {});
    return out;
  }
  for (const std::string& account : removed) {
    Json::Value content(Json::objectValue);
    content["notify"] = "remove";
    content["groupid"] = c.after.groupid;
    out.emplace_back(account, content);
  }
  Json::Value content(Json::objectValue);
  content["notify"] = "removeuser";
  content["groupid"] = c.after.groupid;
  content["members"] = IdList(removed);
  content["membercount"] = count;
  toMembers(content, {});
  return out;
}

void LocalGroups::Changed(const FakeGroupServer::Change& change) {
  static const std::set<std::string> kReadOnly = {
      "getupdate", "getversion", "getinfo",     "getuser", "search",
      "msgstatus", "getchild",   "getuserinfo", "msgsub",  "msgack"};
  if (kReadOnly.count(change.cmd)) return;
  Save();
  const std::string time = LocalServer::Now();
  const std::string groupid =
      change.after.groupid.empty() ? change.before.groupid : change.after.groupid;
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  w["emitUTF8"] = true;
  for (const Notice& notice : NoticesOf(change, time)) {
    const std::string content = Json::writeString(w, notice.second);
    const FakeIMServer::Params params = {
        {"id", std::to_string(m_server.TakeMsgid())},
        {"fromgroup", groupid},
        {"content", content},
        {"time", time},
        {"curtime", time},
    };
    m_server.PushTo(notice.first,
                    FakeIMServer::ChatPacket(change.caller, groupid, "groupnotify", params));
  }
}
