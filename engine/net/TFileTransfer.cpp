#include "net/TFileTransfer.h"

#include <cstdlib>
#include <string>

#include "TAPIInterface.h"
#include "net/TFileUpload.h"
#include "net/THttpRequestService.h"

namespace {

// The request service runs these codes through the handlers below.
struct RegisterFileExecutors {
  RegisterFileExecutors() {
    THttpRequestService::RegisterExecutor(
        _REQUEST_HTTP_UPLOADFILE,
        [](THttpRequestService&, TAPIPacket* p) { return TFileTransfer::OnUploadFile(p); });
  }
} g_registerFileExecutors;

}  // namespace

int TFileTransfer::OnUploadFile(TAPIPacket* packet) {
  std::string remote;
  int result = UploadLocalFile(packet, packet->s1, atoi(packet->s2.c_str()), &remote);
  if (result == kUploadOk) packet->s4 = remote;
  return result;
}
