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
  std::string url;
  try {
    if (TEngineCore::Instance())
      url = THttpRequestService(nullptr).GetServerUrl(Text(path), Text(serverKey));
  } catch (...) {
    url.clear();  // no exception leaves the facade
  }
  return FillResultBuffer(buffer, sizeof(buffer), url);
}

char* TAPIInterface::CreateAccountRequestURL(const char* path, const char* account,
                                             const char* serverKey) {
  thread_local char buffer[kUrlBufferSize];
  std::string url;
  try {
    if (TEngineCore::Instance())
      url = THttpRequestService(nullptr).BuildUrl(Text(path), Text(account), Text(serverKey));
  } catch (...) {
    url.clear();
  }
  return FillResultBuffer(buffer, sizeof(buffer), url);
}

char* TAPIInterface::SyncSendGet(int unused, const char* url) {
  (void)unused;
  try {
    int error = 0;
    return PushResult(THttpRequestService(nullptr).SyncGet(Text(url), &error));
  } catch (...) {
    return TStringQueue::EmptyText();
  }
}

char* TAPIInterface::SyncSendPost(int unused, const char* url, const char* body) {
  (void)unused;
  try {
    int error = 0;
    return PushResult(THttpRequestService(nullptr).PostJson(Text(url), Text(body), &error));
  } catch (...) {
    return TStringQueue::EmptyText();
  }
}
