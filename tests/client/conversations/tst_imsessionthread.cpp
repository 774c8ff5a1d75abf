// The counters worker against the engine test double and a temporary database:
// unread counts per conversation kind, counts that leave out what the chat does
// not show, the @-flag order, answer order and a prompt stop with many requests
// still queued.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionThread.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
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

// Seeds one conversation from a list of kinds of unread message. Received ones
// come from "ann" (a member of a group, the peer of a person); in a group "mem"
// is a plain member and "boss" a manager.
void SeedConversation(const QString& account, int type, const QStringList& kinds) {
  const bool group = type == 1;
  const QString peer = group ? QStringLiteral("ann") : account;
  const auto store = [&](const QString& from, int msgtype, const QString& content, int seeflag) {
    MessageRows::Message m;
    m.from = from;
    m.to = group || from == QLatin1String("me") ? account : QStringLiteral("me");
    m.totype = type;
    m.msgtype = msgtype;
    m.content = content;
    m.sendflag = from == QLatin1String("me") ? 1 : 0;
    m.seeflag = seeflag;
    const int id = MessageRows::Store(m);
    if (id <= 0) qFatal("message not stored");
    return id;
  };
  const auto markRecalled = [](int id) {
    QVERIFY(
        ui()->dbExecSql(QStringLiteral("update nq_message set revokeflag=1 where id=%1").arg(id)));
  };
  if (group) {
    for (const char* member : {"ann,3", "mem,3", "boss,2"}) {
      const QStringList parts = QString::fromLatin1(member).split(QLatin1Char(','));
      QVERIFY(ui()->dbExecSql(
          QStringLiteral("insert into nq_groupuser(groupid,account,role) values(%1,%2,%3)")
              .arg(ImMessageQuery::quoted(account), ImMessageQuery::quoted(parts.at(0)),
                   parts.at(1))));
    }
  }
  for (const QString& kind : kinds) {
    if (kind == QLatin1String("text")) {
      store(peer, 0, QStringLiteral("hi"), 0);
    } else if (kind == QLatin1String("silent set")) {
      store(peer, 6, QStringLiteral(R"({"notify":"set","nick":"Ann","info":"new intro"})"), 0);
    } else if (kind == QLatin1String("rename")) {
      store(peer, 6, QStringLiteral(R"({"notify":"set","nick":"Ann","groupname":"Two"})"), 0);
    } else if (kind == QLatin1String("invite")) {
      store(peer, 6, QStringLiteral(R"({"notify":"invite","nick":"Ann"})"), 0);
    } else if (kind == QLatin1String("ban, no switch")) {
      store(peer, 6, QStringLiteral(R"({"notify":"groupban","nick":"Ann"})"), 0);
    } else if (kind == QLatin1String("ban pictures")) {
      store(peer, 6, QStringLiteral(R"({"notify":"groupban","nick":"Ann","banpic":1})"), 0);
    } else if (kind == QLatin1String("refused recall")) {
      // A member takes back another's message (in a person's chat: the peer takes
      // back the user's): the target is read, the notice unread.
      const int target =
          store(group ? QStringLiteral("ann") : QStringLiteral("me"), 0, QStringLiteral("t"), 1);
      store(group ? QStringLiteral("mem") : peer, 9, QString::number(target), 0);
    } else if (kind == QLatin1String("refused recall, marked")) {
      // Stored as an engine that did not check the rights stored it: the mark
      // does not stand, so the unread target shows.
      const int target = store(QStringLiteral("ann"), 0, QStringLiteral("t"), 0);
      markRecalled(target);
      store(QStringLiteral("mem"), 9, QString::number(target), 0);
    } else if (kind == QLatin1String("own recall")) {
      const int target = store(peer, 0, QStringLiteral("t"), 0);
      markRecalled(target);
      store(peer, 9, QString::number(target), 0);
    } else if (kind == QLatin1String("manager's recall")) {
      const int target = store(QStringLiteral("ann"), 0, QStringLiteral("t"), 0);
      markRecalled(target);
      store(QStringLiteral("boss"), 9, QString::number(target), 0);
    } else {
      QFAIL(qPrintable(kind));
    }
  }
}

// What the opened chat would show unread: its rows that are not read yet.
int ShownUnread(const QString& account, int type) {
  int unread = 0;
  for (const QVariantMap& row : ImSessionManager::instance()->queryMessages(account, type, 0, 1000))
    if (row.value(QStringLiteral("seeflag")).toInt() == 0) ++unread;
  return unread;
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
    VConfig::instance()->setValue(QStringLiteral("MY_ACCOUNT"), QStringLiteral("me"));
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
    // -1: the recall's rights are read from the store too.
    QTest::newRow("person, recalled message") << "p9" << 0 << 1 << -1;
    QTest::newRow("group, recalled message") << "1009@group" << 1 << 1 << -1;
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
    if (queries >= 0) QCOMPARE(CountCalls("DBSelectSql"), queries);
  }

  // The count holds what the opened chat shows unread: a group notice without a
  // line and a recall notice that the rights rule refuses are never shown, so
  // they never count, however they were stored.
  void countIsWhatTheChatShows_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<int>("count");
    QTest::newRow("texts") << "7001@group" << 1 << QStringList{"text", "text"} << 2;
    QTest::newRow("silent set") << "7002@group" << 1 << QStringList{"text", "silent set"} << 1;
    QTest::newRow("rename") << "7003@group" << 1 << QStringList{"text", "rename"} << 2;
    QTest::newRow("invite and ban without a switch")
        << "7004@group" << 1 << QStringList{"invite", "ban, no switch", "text"} << 1;
    QTest::newRow("ban of pictures") << "7005@group" << 1 << QStringList{"ban pictures"} << 1;
    QTest::newRow("member's recall refused")
        << "7006@group" << 1 << QStringList{"text", "refused recall"} << 1;
    QTest::newRow("refused recall of a marked message")
        << "7007@group" << 1 << QStringList{"refused recall, marked"} << 1;
    QTest::newRow("sender's own recall") << "7008@group" << 1 << QStringList{"own recall"} << 1;
    QTest::newRow("manager's recall") << "7009@group" << 1 << QStringList{"manager's recall"} << 1;
    QTest::newRow("all of them")
        << "7010@group" << 1
        << QStringList{"text",           "silent set",     "rename",           "invite",
                       "ban, no switch", "refused recall", "manager's recall", "own recall"}
        << 4;
    QTest::newRow("person: recalls")
        << "p70" << 0 << QStringList{"text", "refused recall", "own recall"} << 2;
  }

  void countIsWhatTheChatShows() {
    QFETCH(QString, account);
    QFETCH(int, type);
    QFETCH(QStringList, kinds);
    QFETCH(int, count);
    SeedConversation(account, type, kinds);
    QCOMPARE(ShownUnread(account, type), count);
    QSignalSpy answers(m_thread.get(), &ImSessionThread::msgCountChange);
    emit m_thread->updateMsgCount(account, type);
    QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 1, 20000);
    QCOMPARE(answers.at(0).at(1).toInt(), count);
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
