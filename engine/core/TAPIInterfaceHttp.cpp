// Facade: synchronous HTTP and request URLs. These run on the caller's thread
// through a service that is never started.
#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"
#include "net/THttpRequestService.h"

namespace {

constexpr size_t kUrlBufferSize = 512;

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

char* TAPIInterface::CreateRequestURL(const char* path, const char* serverKey) {
  thread_local char buffer[kUrlBufferSize];
  if (!TEngineCore::Instance()) return FillResultBuffer(buffer, sizeof(buffer), "");
  THttpRequestService service(nullptr);
  return FillResultBuffer(buffer, sizeof(buffer),
                          service.GetServerUrl(Text(path), Text(serverKey)));
}

char* TAPIInterface::CreateAccountRequestURL(const char* path, const char* account,
                                             const char* serverKey) {
  thread_local char buffer[kUrlBufferSize];
  if (!TEngineCore::Instance()) return FillResultBuffer(buffer, sizeof(buffer), "");
  THttpRequestService service(nullptr);
  return FillResultBuffer(buffer, sizeof(buffer),
                          service.BuildUrl(Text(path), Text(account), Text(serverKey)));
}

char* TAPIInterface::SyncSendGet(int unused, const char* url) {
  (void)unused;
  THttpRequestService service(nullptr);
  int error = 0;
  return PushResult(service.SyncGet(Text(url), &error));
}

char* TAPIInterface::SyncSendPost(int unused, const char* url, const char* body) {
  (void)unused;
  THttpRequestService service(nullptr);
  int error = 0;
  return PushResult(service.PostJson(Text(url), Text(body), &error));
}
