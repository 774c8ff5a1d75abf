// Plain sleeps. Loops that must notice the engine's stop use EngineSleep
// (base/TStopFlag.h) instead, which wakes early.
#ifndef TESMO_PLATFORM_SLEEP_H
#define TESMO_PLATFORM_SLEEP_H

#include <cerrno>
#include <ctime>

namespace tesmo {

inline void SleepMs(unsigned ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace tesmo

#endif
