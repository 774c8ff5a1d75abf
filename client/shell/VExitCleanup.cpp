#include "shell/VExitCleanup.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace {
std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::vector<std::function<void()>>& Deleters() {
  static std::vector<std::function<void()>> deleters;
  return deleters;
}

void RunAtExit() { VExitCleanup::runAll(); }
}  // namespace

void VExitCleanup::add(std::function<void()> deleter) {
  static bool scheduled = false;
  std::lock_guard<std::mutex> guard(Lock());
  // The list exists before the exit-time function is registered, so it is
  // destroyed after that function has run.
  Deleters().push_back(std::move(deleter));
  if (!scheduled) {
    scheduled = true;
    std::atexit(RunAtExit);
  }
}

void VExitCleanup::runAll() {
  for (;;) {
    std::function<void()> deleter;
    {
      std::lock_guard<std::mutex> guard(Lock());
      if (Deleters().empty()) return;
      deleter = std::move(Deleters().back());
      Deleters().pop_back();
    }
    // Outside the lock: a destructor may reach another singleton.
    deleter();
  }
}
