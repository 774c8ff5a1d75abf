#include "util/TTimeUtil.h"

#include <cstdio>
#include <ctime>

#include "base/TStopFlag.h"

std::string GetLocalTimeString() {
  time_t now = time(nullptr);
  struct tm t {};
  localtime_r(&now, &t);
  char buf[64];
  snprintf(buf, sizeof(buf), "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
           t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

int64_t GetTimeMillis() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SleepSeconds(int seconds) {
  if (seconds > 0) EngineSleep(static_cast<unsigned>(seconds) * 1000u);
}
