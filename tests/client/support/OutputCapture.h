#ifndef TESMO_TESTS_CLIENT_OUTPUTCAPTURE_H
#define TESMO_TESTS_CLIENT_OUTPUTCAPTURE_H

// Catches every line the program writes to its output, debug lines included, while
// a capture lives: desktop sessions keep that output in the journal, so tests look
// for what must never be in it. Engine threads write too, hence the lock.

#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>
#include <QtGlobal>

namespace OutputCapture {

struct Lines {
  QMutex lock;
  QStringList lines;
  QtMessageHandler previous = nullptr;
};

inline Lines& Shared() {
  static Lines shared;
  return shared;
}

inline void Handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  Lines& shared = Shared();
  {
    QMutexLocker locker(&shared.lock);
    shared.lines << text;
  }
  // Debug lines come from engine threads too, where the test log may not write.
  if (type != QtDebugMsg && shared.previous) shared.previous(type, context, text);
}

// Debug lines on and caught from its start to its end, also when a check leaves
// early.
class Capture {
 public:
  Capture() {
    clear();
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=true"));
    Shared().previous = qInstallMessageHandler(Handler);
  }
  ~Capture() {
    qInstallMessageHandler(Shared().previous);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
  }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  void clear() {
    QMutexLocker locker(&Shared().lock);
    Shared().lines.clear();
  }
  QStringList lines() const {
    QMutexLocker locker(&Shared().lock);
    return Shared().lines;
  }
};

}  // namespace OutputCapture

#endif
