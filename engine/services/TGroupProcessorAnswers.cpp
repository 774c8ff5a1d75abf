// What the group command processor does with the group server's "OK" answers: the
// store is brought in line with them and some answers are rewritten for the program.
#include <algorithm>
#include <string>
#include <vector>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "services/TGroupProcessor.h"
#include "services/TGroupProtocol.h"
#include "services/TGroupReplyWriter.h"
#include "services/TGroupStore.h"
#include "services/TMemberPass.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "util/TJsonHelper.h"

namespace {

std::string Str(const Json::Value& v, const char* key) { return TJsonHelper::GetString(v, key); }
int Int(const Json::Value& v, const char* key) { return TJsonHelper::GetInt(v, key); }
bool Present(const Json::Value& v, const char* key) {
  return TJsonHelper::HasMember(v, key) && !v[key].isNull();
}
// A flag of the answer, or "not given" when the answer leaves it out.
int IntOrNone(const Json::Value& v, const char* key) { return Present(v, key) ? Int(v, key) : -1; }

// One transaction on the current database, which cannot be switched meanwhile.
void RunBatch(const std::vector<std::string>& statements) {
  TAutoLock lock(DatabaseMutex());
  if (TDBManager* db = ServiceDatabase()) db->ExecBatch(statements);
}

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ",") + item;
  return out;
}

TGroupMemberRecord Member(const std::string& groupid, const std::string& account, int role) {
  TGroupMemberRecord m;
  m.groupid = groupid;
  m.account = account;
  m.role = role;
  return m;
}

// The user's details in a list entry of a rewritten answer.
void AddDetails(TGroupReplyWriter::Object* o, const TGroupProcessor::DetailMap& details,
                const std::string& account) {
  auto it = details.find(account);
  if (it == details.end()) return;
  o->Text("name", Str(it->second, "name"))
      .Text("logo", Str(it->second, "logo"))
      .Text("biglogo", Str(it->second, "biglogo"))
      .Int("version", Int(it->second, "userversion"))
      .Int("champflag", Int(it->second, "champflag"));
}

}  // namespace

void TGroupProcessor::ReadBanFlags(const Json::Value& f, const char* screenshotKey,
                                   TGroupRecord* g) {
  g->banall = IntOrNone(f, "banall");
  g->banurl = IntOrNone(f, "banurl");
  g->banchat = IntOrNone(f, "banchat");
  g->banmsg = IntOrNone(f, "banmsg");
  g->banpic = IntOrNone(f, "banpic");
  g->banscreenshot = IntOrNone(f, screenshotKey);
}

void TGroupProcessor::Apply(Command& c) {
  const std::string& cmd = c.cmd;
  if (cmd == "join") {
    ApplyJoin(c, c.result, c.args.Find("groupid"), "banscreenshot", false);
  } else if (cmd == "leave") {
    ApplyLeave(c);
  } else if (cmd == "getbycode" || cmd == "joinurl") {
    ApplyJoin(c, c.result, Str(c.result, "groupid"), "screenshot", true);
  } else if (cmd == "multijoin") {
    ApplyMultiJoin(c);
  } else if (cmd == "search") {
    ApplySearch(c);
  } else if (cmd == "getinfo") {
    ApplyGetInfo(c);
  } else if (cmd == "getversion") {
    ApplyGetVersion(c);
  } else if (cmd == "msgstatus") {
    ApplyMessageStatus(c);
  } else if (cmd == "getchild") {
    ApplyGetChild(c);
  } else if (cmd == "getuserinfo") {
    ApplyGetUserInfo(c);
  } else if (cmd == "remove") {
    ApplyRemove(c);
  } else if (cmd == "grantuser") {
    ApplyGrantUser(c);
  } else if (cmd == "set") {
    ApplySet(c);
  } else if (cmd == "create") {
    ApplyCreate(c);
  }
}

void TGroupProcessor::ApplyJoin(Command& c, const Json::Value& f, const std::string& groupid,
                                const std::string& screenshotKey, bool withLinks) {
  // Read before the group row is marked active again.
  const int role = TGroupStore::JoinRole(groupid, c.own);
  TGroupRecord g;
  g.groupid = groupid;
  g.entrytime = Str(f, "time");
  g.usercount = Int(f, "membercount");
  g.groupstate = 0;
  g.type = IntOrNone(f, "type");
  ReadBanFlags(f, screenshotKey.c_str(), &g);
  g.groupname = Str(f, "groupname");
  g.grouplogo = Present(f, "grouplogo") ? Str(f, "grouplogo") : Str(f, "logo");
  g.parentid = Str(f, "parentid");
  g.hasParentid = g.parentid.empty() ? 0 : 1;
  if (withLinks) {
    g.surl = Str(f, "surl");
    g.title = IntOrNone(f, "title");
  }
  TGroupStore::UpsertGroup(g);
  if (!g.parentid.empty()) {
    TGroupRecord parent;
    parent.groupid = g.parentid;
    parent.groupname = Str(f, "parentname");
    parent.grouplogo = Str(f, "parentlogo");
    TGroupStore::UpsertGroup(parent);
  }
  TGroupMemberRecord m = Member(groupid, c.own, role);
  m.entrytime = g.entrytime;
  m.nick = c.args.Find("nick");
  TGroupStore::UpsertMember(m);
}

void TGroupProcessor::ApplyMultiJoin(Command& c) {
  const Json::Value groups = TJsonHelper::GetValue(c.result, "group");
  if (!groups.isArray()) return;
  for (const Json::Value& entry : groups)
    ApplyJoin(c, entry, Str(entry, "groupid"), "banscreenshot", true);
}

void TGroupProcessor::ApplyLeave(Command& c) {
  TGroupRecord g;
  g.groupid = c.args.Find("groupid");
  g.groupstate = 1;
  TGroupStore::UpsertGroup(g);
  TGroupStore::UpsertMember(Member(g.groupid, c.own, kRoleRemove));
}

void TGroupProcessor::ApplySearch(Command& c) {
  // "user" maps accounts to nicks; a list of {"account", "nick"} is read alike.
  std::map<std::string, std::string> nicks;
  std::vector<std::string> accounts;
  const Json::Value users = TJsonHelper::GetValue(c.result, "user");
  if (users.isObject()) {
    for (const std::string& account : users.getMemberNames()) {
      nicks[account] = TJsonHelper::ValueToString(users[account]);
      accounts.push_back(account);
    }
  } else if (users.isArray()) {
    for (const Json::Value& u : users) {
      nicks[Str(u, "account")] = Str(u, "nick");
      accounts.push_back(Str(u, "account"));
    }
  }
  std::vector<std::string> order;
  const DetailMap details = Details(*c.packet, Joined(accounts), &order);
  std::vector<std::string> list;
  for (const std::string& account : order) {
    const Json::Value& d = details.at(account);
    list.push_back(TGroupReplyWriter::Object()
                       .Text("account", account)
                       .Text("nick", nicks[account])
                       .Text("name", Str(d, "name"))
                       .Text("logo", Str(d, "logo"))
                       .Int("champflag", Int(d, "champflag"))
                       .Close());
  }
  TGroupReplyWriter answer("OK");
  answer.Text("transid", Str(c.result, "transid"));
  answer.Int("endid", Int(c.result, "endid"));
  answer.List("user", list);
  c.packet->s4 = answer.Finish();
}

void TGroupProcessor::ApplyGetInfo(Command& c) {
  const Json::Value& r = c.result;
  const std::string groupid = c.args.Find("groupid");
  TGroupRecord g;
  g.groupid = groupid;
  g.version = Int(r, "version");
  g.groupname = Str(r, "groupname");
  g.grouplogo = Str(r, "logo");
  g.groupinfo = Str(r, "info");
  g.hasGroupinfo = Present(r, "info") ? 1 : 0;
  g.usercount = Int(r, "membercount");
  g.parentid = Str(r, "parentid");
  g.hasParentid = Present(r, "parentid") ? 1 : 0;
  g.path = Str(r, "path");
  g.type = IntOrNone(r, "type");
  ReadBanFlags(r, "banscreenshot", &g);
  g.surl = Str(r, "surl");
  g.title = IntOrNone(r, "title");
  TGroupStore::UpsertGroup(g);

  const IdList owners = ReadIdList(c.reply, "owner");
  const IdList admins = ReadIdList(c.reply, "admin");
  const IdList members = ReadMemberList(c.reply, "member");
  std::vector<std::string> accounts;
  for (const IdList* list : {&owners, &admins, &members})
    for (const auto& person : *list) accounts.push_back(person.first);
  const DetailMap details = Details(*c.packet, Joined(accounts));

  std::vector<std::string> batch;
  auto store = [&](const IdList& list, int role) {
    std::vector<std::string> objects;
    for (const auto& person : list) {
      TGroupMemberRecord m = Member(groupid, person.first, role);
      m.nick = person.second;
      auto it = details.find(person.first);
      if (it != details.end()) {
        m.userversion = Int(it->second, "userversion");
        m.champflag = Int(it->second, "champflag");
      }
      const std::string sql = TGroupStore::BuildMemberUpsertSql(m);
      if (!sql.empty()) batch.push_back(sql);
      TGroupReplyWriter::Object o;
      o.Text("account", person.first).Text("nick", person.second);
      AddDetails(&o, details, person.first);
      objects.push_back(o.Close());
    }
    return objects;
  };
  const std::vector<std::string> ownerList = store(owners, kRoleOwner);
  const std::vector<std::string> adminList = store(admins, kRoleManager);
  const std::vector<std::string> memberList = store(members, kRoleMember);
  if (!batch.empty()) RunBatch(batch);

  TGroupReplyWriter a("OK");
  a.Text("transid", Str(r, "transid"));
  a.Int("version", Int(r, "version"));
  a.Int("userversion", Int(r, "userversion"));
  a.Text("groupname", Str(r, "groupname"));
  a.Text("groupid", groupid);
  const int role = Int(r, "role");
  a.Int("role", role);
  for (const char* key : {"banall", "banpic", "banurl", "banchat", "banmsg", "banscreenshot"})
    a.Int(key, Int(r, key));
  if (role > 0) {
    a.Text("nick", Str(r, "nick"));
    a.Text("entrytime", Str(r, "entrytime"));
  }
  const std::string code = Str(r, "code");
  a.Text("code", code);
  if (!code.empty()) {
    a.Int("countdown", Int(r, "countdown"));
    a.Text("expire", Str(r, "expire"));
  }
  a.Text("logo", Str(r, "logo"));
  a.Text("info", Str(r, "info"));
  a.Int("type", Int(r, "type"));
  a.Text("coinname", Str(r, "coinname"));
  a.Text("coincost", Str(r, "coincost"));
  a.Int("membercount", Int(r, "membercount"));
  a.Int("maxmember", Int(r, "maxmember"));
  a.Text("surl", Str(r, "surl"));
  a.Int("title", Int(r, "title"));
  a.Text("parentid", g.parentid);
  if (!g.parentid.empty()) {
    a.Text("parentname", Str(r, "parentname"));
    a.Text("parentlogo", Str(r, "parentlogo"));
  }
  a.Text("path", Str(r, "path"));
  a.Text("child", Str(r, "child"));
  a.List("owner", ownerList);
  a.List("admin", adminList);
  a.List("member", memberList);
  c.packet->s4 = a.Finish();
}

void TGroupProcessor::ApplyGetVersion(Command& c) {
  const Json::Value groups = TJsonHelper::GetValue(c.result, "group");
  if (!groups.isArray()) return;
  for (const Json::Value& entry : groups) {
    const int role = Int(entry, "role");
    TGroupRecord g;
    g.groupid = Str(entry, "groupid");
    g.usercount = Int(entry, "membercount");
    g.groupstate = role <= 0 ? 1 : 0;
    TGroupStore::UpsertGroup(g);
    TGroupMemberRecord m = Member(g.groupid, c.own, role <= 0 ? kRoleRemove : role);
    m.nick = Str(entry, "nick");
    TGroupStore::UpsertMember(m);
  }
}

int TGroupProcessor::ApplyGetUser(Command& c) {
  const std::string groupid = c.args.Find("groupid");
  const int version = Int(c.result, "version");
  const int endid = Int(c.result, "endid");
  const IdList page = ReadIdList(c.reply, "member");
  TMemberMap stored;
  if (TGroupStore::LoadMemberMap(groupid, &stored) != 0) return kGroupMemberListFailed;

  std::vector<std::string> batch;
  std::vector<std::string> accounts;
  long long storedHigh = 0;
  for (const auto& s : stored) storedHigh = std::max(storedHigh, s.second.rowid);
  for (const auto& entry : page) {
    TGroupMemberRecord m = Member(groupid, entry.first, kRoleMember);
    m.nick = entry.second;
    m.userversion = version;
    auto known = stored.find(entry.first);
    std::string sql;
    if (known != stored.end()) {
      // The pages list the owner and managers too: a stored role stays as the group
      // information and the role notices wrote it.
      m.role = -1;
      if (known->second.nick != m.nick || known->second.userversion != version)
        sql = TGroupStore::BuildMemberUpdateSql(m);
    } else {
      sql = TGroupStore::BuildMemberInsertSql(&m);
    }
    if (!sql.empty()) batch.push_back(sql);
    accounts.push_back(entry.first);
  }

  const DetailMap details = Details(*c.packet, Joined(accounts));
  std::vector<std::string> list;
  for (const auto& entry : page) {
    TGroupReplyWriter::Object o;
    o.Text("account", entry.first);
    auto it = details.find(entry.first);
    const Json::Value none;
    const Json::Value& d = it != details.end() ? it->second : none;
    o.Text("name", Str(d, "name")).Text("nick", entry.second);
    o.Text("logo", Str(d, "logo")).Text("biglogo", Str(d, "biglogo"));
    o.Int("champflag", Int(d, "champflag"));
    list.push_back(o.Close());
    if (it != details.end()) {
      TGroupMemberRecord flag = Member(groupid, entry.first, -1);
      flag.champflag = Int(d, "champflag");
      const std::string sql = TGroupStore::BuildMemberUpdateSql(flag);
      if (!sql.empty()) batch.push_back(sql);
    }
  }

  // Every page of a pass refreshes its members to the list's version. Stale members
  // go only at the end of a pass that saw every page from the first: one page alone
  // cannot tell a member of a later page from one who left. They go after the
  // page's own rows are refreshed, in the same transaction; members stored since
  // the pass began (a join meanwhile) stay.
  const bool lastPage = endid == 0;
  const long long pruneUpTo =
      TMemberPass::OnPage(groupid, c.args.GetInt("fromid"), endid, version, storedHigh);
  if (pruneUpTo > 0) {
    TMemberWindow window;
    window.groupid = groupid;
    window.userversion = version;
    window.lowRowid = 0;
    window.highRowid = pruneUpTo + 1;
    batch.push_back(TGroupStore::BuildPruneSql(window));
  }
  RunBatch(batch);
  if (lastPage) {
    TGroupRecord g;
    g.groupid = groupid;
    g.userversion = version;
    TGroupStore::UpsertGroup(g);
  }

  TGroupReplyWriter answer("OK");
  answer.Text("transid", Str(c.result, "transid"));
  answer.Int("version", version);
  answer.Int("endid", endid);
  answer.List("member", list);
  c.packet->s4 = answer.Finish();
  return 0;
}

void TGroupProcessor::ApplyMessageStatus(Command& c) {
  const Json::Value msgids = TJsonHelper::GetValue(c.result, "msgids");
  if (!msgids.isObject()) return;
  const std::string groupid = c.args.Find("groupid");
  std::vector<std::string> readers;
  for (const std::string& account : msgids.getMemberNames()) {
    TGroupMemberRecord m = Member(groupid, account, -1);
    m.msgid = TJsonHelper::ValueToInt64(msgids[account]);
    TGroupStore::UpsertMember(m);
    readers.push_back(account);
  }
  TGroupReplyWriter answer("OK");
  answer.Text("transid", Str(c.result, "transid"));
  answer.Int("read", Int(c.result, "read"));
  answer.Int("unread", Int(c.result, "unread"));
  answer.Text("user", Joined(readers));
  c.packet->s4 = answer.Finish();
}

void TGroupProcessor::ApplyGetChild(Command& c) {
  const Json::Value children = TJsonHelper::GetValue(c.result, "child");
  std::vector<std::string> owners;
  if (children.isArray())
    for (const Json::Value& child : children) owners.push_back(Str(child, "owner"));
  const DetailMap details = Details(*c.packet, Joined(owners));
  std::vector<std::string> list;
  if (children.isArray()) {
    for (const Json::Value& child : children) {
      TGroupReplyWriter::Object o;
      o.Text("groupid", Str(child, "groupid"))
          .Text("groupname", Str(child, "groupname"))
          .Text("info", Str(child, "info"))
          .Text("grouplogo", Str(child, "grouplogo"))
          .Int("membercount", Int(child, "membercount"))
          .Int("title", Int(child, "title"))
          .Text("owner", Str(child, "owner"))
          .Text("nick", Str(child, "nick"));
      AddDetails(&o, details, Str(child, "owner"));
      list.push_back(o.Close());
    }
  }
  TGroupReplyWriter answer("OK");
  answer.Text("transid", Str(c.result, "transid"));
  answer.Int("endid", Int(c.result, "endid"));
  answer.List("child", list);
  c.packet->s4 = answer.Finish();
}

void TGroupProcessor::ApplyGetUserInfo(Command& c) {
  const Json::Value& r = c.result;
  const std::string groupid = c.args.Find("groupid");
  const std::string account = Str(r, "userid");
  const DetailMap details = Details(*c.packet, account);
  auto it = details.find(account);
  const Json::Value none;
  const Json::Value& d = it != details.end() ? it->second : none;

  TGroupMemberRecord m = Member(groupid, account, IntOrNone(r, "role"));
  m.nick = Str(r, "nick");
  m.entrytime = Str(r, "time");
  m.userversion = Int(r, "version");
  if (it != details.end()) m.champflag = Int(d, "champflag");
  TGroupStore::UpsertMember(m);

  TGroupReplyWriter answer("OK");
  answer.Text("groupid", groupid);
  answer.Text("account", account);
  answer.Text("nick", m.nick);
  answer.Int("role", Int(r, "role"));
  answer.Text("time", m.entrytime);
  answer.Int("version", m.userversion);
  answer.Text("name", Str(d, "name"));
  answer.Text("logo", Str(d, "logo"));
  answer.Text("biglogo", Str(d, "biglogo"));
  answer.Int("userversion", Int(d, "userversion"));
  answer.Int("champflag", Int(d, "champflag"));
  c.packet->s4 = answer.Finish();
}

void TGroupProcessor::ApplyRemove(Command& c) {
  TGroupRecord g;
  g.groupid = c.args.Find("groupid");
  g.usercount = Int(c.result, "membercount");
  TGroupStore::UpsertGroup(g);
  for (const auto& user : ReadIdList(c.reply, "user"))
    TGroupStore::UpsertMember(Member(g.groupid, user.first, kRoleRemove));
}

void TGroupProcessor::ApplyGrantUser(Command& c) {
  const std::string groupid = c.args.Find("groupid");
  for (const auto& owner : ReadIdList(c.reply, "owner")) {
    TGroupRecord g;
    g.groupid = groupid;
    g.craccount = owner.first;
    TGroupStore::UpsertGroup(g);
    TGroupStore::UpsertMember(Member(groupid, owner.first, kRoleOwner));
    // Handing the group over leaves the former owner a plain member.
    if (owner.first != c.own) TGroupStore::UpsertMember(Member(groupid, c.own, kRoleMember));
  }
  for (const auto& admin : ReadIdList(c.reply, "admin"))
    TGroupStore::UpsertMember(Member(groupid, admin.first, kRoleManager));
  for (const auto& member : ReadIdList(c.reply, "member"))
    TGroupStore::UpsertMember(Member(groupid, member.first, kRoleMember));
}

void TGroupProcessor::ApplySet(Command& c) {
  TGroupRecord g;
  g.groupid = c.args.Find("groupid");
  if (c.args.FindKey("info")) {
    g.groupinfo = c.args.Find("info");
    g.hasGroupinfo = 1;
  }
  g.grouplogo = c.logo;
  g.groupname = c.args.Find("groupname");
  TGroupStore::UpsertGroup(g);
}

void TGroupProcessor::ApplyCreate(Command& c) {
  const Json::Value& r = c.result;
  TGroupRecord g;
  g.groupid = c.groupaccount;
  g.craccount = c.own;
  g.entrytime = Str(r, "time");
  g.groupinfo = Str(r, "info");
  g.hasGroupinfo = 1;
  g.grouplogo = Str(r, "logo");
  g.groupname = Str(r, "groupname");
  g.parentid = Str(r, "parentid");
  g.hasParentid = 1;
  g.path = Str(r, "path");
  g.usercount = 1;
  // The program lists active groups only: the new group is active at once.
  g.groupstate = 0;
  g.type = Present(r, "type") ? Int(r, "type") : 0;
  g.banall = g.banurl = g.banpic = g.banchat = g.banmsg = g.banscreenshot = g.banuser = 0;
  g.title = 0;
  TGroupStore::UpsertGroup(g);
  TGroupMemberRecord m = Member(c.groupaccount, c.own, kRoleOwner);
  m.entrytime = g.entrytime;
  m.nick = c.args.Find("nick");
  TGroupStore::UpsertMember(m);
}
