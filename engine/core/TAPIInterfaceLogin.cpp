// Facade: QR login and the values that the login reply leaves.
#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"
#include "services/TQRLoginThread.h"

int TAPIInterface::GetQRUserInfo(const char* qrKey) {
  // Only the engine core stops the poll (at Release): without one, a poll started
  // here would outlive the engine and report into nothing.
  if (!TEngineCore::Instance()) return 0;
  TQRLoginThread& poll = TQRLoginThread::Instance();
  poll.Stop();
  return poll.Start(qrKey ? qrKey : "");
}

char* TAPIInterface::GetBombRedUrl() {
  thread_local char buffer[512];
  TEngineCore* core = TEngineCore::Instance();
  return core ? FillResultBuffer(buffer, sizeof(buffer), core->GetRedPacketUrl())
              : TStringQueue::EmptyText();
}
