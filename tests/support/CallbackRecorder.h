#ifndef TESMO_TESTS_CALLBACKRECORDER_H
#define TESMO_TESTS_CALLBACKRECORDER_H

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TAPIInterface.h"

// One report as the callback saw it, copied during the call.
struct RecordedReport {
  int code = 0;
  int a = 0;
  int id = 0;
  int b = 0;
  std::string text;
  std::thread::id thread;
};

// Records every report of the engine's callback. It copies everything and never
// calls back into the engine, as a caller's callback must. One per process, since
// the callback is a plain function.
class CallbackRecorder {
 public:
  static CallbackRecorder& Get();
  static void Callback(int method, int status, int dialogID, int timer, const char* arg1);

  void Clear();
  std::vector<RecordedReport> Reports();
  std::vector<RecordedReport> ReportsWith(int code);
  size_t Count(int code, int id);
  // Waits until a report with this code (and id, when given) arrived.
  std::optional<RecordedReport> WaitFor(
      int code, std::optional<int> id = std::nullopt,
      std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Waits until at least n reports with the code arrived.
  bool WaitForCount(int code, size_t n,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Set by the callback when two calls overlapped.
  bool SawOverlap() const { return m_overlap; }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cond;
  std::vector<RecordedReport> m_reports;
  int m_inside = 0;
  bool m_overlap = false;
};

#endif
