#include "services/TGroupStore.h"

#include <string>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "net/THttpRequestService.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"

namespace {

constexpr int kRoleRemove = 0;
constexpr int kRoleMember = 3;

std::string Num(long long value) { return std::to_string(value); }

// Not-given flags of a new group are stored as 0: the program reads them as plain
// on/off values and lists a group by its state.
int OrZero(int value) { return value < 0 ? 0 : value; }

std::string MemberKey(const TGroupMemberRecord& m) {
  return " where groupid=" + SqlQuoted(m.groupid) + " and account=" + SqlQuoted(m.account);
}

// Existence of the member row: 1 found, 0 absent, -1 query failed. The caller holds
// the database lock.
int MemberExists(TDBManager* db, const TGroupMemberRecord& m) {
  TRecordSet rows;
  if (!db->Exec("select 1 from nq_groupuser" + MemberKey(m), &rows)) return -1;
  return rows.GetRecordCount() > 0 ? 1 : 0;
}

int MemberRowid(TDBManager* db, const TGroupMemberRecord& m) {
  TRecordSet rows;
  if (!db->Exec("select rowid from nq_groupuser" + MemberKey(m), &rows)) return -1;
  return rows.GetRecordCount() > 0 ? rows.GetInt(0, 0) : 0;
}

std::string GroupAssignments(const TGroupRecord& g) {
  std::string list;
  auto text = [&list](const char* name, const std::string& value, bool given) {
    if (given) TGroupStore::AppendAssignment(&list, name, value);
  };
  auto number = [&list](const char* name, long long value, bool given) {
    if (given) TGroupStore::AppendAssignment(&list, name, Num(value));
  };
  text("groupname", g.groupname, !g.groupname.empty());
  text("grouplogo", g.grouplogo, !g.grouplogo.empty());
  text("groupinfo", g.groupinfo, g.hasGroupinfo == 1);
  text("parentid", g.parentid, g.hasParentid == 1);
  text("path", g.path, !g.path.empty());
  text("craccount", g.craccount, !g.craccount.empty());
  number("usercount", g.usercount, g.usercount > 0);
  text("entrytime", g.entrytime, !g.entrytime.empty());
  number("version", g.version, g.version > 0);
  number("userversion", g.userversion, g.userversion > 0);
  number("type", g.type, g.type >= 0);
  number("groupstate", g.groupstate, g.groupstate >= 0);
  number("banall", g.banall, g.banall >= 0);
  number("banurl", g.banurl, g.banurl >= 0);
  number("banpic", g.banpic, g.banpic >= 0);
  number("banchat", g.banchat, g.banchat >= 0);
  number("banmsg", g.banmsg, g.banmsg >= 0);
  number("banscreenshot", g.banscreenshot, g.banscreenshot >= 0);
  number("banuser", g.banuser, g.banuser >= 0);
  text("surl", g.surl, !g.surl.empty());
  number("title", g.title, g.title >= 0);
  return list;
}

std::string GroupInsertSql(const TGroupRecord& g) {
  return "insert into nq_group(groupid,type,parentid,path,craccount,groupname,grouplogo,"
         "groupinfo,usercount,entrytime,version,userversion,groupstate,banall,banurl,banpic,"
         "banchat,banmsg,banscreenshot,banuser,surl,title) values(" +
         SqlQuoted(g.groupid) + "," + Num(OrZero(g.type)) + "," + SqlQuoted(g.parentid) + "," +
         SqlQuoted(g.path) + "," + SqlQuoted(g.craccount) + "," + SqlQuoted(g.groupname) + "," +
         SqlQuoted(g.grouplogo) + "," + SqlQuoted(g.groupinfo) + "," + Num(g.usercount) + "," +
         SqlQuoted(g.entrytime) + "," + Num(g.version) + "," + Num(g.userversion) + "," +
         Num(g.groupstate) + "," + Num(OrZero(g.banall)) + "," + Num(OrZero(g.banurl)) + "," +
         Num(OrZero(g.banpic)) + "," + Num(OrZero(g.banchat)) + "," + Num(OrZero(g.banmsg)) + "," +
         Num(OrZero(g.banscreenshot)) + "," + Num(OrZero(g.banuser)) + "," + SqlQuoted(g.surl) +
         "," + Num(OrZero(g.title)) + ")";
}

}  // namespace

int TGroupStore::AppendAssignment(std::string* list, const std::string& name,
                                  const std::string& value) {
  if (!list->empty()) *list += ",";
  *list += name + "=" + SqlQuoted(value);
  return 1;
}

int TGroupStore::UpsertGroup(const TGroupRecord& group) {
  if (group.groupid.empty()) return 0;
  bool inserted = false;
  {
    // The existence test and the write belong together: a notification and a
    // command may sight the same new group at once.
    TAutoLock lock(DatabaseMutex());
    TDBManager* db = ServiceDatabase();
    if (!db) return 0;
    TRecordSet rows;
    if (!db->Exec("select 1 from nq_group where groupid=" + SqlQuoted(group.groupid), &rows))
      return 0;
    if (rows.GetRecordCount() > 0) {
      const std::string list = GroupAssignments(group);
      if (!list.empty() &&
          !db->Exec("update nq_group set " + list + " where groupid=" + SqlQuoted(group.groupid)))
        return 0;
      if (group.hasParentid == 1 && group.parentid.empty() &&
          !db->Exec("update nq_group set path=(select '/'||parentid||'/'||groupid) where "
                    "parentid=" +
                    SqlQuoted(group.groupid)))
        return 0;
      return 1;
    }
    if (!db->Exec(GroupInsertSql(group))) return 0;
    inserted = true;
  }
  if (inserted) {
    TServiceContext* core = TServiceContext::Instance();
    THttpRequestService* service = core ? core->GetRequestService() : nullptr;
    if (service) service->RaiseEvent(_EVENT_COME_GROUPNOTIFY, 0, 0, "{\"notify\":\"groupchange\"}");
  }
  return 1;
}

std::string TGroupStore::BuildMemberUpdateSql(const TGroupMemberRecord& m) {
  if (m.groupid.empty() || m.account.empty()) return std::string();
  std::string list;
  if (!m.nick.empty()) AppendAssignment(&list, "nick", m.nick);
  if (m.role >= 0) AppendAssignment(&list, "role", Num(m.role));
  if (!m.entrytime.empty()) AppendAssignment(&list, "entrytime", m.entrytime);
  if (m.msgid > 0) AppendAssignment(&list, "msgid", Num(m.msgid));
  if (m.msgtime > 0) AppendAssignment(&list, "msgtime", Num(m.msgtime));
  if (m.userversion > 0) AppendAssignment(&list, "userversion", Num(m.userversion));
  if (m.champflag >= 0) AppendAssignment(&list, "champflag", Num(m.champflag));
  if (list.empty()) return std::string();
  if (m.role == kRoleRemove) return "delete from nq_groupuser" + MemberKey(m);
  return "update nq_groupuser set " + list + MemberKey(m);
}

std::string TGroupStore::BuildMemberInsertSql(TGroupMemberRecord* m) {
  if (m->groupid.empty() || m->account.empty() || m->role == kRoleRemove) return std::string();
  if (m->role < 0) m->role = kRoleMember;
  // The table has no key, and the row may appear between the building of this text
  // and its run (a join push while a member page is fetched): the insert adds only a
  // missing row, and the update that follows writes the given fields either way.
  std::string sql =
      "insert into nq_groupuser(groupid,account,nick,role,entrytime,msgid,msgtime,"
      "userversion,champflag) select " +
      SqlQuoted(m->groupid) + "," + SqlQuoted(m->account) + "," + SqlQuoted(m->nick) + "," +
      Num(m->role) + "," + SqlQuoted(m->entrytime) + "," + Num(m->msgid) + "," + Num(m->msgtime) +
      "," + Num(m->userversion) + "," + Num(OrZero(m->champflag)) +
      " where not exists (select 1 from nq_groupuser" + MemberKey(*m) + ")";
  const std::string update = BuildMemberUpdateSql(*m);
  if (!update.empty()) sql += ";" + update;
  return sql;
}

std::string TGroupStore::BuildMemberUpsertSql(const TGroupMemberRecord& member) {
  if (member.groupid.empty() || member.account.empty()) return std::string();
  int exists = -1;
  {
    TAutoLock lock(DatabaseMutex());
    TDBManager* db = ServiceDatabase();
    if (db) exists = MemberExists(db, member);
  }
  if (exists < 0) return std::string();
  if (exists) return BuildMemberUpdateSql(member);
  TGroupMemberRecord copy = member;
  return BuildMemberInsertSql(&copy);
}

int TGroupStore::UpsertMember(const TGroupMemberRecord& member) {
  // A member without an account (a notification that named nobody) is no row.
  if (member.groupid.empty() || member.account.empty()) return 0;
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  if (!db) return -1;
  const int exists = MemberExists(db, member);
  if (exists < 0) return -1;
  if (exists) {
    const std::string sql = BuildMemberUpdateSql(member);
    if (!sql.empty() && !db->Exec(sql)) return -1;
    if (member.role == kRoleRemove) return 0;
  } else {
    TGroupMemberRecord copy = member;
    const std::string sql = BuildMemberInsertSql(&copy);
    if (sql.empty()) return 0;  // nobody to remove
    if (!db->Exec(sql)) return -1;
  }
  return MemberRowid(db, member);
}

int TGroupStore::LoadMemberMap(const std::string& groupid, TMemberMap* members) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  TRecordSet rows;
  if (!db || !db->Exec("select rowid,account,nick,userversion from nq_groupuser where groupid=" +
                           SqlQuoted(groupid),
                       &rows))
    return -1;
  for (int r = 0; r < rows.GetRecordCount(); ++r) {
    TStoredMember& m = (*members)[rows.GetString(r, 1)];
    m.rowid = rows.GetInt64(r, 0);
    m.nick = rows.GetString(r, 2);
    m.userversion = rows.GetInt(r, 3);
  }
  return 0;
}

int TGroupStore::GetMemberNickRole(TGroupMemberRecord* member) {
  if (member->groupid.empty() || member->account.empty()) return 0;
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  TRecordSet rows;
  if (!db || !db->Exec("select nick,role from nq_groupuser" + MemberKey(*member), &rows)) return -1;
  member->nick = rows.GetString(0, 0);
  member->role = rows.GetRecordCount() > 0 ? rows.GetInt(0, 1) : 0;
  return 0;
}

int TGroupStore::GetMessageReaders(const std::string& groupid, long long msgid,
                                   std::string* accounts, int* unread) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  TRecordSet readers;
  if (!db || !db->Exec("select account from nq_groupuser where groupid=" + SqlQuoted(groupid) +
                           " and msgid>=" + Num(msgid),
                       &readers))
    return -1;
  const int found = readers.GetRecordCount();
  for (int r = 0; r < found; ++r) {
    if (!accounts->empty()) *accounts += ",";
    *accounts += readers.GetString(r, 0);
  }
  TRecordSet group;
  if (!db->Exec("select usercount from nq_group where groupid=" + SqlQuoted(groupid), &group))
    return -1;
  const int usercount = group.GetInt(0, 0);
  if (usercount > kMaxReadStateMembers) return -2;
  // The sender is a member too and never counts as unread.
  *unread = usercount - found - 1;
  return found;
}

std::string TGroupStore::BuildPruneSql(const TMemberWindow& w) {
  if (w.groupid.empty()) return std::string();
  std::string sql = "delete from nq_groupuser where groupid=" + SqlQuoted(w.groupid);
  if (w.lowRowid != 0) sql += " and rowid>" + Num(w.lowRowid);
  if (w.highRowid != 0) sql += " and rowid<" + Num(w.highRowid);
  return sql + " and userversion<>" + Num(w.userversion) + " and role=" + Num(kRoleMember);
}

int TGroupStore::PruneMemberWindow(const TMemberWindow& window) {
  const std::string sql = BuildPruneSql(window);
  if (sql.empty()) return 0;
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  return db && db->Exec(sql) ? 0 : -1;
}

int TGroupStore::MarkGroupLeft(const std::string& groupid) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  return db && db->Exec("update nq_group set groupstate=1 where groupid=" + SqlQuoted(groupid))
             ? 0
             : -1;
}

int TGroupStore::GetMemberRole(const std::string& groupid, const std::string& account) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  TRecordSet rows;
  if (!db || !db->Exec("select role from nq_groupuser where groupid=" + SqlQuoted(groupid) +
                           " and account=" + SqlQuoted(account),
                       &rows))
    return -1;
  return rows.GetRecordCount() > 0 ? rows.GetInt(0, 0) : 0;
}
