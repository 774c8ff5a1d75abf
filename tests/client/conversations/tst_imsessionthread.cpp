// The counters worker against the engine test double and a temporary database:
// unread counts per conversation kind, the @-flag order, answer order and a
// prompt stop with many requests still queued.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "conversations/ImSessionThread.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "support/ClientTestMain.h"
#include "support/MessageRows.h"

namespace {
ImUiInterface* ui() { return ImUiInterface::instance(); }

// One stored message of the fixture.
void Store(const QString& from, const QString& to, int totype, int seeflag, int deleted) {
  MessageRows::Message m;
  m.from = from;
  m.to = to;
  m.totype = totype;
  m.seeflag = seeflag;
  m.deleted = deleted;
  QVERIFY(MessageRows::Store(m) > 0);
}

int CountCalls(const std::string& name) {
  const auto names = EngineDouble::CallNames();
  return static_cast<int>(std::count(names.begin(), names.end(), name));
}
}  // namespace

class TestImSessionThread : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  std::unique_ptr<ImSessionThread> m_thread;

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    QCOMPARE(ui()->SetDatabase(m_dir.filePath(QStringLiteral("tesChat.db")).toUtf8().constData()),
             2);
    // One-to-one with p1: unread both ways count; read, deleted and group rows do not.
    Store(QStringLiteral("p1"), QStringLiteral("me"), 0, 0, 0);
    Store(QStringLiteral("p1"), QStringLiteral("me"), 0, 0, 0);
    Store(QStringLiteral("me"), QStringLiteral("p1"), 0, 0, 0);
    Store(QStringLiteral("p1"), QStringLiteral("me"), 0, 1, 0);
    Store(QStringLiteral("p1"), QStringLiteral("me"), 0, 0, 1);
    Store(QStringLiteral("me"), QStringLiteral("p1"), 1, 0, 0);
    // A quote in the account neither breaks the statement nor reaches "o".
    Store(QStringLiteral("o'neil"), QStringLiteral("me"), 0, 0, 0);
    Store(QStringLiteral("o'neil"), QStringLiteral("me"), 0, 0, 0);
    Store(QStringLiteral("o"), QStringLiteral("me"), 0, 1, 0);
    // A group: only unread, undeleted messages to the group.
    for (int i = 0; i < 4; ++i) Store(QStringLiteral("p1"), QStringLiteral("1001@group"), 1, 0, 0);
    Store(QStringLiteral("p1"), QStringLiteral("1001@group"), 1, 1, 0);
    Store(QStringLiteral("p1"), QStringLiteral("1001@group"), 1, 0, 1);
    // A message its sender recalled, unread, and the recall notice: one to read.
    for (const QString& to : {QStringLiteral("me"), QStringLiteral("1009@group")}) {
      MessageRows::Message recalled;
      recalled.from = QStringLiteral("p9");
      recalled.to = to;
      recalled.totype = to == QLatin1String("me") ? 0 : 1;
      const int id = MessageRows::Store(recalled);
      QVERIFY(id > 0);
      QVERIFY(ui()->dbExecSql(
          QStringLiteral("update nq_message set revokeflag=1 where id=%1").arg(id)));
      MessageRows::Message notice = recalled;
      notice.msgtype = 9;
      notice.content = QString::number(id);
      QVERIFY(MessageRows::Store(notice) > 0);
    }
  }

  void init() {
    EngineDouble::Reset();
    m_thread = std::make_unique<ImSessionThread>();
  }

  void cleanup() { m_thread.reset(); }

  void unreadCounts_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("queries");
    QTest::newRow("person, both directions") << "p1" << 0 << 3 << 1;
    QTest::newRow("person with a quote") << "o'neil" << 0 << 2 << 1;
    QTest::newRow("prefix of a quoted account") << "o" << 0 << 0 << 1;
    QTest::newRow("group") << "1001@group" << 1 << 4 << 1;
    QTest::newRow("group counted as a person") << "1001@group" << 0 << 0 << 1;
    QTest::newRow("group kind: the one totype 1 row") << "p1" << 1 << 1 << 1;
    QTest::newRow("unknown type, no query") << "p1" << 2 << 0 << 0;
    QTest::newRow("unknown account") << "nobody" << 0 << 0 << 1;
    QTest::newRow("person, recalled message") << "p9" << 0 << 1 << 1;
    QTest::newRow("group, recalled message") << "1009@group" << 1 << 1 << 1;
  }

  void unreadCounts() {
    QFETCH(QString, account);
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(int, queries);
    QSignalSpy answers(m_thread.get(), &ImSessionThread::msgCountChange);
    emit m_thread->updateMsgCount(account, type);
    QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 20000);
    QCOMPARE(answers.at(0).at(0).toString(), account);
    QCOMPARE(answers.at(0).at(1).toInt(), count);
    QCOMPARE(CountCalls("DBSelectSql"), queries);
  }

  void atFlag_data() {
    QTest::addColumn<int>("mentioned");
    QTest::addColumn<int>("all");
    QTest::addColumn<int>("flag");
    QTest::newRow("none") << 0 << 0 << 0;
    QTest::newRow("only @all") << 0 << 1 << 2;
    QTest::newRow("only the user") << 1 << 0 << 1;
    QTest::newRow("the user beats @all") << 1 << 1 << 1;
  }

  void atFlag() {
    QFETCH(int, mentioned);
    QFETCH(int, all);
    QFETCH(int, flag);
    EngineDouble::SetInt("SearchAtMsg:2002@group:1", mentioned);
    EngineDouble::SetInt("SearchAtMsg:2002@group:2", all);
    QSignalSpy answers(m_thread.get(), &ImSessionThread::msgAtFlagChange);
    emit m_thread->updateAtFlag(QStringLiteral("2002@group"));
    QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 20000);
    QCOMPARE(answers.at(0).at(0).toString(), QStringLiteral("2002@group"));
    QCOMPARE(answers.at(0).at(1).toInt(), flag);
    // Both searches run every time, @all first.
    std::vector<std::string> searches;
    for (const std::string& call : EngineDouble::Calls())
      if (call.rfind("SearchAtMsg(", 0) == 0) searches.push_back(call);
    QCOMPARE(searches,
             (std::vector<std::string>{"SearchAtMsg(2002@group,2)", "SearchAtMsg(2002@group,1)"}));
  }

  void answersKeepRequestOrder() {
    QSignalSpy counts(m_thread.get(), &ImSessionThread::msgCountChange);
    QStringList asked;
    for (int i = 0; i < 200; ++i) {
      const QString account = i % 3 == 0   ? QStringLiteral("p1")
                              : i % 3 == 1 ? QStringLiteral("o'neil")
                                           : QStringLiteral("x%1").arg(i);
      asked << account;
      emit m_thread->updateMsgCount(account, 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(counts.count(), 200, 20000);
    QStringList answered;
    for (const QList<QVariant>& answer : counts) answered << answer.at(0).toString();
    QCOMPARE(answered, asked);
    QCOMPARE(counts.at(0).at(1).toInt(), 3);
    QCOMPARE(counts.at(1).at(1).toInt(), 2);
  }

  // One request for many rows answers as the single requests would, in order:
  // each account's count, a group's @-flag right after its count, and a queued
  // single request after the whole batch.
  void batchAnswersAsSingleRequestsInOrder() {
    EngineDouble::SetInt("SearchAtMsg:1001@group:2", 1);
    QSignalSpy counts(m_thread.get(), &ImSessionThread::msgCountChange);
    QSignalSpy flags(m_thread.get(), &ImSessionThread::msgAtFlagChange);
    emit m_thread->updateCounters({"p1", "1001@group", "o'neil", "nobody"}, {0, 1, 0, 2});
    emit m_thread->updateMsgCount(QStringLiteral("o'neil"), 0);
    QTRY_COMPARE_WITH_TIMEOUT(counts.count(), 5, 20000);
    QStringList answered;
    QList<int> values;
    for (const QList<QVariant>& answer : counts) {
      answered << answer.at(0).toString();
      values << answer.at(1).toInt();
    }
    QCOMPARE(answered, (QStringList{"p1", "1001@group", "o'neil", "nobody", "o'neil"}));
    QCOMPARE(values, (QList<int>{3, 4, 2, 0, 2}));
    QCOMPARE(flags.count(), 1);
    QCOMPARE(flags.at(0).at(0).toString(), QStringLiteral("1001@group"));
    QCOMPARE(flags.at(0).at(1).toInt(), 2);
    // The group's searches ran between its count and the next account's.
    std::vector<std::string> calls;
    for (const std::string& call : EngineDouble::Calls())
      if (call.rfind("SearchAtMsg(", 0) == 0 || call.rfind("DBSelectSql(", 0) == 0)
        calls.push_back(call.substr(0, call.find('(')));
    QCOMPARE(calls, (std::vector<std::string>{"DBSelectSql", "DBSelectSql", "SearchAtMsg",
                                              "SearchAtMsg", "DBSelectSql", "DBSelectSql"}));
  }

  // A batch whose owner goes stops between its rows.
  void destroyedDuringABigBatch() {
    constexpr int kRows = 50000;
    QStringList accounts;
    QList<int> types;
    for (int i = 0; i < kRows; ++i) {
      accounts << QStringLiteral("p1");
      types << 0;
    }
    emit m_thread->updateCounters(accounts, types);
    m_thread.reset();
    const int served = CountCalls("DBSelectSql");
    QVERIFY2(served < kRows, qPrintable(QString::number(served)));
    QTest::qWait(50);
    QCOMPARE(CountCalls("DBSelectSql"), served);
  }

  // The owner goes while a long queue waits: it returns after the request in
  // progress and the rest are never run.
  void destroyedWithManyQueuedRequests() {
    constexpr int kRequests = 50000;
    QSignalSpy counts(m_thread.get(), &ImSessionThread::msgCountChange);
    for (int i = 0; i < kRequests; ++i) emit m_thread->updateMsgCount(QStringLiteral("p1"), 0);
    m_thread.reset();
    const int served = CountCalls("DBSelectSql");
    QVERIFY2(served < kRequests, qPrintable(QString::number(served)));
    QTest::qWait(50);
    QCOMPARE(CountCalls("DBSelectSql"), served);
    QVERIFY(counts.count() <= served);
  }
};

TESMO_CLIENT_TEST_MAIN(TestImSessionThread)
#include "tst_imsessionthread.moc"
