// Per-mille progress of one transfer, raised as an event only when the value moves.
#ifndef TESMO_NET_TPROGRESSMETER_H
#define TESMO_NET_TPROGRESSMETER_H

#include <cstdint>
#include <string>

// Raises a progress event (code, id, a = value, text) through the engine core's
// request service; nothing when no engine runs.
void RaiseTransferProgress(int code, int id, int value, const std::string& text);

class TProgressMeter {
 public:
  // enabled: the request's progress flag; nothing is raised when it is 0.
  TProgressMeter(int code, int id, int enabled) : m_code(code), m_id(id), m_enabled(enabled) {}

  // done x 1000 / total below a million bytes, else done / (total / 1000): both stay
  // within 32 bits and never pass 1000.
  static int PerMille(int64_t done, int64_t total);

  // Raises the event when the value differs from the last one raised.
  void Update(int64_t done, int64_t total);
  void Report(int perMille);
  int Last() const { return m_last; }

 private:
  int m_code;
  int m_id;
  int m_enabled;
  int m_last = -1;
};

#endif
