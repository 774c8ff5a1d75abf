#ifndef TESMO_TESTS_CLIENT_REPORTDELIVERY_H
#define TESMO_TESTS_CLIENT_REPORTDELIVERY_H

// Raising an engine report on the test double and letting the main thread hand
// it to the managers.

#include <QCoreApplication>

#include "double/EngineDouble.h"

namespace ReportDelivery {

// True once the report reached the bridge and the queued delivery to the
// managers has run.
inline bool Deliver(int code, int a, int id, const std::string& text) {
  const size_t before = EngineDouble::Delivered().size();
  EngineDouble::Raise(0, code, a, id, 0, text);
  if (!EngineDouble::WaitDelivered(before + 1)) return false;
  QCoreApplication::processEvents();
  return true;
}

// Whether a report with this code has reached the bridge.
inline bool WasDelivered(int code) {
  for (const EngineDouble::Report& report : EngineDouble::Delivered())
    if (report.code == code) return true;
  return false;
}

}  // namespace ReportDelivery

#endif
