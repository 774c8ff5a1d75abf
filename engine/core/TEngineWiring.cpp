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
  using Ended = TEndedLogin;
  // Each request code comes with what becomes of it when the login that queued it
  // is over before it runs: what would act as the next login is answered as failed
  // (dialog ids are unique in the process) or, for internal work, dropped.
  const Ended refused = Ended::Answer(kRequestLoginOver);

  // The program's own GETs and POSTs (200101, 200102) run on the service's built-in
  // exchange; they carry the token of whichever login is current.
  service.SetEndedLogin(_REQUEST_HTTP_SENDGET, refused);
  service.SetEndedLogin(_REQUEST_HTTP_SENDPOST, refused);

  // Files (200103-200105).
  service.RegisterExecutor(_REQUEST_HTTP_UPLOADFILE, Ended::Run(),
                           [](Service&, TAPIPacket* p) { return TFileTransfer::OnUploadFile(p); });
  service.RegisterExecutor(_REQUEST_HTTP_DOWNFILE, Ended::Run(), [](Service&, TAPIPacket* p) {
    return TFileTransfer::OnDownloadFile(p);
  });
  service.RegisterExecutor(_REQUEST_HTTP_UPLOADDUMP, Ended::Run(),
                           [](Service&, TAPIPacket* p) { return TFileTransfer::OnUploadDump(p); });

  // Messages (200201, 200202, 200204) and the fetch of unknown senders' details. A
  // send or recall of a login that is over runs: the message service refuses it and
  // marks its row, or settles in its own file one that was already posted. Its
  // answer goes nowhere, as local ids repeat between accounts.
  auto send = [](Service& s, TAPIPacket* p) { return TMessageService(s).SendMessage(p); };
  service.RegisterExecutor(_REQUEST_HTTP_SENDMSGIM, Ended::RunQuiet(), send);
  service.RegisterExecutor(_REQUEST_HTTP_SENDMSGFILE, Ended::RunQuiet(), send);
  service.RegisterExecutor(
      _REQUEST_HTTP_REVOKEMSG, Ended::RunQuiet(),
      [](Service& s, TAPIPacket* p) { return TMessageService(s).RevokeMessage(p); });
  service.RegisterExecutor(kInternalSenderDetail, Ended::Drop(), [](Service& s, TAPIPacket* p) {
    TMessageService(s).FetchSenderDetail(p);
  });

  // Read marks (200205) have no executor; they are answered with a = 0.
  service.SetEndedLogin(_REQUEST_HTTP_READMSGIM, refused);

  // History of one conversation (200206): answered at once, without a download.
  service.RegisterExecutor(
      _REQUEST_HTTP_GETHISTORYMSG, Ended::Answer(0),
      [](Service& s, TAPIPacket* p) { return THistorySync(s).OnGetHistoryRequest(p); });

  // Group commands (200301).
  service.RegisterExecutor(_REQUEST_HTTP_GROUPCOMMAND, refused, [](Service& s, TAPIPacket* p) {
    return TGroupProcessor(&s).HandlePacket(p);
  });

  // User commands (200302), the friend check after a one-to-one message, and the
  // user service's look at every asynchronous GET and POST: the detail-list
  // interceptor before the exchange, the reply router after it.
  service.RegisterExecutor(_REQUEST_HTTP_USERCOMMAND, refused, [](Service& s, TAPIPacket* p) {
    return TUserService(s).OnUserCommand(p);
  });
  service.RegisterExecutor(kInternalPeerMessage, Ended::Drop(), [](Service& s, TAPIPacket* p) {
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
  service.RegisterExecutor(kInternalFriendSync, Ended::Drop(),
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
