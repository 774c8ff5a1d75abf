// Facade methods whose engine parts are still being built. Each answers as the
// facade does without its backing part: 0, the empty text or its id unanswered.
#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"

namespace {
char* Empty() { return TStringQueue::EmptyText(); }
}  // namespace

// Local store.
void TAPIInterface::SetDatabaseManager(TDBManager* manager) { m_database = manager; }
int TAPIInterface::SetDatabase(const char*) { return -2; }
int TAPIInterface::CreateDatabase(const char*) { return 0; }
long TAPIInterface::DBExecSql(const char*) { return 0; }
long TAPIInterface::DBSelectSql(const char*) { return 0; }
int TAPIInterface::DBGetRecordCount(long) { return 0; }
int TAPIInterface::DBGetFieldCount(long) { return 0; }
int TAPIInterface::DBGetIntValue(long, int, int) { return 0; }
char* TAPIInterface::DBGetStrValue(long, int, int) { return Empty(); }
void TAPIInterface::DBRelease(long) {}
int TAPIInterface::IsLogin() { return 0; }
char* TAPIInterface::GetUCUserID() { return Empty(); }
char* TAPIInterface::GetUserInfo(std::string, int) { return Empty(); }
int TAPIInterface::ExistUser(std::string) { return 0; }
int TAPIInterface::DeleteMessage(int) { return 0; }
int TAPIInterface::ClearAtFlag(const char*) { return 0; }
int TAPIInterface::SearchAtMsg(const char*, int) { return 0; }

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

