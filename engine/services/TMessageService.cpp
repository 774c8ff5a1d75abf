#include "services/TMessageService.h"

#include <utility>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/SqlText.h"
#include "db/TAccountScope.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "net/TFileUpload.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/TMessageStore.h"
#include "services/TMessageText.h"
#include "services/TMessageType.h"
#include "services/TMsgRecord.h"
#include "services/TSendOutcomes.h"
#include "services/TSentMessageStore.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "util/TArgList.h"
#include "util/TJsonText.h"
#include "util/TTextCodec.h"

namespace {

constexpr int kNoClient = 1;    // the exchange result when there is nothing to send with
static_assert(kSendLoginOver == kRequestLoginOver, "one result for work of an ended login");

TDBManager* Database() { return ServiceDatabase(); }

// Work of a login that is over: sent now, the message would go out under whichever
// login is current. Its row is marked failed.
bool RefusedForAnEndedLogin(int id) {
  if (!TAccountScope::IsLoginOver()) return false;
  TSentMessageStore::MarkSendFailed(id);
  return true;
}

}  // namespace

TMessageService::TMessageService(THttpRequestService& service)
    : TMessageService(
          service, [&service](TAPIPacket* packet, const std::string& url, const std::string& body) {
            return service.Post(packet, url, body);
          }) {}

TMessageService::TMessageService(THttpRequestService& service, PostFunction post)
    : m_service(service), m_post(std::move(post)) {}

int TMessageService::SendMessage(TAPIPacket* packet) {
  TArgList args;
  args.Parse(packet->s1);
  const int id = args.GetInt("id");
  if (id <= 0) return kSendNoMessage;
  try {
    return Send(packet, args, id);
  } catch (...) {
    // The row must not stay "sending" behind a failed answer.
    TSentMessageStore::MarkSendFailed(id);
    return kExecutorFault;
  }
}

int TMessageService::Send(TAPIPacket* packet, const TArgList& args, int id) {
  if (RefusedForAnEndedLogin(id)) return kSendLoginOver;
  const std::string touser = args.Find("touser");
  const int msgtype = args.GetInt("msgtype");
  const std::string file = args.Find("file");

  // Four-byte characters travel escaped; the row keeps the text as typed.
  std::string content;
  std::string fileUrl;
  if (file.empty()) {
    // A file message without a file has nothing to send.
    if (packet->code == _REQUEST_HTTP_SENDMSGFILE) {
      TSentMessageStore::MarkSendFailed(id);
      return kSendNoMessage;
    }
    content = EscapeEmoji(args.Find("msg"));
  } else {
    std::string remote;
    if (UploadLocalFile(packet, file, 1, &remote) != kUploadOk) {
      TSentMessageStore::MarkSendFailed(id);
      return kSendNoMessage;
    }
    content = fileUrl = m_service.GetDownloadUrl(remote);
  }

  // From here on the server may take the message: its row gets the real outcome,
  // in its own file, also when another account's file is open by then.
  TSendOutcomes::Post post(id);
  // The upload may have outlasted the login.
  if (RefusedForAnEndedLogin(id)) return kSendLoginOver;
  const std::string url = m_service.GetServerUrl(SendPath(touser), kImServer);
  const int exchange =
      m_post ? m_post(packet, url, BuildSendBody(msgtype, touser, content, args.Find("remark")))
             : kNoClient;
  const TSendReply reply = exchange == 0 ? ReadSendReply(packet->s4) : TSendReply();
  const int failure = exchange != 0 ? exchange : reply.result;
  if (failure != kSendOk) {
    return post.Settle(
        [id, failure] {
          TSentMessageStore::MarkSendFailed(id);
          return failure;
        },
        failure);
  }
  const int64_t msgid = reply.msgid;
  const std::string time = reply.time;
  const int stored = post.Settle(
      [id, msgid, time, fileUrl] {
        if (TSentMessageStore::MarkSent(id, msgid, time, fileUrl)) return int(kSendOk);
        TSentMessageStore::MarkSendFailed(id);
        return int(kSendStoreFailed);
      },
      kSendOk);
  if (stored != kSendOk) return stored;

  if (!IsGroupTarget(touser)) {
    // Lets the peer check run for the person just written to.
    TServiceContext* core = TServiceContext::Instance();
    TAPIPacket* peer = new TAPIPacket;
    peer->code = kInternalPeerMessage;
    peer->id = 0;
    peer->s1 = core ? core->GetAccount() : std::string();
    peer->s2 = touser;
    m_service.Enqueue(peer);
  }
  return kSendOk;
}

int TMessageService::RevokeMessage(TAPIPacket* packet) {
  TMsgRecord row;
  if (packet->id <= 0 || !TMessageStore::LoadMessage(packet->id, &row)) return kSendNoMessage;
  TSendOutcomes::Post post(packet->id);
  if (TAccountScope::IsLoginOver()) return kSendLoginOver;

  const std::string url = m_service.GetServerUrl(SendPath(row.touser), kImServer);
  const std::string body =
      BuildSendBody(kRevokeType, row.touser, std::to_string(row.msgid), row.remark);
  const int exchange = m_post ? m_post(packet, url, body) : kNoClient;
  if (exchange != 0) return exchange;
  const TSendReply reply = ReadSendReply(packet->s4);
  if (reply.result != kSendOk) return reply.result;

  const int id = packet->id;
  const std::string touser = row.touser;
  const int64_t msgid = reply.msgid;
  const std::string time = reply.time;
  return post.Settle(
      [id, touser, msgid, time] {
        // The flag is what the caller's success means; the notice row follows it.
        if (!TSentMessageStore::MarkRevoked(id)) return int(kSendStoreFailed);
        const int notice = TSentMessageStore::InsertSentMessage(
            kRevokeType, touser, std::to_string(id), std::string(), std::string(), 0);
        if (notice > 0 && !TSentMessageStore::MarkSent(notice, msgid, time, std::string()))
          TSentMessageStore::MarkSendFailed(notice);
        return int(kSendOk);
      },
      kSendOk);
}

std::string TMessageService::AddForwardInfo(const std::string& remark, const std::string& target) {
  if (remark.empty()) return remark;
  TServiceContext* core = TServiceContext::Instance();
  const std::string ownLogo = core ? core->GetLogo() : std::string();
  const std::string ownName = core ? core->GetName() : std::string();

  const std::string sql =
      target.find("@group") != std::string::npos
          ? "select grouplogo,groupname from nq_group where groupid=" + SqlQuoted(target)
          : "select logo,name from nq_contact where userid=" +
                std::to_string(SqlLeadingNumber(target));
  TRecordSet rows;
  bool known = false;
  {
    TAutoLock lock(DatabaseMutex());
    TDBManager* db = Database();
    known = db && db->Exec(sql, &rows) && rows.GetRecordCount() > 0;
  }
  // An unknown target still gets the copy's file and picture data; only its own
  // name and logo are missing, as the program writes them for unknown targets.
  return ReplaceForwardEntries(remark, ownLogo, ownName, known,
                               known ? rows.GetString(0, 0) : std::string(),
                               known ? rows.GetString(0, 1) : std::string());
}

std::string TMessageService::BuildMessageJson(int localId, long long msgid, int msgtype,
                                              const std::string& fromuser,
                                              const std::string& fromgroup, int fromver, int device,
                                              const std::string& touser, int totype,
                                              const std::string& content, const std::string& remark,
                                              int sendflag, int atflag,
                                              const std::string& sendtime) {
  return JsonTextCloseObject(
      JsonTextIntField("id", localId) +
      JsonTextIntField("accountid", TMessageStore::PeerAccountId(fromuser, touser, fromgroup)) +
      JsonTextIntField("msgid", msgid) + JsonTextIntField("msgtype", msgtype) +
      JsonTextStringField("fromuser", fromuser) + JsonTextStringField("fromgroup", fromgroup) +
      JsonTextIntField("fromver", fromver) + JsonTextIntField("device", device) +
      JsonTextStringField("touser", touser) + JsonTextIntField("totype", totype) +
      JsonTextStringField("content", content) + JsonTextStringField("remark", remark) +
      JsonTextIntField("sendflag", sendflag) + JsonTextIntField("atflag", atflag) +
      JsonTextStringField("sendtime", sendtime));
}
