// The facade's life cycle and the road of every report to the caller's callback.
#include "TAPIInterface.h"

#include <atomic>
#include <memory>

#include "base/TAutoLock.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"
#include "services/TFacadeLink.h"

namespace {
std::atomic<TAPIInterface*> g_instance{nullptr};
std::atomic<TBaseMutex*> g_callbackMutex{nullptr};

// The facade as the engine below it sees it: bound to one facade, or with none to
// whichever facade the process has at the time of the call.
class TAPIInterfaceLink : public TFacadeLink {
 public:
  explicit TAPIInterfaceLink(TAPIInterface* facade) : m_facade(facade) {}

  void DeliverPacket(TAPIPacket* packet) override {
    TAPIInterface* facade = Facade();
    if (facade)
      facade->DeliverPacket(packet);
    else
      delete packet;
  }
  void NotifyCallback(int code, int a, int id, int b, const char* text) override {
    if (TAPIInterface* facade = Facade()) facade->NotifyCallback(code, a, id, b, text);
  }
  TDBManager* GetDatabaseManager() const override {
    TAPIInterface* facade = Facade();
    return facade ? facade->GetDatabaseManager() : nullptr;
  }

  static void Register() {
    static TAPIInterfaceLink current(nullptr);
    SetCurrent(&current, &TAPIInterface::CallbackMutex);
  }

 private:
  TAPIInterface* Facade() const { return m_facade ? m_facade : g_instance.load(); }

  TAPIInterface* m_facade;
};
}  // namespace

TAPIInterface::TAPIInterface() : m_callback(nullptr), m_database(nullptr) {
  g_instance = this;
  TAPIInterfaceLink::Register();
}

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
    if (!TEngineCore::Instance()) new TEngineCore(std::make_unique<TAPIInterfaceLink>(this));
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
