// Reports, once, the moment the first shown Qt Quick window has put its first
// frame on the screen: "first-frame <CLOCK_MONOTONIC nanoseconds>" on stdout.
// The start-up driver compares it with the moment it started the process.
#ifndef TESMO_BENCH_CLIENT_FIRSTFRAMEPROBE_H
#define TESMO_BENCH_CLIENT_FIRSTFRAMEPROBE_H

#include <time.h>

#include <QGuiApplication>
#include <QQuickWindow>
#include <atomic>
#include <cstdio>

namespace FirstFrameProbe {

inline long long MonotonicNanos() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Frames are drawn only once the event loop runs, so watching after the first
// window was made and shown misses none. Returns false when no window shows.
inline bool Watch() {
  static std::atomic<bool> reported{false};
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    auto* quick = qobject_cast<QQuickWindow*>(window);
    if (quick == nullptr || !quick->isVisible()) continue;
    // frameSwapped comes from the render thread: report from there.
    QObject::connect(
        quick, &QQuickWindow::frameSwapped, quick,
        [] {
          if (reported.exchange(true)) return;
          std::printf("first-frame %lld\n", MonotonicNanos());
          std::fflush(stdout);
        },
        Qt::DirectConnection);
    return true;
  }
  return false;
}

}  // namespace FirstFrameProbe

#endif  // TESMO_BENCH_CLIENT_FIRSTFRAMEPROBE_H
