#ifndef TESMO_CLIENT_SHELL_VEXITCLEANUP_H
#define TESMO_CLIENT_SHELL_VEXITCLEANUP_H

#include <QObject>
#include <functional>

// Deletes the process-wide singletons. Start-up runs it after the event loop,
// while the application object still exists; whatever is left (a program that
// never reached that point) is deleted by an exit-time function.
class VExitCleanup {
 public:
  // Registers the deleter of a singleton that has just been created.
  static void add(std::function<void()> deleter);
  // The object in `slot`, made by `make` on first use (main thread, no lock); the
  // clean-up deletes it once and clears the slot.
  template <typename T, typename Make>
  static T* singleton(T*& slot, Make make) {
    if (!slot) {
      slot = make();
      add([&slot] {
        // Through QObject, whose destructor is public and virtual.
        QObject* doomed = slot;
        slot = nullptr;
        delete doomed;
      });
    }
    return slot;
  }
  // Runs every registered deleter once, newest first.
  static void runAll();
};

#endif
