#include "fakes/FakeGroupServer.h"

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

Json::Value ParseBody(const std::string& text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) return Json::Value();
  return root;
}

std::string Write(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

std::string Text(const Json::Value& body, const char* key) {
  const Json::Value& v = body[key];
  if (v.isString()) return v.asString();
  if (v.isIntegral()) return std::to_string(v.asInt64());
  return std::string();
}

int Number(const Json::Value& body, const char* key, int fallback = 0) {
  const Json::Value& v = body[key];
  if (v.isIntegral()) return v.asInt();
  if (v.isString() && !v.asString().empty()) return atoi(v.asString().c_str());
  return fallback;
}

Json::Value Ok(const Json::Value& result) {
  Json::Value reply;
  reply["code"] = 1;
  reply["msg"] = "OK";
  reply["result"] = result;
  reply["result"]["cmd"] = "OK";
  return reply;
}

Json::Value Error(const std::string& word) {
  Json::Value reply;
  reply["code"] = 1;
  reply["msg"] = "OK";
  reply["result"]["cmd"] = word;
  return reply;
}

// A refusal told by the server's code alone, as "getbycode" answers.
Json::Value CodeError(int code, const std::string& word) {
  Json::Value reply;
  reply["code"] = code;
  reply["msg"] = word;
  return reply;
}

Json::Value Permission() { return Error("GROUP_ERR_PERMISSION"); }

// A request whose caller is not known (no session).
FakeReply NoSession() {
  Json::Value reply;
  reply["code"] = -1;
  reply["msg"] = "no session";
  return FakeReply::Json(Write(reply));
}

// The accounts of the "id" entries of an array of the body.
std::vector<std::string> Ids(const Json::Value& body, const char* key) {
  std::vector<std::string> ids;
  for (const Json::Value& entry : body[key])
    if (entry.isObject()) ids.push_back(Text(entry, "id"));
  return ids;
}

Json::Value IdArray(const std::vector<std::string>& ids) {
  Json::Value array(Json::arrayValue);
  for (const std::string& id : ids) {
    Json::Value e;
    e["id"] = id;
    array.append(e);
  }
  return array;
}

}  // namespace

FakeGroupServer::FakeGroupServer(FakeHttpServer& server) {
  server.Handle(kPath, [this](const FakeRequest& r) { return Serve(r); });
  MountCreatePath(server, *this);
}

void FakeGroupServer::MountCreatePath(FakeHttpServer& loginServer, FakeGroupServer& groups) {
  loginServer.Handle(kCreatePath,
                     [&groups](const FakeRequest& r) { return groups.ServeCreate(r); });
}

void FakeGroupServer::SetCaller(const std::string& account) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_caller = account;
}

void FakeGroupServer::SetCallerOf(CallerOf callerOf) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_callerOf = std::move(callerOf);
}

void FakeGroupServer::SetChangeHook(ChangeHook hook) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_changeHook = std::move(hook);
}

void FakeGroupServer::SetGroupDomain(const std::string& domain) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_groupDomain = domain;
}

void FakeGroupServer::SetGroupServerAddress(const std::string& hostPort) {
  SetGroupServerAddressFrom([hostPort] { return hostPort; });
}

void FakeGroupServer::SetGroupServerAddressFrom(std::function<std::string()> hostPort) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_groupServer = std::move(hostPort);
}

void FakeGroupServer::ScriptCreate(const std::string& body) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_createScripts.push_back(body);
}

void FakeGroupServer::ScriptNext(const std::string& body) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_scripts.push_back(body);
}

void FakeGroupServer::SetPageSize(int size) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pageSize = std::max(1, size);
}

void FakeGroupServer::SetRoleRules(bool on) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_roleRules = on;
}

void FakeGroupServer::SetClock(std::function<int64_t()> nowSeconds) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_clock = std::move(nowSeconds);
}

int64_t FakeGroupServer::NowSeconds() const {
  return m_clock ? m_clock() : static_cast<int64_t>(std::time(nullptr));
}

void FakeGroupServer::AddGroup(const Group& group) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Group& g = m_groups[group.groupid] = group;
  for (Member& m : g.members) m.id = m_nextMemberId++;
  const int number = atoi(group.groupid.c_str());
  if (number >= m_nextGroup) m_nextGroup = number + 1;
}

void FakeGroupServer::AddMember(const std::string& groupid, const Member& member) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Group* g = Find(groupid)) Join(*g, member.account, member.nick, member.role, true);
}

void FakeGroupServer::RemoveMember(const std::string& groupid, const std::string& account) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (Group* g = Find(groupid)) Leave(*g, account);
}

void FakeGroupServer::Leave(Group& g, const std::string& account) {
  auto& ms = g.members;
  ms.erase(
      std::remove_if(ms.begin(), ms.end(), [&](const Member& m) { return m.account == account; }),
      ms.end());
  ++g.userversion;
}

void FakeGroupServer::RenameMember(const std::string& groupid, const std::string& account,
                                   const std::string& nick) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Group* g = Find(groupid);
  if (!g) return;
  if (Member* m = FindMember(*g, account)) m->nick = nick;
  ++g->userversion;
}

bool FakeGroupServer::HasGroup(const std::string& groupid) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return Find(groupid) != nullptr;
}

FakeGroupServer::Group FakeGroupServer::GetGroup(const std::string& groupid) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Group* g = Find(groupid);
  return g ? *g : Group();
}

std::vector<FakeGroupServer::Group> FakeGroupServer::Groups() {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<Group> groups;
  for (const auto& entry : m_groups) groups.push_back(entry.second);
  return groups;
}

std::vector<Json::Value> FakeGroupServer::Bodies() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_bodies;
}

std::vector<Json::Value> FakeGroupServer::CreateBodies() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_createBodies;
}

FakeGroupServer::Group* FakeGroupServer::Find(const std::string& groupid) {
  auto it = m_groups.find(groupid);
  return it == m_groups.end() ? nullptr : &it->second;
}

FakeGroupServer::Member* FakeGroupServer::FindMember(Group& g, const std::string& account) {
  for (Member& m : g.members)
    if (m.account == account) return &m;
  return nullptr;
}

void FakeGroupServer::Join(Group& g, const std::string& account, const std::string& nick, int role,
                           bool setRole) {
  if (Member* known = FindMember(g, account)) {
    known->nick = nick;
    if (setRole) known->role = role;
  } else {
    Member m;
    m.account = account;
    m.nick = nick;
    m.role = role;
    m.id = m_nextMemberId++;
    g.members.push_back(m);
  }
  ++g.userversion;
}

std::string FakeGroupServer::CallerFor(const FakeRequest& request, bool* unknown) {
  CallerOf callerOf;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_callerOf) return m_caller;
    callerOf = m_callerOf;
  }
  // Asked outside the lock: the resolver may take locks of its own.
  const std::string caller = callerOf(request);
  *unknown = caller.empty();
  return caller;
}

FakeReply FakeGroupServer::ServeCreate(const FakeRequest& request) {
  bool unknown = false;
  const std::string caller = CallerFor(request, &unknown);
  std::lock_guard<std::mutex> lock(m_mutex);
  const Json::Value body = ParseBody(request.body);
  m_createBodies.push_back(body);
  if (!m_createScripts.empty()) {
    std::string scripted = m_createScripts.front();
    m_createScripts.pop_front();
    return FakeReply::Json(scripted);
  }
  if (unknown) return NoSession();
  const std::string number = std::to_string(m_nextGroup++);
  const std::string groupaccount = number + "@" + m_groupDomain;
  // With callers told apart, a group is made for the caller, whoever the body names.
  m_pendingOwners[groupaccount] = m_callerOf ? caller : Text(body, "account");
  Json::Value reply;
  reply["code"] = 1;
  reply["msg"] = "OK";
  reply["result"]["groupid"] = number;
  reply["result"]["groupaccount"] = groupaccount;
  reply["result"]["groupserver"] = m_groupServer ? m_groupServer() : std::string();
  return FakeReply::Json(Write(reply));
}

FakeReply FakeGroupServer::Serve(const FakeRequest& request) {
  bool unknown = false;
  const std::string caller = CallerFor(request, &unknown);
  Change change;
  ChangeHook hook;
  Json::Value answer;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Json::Value body = ParseBody(request.body);
    m_bodies.push_back(body);
    if (!m_scripts.empty()) {
      std::string scripted = m_scripts.front();
      m_scripts.pop_front();
      return FakeReply::Json(scripted);
    }
    if (unknown) return NoSession();
    if (!body.isObject()) return FakeReply::Json(Write(Error("GROUP_ERR_PARAM")));
    change.cmd = Text(body, "cmd");
    change.caller = caller;
    // The group a command acts on; "create" names it as "groupaccount", getbycode and
    // joinurl find it by its code (so all are looked at before).
    const std::string groupid = Text(body, change.cmd == "create" ? "groupaccount" : "groupid");
    const bool byCode = change.cmd == "getbycode" || change.cmd == "joinurl";
    std::map<std::string, Group> before;
    if (byCode) before = m_groups;
    if (const Group* g = Find(groupid)) change.before = *g;
    change.before.groupid = groupid;
    answer = Answer(change.cmd, body, caller);
    if (const Group* g = Find(groupid)) change.after = *g;
    if (!Find(groupid)) change.after.groupid.clear();
    // Read through a const view: the answer must not gain members by being read.
    const Json::Value& result = static_cast<const Json::Value&>(answer)["result"];
    if (byCode && result["groupid"].isString()) {
      const std::string found = result["groupid"].asString();
      auto was = before.find(found);
      if (was != before.end()) change.before = was->second;
      change.before.groupid = found;
      if (const Group* g = Find(found)) change.after = *g;
    }
    hook = m_changeHook;
  }
  if (hook && static_cast<const Json::Value&>(answer)["result"]["cmd"].asString() == "OK")
    hook(change);
  return FakeReply::Json(Write(answer));
}

Json::Value FakeGroupServer::JoinFields(const Group& g, bool screenshotKey) const {
  Json::Value r;
  r["groupid"] = g.groupid;
  r["time"] = g.time;
  r["membercount"] = static_cast<int>(g.members.size());
  r["type"] = g.type;
  r["banall"] = g.banall;
  r["banurl"] = g.banurl;
  r["banpic"] = g.banpic;
  r["banchat"] = g.banchat;
  r["banmsg"] = g.banmsg;
  r[screenshotKey ? "screenshot" : "banscreenshot"] = g.banscreenshot;
  r["groupname"] = g.groupname;
  r["grouplogo"] = g.logo;
  r["parentid"] = g.parentid;
  r["surl"] = g.surl;
  r["title"] = g.title;
  if (!g.parentid.empty()) {
    auto parent = m_groups.find(g.parentid);
    if (parent != m_groups.end()) {
      r["parentname"] = parent->second.groupname;
      r["parentlogo"] = parent->second.logo;
    }
  }
  return r;
}

Json::Value FakeGroupServer::Answer(const std::string& cmd, const Json::Value& body,
                                    const std::string& caller) {
  const std::string groupid = Text(body, "groupid");
  Group* g = Find(groupid);
  Json::Value r;
  r["transid"] = Text(body, "transid");

  if (cmd == "create") {
    const std::string id = Text(body, "groupaccount");
    auto owner = m_pendingOwners.find(id);
    if (id.empty() || owner == m_pendingOwners.end()) return Error("GROUP_ERR_PARAM");
    Group created;
    created.groupid = id;
    created.groupname = Text(body, "groupname");
    created.parentid = Text(body, "parentid");
    created.type = Number(body, "type");
    created.logo = Text(body, "logo");
    m_groups[id] = created;
    Group& n = m_groups[id];
    Join(n, owner->second, Text(body, "nick"), 1);
    for (const Json::Value& u : body["users"]) Join(n, Text(u, "account"), Text(u, "name"), 3);
    r["groupid"] = id;
    r["groupname"] = n.groupname;
    r["parentid"] = n.parentid;
    r["path"] = n.parentid.empty() ? "/" + id : "/" + n.parentid + "/" + id;
    r["time"] = n.time;
    r["info"] = n.info;
    r["logo"] = n.logo;
    return Ok(r);
  }
  if (cmd == "getupdate") {
    r["group"] = Json::Value(Json::arrayValue);
    // The groups of the user named, or (a login's synchronisation names none) the
    // caller's, with what a member knows of each.
    const std::string user = body.isMember("userid") ? Text(body, "userid") : caller;
    for (auto& entry : m_groups) {
      const Group& group = entry.second;
      const Member* m = FindMember(entry.second, user);
      if (!m) continue;
      Json::Value e = JoinFields(group, false);
      e["logo"] = group.logo;
      e["info"] = group.info;
      e["role"] = m->role;
      e["nick"] = m->nick;
      e["entrytime"] = group.time;
      e["groupversion"] = group.version;
      e["userversion"] = group.userversion;
      e["path"] =
          group.parentid.empty() ? "/" + entry.first : "/" + group.parentid + "/" + entry.first;
      r["group"].append(e);
    }
    return Ok(r);
  }
  if (cmd == "getversion") {
    r["group"] = Json::Value(Json::arrayValue);
    for (auto& entry : m_groups) {
      Json::Value e;
      const Member* m = FindMember(entry.second, caller);
      e["groupid"] = entry.first;
      e["membercount"] = static_cast<int>(entry.second.members.size());
      e["role"] = m ? m->role : 0;
      e["nick"] = m ? m->nick : "";
      r["group"].append(e);
    }
    return Ok(r);
  }
  if (cmd == "getbycode" || cmd == "joinurl") return ByCode(body, caller);
  // A new name of the caller: nothing kept here, where members have their own nicks.
  if (cmd == "setname") return Ok(r);
  if (!g) return Error("GROUP_ERR_RESOURCE");
  if (m_roleRules) {
    Json::Value refusal = RoleRefusal(cmd, body, caller, *g);
    if (!refusal.isNull()) return refusal;
  }

  if (cmd == "set") {
    if (body.isMember("groupname")) g->groupname = Text(body, "groupname");
    if (body.isMember("info")) g->info = Text(body, "info");
    if (body.isMember("logo")) g->logo = Text(body, "logo");
    if (body.isMember("type")) g->type = Number(body, "type");
    ++g->version;
    r["groupid"] = groupid;
    r["groupname"] = g->groupname;
    r["logo"] = g->logo;
    r["type"] = std::to_string(g->type);
    return Ok(r);
  }
  // The users of the request that may still be added: those not in the group.
  if (cmd == "checkuser") {
    std::vector<std::string> addable;
    for (const std::string& id : Ids(body, "user"))
      if (!FindMember(*g, id)) addable.push_back(id);
    r["user"] = IdArray(addable);
    return Ok(r);
  }
  if (cmd == "setcode") {
    const std::string code = Text(body, "code");
    for (const auto& entry : m_groups) {
      const Group& other = entry.second;
      const bool live = other.codeExpire == 0 || other.codeExpire > NowSeconds();
      if (entry.first != groupid && !code.empty() && other.code == code && live)
        return Error("GROUP_ERR_CODEUSED");
    }
    g->code = code;
    g->codeExpire = code.empty() ? 0 : NowSeconds() + kCodeLifetimeSeconds;
    r["groupid"] = groupid;
    r["code"] = code;
    if (!code.empty()) r["countdown"] = static_cast<Json::Int64>(kCodeLifetimeSeconds);
    return Ok(r);
  }
  if (cmd == "join") {
    // A member's "join" only changes its nickname in the group.
    if (m_roleRules && !FindMember(*g, caller) && g->type > 0)
      return CodeError(kCodeInviteOnly, "GROUP_ERR_INVITEONLY");
    Join(*g, caller, Text(body, "nick"), 3);
    Json::Value fields = JoinFields(*g, false);
    fields["nick"] = Text(body, "nick");
    return Ok(fields);
  }
  if (cmd == "leave" || cmd == "destroy") {
    if (cmd == "destroy") {
      m_groups.erase(groupid);
    } else {
      const Member* me = FindMember(*g, caller);
      if (m_roleRules && me && me->role == 1) {
        OwnerLeaves(*g, caller);
      } else {
        Leave(*g, caller);
      }
    }
    return Ok(r);
  }
  if (cmd == "adduser" || cmd == "approve") {
    for (const Json::Value& u : body["user"]) {
      const std::string id = Text(u, "id");
      if (FindMember(*g, id)) continue;  // already in: name and role stay
      Join(*g, id, Text(u, "name"), 3);
      g->refused.erase(std::remove(g->refused.begin(), g->refused.end(), id), g->refused.end());
    }
    r["user"] = body["user"];
    return Ok(r);
  }
  if (cmd == "remove") {
    const std::vector<std::string> ids = Ids(body, "user");
    for (const std::string& id : ids) {
      if (!FindMember(*g, id)) continue;
      Leave(*g, id);
      const bool known = std::find(g->refused.begin(), g->refused.end(), id) != g->refused.end();
      if (m_roleRules && id != caller && !known) g->refused.push_back(id);
    }
    r["membercount"] = static_cast<int>(g->members.size());
    r["user"] = IdArray(ids);
    return Ok(r);
  }
  if (cmd == "banuser") return Ban(*g, body);
  if (cmd == "grantuser") {
    const char* keys[] = {"owner", "admin", "member"};
    for (int role = 1; role <= 3; ++role) {
      const std::vector<std::string> ids = Ids(body, keys[role - 1]);
      if (role == 1 && !ids.empty())
        if (Member* me = FindMember(*g, caller)) me->role = 3;
      for (const std::string& id : ids)
        if (Member* m = FindMember(*g, id)) m->role = role;
      if (!ids.empty()) r[keys[role - 1]] = IdArray(ids);
    }
    ++g->userversion;
    return Ok(r);
  }
  if (cmd == "getinfo") {
    r["version"] = g->version;
    r["userversion"] = g->userversion;
    r["groupname"] = g->groupname;
    const Member* me = FindMember(*g, caller);
    r["role"] = me ? me->role : 0;
    if (me) {
      r["nick"] = me->nick;
      r["entrytime"] = g->time;
    }
    r["banall"] = g->banall;
    r["banpic"] = g->banpic;
    r["banurl"] = g->banurl;
    r["banchat"] = g->banchat;
    r["banmsg"] = g->banmsg;
    r["banscreenshot"] = g->banscreenshot;
    r["code"] = g->code;
    if (!g->code.empty()) {
      // A code without an end counts as renewed every day.
      const int64_t now = NowSeconds();
      const int64_t end = g->codeExpire != 0 ? g->codeExpire : now + kCodeLifetimeSeconds;
      r["countdown"] = static_cast<Json::Int64>(std::max<int64_t>(0, end - now));
      const std::time_t at = static_cast<std::time_t>(end);
      std::tm tm{};
      localtime_r(&at, &tm);
      char text[32];
      std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &tm);
      r["expire"] = text;
    }
    r["banuser"] = me && me->banned ? 1 : 0;
    r["logo"] = g->logo;
    r["info"] = g->info;
    r["type"] = g->type;
    r["membercount"] = static_cast<int>(g->members.size());
    r["maxmember"] = 500;
    r["surl"] = g->surl;
    r["title"] = g->title;
    r["parentid"] = g->parentid;
    r["path"] = "/" + groupid;
    r["owner"] = Json::Value(Json::arrayValue);
    r["admin"] = Json::Value(Json::arrayValue);
    r["member"] = Json::Value(Json::arrayValue);
    for (const Member& m : g->members) {
      Json::Value e;
      if (m.role == 3) {
        e["account"] = m.account;
        e["name"] = m.nick;
        if (r["member"].size() < static_cast<unsigned>(m_pageSize)) r["member"].append(e);
      } else {
        e["id"] = m.account;
        e["nick"] = m.nick;
        r[m.role == 1 ? "owner" : "admin"].append(e);
      }
    }
    return Ok(r);
  }
  if (cmd == "getuser") {
    const int fromid = Number(body, "fromid");
    r["version"] = g->userversion;
    r["member"] = Json::Value(Json::arrayValue);
    r["endid"] = 0;
    for (const Member& m : g->members) {
      if (m.id < fromid) continue;
      if (r["member"].size() >= static_cast<unsigned>(m_pageSize)) {
        r["endid"] = m.id;
        break;
      }
      Json::Value e;
      e["id"] = m.account;
      e["nick"] = m.nick;
      r["member"].append(e);
    }
    return Ok(r);
  }
  if (cmd == "search") {
    r["endid"] = 0;
    r["user"] = Json::Value(Json::objectValue);
    const std::string nick = Text(body, "nick");
    for (const Member& m : g->members)
      if (m.nick.find(nick) != std::string::npos) r["user"][m.account] = m.nick;
    return Ok(r);
  }
  if (cmd == "msgack") {
    if (Member* me = FindMember(*g, caller))
      me->msgid = body["msgids"][groupid].isIntegral() ? body["msgids"][groupid].asInt64() : 0;
    return Ok(r);
  }
  if (cmd == "msgstatus") {
    const int64_t msgid = body["msgid"].isIntegral() ? body["msgid"].asInt64() : 0;
    r["msgids"] = Json::Value(Json::objectValue);
    int read = 0;
    for (const Member& m : g->members) {
      if (m.msgid <= 0 || m.msgid < msgid) continue;
      r["msgids"][m.account] = static_cast<Json::Int64>(m.msgid);
      ++read;
    }
    r["read"] = read;
    r["unread"] = static_cast<int>(g->members.size()) - read - 1;
    return Ok(r);
  }
  if (cmd == "getchild") {
    r["endid"] = 0;
    r["child"] = Json::Value(Json::arrayValue);
    for (auto& entry : m_groups) {
      if (entry.second.parentid != groupid) continue;
      Json::Value e;
      e["groupid"] = entry.first;
      e["groupname"] = entry.second.groupname;
      e["info"] = entry.second.info;
      e["grouplogo"] = entry.second.logo;
      e["membercount"] = static_cast<int>(entry.second.members.size());
      e["title"] = entry.second.title;
      for (const Member& m : entry.second.members)
        if (m.role == 1) {
          e["owner"] = m.account;
          e["nick"] = m.nick;
        }
      r["child"].append(e);
    }
    return Ok(r);
  }
  if (cmd == "getuserinfo") {
    const Member* m = FindMember(*g, Text(body, "userid"));
    if (!m) return Error("GROUP_ERR_USER");
    r["userid"] = m->account;
    r["role"] = m->role;
    r["nick"] = m->nick;
    r["time"] = g->time;
    r["version"] = g->userversion;
    return Ok(r);
  }
  if (cmd == "release") {
    for (auto& entry : m_groups)
      if (entry.second.parentid == groupid) entry.second.parentid.clear();
    return Ok(r);
  }
  if (cmd == "msgsub") return Ok(r);
  return Error("GROUP_ERR_CMD");
}

Json::Value FakeGroupServer::ByCode(const Json::Value& body, const std::string& caller) {
  const std::string code = Text(body, "code");
  Group* found = nullptr;
  for (auto& entry : m_groups) {
    if (code.empty() || entry.second.code != code) continue;
    // A live code wins over an expired one that happens to be the same.
    const bool live = entry.second.codeExpire == 0 || entry.second.codeExpire > NowSeconds();
    if (!found || live) found = &entry.second;
    if (live) break;
  }
  if (!found) return CodeError(kCodeWrong, "GROUP_ERR_CODE");
  Group& g = *found;
  if (g.codeExpire != 0 && g.codeExpire <= NowSeconds())
    return CodeError(kCodeExpired, "GROUP_ERR_EXPIRED");
  // A member asking again is answered as joined, and keeps its role.
  if (!FindMember(g, caller)) {
    if (g.type > 0) return CodeError(kCodeInviteOnly, "GROUP_ERR_INVITEONLY");
    if (std::find(g.refused.begin(), g.refused.end(), caller) != g.refused.end())
      return CodeError(kCodeRefused, "GROUP_ERR_DENY");
    Join(g, caller, Text(body, "nick"), 3);
  }
  return Ok(JoinFields(g, true));
}

Json::Value FakeGroupServer::Ban(Group& g, const Json::Value& body) {
  const std::pair<const char*, int Group::*> flags[] = {
      {"all", &Group::banall},   {"url", &Group::banurl}, {"pic", &Group::banpic},
      {"chat", &Group::banchat}, {"msg", &Group::banmsg}, {"screenshot", &Group::banscreenshot}};
  for (const auto& flag : flags) {
    if (body.isMember(flag.first)) g.*flag.second = Number(body, flag.first) != 0 ? 1 : 0;
  }
  for (const std::string& id : Ids(body, "ban"))
    if (Member* m = FindMember(g, id)) m->banned = true;
  for (const std::string& id : Ids(body, "allow"))
    if (Member* m = FindMember(g, id)) m->banned = false;
  ++g.version;
  Json::Value r;
  r["transid"] = Text(body, "transid");
  r["groupid"] = g.groupid;
  r["banall"] = g.banall;
  r["banurl"] = g.banurl;
  r["banpic"] = g.banpic;
  r["banchat"] = g.banchat;
  r["banmsg"] = g.banmsg;
  r["banscreenshot"] = g.banscreenshot;
  return Ok(r);
}

void FakeGroupServer::OwnerLeaves(Group& g, const std::string& caller) {
  Leave(g, caller);
  Member* heir = nullptr;
  for (Member& m : g.members) {
    if (m.role == 2) {
      heir = &m;
      break;
    }
  }
  if (!heir && !g.members.empty()) heir = &g.members.front();
  if (heir) {
    heir->role = 1;
  } else {
    m_groups.erase(g.groupid);
  }
}

Json::Value FakeGroupServer::RoleRefusal(const std::string& cmd, const Json::Value& body,
                                         const std::string& caller, Group& g) {
  const Member* me = FindMember(g, caller);
  const int role = me ? me->role : 0;
  const bool member = role >= 1;
  const bool manager = role == 1 || role == 2;
  auto roleOf = [&g, this](const std::string& account) {
    const Member* m = FindMember(g, account);
    return m ? m->role : 0;
  };
  if (cmd == "set" || cmd == "banuser" || cmd == "setcode")
    return manager ? Json::Value() : Permission();
  if (cmd == "adduser" || cmd == "approve")
    return manager || (member && g.type == 0) ? Json::Value() : Permission();
  if (cmd == "destroy" || cmd == "release") return role == 1 ? Json::Value() : Permission();
  if (cmd == "leave") return member ? Json::Value() : Error("GROUP_ERR_USER");
  if (cmd == "remove") {
    if (!manager) return Permission();
    // Nobody removes the owner; only the owner removes managers.
    for (const std::string& id : Ids(body, "user")) {
      const int theirs = roleOf(id);
      if (theirs == 1 || (theirs == 2 && role != 1)) return Permission();
    }
    return Json::Value();
  }
  if (cmd == "grantuser") {
    if (role != 1) return Permission();
    const std::vector<std::string> owners = Ids(body, "owner");
    if (owners.size() > 1) return Error("GROUP_ERR_PARAM");
    for (const char* key : {"owner", "admin", "member"}) {
      for (const std::string& id : Ids(body, key)) {
        // Roles go to members other than the owner, whose own role changes only by
        // handing the group over.
        if (roleOf(id) == 0) return Error("GROUP_ERR_USER");
        if (id == caller) return Permission();
      }
    }
    return Json::Value();
  }
  return Json::Value();
}
