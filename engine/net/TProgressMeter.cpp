#include "net/TProgressMeter.h"

#include "net/THttpRequestService.h"
#include "net/TNetContext.h"

namespace {
constexpr int64_t kExactLimit = 1000000;
}  // namespace

void RaiseTransferProgress(int code, int id, int value, const std::string& text) {
  TNetContext* core = TNetContext::Instance();
  THttpRequestService* service = core ? core->GetRequestService() : nullptr;
  if (service) service->RaiseEvent(code, value, id, text);
}

int TProgressMeter::PerMille(int64_t done, int64_t total) {
  if (total <= 0 || done <= 0) return 0;
  if (done > total) done = total;
  int64_t value = total < kExactLimit ? done * 1000 / total : done / (total / 1000);
  return static_cast<int>(value > 1000 ? 1000 : value);
}

void TProgressMeter::Update(int64_t done, int64_t total) {
  if (m_enabled) Report(PerMille(done, total));
}

void TProgressMeter::Report(int perMille) {
  if (!m_enabled || perMille == m_last) return;
  m_last = perMille;
  RaiseTransferProgress(m_code, m_id, perMille, "");
}
