// Wall-clock time texts and values, and the engine's whole-second sleep.
#ifndef TESMO_UTIL_TTIMEUTIL_H
#define TESMO_UTIL_TTIMEUTIL_H

#include <cstdint>
#include <string>

// Local time as "YYYY-MM-DD hh:mm:ss".
std::string GetLocalTimeString();
// Milliseconds since 1970 (wall clock).
int64_t GetTimeMillis();
// Sleeps the given seconds, waking early when the engine stops.
void SleepSeconds(int seconds);

#endif
