// What the IM server pushes: chat traffic goes to the installed handler, system
// notices are handled here.
#include <json/json.h>

#include <string>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/TAccountScope.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TSaveInfoType.h"
#include "net/THttpRequestService.h"
#include "net/TIMPacket.h"
#include "net/TIMSession.h"
#include "net/TNetContext.h"
#include "util/TJsonHelper.h"

namespace {

constexpr int kStateNone = TIMConnState::kStateNone;  // no keep-alive, no re-login

}  // namespace

void TIMSession::OnPush(const std::string& text, const std::string& host, int port) {
  (void)host;
  (void)port;
  if (text.size() <= kShortTextMax) {
    // Events keep the order of the texts that raised them.
    DrainPushes();
    m_connState.OnShortText(text);
    return;
  }
  // A push received for a login that is over (a logout, a kick-out, another
  // database) was answered, but belongs to nobody now: it stores nothing.
  if (TAccountScope::IsLoginOver()) return;
  try {
    TIMPacket packet;
    if (!packet.Parse(text)) return;
    const std::string kind = packet.GetContentType();
    if (kind == "im") {
      if (PushHandler handler = GetPushHandler()) handler(*this, packet);
    } else if (kind == "sys") {
      DrainPushes();
      OnSysPush(packet);
    }
  } catch (...) {
    // A push that cannot be handled is dropped; the dispatch thread goes on.
  }
}

void TIMSession::OnSysPush(const TIMPacket& packet) {
  const std::string type = packet.GetParam("msgtype");
  if (type == "kickout") {
    // Only this login's registration is kicked; an older one of ours is not.
    const std::string regId = packet.GetParam("regsterid");
    if (regId.empty() || regId != GetRegistrationId()) return;
    m_connState.SetState(kStateNone);
    RaiseEvent(_EVENT_RECV_KICKOUT, 0, packet.GetParam("reason"));
  } else if (type == "updatefriend") {
    TNetContext* core = TNetContext::Instance();
    if (!core) return;
    TAPIPacket* sync = new TAPIPacket;
    sync->code = kInternalFriendSync;
    sync->id = 0;
    core->PostPacket(sync);
  } else if (type == "jlhb") {
    RaiseEvent(_EVENT_COME_JLHB, 0, packet.GetParam("content"));
  } else if (type == "syskickout") {
    m_connState.SetState(kStateNone);
    RaiseEvent(_EVENT_REPORT_SYSKICKOUT, 0, packet.GetParam("content"));
  } else if (type == "updatedetail") {
    OnUpdateDetail(packet.GetParam("content"));
  }
}

void TIMSession::OnUpdateDetail(const std::string& content) {
  const Json::Value detail = TJsonHelper::Parse(content);
  // Anything but an object would blank the profile.
  if (!detail.isObject()) return;
  const std::string name = TJsonHelper::GetString(detail, "name");
  const std::string logo = TJsonHelper::GetString(detail, "logo");
  const std::string bigLogo = TJsonHelper::GetString(detail, "biglogo");
  const std::string summary = TJsonHelper::GetString(detail, "summary");
  const int version = TJsonHelper::GetInt(detail, "userversion");
  const int champFlag = TJsonHelper::GetInt(detail, "champflag");

  TNetContext* core = TNetContext::Instance();
  if (!core) return;
  {
    // The login the push came under may have ended since, and another account's
    // database may be open: its profile is not this push's to change.
    TAutoLock lock(DatabaseMutex());
    if (TAccountScope::IsStale()) return;
    if (TDBManager* db = core->GetDatabase()) {
      db->SetSaveInfo(kSaveInfoSession, "NAME", name);
      db->SetSaveInfo(kSaveInfoSession, "ICON", logo);
      db->SetSaveInfo(kSaveInfoSession, "BIGICON", bigLogo);
      db->SetSaveInfo(kSaveInfoSession, "SUMMARY", summary);
      db->SetSaveInfoInt(kSaveInfoSession, "VERSION", version);
      db->SetSaveInfoInt(kSaveInfoSession, "CHAMPFLAG", champFlag);
    }
    core->SetProfile(name, logo, bigLogo, summary, version, champFlag);
  }
  RaiseEvent(_EVENT_REPORT_UPDATEDETAIL, 0, content);
}
