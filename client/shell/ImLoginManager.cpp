#include "shell/ImLoginManager.h"

#include "shell/VExitCleanup.h"

ImLoginManager::ImLoginManager() = default;

ImLoginManager* ImLoginManager::instance() {
  static ImLoginManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImLoginManager; });
}
