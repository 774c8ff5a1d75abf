// Chat messages pushed by the IM server: filtered, stored and turned into the event
// text of the stored row.
#include <cstdint>
#include <string>

#include "base/TAPIPacket.h"
#include "db/SqlText.h"
#include "db/TAccountScope.h"
#include "net/THttpRequestService.h"
#include "net/TIMPacket.h"
#include "net/TIMSession.h"
#include "net/TServerKeys.h"
#include "services/TContactCache.h"
#include "services/TGroupProcessor.h"
#include "services/TMessageIds.h"
#include "services/TMessageMention.h"
#include "services/TMessageService.h"
#include "services/TMessageStore.h"
#include "services/TMessageText.h"
#include "services/TMessageType.h"
#include "services/TReceiveBatch.h"
#include "services/TSenderDetails.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserProtocol.h"
#include "services/TUserService.h"
#include "util/TJsonText.h"
#include "util/TTextCodec.h"
#include "util/TTransId.h"

namespace {

constexpr long long kLocalNoticeId = -1;  // stored without a duplicate test
constexpr char kRefusalText[] = "对方拒收你的消息";
constexpr char kRefusalTextEn[] = "The other party refused your message.";

int IntParam(const TIMPacket& packet, const char* name) {
  const long long value = SqlLeadingNumber(packet.GetParam(name));
  return value > INT32_MAX || value < INT32_MIN ? 0 : static_cast<int>(value);
}

}  // namespace

void TMessageService::OnImPush(TIMSession& session, const TIMPacket& packet) {
  // Received for a login that is over: stored nowhere (also when handled again).
  if (TAccountScope::IsLoginOver()) return;
  TServiceContext* core = TServiceContext::Instance();
  THttpRequestService* service = core ? core->GetRequestService() : nullptr;
  if (!service) return;
  bool batched = false;
  try {
    if (packet.GetParam("msgtype") == "groupnotify") {
      // Group changes are stored on their own, after the messages before them.
      TReceiveBatch::Flush();
      std::string notice;
      if (TGroupProcessor(service).OnGroupNotify(packet, &notice) == 1)
        session.RaiseEvent(_EVENT_COME_GROUPNOTIFY, 0, notice);
    } else {
      batched = TReceiveBatch::Join(session);
    }
    std::string json;
    const int id = TMessageService(*service, nullptr).OnChatMessage(packet, &json);
    TReceiveBatch::Announce(session, id, json);
  } catch (...) {
    // A push that cannot be handled is dropped; the dispatch thread goes on.
  }
  if (batched) TReceiveBatch::Done(packet);
}

int TMessageService::OnChatMessage(const TIMPacket& packet, std::string* json) {
  if (json) json->clear();
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();
  const int ownDevice = core ? core->GetDeviceType() : 0;

  const std::string sender = packet.GetFrom();
  const std::string target = packet.GetTo();
  long long msgid = ParseServerMessageId(packet.GetParam("id"));
  const std::string fromgroup = packet.GetParam("fromgroup");
  const int device = IntParam(packet, "fromdev");
  const int fromver = IntParam(packet, "fromversion");
  const int type = MessageTypeIndex(packet.GetParam("msgtype").c_str());
  std::string content = packet.GetParam("content");
  const std::string remark = packet.GetParam("remark");
  std::string curtime = packet.GetParam("curtime");
  if (curtime.empty()) curtime = TMessageStore::NowText();
  const bool fromOwn = !own.empty() && sender == own;
  const bool group = IsGroupTarget(target);

  if (fromOwn)
    RefreshSenderDetail(target, 0);
  else
    RefreshSenderDetail(sender, fromver);

  const int atflag = ParseMention(type, remark);

  // Whole entries only: "12@d" is not blocked because "112@d" is.
  if (target == own && type != kNotifyType && core &&
      TUserService::InBlackList(core->GetBlackList(), sender)) {
    SendRefusalNotice(sender);
    return 0;
  }

  const long long pushId = msgid;
  if (type == kGroupNotifyType) {
    int lostGroup = 0;
    content = RewriteGroupNotice(fromgroup, target, content, &lostGroup);
    if (content.empty()) return 0;
    if (lostGroup) msgid = kLocalNoticeId;
  }
  if (msgid == 0) return 0;

  if (!group) {
    TAPIPacket* peer = new TAPIPacket;
    peer->code = kInternalPeerMessage;
    peer->id = 0;
    peer->s1 = sender;
    peer->s2 = target;
    m_service.Enqueue(peer);
  }

  // Own messages come back to every device of the account; this device has its copy.
  if (fromOwn && device == ownDevice && type != kGroupNotifyType && type != kNotifyType &&
      (fromgroup.empty() || fromgroup == target)) {
    return 0;
  }

  content = UnescapeEmoji(content);

  if (type == kRevokeType) {
    const int revoked =
        TMessageStore::MarkRevokedByMsgId(SqlLeadingNumber(content), target, sender);
    if (revoked == 0) return 0;
    // The notice names the local row it recalls, as the send side stores it.
    content = std::to_string(revoked);
  }

  const int id =
      TMessageStore::InsertReceivedMessage(msgid, sender, fromgroup, device, fromver, target, type,
                                           content, remark, curtime, atflag, pushId);
  if (id <= 0) return 0;
  if (json) {
    *json = BuildMessageJson(id, msgid, type, sender, fromgroup, fromver, device, target,
                             group ? 1 : 0, content, remark, fromOwn ? 1 : 0, atflag, curtime);
  }
  return id;
}

int TMessageService::RefreshSenderDetail(const std::string& peer, int version) {
  TServiceContext* core = TServiceContext::Instance();
  if (peer.empty() || IsGroupTarget(peer) || (core && peer == core->GetAccount())) return 0;
  if (TContactCache* cache = ServiceContactCache()) {
    const auto record = cache->Find(peer);
    if (record && record->version >= version) return 0;
  }
  // The exchange may take seconds while a server does not answer: it runs on a
  // request worker, so no push, a kick-out included, waits for it.
  if (!TSenderDetails::Want(peer, m_service.GetServerUrl(kUserDetailPath, kUserServer))) return 0;
  TAPIPacket* fetch = new TAPIPacket;
  fetch->code = kInternalSenderDetail;
  fetch->id = 0;
  m_service.Enqueue(fetch);
  return 1;
}

void TMessageService::FetchSenderDetail(TAPIPacket*) {
  std::string peer;
  std::string url;
  while (TSenderDetails::Next(&peer, &url)) {
    const std::string body =
        JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                            JsonTextStringField("account", peer) + JsonTextIntField("isfriend", 0));
    int error = 0;
    const std::string reply = m_service.PostJson(url, body, &error, kPushExchangeSeconds);
    if (reply.empty()) {
      TSenderDetails::End(peer, url, TSenderDetails::kUnreachable);
      continue;
    }
    TUserService(m_service).StoreDetail(reply);
    TContactCache* cache = ServiceContactCache();
    TSenderDetails::End(
        peer, url,
        cache && cache->Contains(peer) ? TSenderDetails::kStored : TSenderDetails::kRefused);
  }
}

void TMessageService::SendRefusalNotice(const std::string& peer) {
  const std::string remark = JsonTextCloseObject(JsonTextStringField("en", kRefusalTextEn) +
                                                 JsonTextStringField("dest", peer));
  TReceiveBatch::Flush();
  int error = 0;
  m_service.PostJson(m_service.GetServerUrl(SendPath(peer), kImServer),
                     BuildSendBody(kNotifyType, peer, kRefusalText, remark), &error,
                     kPushExchangeSeconds);
}
