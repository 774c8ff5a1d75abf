// The facade's life cycle and the road of every report to the caller's callback.
#include "TAPIInterface.h"

#include <atomic>

#include "core/TAutoLock.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"

namespace {
std::atomic<TAPIInterface*> g_instance{nullptr};
std::atomic<TBaseMutex*> g_callbackMutex{nullptr};
}  // namespace

TAPIInterface::TAPIInterface() : m_callback(nullptr), m_database(nullptr) { g_instance = this; }

TAPIInterface::~TAPIInterface() {
  Release();
  SetDatabaseManager(nullptr);
  TAPIInterface* self = this;
  g_instance.compare_exchange_strong(self, nullptr);
}

TAPIInterface* TAPIInterface::Instance() { return g_instance.load(); }

const char* TAPIInterface::GetIPAddress(int type) {
  (void)type;
  return TStringQueue::EmptyText();
}

void TAPIInterface::Init() {
  // Only exhausted memory or threads can throw here; the caller sees a missing core.
  try {
    if (!TEngineCore::Instance()) new TEngineCore(this);
    if (!g_callbackMutex.load()) g_callbackMutex = new TBaseMutex;
  } catch (...) {
  }
}

void TAPIInterface::SetCallBack(TAPICallBack callback) { m_callback = callback; }

int TAPIInterface::Run() {
  TEngineCore* core = TEngineCore::Instance();
  try {
    return core ? core->Run() : 0;
  } catch (...) {
    return 0;  // a thread could not be started
  }
}

void TAPIInterface::Release() {
  // The core's destructor stops and joins every engine thread, so nothing can be
  // inside the callback road once the mutex goes.
  delete TEngineCore::Instance();
  delete g_callbackMutex.exchange(nullptr);
}

int TAPIInterface::CreateDialogID() {
  return TEngineCore::Instance() ? TEngineCore::NextDialogID() : 0;
}

void TAPIInterface::DeliverPacket(TAPIPacket* packet) {
  if (!packet) return;
  TBaseMutex* mutex = g_callbackMutex.load();
  if (mutex) {
    TAutoLock lock(mutex);
    TAPICallBack callback = m_callback.load();
    if (callback) callback(packet->code, packet->a, packet->id, packet->b, packet->s4.c_str());
  }
  delete packet;
}

void TAPIInterface::NotifyCallback(int code, int a, int id, int b, const char* text) {
  TBaseMutex* mutex = g_callbackMutex.load();
  if (!mutex) return;
  TAutoLock lock(mutex);
  TAPICallBack callback = m_callback.load();
  if (callback) callback(code, a, id, b, text ? text : "");
}

TBaseMutex* TAPIInterface::CallbackMutex() { return g_callbackMutex.load(); }

char* TAPIInterface::PushResult(const std::string& text) { return ThreadResultRing().Push(text); }
