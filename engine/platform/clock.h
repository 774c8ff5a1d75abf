// Time sources: a monotonic millisecond tick (never goes back with the wall clock)
// and the broken-down local time.
#ifndef TESMO_PLATFORM_CLOCK_H
#define TESMO_PLATFORM_CLOCK_H

#include <cstdint>
#include <ctime>

namespace tesmo {

inline uint64_t TickCountMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec / 1000000);
}

inline std::tm LocalTime(std::time_t t) {
  std::tm out{};
  localtime_r(&t, &out);
  return out;
}

inline std::tm LocalTimeNow() { return LocalTime(std::time(nullptr)); }

}  // namespace tesmo

#endif
