#include "core/TEngineWiring.h"

#include "base/TAPIPacket.h"
#include "net/TFileTransfer.h"
#include "net/THttpRequestService.h"
#include "net/TIMSession.h"
#include "services/TGroupProcessor.h"
#include "services/THistorySync.h"
#include "services/TLoginService.h"
#include "services/TMessageService.h"
#include "services/TReceiveBatch.h"
#include "services/TSyncWorker.h"
#include "services/TUserService.h"

void TEngineWiring::Install(THttpRequestService& service, TIMSession& session) {
  using Service = THttpRequestService;

  // Files (200103-200105).
  service.RegisterExecutor(_REQUEST_HTTP_UPLOADFILE,
                           [](Service&, TAPIPacket* p) { return TFileTransfer::OnUploadFile(p); });
  service.RegisterExecutor(_REQUEST_HTTP_DOWNFILE, [](Service&, TAPIPacket* p) {
    return TFileTransfer::OnDownloadFile(p);
  });
  service.RegisterExecutor(_REQUEST_HTTP_UPLOADDUMP,
                           [](Service&, TAPIPacket* p) { return TFileTransfer::OnUploadDump(p); });

  // Messages (200201, 200202, 200204) and the fetch of unknown senders' details.
  auto send = [](Service& s, TAPIPacket* p) { return TMessageService(s).SendMessage(p); };
  service.RegisterExecutor(_REQUEST_HTTP_SENDMSGIM, send);
  service.RegisterExecutor(_REQUEST_HTTP_SENDMSGFILE, send);
  service.RegisterExecutor(_REQUEST_HTTP_REVOKEMSG, [](Service& s, TAPIPacket* p) {
    return TMessageService(s).RevokeMessage(p);
  });
  service.RegisterExecutor(kInternalSenderDetail, [](Service& s, TAPIPacket* p) {
    TMessageService(s).FetchSenderDetail(p);
  });

  // History of one conversation (200206).
  service.RegisterExecutor(_REQUEST_HTTP_GETHISTORYMSG, [](Service& s, TAPIPacket* p) {
    return THistorySync(s).OnGetHistoryRequest(p);
  });

  // Group commands (200301).
  service.RegisterExecutor(_REQUEST_HTTP_GROUPCOMMAND, [](Service& s, TAPIPacket* p) {
    return TGroupProcessor(&s).HandlePacket(p);
  });

  // User commands (200302), the friend check after a one-to-one message, and the
  // user service's look at every asynchronous GET and POST: the detail-list
  // interceptor before the exchange, the reply router after it.
  service.RegisterExecutor(_REQUEST_HTTP_USERCOMMAND, [](Service& s, TAPIPacket* p) {
    return TUserService(s).OnUserCommand(p);
  });
  service.RegisterExecutor(kInternalPeerMessage, [](Service& s, TAPIPacket* p) {
    return TUserService(s).OnPeerMessage(p);
  });
  service.SetReplyHooks(
      [](Service& s, TAPIPacket* p, const std::string& url, const std::string& body, int* handled) {
        return TUserService(s).InterceptDetailList(p, url, body, handled);
      },
      [](Service& s, TAPIPacket* p, const std::string& url, const std::string& reply) {
        TUserService(s).RouteReply(p, url, reply);
      });

  // The background synchronisation after a login, and the friend list it (or a
  // pushed "updatefriend") asks for (internal request 100).
  service.SetBackgroundWorkerFactory([](Service& s) { return std::make_unique<TSyncWorker>(s); });
  service.RegisterExecutor(kInternalFriendSync,
                           [](Service& s, TAPIPacket* p) { TSyncWorker::SyncFriends(s, p); });

  // Pushed chat messages and group notifications, stored in batches.
  session.SetPushHandler(&TMessageService::OnImPush);
  session.SetPushDrainHandler(&TReceiveBatch::Drain);

  // The HTTP registration and login before every IM login.
  session.SetLoginFunction([&service] {
    TLoginService login(&service);
    int r = login.Register();
    if (r == TLoginService::kOk) r = login.Login();
    return r;
  });
}
