// Facade: the queuing methods. Each builds a packet, hands it to the engine core and
// returns its id at once; the answer comes through the callback.
#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "util/TJsonText.h"

namespace {

int Queue(int code, int id, const std::string& s1 = std::string(),
          const std::string& s2 = std::string(), const std::string& s3 = std::string()) {
  return TEngineCore::QueueRequest(code, id, s1, s2, s3);
}

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

int TAPIInterface::SendGet(int dialogId, const char* url) {
  return Queue(_REQUEST_HTTP_SENDGET, dialogId, Text(url));
}

int TAPIInterface::SendPost(int dialogId, const char* url, const char* body) {
  return Queue(_REQUEST_HTTP_SENDPOST, dialogId, Text(url), Text(body));
}

int TAPIInterface::UploadFile(int dialogId, const char* path, int option) {
  return Queue(_REQUEST_HTTP_UPLOADFILE, dialogId, Text(path), std::to_string(option));
}

int TAPIInterface::DownloadFile(int dialogId, const char* url, const char* path, int option) {
  return Queue(_REQUEST_HTTP_DOWNFILE, dialogId, Text(url), Text(path), std::to_string(option));
}

int TAPIInterface::UploadDumpFile(int dialogId, const char* path) {
  return Queue(_REQUEST_HTTP_UPLOADDUMP, dialogId, Text(path));
}

int TAPIInterface::GroupCommand(int dialogId, const char* args) {
  return Queue(_REQUEST_HTTP_GROUPCOMMAND, dialogId, JsonTextCloseObject(Text(args)));
}

int TAPIInterface::UserCommand(int dialogId, const char* json) {
  return Queue(_REQUEST_HTTP_USERCOMMAND, dialogId, Text(json));
}

int TAPIInterface::RevokeMsg(int msgId) { return Queue(_REQUEST_HTTP_REVOKEMSG, msgId); }

int TAPIInterface::ReadMsgIM(const char* peer) {
  return Queue(_REQUEST_HTTP_READMSGIM, CreateDialogID(), Text(peer));
}

int TAPIInterface::GetHistoryMsg(const char* peer, int lastId, int pageSize) {
  return Queue(_REQUEST_HTTP_GETHISTORYMSG, CreateDialogID(), Text(peer), std::to_string(lastId),
               std::to_string(pageSize));
}
