// What the open conversation keeps while it grows: rows let go far above the end
// come back by paging, in order and once each; and a message arriving in the open
// conversation is marked read by itself, not by rewriting the whole conversation.
#include <QPointer>
#include <QSignalSpy>
#include <algorithm>

#include "SessionFixture.h"
#include "conversations/ImSessionListManager.h"
#include "support/ClientTestMain.h"

using namespace SessionFixture;

namespace {

// The engine's report of a stored message, as it announces it.
QString Received(int id, qint64 seconds, const QString& content) {
  return Json({{"id", id},
               {"fromuser", kPeer},
               {"touser", kMe},
               {"totype", 0},
               {"msgtype", 0},
               {"content", content},
               {"sendflag", 0},
               {"sendtime", Time(seconds)}});
}

// Stores a message from the peer and announces it.
int Receive(qint64 seconds) {
  const int id = Insert({kPeer, kMe, 0, seconds});
  Notify(100008, 0, 0, Received(id, seconds, QStringLiteral("live %1").arg(seconds)));
  return id;
}

void PageToTheEnd() {
  for (int guard = 0; guard < 100 && !manager()->noMoreMsg(); ++guard)
    manager()->doLoadMoreHistory(true);
}

int Unseen() {
  const long set =
      ui()->DBSelectSql("select count(*) from nq_message where seeflag=0 and deleted=0");
  const int count = ui()->DBGetIntValue(set, 0, 0);
  ui()->DBRelease(set);
  return count;
}

}  // namespace

class TestImSessionWindow : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;

 private slots:
  void initTestCase() { VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US); }
  void init() {
    Start(m_dir);
    manager()->onFinishLoadAtMessage();  // an earlier @-jump's settle time is over
  }

  // A conversation read at its end while 150 messages arrive holds no more than
  // the rows it was asked to keep; the rest come back by paging, oldest last, each
  // once, and then the history ends.
  void releasedRowsComeBackByPaging() {
    QList<int> ids;
    for (int i = 0; i < 100; ++i)
      ids << Insert({i % 2 ? kPeer : kMe, i % 2 ? kMe : kPeer, 0, 60 * i, i % 2 ? 0 : 1});
    manager()->entrySession(kPeer, 0);
    PageToTheEnd();
    QCOMPARE(ViewIds(), ids);
    QVERIFY(manager()->noMoreMsg());
    for (int i = 0; i < 150; ++i) {
      ids << Receive(6000 + i);
      manager()->releaseOlderRows(80);
      QVERIFY2(manager()->itemCount() <= 81, qPrintable(QString::number(manager()->itemCount())));
    }
    QCOMPARE(ViewIds(), ids.mid(ids.size() - 80));
    // Let go means gone: the items of released rows no longer exist.
    QVERIFY(!manager()->getMsgEntity(ids.first()));
    // Older rows exist again, so the history has not ended.
    QVERIFY(!manager()->noMoreMsg());

    PageToTheEnd();
    QCOMPARE(ViewIds(), ids);
    QVERIFY(manager()->noMoreMsg());
  }

  // Rows shown out of the history's order (the last arrival is stamped before the
  // rows let go, and stays shown) are neither lost nor shown twice when the others
  // are read again.
  void releasedRowsOutOfOrderAreNotLost() {
    QList<int> ids;
    for (int i = 0; i < 40; ++i) ids << Insert({kPeer, kMe, 0, 60 * i});
    manager()->entrySession(kPeer, 0);
    PageToTheEnd();
    for (int i = 0; i < 70; ++i) ids << Receive(5000 + i);
    const int late = Receive(30);
    ids << late;
    QCOMPARE(manager()->releaseOlderRows(0), 111 - ImSessionManager::kKeptRows);
    QCOMPARE(manager()->itemCount(), ImSessionManager::kKeptRows);
    QVERIFY(manager()->getMsgEntity(late));
    PageToTheEnd();
    QList<int> shown = ViewIds();
    QCOMPARE(shown.size(), ids.size());
    std::sort(shown.begin(), shown.end());
    std::sort(ids.begin(), ids.end());
    QCOMPARE(shown, ids);
  }

  // Rows of one second, some let go and some still shown, come back once each: the
  // next page reads that second again without the rows still shown.
  void releasedRowsOfOneSecondComeBackOnce() {
    QList<int> ids;
    for (int i = 0; i < 30; ++i) ids << Insert({kPeer, kMe, 0, 60 * i});
    manager()->entrySession(kPeer, 0);
    PageToTheEnd();
    for (int i = 0; i < 90; ++i) ids << Receive(5000);
    QCOMPARE(manager()->releaseOlderRows(0), 120 - ImSessionManager::kKeptRows);
    PageToTheEnd();
    QList<int> shown = ViewIds();
    QCOMPARE(shown.size(), ids.size());
    std::sort(shown.begin(), shown.end());
    QCOMPARE(shown, ids);
  }

  // A page asked for at the view's top keeps the message that stood there: rows
  // that come in below it are no page; the older page places it where it stands
  // then and ends the wait; an answer that brought nothing ends the wait too.
  void aPageKeepsTheTopMessage() {
    for (int i = 0; i < 100; ++i) Insert({kPeer, kMe, 0, 60 * i});
    manager()->entrySession(kPeer, 0);
    const int firstPage = manager()->itemCount();
    QVERIFY(firstPage > 3);
    QSignalSpy paging(manager(), &ImSessionManager::pagingChanged);
    manager()->beginPage(3);
    QVERIFY(manager()->pageAwaited());
    QCOMPARE(manager()->pageTopRow(), 3);
    QCOMPARE(paging.count(), 1);

    Receive(9000);
    QCOMPARE(manager()->settlePage(), -1);
    QVERIFY(manager()->pageAwaited());

    manager()->doLoadMoreHistory(true);
    const int added = manager()->itemCount() - firstPage - 1;
    QVERIFY(added > 0);
    QCOMPARE(manager()->settlePage(), 3 + added);
    QVERIFY(!manager()->pageAwaited());
    QCOMPARE(manager()->settlePage(), -1);

    manager()->beginPage(0);
    manager()->endPageWhenNothingCame();
    QVERIFY(!manager()->pageAwaited());

    manager()->beginPage(0);
    manager()->endPage();
    QVERIFY(!manager()->pageAwaited());
  }

  // In batches: nothing goes until more than the batch is beyond what is kept,
  // then all of it at once.
  void releasesInBatches() {
    for (int i = 0; i < 100; ++i) Insert({kPeer, kMe, 0, 60 * i});
    manager()->entrySession(kPeer, 0);
    PageToTheEnd();
    const int beyond = 100 - ImSessionManager::kKeptRows;
    QSignalSpy removed(manager(), &QAbstractItemModel::rowsRemoved);
    QCOMPARE(manager()->releaseOlderRows(5, beyond), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(manager()->itemCount(), 100);
    QCOMPARE(manager()->releaseOlderRows(5, beyond - 1), beyond);
    QCOMPARE(manager()->itemCount(), ImSessionManager::kKeptRows);
  }

  // Below the kept number nothing goes; the items that stay are the same objects.
  void keepsAtLeastTwoPages() {
    for (int i = 0; i < 100; ++i) Insert({kPeer, kMe, 0, 60 * i});
    manager()->entrySession(kPeer, 0);
    PageToTheEnd();
    QPointer<QObject> newest = manager()->get(manager()->itemCount() - 1);
    QSignalSpy removed(manager(), &QAbstractItemModel::rowsRemoved);
    QCOMPARE(manager()->releaseOlderRows(5), 100 - ImSessionManager::kKeptRows);
    QCOMPARE(removed.count(), 1);  // one change for all of them
    QCOMPARE(manager()->itemCount(), ImSessionManager::kKeptRows);
    QCOMPARE(manager()->releaseOlderRows(5), 0);
    QVERIFY(newest);
    QCOMPARE(manager()->get(manager()->itemCount() - 1), newest.data());
  }

  // Once the open conversation was marked read, a message that arrives in it is
  // marked by itself: a row of the conversation that is unseen for another reason
  // is left alone (the conversation is not written again). Rows stored since (an
  // older page from the server comes with newer ids) are in the next mark, and
  // opening the conversation again marks it whole.
  void arrivingMessagesAreMarkedByThemselves() {
    const int old = Insert({kPeer, kMe, 0, 10});
    Insert({kPeer, kMe, 0, 20});
    manager()->entrySession(kPeer, 0);
    manager()->setAllMessageRead(kPeer, 0);
    QCOMPARE(Unseen(), 0);
    QVERIFY(
        ui()->dbExecSql(QStringLiteral("update nq_message set seeflag=0 where id=%1").arg(old)));

    // The page marks what arrives while the user can see it.
    const int live = Receive(30);
    manager()->setAllMessageRead(kPeer, 0);
    QCOMPARE(Field(live, "seeflag"), QString("1"));
    QCOMPARE(Field(old, "seeflag"), QString("0"));
    // Nothing arrived since: marking again writes nothing either.
    manager()->setAllMessageRead(kPeer, 0);
    QCOMPARE(Field(old, "seeflag"), QString("0"));

    const int stored = Insert({kPeer, kMe, 0, 5});
    Notify(200206, 0, 0);
    manager()->setAllMessageRead(kPeer, 0);
    QCOMPARE(Field(stored, "seeflag"), QString("1"));
    QCOMPARE(Field(old, "seeflag"), QString("0"));

    manager()->entrySession(kPeer, 0);
    manager()->setAllMessageRead(kPeer, 0);
    QCOMPARE(Field(old, "seeflag"), QString("1"));
  }

  // Another conversation's mark is always whole.
  void otherConversationsAreMarkedWhole() {
    const QString other = QStringLiteral("3000@tesmo.x");
    manager()->entrySession(kPeer, 0);
    manager()->setAllMessageRead(kPeer, 0);
    const int a = Insert({other, kMe, 0, 10});
    const int b = Insert({other, kMe, 0, 20});
    manager()->setAllMessageRead(other, 0);
    QCOMPARE(Field(a, "seeflag"), QString("1"));
    QCOMPARE(Field(b, "seeflag"), QString("1"));
  }
};

TESMO_CLIENT_TEST_MAIN(TestImSessionWindow)
#include "tst_imsessionwindow.moc"
