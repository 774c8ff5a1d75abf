// Facade methods whose engine parts are still being built. Each answers as the
// facade does without its backing part: 0, the empty text or its id unanswered.
#include "TAPIInterface.h"

// Messages.
int TAPIInterface::SendMsgIM(const char*, int, const char*, const char*) { return 0; }
int TAPIInterface::SendMsgFile(const char*, int, const char*, const char*) { return 0; }
int TAPIInterface::FwSendMsg(const char*, int) { return 0; }
int TAPIInterface::RepeatSendMsg(int msgId, const char*) { return msgId; }
