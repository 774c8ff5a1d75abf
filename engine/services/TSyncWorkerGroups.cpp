// The group list synchronisation of the background worker: one getupdate exchange
// with the local versions, then one batch that brings nq_group and the own rows of
// nq_groupuser in line with the reply.
#include <map>
#include <string>
#include <vector>

#include "base/TAPIPacket.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TRecordSet.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/TGroupProtocol.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TSyncWorker.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTransId.h"

namespace {

struct ReplyGroup {
  std::string groupid;
  int role = 0;
  int type = 0;
  int banall = 0;
  int banurl = 0;
  int banchat = 0;
  int banmsg = 0;
  int banpic = 0;
  int banscreenshot = 0;
  int banuser = 0;
  int groupversion = 0;
  int userversion = 0;
  std::string nick;
  int membercount = 0;
  std::string entrytime;
  std::string parentid;
  bool hasParentid = false;
  std::string path;
  std::string groupname;
  std::string logo;
  std::string info;
  std::string detail;
  std::string surl;
  int title = 0;
};

std::string Num(long long v) { return std::to_string(v); }

ReplyGroup ReadGroup(const Json::Value& g) {
  ReplyGroup r;
  auto i = [&g](const char* key) { return TJsonHelper::GetInt(g, key); };
  auto s = [&g](const char* key) { return TJsonHelper::GetString(g, key); };
  r.groupid = s("groupid");
  r.role = i("role");
  r.type = i("type");
  r.banall = i("banall");
  r.banurl = i("banurl");
  r.banchat = i("banchat");
  r.banmsg = i("banmsg");
  r.banpic = i("banpic");
  r.banscreenshot = i("banscreenshot");
  r.banuser = i("banuser");
  r.groupversion = i("groupversion");
  r.userversion = i("userversion");
  r.nick = s("nick");
  r.membercount = i("membercount");
  r.entrytime = s("entrytime");
  r.parentid = s("parentid");
  r.hasParentid = TJsonHelper::HasMember(g, "parentid");
  r.path = s("path");
  r.groupname = s("groupname");
  r.logo = s("logo");
  r.info = s("info");
  r.detail = s("detail");
  r.surl = s("surl");
  r.title = i("title");
  return r;
}

struct DetailFields {
  std::string owner;
  std::string parentname;
  std::string parentlogo;
};

// The group's detail text is the inside of an object: its owner and parent names.
DetailFields ReadDetail(const ReplyGroup& g) {
  DetailFields d;
  if (g.detail.empty()) return d;
  Json::Value detail = TJsonHelper::Parse("{" + g.detail + "}");
  if (!detail.isObject()) return d;
  if (!g.parentid.empty()) {
    d.parentname = TJsonHelper::GetString(detail, "parentname");
    d.parentlogo = TJsonHelper::GetString(detail, "parentlogo");
  }
  Json::Value owner = TJsonHelper::GetValue(detail, "owner");
  if (owner.isArray() && !owner.empty()) d.owner = TJsonHelper::ValueToString(owner[0]);
  return d;
}

std::string GroupUpdate(const ReplyGroup& g, const DetailFields& d, bool left) {
  std::string list = " banall=" + Num(g.banall) + ",type=" + Num(g.type) +
                     ",banurl=" + Num(g.banurl) + ",banchat=" + Num(g.banchat) +
                     ",banmsg=" + Num(g.banmsg) + ",banpic=" + Num(g.banpic) +
                     ",banscreenshot=" + Num(g.banscreenshot) + ",banuser=" + Num(g.banuser) +
                     ",groupstate=" + Num(left ? 1 : 0);
  auto text = [&list](const char* name, const std::string& value) {
    list += std::string(",") + name + "=" + SqlQuoted(value);
  };
  if (g.groupversion > 0) list += ",version=" + Num(g.groupversion);
  if (g.membercount > 0) list += ",usercount=" + Num(g.membercount);
  if (!g.entrytime.empty()) text("entrytime", g.entrytime);
  if (g.hasParentid) text("parentid", g.parentid);
  if (!g.path.empty()) text("path", g.path);
  if (!g.groupname.empty()) text("groupname", g.groupname);
  if (!g.logo.empty()) text("grouplogo", g.logo);
  if (!g.info.empty()) text("groupinfo", g.info);
  text("surl", g.surl);
  list += ",title=" + Num(g.title);
  if (!g.detail.empty()) text("detail", g.detail);
  if (!d.owner.empty()) text("craccount", d.owner);
  return "update nq_group set" + list + " where groupid=" + SqlQuoted(g.groupid);
}

std::string GroupInsert(const ReplyGroup& g, const DetailFields& d, bool left) {
  return "insert into nq_group(groupid,type,parentid,path,craccount,groupname,grouplogo,"
         "groupinfo,usercount,entrytime,version,userversion,groupstate,banall,banurl,banpic,"
         "banchat,banmsg,banscreenshot,banuser,detail,surl,title) values(" +
         SqlQuoted(g.groupid) + "," + Num(g.type) + "," + SqlQuoted(g.parentid) + "," +
         SqlQuoted(g.path) + "," + SqlQuoted(d.owner) + "," + SqlQuoted(g.groupname) + "," +
         SqlQuoted(g.logo) + "," + SqlQuoted(g.info) + "," + Num(g.membercount) + "," +
         SqlQuoted(g.entrytime) + "," + Num(g.groupversion) + ",0," + Num(left ? 1 : 0) + "," +
         Num(g.banall) + "," + Num(g.banurl) + "," + Num(g.banpic) + "," + Num(g.banchat) + "," +
         Num(g.banmsg) + "," + Num(g.banscreenshot) + "," + Num(g.banuser) + "," +
         SqlQuoted(g.detail) + "," + SqlQuoted(g.surl) + "," + Num(g.title) + ")";
}

}  // namespace

int TSyncWorker::SyncGroups() {
  TDBManager* db = ServiceDatabase();
  if (!db) return 0;
  TRecordSet local;
  if (!db->Exec("select groupid,version from nq_group where groupstate=0", &local)) return 0;

  std::string items;
  for (int i = 0; i < local.GetRecordCount(); ++i) {
    items += (items.empty() ? "{" : ",{") + JsonTextKey("id") + JsonQuote(local.GetString(i, 0)) +
             "," + JsonTextKey("ver") + Num(local.GetInt64(i, 1)) + "}";
  }
  const std::string body = JsonTextCloseObject(
      AddClientFields() + JsonTextStringField("transid", MakeTransId("")) +
      JsonTextStringField("cmd", "getupdate") + JsonTextKey("group") + "[" + items + "]");
  TAPIPacket packet;
  packet.code = _EVENT_COME_GROUPNOTIFY;
  packet.state = kTaskState;
  if (m_service.Post(&packet, m_service.GetServerUrl(kGroupProcessPath, kGroupServer), body) !=
          0 ||
      packet.s4.empty()) {
    return 0;
  }
  // Only an accepted reply may say which groups the account has left: an error reply
  // carries no group list either.
  Json::Value root = TJsonHelper::ParseAccepted(packet.s4);
  if (root.isNull() || !TJsonHelper::HasMember(root, "result")) return 0;
  Json::Value list = TJsonHelper::GetValue(TJsonHelper::GetValue(root, "result"), "group");

  std::map<std::string, ReplyGroup> reply;
  if (list.isArray()) {
    for (const Json::Value& g : list) {
      if (!g.isObject()) continue;
      ReplyGroup r = ReadGroup(g);
      if (!r.groupid.empty()) reply[r.groupid] = r;
    }
  }

  std::vector<std::string> statements;
  for (int i = 0; i < local.GetRecordCount(); ++i) {
    const std::string groupid = local.GetString(i, 0);
    auto found = reply.find(groupid);
    if (found == reply.end() || found->second.role == 0)
      statements.push_back("update nq_group set groupstate=1 where groupid=" + SqlQuoted(groupid));
  }

  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();
  for (const auto& entry : reply) {
    const ReplyGroup& g = entry.second;
    if (g.role < 0) continue;
    const bool left = g.role == 0;
    const std::string key = SqlQuoted(g.groupid);
    const DetailFields detail = ReadDetail(g);
    TRecordSet exists;
    if (db->Exec("select 1 from nq_group where groupid=" + key, &exists)) {
      statements.push_back(exists.GetRecordCount() > 0 ? GroupUpdate(g, detail, left)
                                                       : GroupInsert(g, detail, left));
    }

    TRecordSet member;
    const std::string memberKey = " where groupid=" + key + " and account=" + SqlQuoted(own);
    if (db->Exec("select 1 from nq_groupuser" + memberKey, &member)) {
      if (member.GetRecordCount() == 0) {
        // Only while still missing when the batch runs: a push may store the row first.
        statements.push_back(
            "insert into nq_groupuser(groupid,account,nick,role,entrytime) "
            "select " +
            key + "," + SqlQuoted(own) + "," + SqlQuoted(g.nick) + "," + Num(g.role) + "," +
            SqlQuoted(g.entrytime) + " where not exists (select 1 from nq_groupuser" + memberKey +
            ")");
      } else if (g.role > 0) {
        std::string list = " role=" + Num(g.role);
        if (!g.nick.empty()) list += ",nick=" + SqlQuoted(g.nick);
        statements.push_back("update nq_groupuser set" + list + memberKey);
      }
    }

    // A parent the reply lists has a row of its own, which its name-only row would
    // hide: the reply's row is the one that counts.
    const auto listed = reply.find(g.parentid);
    const bool parentListed = listed != reply.end() && listed->second.role >= 0;
    if (!g.parentid.empty() && !parentListed) {
      const std::string parent = SqlQuoted(g.parentid);
      TRecordSet parentRow;
      if (db->Exec("select 1 from nq_group where groupid=" + parent, &parentRow)) {
        // A parent the account is not in is known by its name and logo only. Two
        // children of one parent both find it missing: the first insert counts.
        if (parentRow.GetRecordCount() == 0) {
          statements.push_back(
              "insert or ignore into nq_group(groupid,groupname,grouplogo,groupstate) "
              "values(" +
              parent + "," + SqlQuoted(detail.parentname) + "," + SqlQuoted(detail.parentlogo) +
              ",1)");
        } else if (!detail.parentname.empty() || !detail.parentlogo.empty()) {
          // A detail without the parent's names must not blank the stored ones.
          statements.push_back("update nq_group set groupname=" + SqlQuoted(detail.parentname) +
                               ",grouplogo=" + SqlQuoted(detail.parentlogo) +
                               " where groupid=" + parent);
        }
      }
    }
  }
  db->ExecBatch(statements);
  m_service.RaiseEvent(
      _EVENT_COME_GROUPNOTIFY, 0, 0,
      JsonTextCloseObject(JsonTextStringField("notify", "status") + JsonTextKey("group") + "[]"));
  return 1;
}
