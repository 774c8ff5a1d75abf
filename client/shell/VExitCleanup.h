#ifndef TESMO_CLIENT_SHELL_VEXITCLEANUP_H
#define TESMO_CLIENT_SHELL_VEXITCLEANUP_H

#include <functional>

// Deletes the process-wide singletons. Start-up runs it after the event loop,
// while the application object still exists; whatever is left (a program that
// never reached that point) is deleted by an exit-time function.
class VExitCleanup {
 public:
  // Registers the deleter of a singleton that has just been created.
  static void add(std::function<void()> deleter);
  // Runs every registered deleter once, newest first.
  static void runAll();
};

#endif
