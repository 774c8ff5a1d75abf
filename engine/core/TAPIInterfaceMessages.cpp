// Facade: sending, forwarding, resending and recalling messages. A new message is
// stored first, on the caller's thread, so the caller can show it at once under the
// returned local id; the send runs on a request worker and answers with that id.
#include <string>

#include "TAPIInterface.h"
#include "base/TStopFlag.h"
#include "core/TEngineCore.h"
#include "services/TMessageService.h"
#include "services/TMessageStore.h"
#include "services/TMessageText.h"
#include "services/TMsgRecord.h"
#include "services/TSentMessageStore.h"
#include "util/TFileUtil.h"

namespace {

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

int Queue(int code, int id, const std::string& arguments) {
  return TEngineCore::QueueRequest(code, id, arguments);
}

// A new message is stored only when its send can be queued: without an engine core
// (before Init, after Release) or while stopping, a stored row would stay "sending"
// for ever with nothing to send it.
bool CanQueue() { return TEngineCore::Instance() && !IsEngineStopping(); }

// No exception leaves the facade; what could throw here is only running out of memory.
template <typename Body>
int Guarded(int fallback, Body body) {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace

int TAPIInterface::SendMsgIM(const char* toUser, int msgType, const char* content,
                             const char* remark) {
  return Guarded(0, [&] {
    if (!CanQueue()) return 0;
    const std::string to = Text(toUser), text = Text(content), note = Text(remark);
    const int id = TSentMessageStore::InsertSentMessage(msgType, to, text, std::string(), note, 0);
    Queue(_REQUEST_HTTP_SENDMSGIM, id, BuildSendArguments(id, to, msgType, "msg", text, note));
    return id;
  });
}

int TAPIInterface::SendMsgFile(const char* toUser, int msgType, const char* path,
                               const char* remark) {
  return Guarded(0, [&] {
    if (!CanQueue()) return 0;
    const std::string to = Text(toUser), file = Text(path);
    const std::string note = RebuildFileRemark(Text(remark), file, GetFileSize(file.c_str()));
    const int id = TSentMessageStore::InsertSentMessage(msgType, to, std::string(), file, note, 0);
    Queue(_REQUEST_HTTP_SENDMSGFILE, id, BuildSendArguments(id, to, msgType, "file", file, note));
    return id;
  });
}

int TAPIInterface::FwSendMsg(const char* toUser, int msgId) {
  return Guarded(0, [&] {
    if (!CanQueue()) return 0;
    const std::string to = Text(toUser);
    TMsgRecord row;
    int id = 0;
    std::string note;
    if (TMessageStore::LoadMessage(msgId, &row)) {
      // A file message goes on by its stored download URL; nothing is uploaded again.
      note = TMessageService::AddForwardInfo(row.remark, to);
      id = TSentMessageStore::InsertSentMessage(row.msgtype, to, row.content, std::string(), note,
                                                1);
    }
    // Queued even when nothing was stored: the answer (11) tells the caller.
    Queue(_REQUEST_HTTP_SENDMSGIM, id,
          BuildSendArguments(id, to, row.msgtype, "msg", row.content, note));
    return id;
  });
}

int TAPIInterface::RepeatSendMsg(int msgId, const char* path) {
  return Guarded(msgId, [&] {
    TMsgRecord row;
    const bool found = TMessageStore::LoadMessage(msgId, &row) == 1;
    const int id = found ? msgId : 0;
    if (row.localpath.empty()) {
      Queue(_REQUEST_HTTP_SENDMSGIM, msgId,
            BuildSendArguments(id, row.touser, row.msgtype, "msg", row.content, row.remark));
    } else {
      const std::string file = path && *path ? std::string(path) : row.localpath;
      Queue(_REQUEST_HTTP_SENDMSGFILE, msgId,
            BuildSendArguments(id, row.touser, row.msgtype, "file", file, row.remark));
    }
    return msgId;
  });
}
