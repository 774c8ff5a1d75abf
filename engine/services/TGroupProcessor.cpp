#include "services/TGroupProcessor.h"

#include <cstdlib>
#include <set>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "net/TFileUpload.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/TGroupProtocol.h"
#include "services/TGroupReplyWriter.h"
#include "services/TGroupStore.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserService.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TReplyRecord.h"
#include "util/TTextUtil.h"
#include "util/TTimeUtil.h"
#include "util/TTransId.h"

namespace {

bool IsOneOf(const std::string& cmd, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (cmd == w) return true;
  return false;
}

// The "id" of each entry of the program's array, as a comma list.
std::string IdsOf(const Json::Value& array) {
  std::string ids;
  if (!array.isArray()) return ids;
  for (const Json::Value& entry : array) {
    const std::string id = TJsonHelper::GetString(entry, "id");
    if (id.empty()) continue;
    if (!ids.empty()) ids += ",";
    ids += id;
  }
  return ids;
}

// The run of fields of an object text, each followed by ",".
std::string FieldsOf(const std::string& objectText) {
  std::string fields = JsonTextStripBraces(objectText);
  if (!fields.empty() && fields.back() != ',') fields += ",";
  return fields;
}

TGroupProcessor::IdList ReadPairs(const std::string& reply, const std::string& name,
                                  const char* first, const char* second) {
  TGroupProcessor::IdList pairs;
  const Json::Value array =
      TJsonHelper::GetValue(TJsonHelper::GetValue(TJsonHelper::Parse(reply), "result"), name);
  if (!array.isArray()) return pairs;
  for (const Json::Value& entry : array)
    pairs.emplace_back(TJsonHelper::GetString(entry, first), TJsonHelper::GetString(entry, second));
  return pairs;
}

}  // namespace

TGroupProcessor::IdList TGroupProcessor::ReadIdList(const std::string& reply,
                                                    const std::string& name) {
  return ReadPairs(reply, name, "id", "nick");
}

TGroupProcessor::IdList TGroupProcessor::ReadMemberList(const std::string& reply,
                                                        const std::string& name) {
  return ReadPairs(reply, name, "account", "name");
}

int TGroupProcessor::HandlePacket(TAPIPacket* packet) {
  if (!packet || packet->code != _REQUEST_HTTP_GROUPCOMMAND) return 1;
  return Process(packet);
}

int TGroupProcessor::Process(TAPIPacket* packet) {
  Command c;
  c.packet = packet;
  c.args.Parse(packet->s1);
  c.input = TJsonHelper::Parse(packet->s1);
  c.cmd = c.args.Find("cmd");
  c.language = c.args.Find("language");
  TServiceContext* core = TServiceContext::Instance();
  c.own = core ? core->GetAccount() : std::string();

  if (c.cmd == "create") {
    const std::string body = JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                                                 JsonTextStringField("account", c.own));
    int error = 0;
    const TReplyRecord login(
        m_service->PostJson(m_service->GetServerUrl(kCreateGroupPath, kLoginServer), body, &error));
    if (!login.ok) return kGroupBadReply;
    if (login.code != 1) {
      packet->s4.clear();
      return 0;
    }
    c.groupaccount = login.GetString("groupaccount");
    const std::string groupserver = login.GetString("groupserver");
    if (c.groupaccount.empty() || groupserver.empty()) return kGroupBadReply;
    c.url = std::string(core && core->IsHttps() ? "https://" : "http://") + groupserver +
            kGroupProcessPath;
    c.body = JsonTextStringField("groupid", login.GetString("groupid")) +
             JsonTextStringField("groupaccount", c.groupaccount);
  } else {
    c.url = m_service->BuildUrl(kGroupProcessPath, c.args.Find("groupid"), kGroupServer);
  }

  if (IsOneOf(c.cmd, {"create", "set"}) && !c.args.Find("logopath").empty()) {
    std::string remote;
    if (UploadLocalFile(packet, c.args.Find("logopath"), 0, &remote) != kUploadOk)
      return kGroupLogoUploadFailed;
    c.logo = m_service->GetDownloadUrl(remote);
  }

  int result = 0;
  if (Prepare(c, &result)) return result;
  if (c.cmd == "getjoint") return GetJoint(c);
  const int exchanged = Exchange(c);
  if (exchanged != 0 || c.reply.empty()) return exchanged;
  if (c.cmd == "getuser") return ApplyGetUser(c);
  Apply(c);
  return 0;
}

// Steps before the request. True when the command is over already, with *result.
bool TGroupProcessor::Prepare(Command& c, int* result) {
  if (c.cmd == "msgack") {
    const Json::Value msgids = TJsonHelper::GetValue(c.input, "msgids");
    if (!msgids.isObject()) return true;  // nothing to acknowledge, nothing sent
    TGroupMemberRecord member;
    member.account = c.own;
    member.msgtime = GetTimeMillis();
    for (const std::string& name : msgids.getMemberNames()) {
      member.groupid = name;
      member.msgid = TJsonHelper::ValueToInt64(msgids[name]);
      TGroupStore::UpsertMember(member);
    }
  } else if (c.cmd == "msgstatus") {
    return LocalMessageStatus(c);
  } else if (c.cmd == "create") {
    if (TJsonHelper::HasMember(c.input, "user")) ResolveUsers(c, "users", false);
  } else if (IsOneOf(c.cmd, {"adduser", "remove", "approve"})) {
    if (!ResolveUsers(c, "user", true)) {
      *result = kGroupNoUsers;
      return true;
    }
  }
  return false;
}

// The read state of a message from the local read marks; true when answered here.
bool TGroupProcessor::LocalMessageStatus(Command& c) {
  const long long msgid = strtoll(c.args.Find("msgid").c_str(), nullptr, 10);
  std::string readers;
  int unread = 0;
  const int found =
      TGroupStore::GetMessageReaders(c.args.Find("groupid"), msgid, &readers, &unread);
  if (found < 0) {
    TGroupReplyWriter answer("GROUP_ERR_RESOURCE");
    answer.Text("transid", c.args.Find("transid"));
    c.packet->s4 = answer.Finish();
    return true;
  }
  if (msgid <= 0) return false;
  TGroupReplyWriter answer("OK");
  answer.Text("transid", c.args.Find("transid"));
  answer.Int("read", found);
  answer.Int("unread", unread);
  answer.Text("user", readers);
  c.packet->s4 = answer.Finish();
  return true;
}

// Adds the resolved users of the program's "user" array as the list listKey. False
// when required and nobody resolved: the program then sees the user server's answer.
bool TGroupProcessor::ResolveUsers(Command& c, const std::string& listKey, bool required) {
  std::vector<std::string> order;
  std::string userServerReply;
  const DetailMap details =
      Details(*c.packet, IdsOf(TJsonHelper::GetValue(c.input, "user")), &order, &userServerReply);
  std::vector<std::string> users;
  for (const std::string& account : order) {
    const Json::Value& d = details.at(account);
    users.push_back(TGroupReplyWriter::Object()
                        .Text(required ? "id" : "account", account)
                        .Text("name", TJsonHelper::GetString(d, "name"))
                        .Close());
  }
  if (required) {
    if (users.empty()) {
      if (!userServerReply.empty()) c.packet->s4 = userServerReply;
      return false;
    }
    for (const char* key : {"cmd", "transid", "groupid", "reason"})
      c.body += JsonTextStringField(key, c.args.Find(key));
  }
  if (!users.empty()) c.body += TGroupReplyWriter::ListField(listKey, users);
  return true;
}

int TGroupProcessor::Exchange(Command& c) {
  if (!c.logo.empty()) c.body += JsonTextStringField("logo", c.logo);
  if (IsOneOf(c.cmd, {"adduser", "remove", "approve"})) {
    if (!c.language.empty()) c.body += JsonTextStringField("language", c.language);
  } else {
    c.body += FieldsOf(c.packet->s1);
  }
  const std::string body = JsonTextCloseObject(AddClientFields() + c.body);
  const int exchanged = m_service->Post(c.packet, c.url, body);
  if (exchanged != 0) return exchanged;

  const TReplyRecord reply(c.packet->s4);
  if (!reply.ok) return kGroupBadReply;
  // The server's refusals reach the program as they came; nothing is stored.
  if (reply.code != 1 || reply.GetString("cmd") != "OK") return 0;
  c.reply = c.packet->s4;
  c.result = TJsonHelper::GetValue(TJsonHelper::Parse(c.reply), "result");
  return 0;
}

int TGroupProcessor::GetJoint(Command& c) {
  const std::string userid = c.args.Find("userid");
  if (userid.empty()) return kGroupJointFailed;
  std::set<std::string> active;
  {
    TAutoLock lock(DatabaseMutex());
    TDBManager* db = ServiceDatabase();
    TRecordSet rows;
    if (!db || !db->Exec("select groupid from nq_group where groupstate=0", &rows))
      return kGroupJointFailed;
    for (int r = 0; r < rows.GetRecordCount(); ++r) active.insert(rows.GetString(r, 0));
  }
  const std::string body =
      AddClientFields() + JsonTextStringField("transid", c.args.Find("transid")) +
      JsonTextStringField("cmd", "getupdate") + JsonTextStringField("userid", userid);
  std::vector<std::string> groups;
  if (m_service->Post(c.packet, c.url, JsonTextCloseObject(body)) == 0) {
    const Json::Value result = TJsonHelper::GetValue(TJsonHelper::Parse(c.packet->s4), "result");
    if (!result.isObject()) return kGroupJointFailed;
    const Json::Value list = TJsonHelper::GetValue(result, "group");
    if (list.isArray()) {
      for (const Json::Value& g : list) {
        const std::string groupid = TJsonHelper::GetString(g, "groupid");
        if (!active.count(groupid)) continue;
        groups.push_back(TGroupReplyWriter::Object()
                             .Text("groupid", groupid)
                             .Text("groupname", TJsonHelper::GetString(g, "groupname"))
                             .Text("logo", TJsonHelper::GetString(g, "logo"))
                             .Int("title", TJsonHelper::GetInt(g, "title"))
                             .Int("membercount", TJsonHelper::GetInt(g, "membercount"))
                             .Close());
      }
    }
  }
  TGroupReplyWriter answer("OK");
  answer.Text("transid", c.args.Find("transid"));
  answer.List("group", groups);
  c.packet->s4 = answer.Finish();
  return 0;
}

TGroupProcessor::DetailMap TGroupProcessor::Details(const TAPIPacket& caller,
                                                    const std::string& accounts,
                                                    std::vector<std::string>* order,
                                                    std::string* userServerReply) {
  DetailMap details;
  if (accounts.empty()) return details;
  // The caller's reply text stays the group server's.
  TAPIPacket scratch;
  scratch.state = caller.state;
  TUserService(*m_service).GetDetailList(&scratch, accounts, 0);
  if (userServerReply) *userServerReply = scratch.s4;
  const Json::Value root = TJsonHelper::Parse(scratch.s4);
  if (TJsonHelper::GetInt(root, "code") != 1) return details;
  const Json::Value result = TJsonHelper::GetValue(root, "result");
  if (TJsonHelper::GetInt(result, "count") <= 0) return details;
  const Json::Value array = TJsonHelper::GetValue(result, "array");
  if (!array.isArray()) return details;
  // Only the accounts asked for: a server may answer more than it was asked.
  std::vector<std::string> asked;
  SplitString(accounts, ',', asked);
  const std::set<std::string> wanted(asked.begin(), asked.end());
  for (const Json::Value& entry : array) {
    const std::string account = TJsonHelper::GetString(entry, "account");
    if (!wanted.count(account) || details.count(account)) continue;
    details[account] = entry;
    if (order) order->push_back(account);
  }
  return details;
}
