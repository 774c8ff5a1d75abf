#ifndef TESMO_CLIENT_SHELL_VSIGNALSTACK_H
#define TESMO_CLIENT_SHELL_VSIGNALSTACK_H

#include <cstddef>

// Alternate signal stacks, so that the crash handler can still run in a thread
// that ran out of its own stack. The kernel gives a new thread none, and most of
// the process's threads are started by Qt, the web engine, the media framework or
// the engine library: thread creation itself goes through here (the program
// defines pthread_create, which every library's call resolves to), and each
// thread gets its stack before its own code runs.
class VSignalStack {
 public:
  static constexpr std::size_t kSize = 64 * 1024;

  // Gives the calling thread an alternate stack unless it has one already; it is
  // released when the thread ends. False when none could be set up.
  static bool ensureForThisThread();
  // Whether the calling thread has an alternate stack.
  static bool thisThreadHasOne();
};

#endif
