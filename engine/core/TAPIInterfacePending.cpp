// Facade methods whose engine parts are still being built. Each answers as the
// facade does without its backing part: 0, the empty text or its id unanswered.
#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"

namespace {
char* Empty() { return TStringQueue::EmptyText(); }
}  // namespace

// Login.
int TAPIInterface::GetQRUserInfo(const char*) { return 0; }
char* TAPIInterface::GetBombRedUrl() { return Empty(); }

// Messages.
int TAPIInterface::SendMsgIM(const char*, int, const char*, const char*) { return 0; }
int TAPIInterface::SendMsgFile(const char*, int, const char*, const char*) { return 0; }
int TAPIInterface::FwSendMsg(const char*, int) { return 0; }
int TAPIInterface::RepeatSendMsg(int msgId, const char*) { return msgId; }

// HTTP.
char* TAPIInterface::SyncSendGet(int, const char*) { return Empty(); }
char* TAPIInterface::SyncSendPost(int, const char*, const char*) { return Empty(); }
char* TAPIInterface::CreateRequestURL(const char*, const char*) { return Empty(); }
char* TAPIInterface::CreateAccountRequestURL(const char*, const char*, const char*) { return Empty(); }

