#include "shell/ImLoginManager.h"

#include "shell/VExitCleanup.h"

ImLoginManager::ImLoginManager() = default;

ImLoginManager* ImLoginManager::instance() {
  static ImLoginManager* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new ImLoginManager;
    VExitCleanup::add([] {
      ImLoginManager* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
