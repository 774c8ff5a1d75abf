// Thread start: entry functions take one void* and return an exit code, as the
// engine's loops are written.
#ifndef TESMO_PLATFORM_THREAD_H
#define TESMO_PLATFORM_THREAD_H

#include <thread>

namespace tesmo {

using ThreadEntry = unsigned (*)(void*);

inline std::thread StartThread(ThreadEntry entry, void* arg) {
  return std::thread([entry, arg] { entry(arg); });
}

inline unsigned CurrentThreadId() {
  return static_cast<unsigned>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
}

}  // namespace tesmo

#endif
