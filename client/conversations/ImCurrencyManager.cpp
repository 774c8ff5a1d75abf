#include "conversations/ImCurrencyManager.h"

#include "shell/VExitCleanup.h"

ImCurrencyManager::ImCurrencyManager() : ImCurrencyManager(new QList<QObject*>) {}

ImCurrencyManager::ImCurrencyManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImCurrencyManager::~ImCurrencyManager() { delete m_items; }

ImCurrencyManager* ImCurrencyManager::instance() {
  static ImCurrencyManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImCurrencyManager; });
}
