// A one-to-one conversation that runs both ways makes the peer a friend.
#include <mutex>
#include <string>

#include "base/TAPIPacket.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/TContactCache.h"
#include "services/TMessageService.h"
#include "services/TMessageStore.h"
#include "services/TMessageType.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserProtocol.h"
#include "services/TUserService.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTransId.h"

namespace {

constexpr char kFriendNotice[] = "聊天即加为好友,可以在联系人中查看";
constexpr long long kLocalNoticeId = -1;

// Several workers may run request 101 for the same peer at once (a message and
// its echo, a doubled push): one at a time, so the friendship is made once.
std::mutex& PeerMutex() {
  static std::mutex* mutex = new std::mutex;  // never destroyed
  return *mutex;
}

bool IsFriend(const std::string& peer) {
  TContactCache* cache = ServiceContactCache();
  return cache && cache->FindFriend(peer).has_value();
}

}  // namespace

int TUserService::OnPeerMessage(TAPIPacket* packet) {
  if (!packet) return 1;
  const std::string sender = packet->s1;
  const std::string target = packet->s2;
  if (target.find("group") != std::string::npos) return 1;
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();
  const std::string peer = sender == own ? target : sender;
  if (peer.empty() || peer == own) return 1;

  std::lock_guard<std::mutex> lock(PeerMutex());
  if (IsFriend(peer)) return 1;
  TDBManager* db = ServiceDatabase();
  if (!db || !db->QueryExists("select id  from nq_message where fromuser=" + SqlQuoted(target) +
                              " and touser=" + SqlQuoted(sender))) {
    return 1;
  }

  TAPIPacket update;
  update.state = packet->state;
  const int exchange = m_service.Post(
      &update, m_service.GetServerUrl(kUpdateFriendPath, kUserServer),
      JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                          JsonTextStringField("userid", core ? core->GetUserID() : std::string()) +
                          JsonTextStringField("friends", peer)));
  // Without the server's consent there is no friendship to announce; the next
  // message asks again.
  if (exchange != kHttpOk || TJsonHelper::ParseAccepted(update.s4).isNull()) return 1;

  TAPIPacket detail;
  detail.state = packet->state;
  m_service.Post(
      &detail, m_service.GetServerUrl(kUserDetailPath, kUserServer),
      JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                          JsonTextStringField("account", peer) + JsonTextIntField("isfriend", 1)));
  if (TContactCache* cache = ServiceContactCache()) {
    // The details may not have come; the friendship stands all the same.
    auto record = cache->Find(peer);
    if (!record) {
      record.emplace();
      record->account = peer;
    }
    if (!record->isfriend) {
      record->isfriend = 1;
      cache->Upsert(*record);
    }
  }

  const std::string now = TMessageStore::NowText();
  const int id = TMessageStore::InsertReceivedMessage(kLocalNoticeId, sender, "", 1, 1, target,
                                                      kNotifyType, kFriendNotice, "", now, 0);
  if (id <= 0) return 1;
  m_service.RaiseEvent(
      _EVENT_COME_IMMESSAGE, 0, id,
      TMessageService::BuildMessageJson(id, kLocalNoticeId, kNotifyType, sender, "", 1, 1, target,
                                        0, kFriendNotice, "", 0, 0, now));
  return 0;
}
