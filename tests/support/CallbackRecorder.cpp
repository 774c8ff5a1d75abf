#include "support/CallbackRecorder.h"

#include <algorithm>

CallbackRecorder& CallbackRecorder::Get() {
  static CallbackRecorder recorder;
  return recorder;
}

void CallbackRecorder::Callback(int method, int status, int dialogID, int timer, const char* arg1) {
  CallbackRecorder& self = Get();
  {
    std::lock_guard<std::mutex> lock(self.m_mutex);
    if (++self.m_inside > 1) self.m_overlap = true;
  }
  RecordedReport report{method, status,           dialogID,
                        timer,  arg1 ? arg1 : "", std::this_thread::get_id()};
  // Widen the window in which an overlapping call would be seen.
  std::this_thread::sleep_for(std::chrono::microseconds(50));
  {
    std::lock_guard<std::mutex> lock(self.m_mutex);
    --self.m_inside;
    self.m_reports.push_back(std::move(report));
  }
  self.m_cond.notify_all();
}

void CallbackRecorder::Clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_reports.clear();
  m_overlap = false;
}

std::vector<RecordedReport> CallbackRecorder::Reports() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_reports;
}

std::vector<RecordedReport> CallbackRecorder::ReportsWith(int code) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<RecordedReport> out;
  for (const auto& r : m_reports)
    if (r.code == code) out.push_back(r);
  return out;
}

size_t CallbackRecorder::Count(int code, int id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return std::count_if(m_reports.begin(), m_reports.end(),
                       [&](const RecordedReport& r) { return r.code == code && r.id == id; });
}

std::optional<RecordedReport> CallbackRecorder::WaitFor(int code, std::optional<int> id,
                                                        std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  std::optional<RecordedReport> found;
  m_cond.wait_for(lock, timeout, [&] {
    for (const auto& r : m_reports) {
      if (r.code == code && (!id || r.id == *id)) {
        found = r;
        return true;
      }
    }
    return false;
  });
  return found;
}

bool CallbackRecorder::WaitForCount(int code, size_t n, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_cond.wait_for(lock, timeout, [&] {
    return static_cast<size_t>(
               std::count_if(m_reports.begin(), m_reports.end(),
                             [&](const RecordedReport& r) { return r.code == code; })) >= n;
  });
}
