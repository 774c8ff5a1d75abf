#ifndef TESMO_TESTS_CLIENT_CONTACTS_GROUPTESTSUPPORT_H
#define TESMO_TESTS_CLIENT_CONTACTS_GROUPTESTSUPPORT_H

// Helpers of the contact and group list tests: the requests recorded by the
// engine test double, and waiting until every engine reply has been handled.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QtTest>
#include <string>

#include "double/EngineDouble.h"
#include "shell/UIMessage.h"

namespace GroupTest {

// A report code that no manager handles.
constexpr int kSettleCode = 100014;

// The calls of the double named `name` so far.
inline QStringList CallsOf(const char* name) {
  QStringList found;
  const std::string prefix = std::string(name) + "(";
  for (const std::string& call : EngineDouble::Calls())
    if (call.rfind(prefix, 0) == 0) found << QString::fromStdString(call);
  return found;
}

// The JSON body of a recorded "Name(id,body)" or "Name(id,url,body)" call.
inline QJsonObject Body(const QString& call, int skipArguments = 1) {
  int from = call.indexOf('(') + 1;
  for (int i = 0; i < skipArguments; ++i) from = call.indexOf(',', from) + 1;
  const QString text = call.mid(from, call.size() - from - 1);
  return QJsonDocument::fromJson(text.toUtf8()).object();
}

// The body without its "transid", which is checked apart.
inline QJsonObject WithoutTransId(QJsonObject body) {
  if (body.value("transid").toString().size() != 34)
    body.insert("transid", "bad transid");
  else
    body.remove("transid");
  return body;
}

// Hands one report straight to a manager's onNotify, as the bridge would.
template <typename Manager>
void Deliver(Manager* manager, int method, int status, int did, const QString& text) {
  UIMessage message;
  message.m_Method = method;
  message.m_Status = status;
  message.m_DialogID = did;
  message.m_Arg1 = text;
  manager->onNotify(&message);
}

// Waits until the double has answered every request made so far and the main
// thread has handled the answers, also those of requests the answers caused; false
// when the answers did not arrive within 20 s.
inline bool SettleWithin() {
  static int marker = 800000;
  for (int round = 0; round < 10; ++round) {
    const size_t calls = EngineDouble::Calls().size();
    // Each worker answers in order, so its marker comes after what it had.
    QSet<int> markers;
    for (int worker = 0; worker < EngineDouble::kWorkerCount; ++worker) {
      markers.insert(++marker);
      EngineDouble::Raise(worker, kSettleCode, 0, marker, 0, "settle");
    }
    auto arrived = [&] {
      int seen = 0;
      for (const auto& report : EngineDouble::Delivered())
        seen += report.code == kSettleCode && markers.contains(report.id);
      return seen == markers.size();
    };
    QDeadlineTimer deadline(20000);
    while (!arrived()) {
      if (deadline.hasExpired()) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    if (EngineDouble::Calls().size() == calls) return true;
  }
  return true;
}

// The same inside a Qt test function: a time-out fails the test.
inline void Settle() { QVERIFY2(SettleWithin(), "the engine double did not answer"); }

}  // namespace GroupTest

#endif
