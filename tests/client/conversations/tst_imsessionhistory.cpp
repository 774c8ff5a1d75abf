// Loading the open conversation: local pages read by key, time labels, hidden
// recalled rows, the @-jump, removal, read marks, and the page statements
// compared with the plain statements they replace.
#include <QJsonObject>
#include <QSignalSpy>

#include "SessionFixture.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "conversations/ImMessageQuery.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"
#include "support/StubPing.h"

using namespace SessionFixture;

namespace {
// Ids a statement selects, in order.
QList<int> IdsOf(const QString& sql) {
  QList<int> ids;
  const long set = ui()->DBSelectSql(sql.toUtf8().constData());
  for (int row = 0; row < ui()->DBGetRecordCount(set); ++row)
    ids << ui()->DBGetIntValue(set, row, 0);
  ui()->DBRelease(set);
  return ids;
}

// The plain statements: the whole conversation sorted (ties by id).
QString Plain(const QString& account, int type) {
  const QString a = ImMessageQuery::quoted(account);
  if (type == 0) {
    return QStringLiteral(
               "SELECT id FROM nq_message WHERE (fromuser=%1 or touser=%1) and totype=0 "
               "and deleted=0 ORDER BY sendtime DESC, id DESC")
        .arg(a);
  }
  return QStringLiteral(
             "SELECT id FROM nq_message WHERE (touser=%1) and totype=1 and deleted=0 "
             "and touser=fromgroup ORDER BY sendtime DESC, id DESC")
      .arg(a);
}
}  // namespace

class TestImSessionHistory : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  StubPing::Stub m_ping;

  // Lets the network probe fail once the system reports a change, as on a network
  // that drops echo requests.
  void ProbeFails(bool fails) {
    m_ping.set(fails ? StubPing::Mode::Unreachable : StubPing::Mode::Reachable);
    QMetaObject::invokeMethod(VGlobal::instance(), "onlineStateChanged", Q_ARG(bool, true));
    // The probe answers from the check thread.
    QTRY_COMPARE_WITH_TIMEOUT(VGlobal::instance()->isOnline(), !fails, 5000);
  }

  // 100 rows with the peer, one a minute, newest last; returns their ids oldest first.
  QList<int> Seed100() {
    QList<int> ids;
    for (int i = 0; i < 100; ++i)
      ids << Insert({i % 2 ? kPeer : kMe, i % 2 ? kMe : kPeer, 0, 60 * i, i % 2 ? 0 : 1});
    return ids;
  }

  void PageToTheEnd() {
    for (int guard = 0; guard < 100 && !manager()->noMoreMsg(); ++guard)
      manager()->doLoadMoreHistory(true);
  }

 private slots:
  void initTestCase() { VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US); }
  void init() { Start(m_dir); }

  void pagesBackThroughTheWholeConversation() {
    const QList<int> ids = Seed100();
    Insert({"3000@tesmo.x", kMe, 0, 30});  // another conversation
    manager()->entrySession(kPeer, 0);
    QCOMPARE(ViewIds(), ids.mid(70));
    QSignalSpy noMore(manager(), &ImSessionManager::noMoreMsgChanged);
    manager()->doLoadMoreHistory(true);
    QCOMPARE(ViewIds(), ids.mid(40));
    QCOMPARE(manager()->noMoreMsg(), false);
    manager()->doLoadMoreHistory(false);  // a failed server answer still shows local rows
    QCOMPARE(ViewIds(), ids.mid(10));
    QCOMPARE(manager()->noMoreMsg(), false);
    PageToTheEnd();
    QCOMPARE(ViewIds(), ids);
    QCOMPARE(manager()->noMoreMsg(), true);
    QCOMPARE(noMore.count(), 1);

    // Opening it again starts from the newest rows.
    manager()->entrySession(kPeer, 0);
    QCOMPARE(ViewIds(), ids.mid(70));
    QCOMPARE(manager()->noMoreMsg(), false);
  }

  // The oldest message shown is labelled, and each first message after a gap of
  // more than 120,000 ms (it shows its own time); also the newest of a page.
  void timeLabels() {
    const qint64 gaps[] = {0, 120, 121, 60, 3600, 121};
    QList<int> ids;
    qint64 at = 0;
    for (qint64 gap : gaps) ids << Insert({kPeer, kMe, 0, at += gap});
    manager()->entrySession(kPeer, 0);
    QCOMPARE(ViewIds(), ids);
    auto label = [](int row) {
      return qobject_cast<ImMsgEntity*>(manager()->get(row))->showTime();
    };
    // Each row is compared with the message before it.
    QCOMPARE(label(0), true);   // the oldest row shown, always
    QCOMPARE(label(1), false);  // exactly 120 s after the one before
    QCOMPARE(label(2), true);   // 121 s
    QCOMPARE(label(3), false);  // 60 s
    QCOMPARE(label(4), true);   // 3600 s
    QCOMPARE(label(5), true);   // the newest, 121 s after the one before
  }

  // The gap is read from the texts' dates and clock times across days, months and
  // years; a time that is not one gets a label.
  void timeGapsAcrossDatesAndBadTimes() {
    struct Case {
      const char* before;
      const char* at;
      bool label;
    };
    const Case cases[] = {
        {"2026-12-11 10:00:00", "2026-12-11 10:02:00", false},
        {"2026-12-11 10:00:00", "2026-12-11 10:02:01", true},
        {"2026-12-11 23:59:00", "2026-12-12 00:01:00", false},
        {"2026-12-11 23:59:00", "2026-12-12 00:01:01", true},
        {"2026-02-28 23:59:30", "2026-03-01 00:00:10", false},
        {"2024-02-28 23:59:30", "2024-03-01 00:00:10", true},  // 29 February between
        {"2026-12-31 23:59:59", "2027-01-01 00:00:30", false},
        {"2026-12-11 10:00:00", "2026-12-11 09:59:00", false},  // older: no gap
        {"2026-12-11 10:00:00", "2026-12-11 10:00", true},
        {"2026-12-11 10:00:00", "2026-12-11T10:01:00", true},
        {"2026-12-11 10:00:00", "2026-13-11 10:01:00", true},
        {"2026-12-11 10:00:00", "2026-12-11 24:01:00", true},
        {"2026-12-11 10:00:00", "２026-12-11 10:01:00", true},
        {"", "2026-12-11 10:01:00", true},
    };
    for (const Case& c : cases) {
      QCOMPARE(ImSessionManagerPrivate::startsAfterGap(QString::fromUtf8(c.before),
                                                       QString::fromUtf8(c.at)),
               c.label);
    }
  }

  // A page shown above the oldest message takes the label over when it continues
  // without a gap; a message arriving later is labelled after a gap only.
  void timeLabelsFollowPagesAndArrivals() {
    QList<int> ids;
    for (int i = 0; i < 35; ++i) ids << Insert({kPeer, kMe, 0, 60 * i});
    manager()->entrySession(kPeer, 0);
    QCOMPARE(ViewIds(), ids.mid(5));
    ImMsgEntity* formerOldest = manager()->getMsgEntity(ids.at(5));
    QCOMPARE(formerOldest->showTime(), true);
    manager()->doLoadMoreHistory(true);
    QCOMPARE(ViewIds(), ids);
    QCOMPARE(manager()->getMsgEntity(ids.at(0))->showTime(), true);
    QCOMPARE(formerOldest->showTime(), false);
    for (int row = 1; row < ids.size(); ++row)
      QCOMPARE(qobject_cast<ImMsgEntity*>(manager()->get(row))->showTime(), false);

    auto arrive = [](qint64 seconds) {
      const int id = Insert({kPeer, kMe, 0, seconds});
      Notify(100008, 0, 0,
             Json({{"id", id},
                   {"fromuser", kPeer},
                   {"touser", kMe},
                   {"totype", 0},
                   {"msgtype", 0},
                   {"content", "new"},
                   {"sendflag", 0},
                   {"sendtime", Time(seconds)}}));
      return manager()->getMsgEntity(id);
    };
    const qint64 last = 60 * 34;
    ImMsgEntity* soon = arrive(last + 120);
    QVERIFY(soon);
    QCOMPARE(soon->showTime(), false);
    ImMsgEntity* later = arrive(last + 120 + 121);
    QVERIFY(later);
    QCOMPARE(later->showTime(), true);
  }

  // A row stored later within the second of a page's oldest row (an older message
  // the server sent) is not skipped by the next page; a second holding more rows
  // than a page is paged through whole.
  void pagingKeepsRowsOfTheBoundarySecond() {
    QList<int> ids;
    for (int i = 0; i < 35; ++i) ids << Insert({kPeer, kMe, 0, i});
    manager()->entrySession(kPeer, 0);
    QCOMPARE(ViewIds(), ids.mid(5));
    const int late = Insert({kPeer, kMe, 0, 5});
    manager()->doLoadMoreHistory(true);
    QVERIFY2(manager()->getMsgEntity(late), "the row of the boundary second is shown");
    QCOMPARE(manager()->itemCount(), 36);
    PageToTheEnd();
    QCOMPARE(manager()->itemCount(), 36);

    QList<int> same;
    for (int i = 0; i < 70; ++i) same << Insert({"3000@tesmo.x", kMe, 0, 100});
    manager()->entrySession("3000@tesmo.x", 0);
    QCOMPARE(manager()->itemCount(), 30);
    PageToTheEnd();
    QList<int> shown = ViewIds();
    std::sort(shown.begin(), shown.end());
    QCOMPARE(shown, same);
  }

  void recalledReceivedRowsStayHiddenAndPagingGoesOn() {
    QList<int> shown;
    int t = 0;
    for (int i = 0; i < 10; ++i) shown << Insert({kPeer, kMe, 0, ++t});
    // More than two pages of rows the peer recalled, then the newest rows.
    for (int i = 0; i < 70; ++i) Insert({kPeer, kMe, 0, ++t, 0, 1});
    const int ownRecalled = Insert({kMe, kPeer, 0, ++t, 1, 1});
    shown << ownRecalled;
    for (int i = 0; i < 5; ++i) shown << Insert({kPeer, kMe, 0, ++t});
    manager()->entrySession(kPeer, 0);
    // The first page holds the 6 visible newest rows; the next page is recalled
    // rows only, and loading goes on past it instead of ending there.
    QCOMPARE(ViewIds(), shown.mid(10));
    manager()->doLoadMoreHistory(true);
    QCOMPARE(manager()->noMoreMsg(), false);
    QCOMPARE(ViewIds(), shown);
    manager()->doLoadMoreHistory(true);
    QCOMPARE(manager()->noMoreMsg(), true);
    QCOMPARE(ViewIds(), shown);
  }

  // Rows an engine marked recalled without checking the rights: a recall that the
  // rule refuses leaves the message shown on reopen, as it was live, and its notice
  // is not shown; an allowed one hides it; a mark without a notice stands.
  void refusedRecallsStayRefusedOnReopen_data() {
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("byAuthor");
    QTest::addColumn<bool>("withNotice");
    QTest::addColumn<bool>("shown");
    QTest::newRow("member takes another's back") << 3 << false << true << true;
    QTest::newRow("no role known") << 0 << false << true << true;
    QTest::newRow("manager takes it back") << 2 << false << true << false;
    QTest::newRow("owner takes it back") << 1 << false << true << false;
    // -1: no member row, but the group list names the recaller as its owner.
    QTest::newRow("owner named by the group list") << -1 << false << true << false;
    QTest::newRow("author takes it back") << 3 << true << true << false;
    QTest::newRow("mark without a notice") << 3 << false << false << false;
  }

  void refusedRecallsStayRefusedOnReopen() {
    QFETCH(int, role);
    QFETCH(bool, byAuthor);
    QFETCH(bool, withNotice);
    QFETCH(bool, shown);
    const QString ann = "5@x";
    const QString bob = "6@x";
    const QString recaller = byAuthor ? ann : bob;
    if (role > 0) {
      QVERIFY(ui()->dbExecSql(
          QStringLiteral("insert into nq_groupuser(groupid,account,role) values('%1','%2',%3)")
              .arg(kGroup, recaller)
              .arg(role)));
    }
    if (role < 0) {
      QVERIFY(ui()->dbExecSql(
          QStringLiteral("insert into nq_group(groupid,craccount) values('%1','%2')")
              .arg(kGroup, recaller)));
    }
    const int before = Insert({ann, kGroup, 1, 1});
    const int message = Insert({ann, kGroup, 1, 2, 0, 1, 0, "kept"});
    // The user's own message marked by the same recall.
    const int mine = Insert({kMe, kGroup, 1, 3, 1, 1, 0, "mine"});
    QList<int> notices;
    if (withNotice) {
      notices << Insert(
          {recaller, kGroup, 1, 4, 0, 0, 9, QString::number(message), R"({"from":{"nick":"R"}})"});
      notices << Insert({recaller, kGroup, 1, 5, 0, 0, 9, QString::number(mine)});
    }
    manager()->entrySession(kGroup, 1);
    const bool mineStands = role == 1 || role == 2 || role < 0 || !withNotice;
    QList<int> expected{before};
    if (shown) expected << message;
    expected << mine;
    if (withNotice && !shown) expected << notices.at(0);
    if (withNotice && mineStands) expected << notices.at(1);
    QCOMPARE(ViewIds(), expected);
    QCOMPARE(manager()->getMsgEntity(mine)->revokeflag(), mineStands ? 1 : 0);
    if (shown) QCOMPARE(manager()->getMsgEntity(message)->revokeflag(), 0);
  }

  // The user's own recall of a member's message stands although the member list
  // does not know the user's role: the server took it.
  void ownGroupRecallStandsWithoutAKnownRole() {
    const int message = Insert({"5@x", kGroup, 1, 1, 0, 1, 0, "gone"});
    const int notice = Insert({kMe, kGroup, 1, 2, 1, 0, 9, QString::number(message)});
    manager()->entrySession(kGroup, 1);
    QCOMPARE(ViewIds(), QList<int>{notice});
  }

  // A recall mark stands by a notice of the message's own conversation from one
  // who may take it back, or when no notice names it at all; a notice that only
  // another conversation holds leaves the message shown.
  void recallMarksFollowTheirConversationsNotices_data() {
    QTest::addColumn<int>("totype");
    QTest::addColumn<QString>("noticeFrom");
    QTest::addColumn<QString>("noticeTo");
    QTest::addColumn<bool>("shown");
    QTest::newRow("person: the author takes it back") << 0 << kPeer << kMe << false;
    QTest::newRow("person: the user takes the peer's back") << 0 << kMe << kPeer << true;
    QTest::newRow("person: only another conversation names it") << 0 << "7@x" << kMe << true;
    QTest::newRow("person: no notice") << 0 << QString() << QString() << false;
    QTest::newRow("group: the author takes it back") << 1 << "5@x" << kGroup << false;
    QTest::newRow("group: only another group names it") << 1 << "5@x"
                                                        << "other@group.x" << true;
  }

  void recallMarksFollowTheirConversationsNotices() {
    QFETCH(int, totype);
    QFETCH(QString, noticeFrom);
    QFETCH(QString, noticeTo);
    QFETCH(bool, shown);
    const QString conversation = totype == 1 ? kGroup : kPeer;
    const int before = Insert({totype == 1 ? "5@x" : kPeer, totype == 1 ? kGroup : kMe, totype, 1});
    const int message =
        Insert({totype == 1 ? "5@x" : kPeer, totype == 1 ? kGroup : kMe, totype, 2, 0, 1, 0, "m"});
    if (!noticeFrom.isEmpty()) {
      QVERIFY(Insert({noticeFrom, noticeTo, totype, 3, noticeFrom == kMe ? 1 : 0, 0, 9,
                      QString::number(message)}) > 0);
    }
    manager()->entrySession(conversation, totype);
    QVERIFY(ViewIds().contains(before));
    QCOMPARE(ViewIds().contains(message), shown);
    if (shown) QCOMPARE(manager()->getMsgEntity(message)->revokeflag(), 0);
  }

  void groupPagesOnlyShowTheGroupsOwnRows() {
    QList<int> own;
    for (int i = 0; i < 40; ++i) {
      own << Insert({"5@x", kGroup, 1, i});
      Insert({"5@x", kGroup, 1, i, 0, 0, 0, QString(), QString(), 0, "other@group.x"});
    }
    manager()->entrySession(kGroup, 1);
    QCOMPARE(ViewIds(), own.mid(10));
    PageToTheEnd();
    QCOMPARE(ViewIds(), own);
  }

  // The page statements give the plain statements' rows in the same order, at
  // every depth, by offset and by key; also with equal times, messages to oneself
  // and a quote in the account.
  void pageStatementsMatchThePlainOnes_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("type");
    QTest::newRow("person") << kPeer << 0;
    QTest::newRow("person with a quote") << "o'neil@x" << 0;
    QTest::newRow("group") << kGroup << 1;
  }

  void pageStatementsMatchThePlainOnes() {
    QFETCH(QString, account);
    QFETCH(int, type);
    for (int i = 0; i < 230; ++i) {
      const qint64 second = i / 3;  // three rows share each time
      if (type == 0) {
        switch (i % 5) {
          case 0:
            Insert({account, kMe, 0, second});
            break;
          case 1:
            Insert({kMe, account, 0, second, 1});
            break;
          case 2:
            Insert({account, account, 0, second});
            break;  // to oneself
          case 3:
            Insert({"x@x", kMe, 0, second});
            break;  // someone else
          default:
            Insert({account, kGroup, 1, second});
            break;  // a group message
        }
      } else {
        Insert({"5@x", account, 1, second, 0, 0, 0, QString(), QString(), 0,
                i % 4 == 0 ? QString("relay@group.x") : QString()});
      }
    }
    QVERIFY(ui()->dbExecSql("update nq_message set deleted=1 where id % 17 = 0"));
    const QList<int> all = IdsOf(Plain(account, type));
    QVERIFY(all.size() > 60);
    for (int offset : {0, 7, 30, 59, all.size() - 3, all.size() + 5}) {
      QCOMPARE(IdsOf(ImMessageQuery::pageAt(account, type, offset, 30)), all.mid(offset, 30));
    }
    QList<int> byKey;
    ImPageKey key;
    for (int guard = 0; guard < 100; ++guard) {
      const long set = ui()->DBSelectSql(ImMessageQuery::page(account, type, key, 30).toUtf8());
      const int rows = ui()->DBGetRecordCount(set);
      for (int row = 0; row < rows; ++row) byKey << ui()->DBGetIntValue(set, row, 0);
      if (rows > 0) {
        ImPageKey next;
        next.sendtime = QString::fromUtf8(ui()->DBGetStrValue(set, rows - 1, 19));
        for (int row = rows - 1;
             row >= 0 && QString::fromUtf8(ui()->DBGetStrValue(set, row, 19)) == next.sendtime;
             --row)
          next.ids << ui()->DBGetIntValue(set, row, 0);
        key.advance(next);
      }
      ui()->DBRelease(set);
      if (rows == 0) break;
    }
    QCOMPARE(byKey, all);
  }

  void atJumpLoadsAroundAnUnloadedMessage() {
    const QList<int> ids = Seed100();
    QVERIFY(ui()->dbExecSql(QStringLiteral("update nq_message set msgid=id+5000")));
    // The @-message arrives while another conversation is open.
    manager()->entrySession("3000@tesmo.x", 0);
    const int target = ids.at(20);
    QVariantMap at{{"id", target},      {"msgid", target + 5000},
                   {"fromuser", kPeer}, {"touser", kMe},
                   {"totype", 0},       {"msgtype", 0},
                   {"content", "@me"},  {"sendflag", 0},
                   {"atflag", 1},       {"sendtime", Time(60 * 20)}};
    Notify(100008, 0, 0, Json(at));
    manager()->entrySession(kPeer, 0);
    QVERIFY(!manager()->getMsgEntity(target));
    ImMsgEntity* newest = manager()->getMsgEntity(ids.last());
    QVERIFY(newest);
    const int row = manager()->getToLastAtMessage();
    // Whole pages on top of the one shown, up to the one that holds the mention
    // (70..99, then 40..69 and 10..39): not every row from it to now in one read.
    QCOMPARE(row, 10);
    QCOMPARE(ViewIds(), ids.mid(10));
    QCOMPARE(manager()->getMsgEntity(target), manager()->get(row));
    // The rows shown before stay as they were.
    QCOMPARE(manager()->getMsgEntity(ids.last()), newest);
    // Now loaded: the row is found directly.
    QCOMPARE(manager()->getToLastAtMessage(), 10);
    // History answers during the jump add nothing; afterwards paging goes on.
    manager()->doLoadMoreHistory(true);
    QCOMPARE(manager()->itemCount(), 90);
    QTRY_VERIFY((manager()->doLoadMoreHistory(true), manager()->getMsgIndexByid(ids.first()) == 0));
  }

  // A mention that is never shown (its sender recalled it) stops the search once
  // the pages have passed it, instead of reading the whole conversation.
  void atJumpToAHiddenMentionStopsPastIt() {
    const QList<int> ids = Seed100();
    const int target = ids.at(60);
    manager()->entrySession("3000@tesmo.x", 0);
    Notify(100008, 0, 0,
           Json({{"id", target},
                 {"fromuser", kPeer},
                 {"touser", kMe},
                 {"totype", 0},
                 {"msgtype", 0},
                 {"content", "@me"},
                 {"sendflag", 0},
                 {"atflag", 1},
                 {"sendtime", Time(60 * 60)}}));
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("update nq_message set atflag=1, revokeflag=1, sendflag=0 where id=%1")
            .arg(target)));
    manager()->entrySession(kPeer, 0);
    QCOMPARE(ViewIds(), ids.mid(70));
    QCOMPARE(manager()->getToLastAtMessage(), -1);
    QList<int> shown = ids.mid(40);
    shown.removeOne(target);
    QCOMPARE(ViewIds(), shown);
  }

  void removeTheNewestAndTheOnlyMessage() {
    const int older = Insert({kPeer, kMe, 0, 1, 0, 0, 0, "older"});
    const int newest = Insert({kPeer, kMe, 0, 2, 0, 0, 0, "newest"});
    manager()->entrySession(kPeer, 0);
    ImSessionListManager::instance()->updateData(
        {{"fromuser", kPeer}, {"touser", kMe}, {"content", "newest"}, {"msgtype", 0}}, false);
    ImMsgEntity* session = ImSessionListManager::instance()->getSession(kPeer);
    QVERIFY(session);
    manager()->removeMsg(newest);
    QCOMPARE(ViewIds(), QList<int>{older});
    QCOMPARE(session->content(), QString("older"));
    QVERIFY(EngineDouble::Calls().size() > 0);
    QCOMPARE(CountCalls("DeleteMessage"), 1);
    manager()->removeMsg(older);
    QCOMPARE(ViewIds(), QList<int>());
    QCOMPARE(session->content(), QString());
    manager()->removeMsg(older);  // no longer shown: nothing
    QCOMPARE(CountCalls("DeleteMessage"), 2);
  }

  // Opening from the contact list gives the conversation list a row at once.
  void openingFromTheContactListListsTheConversation() {
    manager()->entrySession("4000@tesmo.x", 0, true, "Dee", "http://127.0.0.1/d.png");
    ImMsgEntity* session = ImSessionListManager::instance()->getSession("4000@tesmo.x");
    QVERIFY(session);
    QCOMPARE(session->id(), 999999999);
    QCOMPARE(session->name(), QString("Dee"));
    QCOMPARE(session->sendstate(), 2);
    QCOMPARE(VConfig::instance()->value("CURRENT_SESSION_ID").toString(), QString("4000@tesmo.x"));
  }

  // A listed group's name, information, icon and size head the open chat; its
  // name and logo also address outgoing messages.
  void openingAListedGroup() {
    // Listed as the group list lists groups: from the group table.
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("insert into nq_group (groupid, groupname, groupinfo, grouplogo, usercount) "
                       "values (%1, 'Builders', 'we build', 'http://127.0.0.1/g.png', 12)")
            .arg(ImMessageQuery::quoted(kGroup))));
    ImGroupManager::instance()->initData();
    manager()->entrySession(kGroup, 1);
    ImGroupManager* groups = ImGroupManager::instance();
    QCOMPARE(groups->groupname(), QString("Builders"));
    QCOMPARE(groups->info(), QString("we build"));
    QCOMPARE(groups->groupIcon(), QString("http://127.0.0.1/g.png"));
    QCOMPARE(groups->memberCount(), 12);
    const QVariantMap map = manager()->buildTextMsg(kGroup, "hi", 1);
    const QJsonObject to = QJsonDocument::fromJson(map.value("remark").toString().toUtf8())
                               .object()
                               .value("to")
                               .toObject();
    QCOMPARE(to, (QJsonObject{{"nick", "Builders"}, {"logo", "http://127.0.0.1/g.png"}}));

    // A group the list does not know: nothing of the group opened before heads it.
    const QString unknown = "55@group.tesmo.x";
    ImSessionListManager::instance()->updateData(
        {{"fromuser", "5@x"},
         {"touser", unknown},
         {"totype", 1},
         {"content", "hi"},
         {"remark", R"({"from":{"nick":"Ed"},"to":{"nick":"Newcomers","logo":"n.png"}})"}});
    manager()->entrySession(unknown, 1);
    QCOMPARE(groups->groupname(), QString("Newcomers"));
    QCOMPARE(groups->groupIcon(), QString("n.png"));
    QCOMPARE(groups->info(), QString());
    QCOMPARE(groups->memberCount(), 0);
    ImGroupManager::instance()->removeData(kGroup);
  }

  void readMarks() {
    const int person = Insert({kPeer, kMe, 0, 1});
    const int group = Insert({"5@x", kGroup, 1, 1});
    manager()->setAllMessageRead(kPeer, 2);
    QCOMPARE(Field(person, "seeflag"), QString("0"));
    manager()->setAllMessageRead(kPeer, 0);
    QCOMPARE(Field(person, "seeflag"), QString("1"));
    QCOMPARE(Field(group, "seeflag"), QString("0"));
    manager()->setAllMessageRead(kGroup, 1);
    QCOMPARE(Field(group, "seeflag"), QString("1"));
  }

  // Marking read writes only the rows not read yet, not the whole conversation.
  void readMarksWriteOnlyUnreadRows_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<int>("type");
    QTest::newRow("person") << kPeer << 0;
    QTest::newRow("group") << kGroup << 1;
  }

  void readMarksWriteOnlyUnreadRows() {
    QFETCH(QString, account);
    QFETCH(int, type);
    const QString from = type == 1 ? QStringLiteral("5@x") : kPeer;
    const QString to = type == 1 ? kGroup : kMe;
    for (int i = 0; i < 50; ++i) Insert({from, to, type, i});
    QVERIFY(ui()->dbExecSql("update nq_message set seeflag=1"));
    const int unread = Insert({from, to, type, 60});
    QVERIFY(
        ui()->dbExecSql("update nq_message set seeflag=NULL where id=" + QString::number(unread)));
    QVERIFY(ui()->dbExecSql("create table written(id integer)"));
    QVERIFY(
        ui()->dbExecSql("create trigger count_writes after update on nq_message begin "
                        "insert into written(id) values(new.id); end"));
    manager()->entrySession(account, type);
    manager()->setAllMessageRead(account, type);
    QCOMPARE(Field(unread, "seeflag"), QString("1"));
    // Marked again after another message: only it is looked at, by its id.
    const int next = Insert({from, to, type, 70});
    manager()->setAllMessageRead(account, type);
    QCOMPARE(Field(next, "seeflag"), QString("1"));
    QVERIFY2(LastCallOf("DBExecSql").contains(QStringLiteral("id>%1").arg(next - 1)),
             qPrintable(LastCallOf("DBExecSql")));
    QCOMPARE(IdsOf("select id from written"), (QList<int>{unread, next}));
    QVERIFY(ui()->dbExecSql("drop trigger count_writes"));
    // Another conversation's mark looks at all of its rows.
    const int other = Insert({"9@x", kMe, 0, 80});
    manager()->setAllMessageRead("9@x", 0);
    QCOMPARE(Field(other, "seeflag"), QString("1"));
  }

  // Only the answer to the open request of the open conversation pages on: a late
  // answer for a conversation left since, or for an older request, is dropped.
  void historyAnswersMatchTheirRequest() {
    for (int i = 0; i < 35; ++i) {
      Insert({kPeer, kMe, 0, i, 0, 0, 0, QString(), QString(), 100 + i});
      Insert({"3000@tesmo.x", kMe, 0, i, 0, 0, 0, QString(), QString(), 500 + i});
    }
    EngineDouble::SetInt("LoginState", 1);
    manager()->onFinishLoadAtMessage();  // an earlier @-jump's settle time is over
    QSignalSpy finished(manager(), &ImSessionManager::downloadHistoryFinished);
    auto answers = [] {
      int count = 0;
      for (const EngineDouble::Report& report : EngineDouble::Delivered())
        count += report.code == 200206 ? 1 : 0;
      return count;
    };
    manager()->entrySession(kPeer, 0);
    const int answered = answers();
    manager()->loadMoreMsg();
    // The answer comes once another conversation is open.
    manager()->entrySession("3000@tesmo.x", 0);
    QTRY_COMPARE(answers(), answered + 1);
    // Delivered to the engine's callback: handed on to this thread, handled next.
    QTest::qWait(50);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(manager()->itemCount(), 30);
    QCOMPARE(manager()->noMoreMsg(), false);
    // Reports of 200206 for no open request change nothing either.
    Notify(200206, 0, 424242);
    Notify(200206, 0, 0);
    QCOMPARE(finished.count(), 0);
    QCOMPARE(manager()->itemCount(), 30);
    // The open conversation's own answer pages on.
    manager()->loadMoreMsg();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(manager()->itemCount(), 35);
  }

  // The jump only ever leads to a mention of the open conversation: the last one
  // kept may be another conversation's, and after a start none is kept at all, so
  // it is looked up in the database.
  void atJumpStaysInTheOpenConversation() {
    QList<int> peer;
    for (int i = 0; i < 5; ++i) peer << Insert({kPeer, kMe, 0, 60 * i});
    const QString other = "88@group.tesmo.x";
    const int elsewhere = Insert({"5@x", other, 1, 30});
    Notify(100008, 0, 0,
           Json({{"id", elsewhere},
                 {"fromuser", "5@x"},
                 {"touser", other},
                 {"fromgroup", other},
                 {"totype", 1},
                 {"msgtype", 0},
                 {"content", "@me"},
                 {"sendflag", 0},
                 {"atflag", 1},
                 {"sendtime", Time(30)}}));
    manager()->entrySession(kPeer, 0);
    QCOMPARE(manager()->getToLastAtMessage(), -1);
    QCOMPARE(ViewIds(), peer);

    // A group whose mention is only in the database.
    QList<int> group;
    for (int i = 0; i < 40; ++i) group << Insert({"5@x", kGroup, 1, 60 * i});
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("update nq_message set atflag=1 where id=%1").arg(group.at(3))));
    manager()->entrySession(kGroup, 1);
    QCOMPARE(ViewIds(), group.mid(10));
    const int row = manager()->getToLastAtMessage();
    QVERIFY(row >= 0);
    QCOMPARE(qobject_cast<ImMsgEntity*>(manager()->get(row))->id(), group.at(3));
  }

  // Opening a conversation whose row shows "@ me" keeps the mention for the banner
  // and clears the stored flags, so a count after sending there finds none; a
  // removed conversation takes its mentions along.
  void mentionTipsDoNotComeBack() {
    ImSessionListManager* sessions = ImSessionListManager::instance();
    const int mention = Insert({"5@x", kGroup, 1, 10});
    QVERIFY(
        ui()->dbExecSql(QStringLiteral("update nq_message set atflag=1 where id=%1").arg(mention)));
    sessions->updateData({{"id", mention},
                          {"fromuser", "5@x"},
                          {"touser", kGroup},
                          {"totype", 1},
                          {"content", "@me"},
                          {"sendtime", Time(10)}});
    QTRY_COMPARE(sessions->getSession(kGroup)->atflag(), 1);
    manager()->entrySession(kGroup, 1);
    QCOMPARE(Field(mention, "atflag"), QString("0"));
    QCOMPARE(sessions->getSession(kGroup)->atflag(), 0);
    // The user sends there: the fresh count finds no mention.
    manager()->sendTextMsg(kGroup, "thanks", 1);
    sessions->getSession(kGroup)->setAtflag(-1);  // any answer shows
    QTRY_VERIFY(sessions->getSession(kGroup)->atflag() != -1);
    QCOMPARE(sessions->getSession(kGroup)->atflag(), 0);
    // The banner's jump still finds the mention.
    const int row = manager()->getToLastAtMessage();
    QVERIFY(row >= 0);
    QCOMPARE(qobject_cast<ImMsgEntity*>(manager()->get(row))->id(), mention);

    // Left (or deleted) with a mention in it: a notice that brings the row back
    // brings no tip.
    const QString left = "66@group.tesmo.x";
    const int old = Insert({"5@x", left, 1, 20});
    QVERIFY(ui()->dbExecSql(QStringLiteral("update nq_message set atflag=1 where id=%1").arg(old)));
    sessions->updateData({{"id", old},
                          {"fromuser", "5@x"},
                          {"touser", left},
                          {"totype", 1},
                          {"content", "@me"},
                          {"sendtime", Time(20)}});
    QTRY_COMPARE(sessions->getSession(left)->atflag(), 1);
    sessions->removeSession(left);
    const int notice = Insert({"5@x", left, 1, 30, 0, 0, 1});
    sessions->updateData({{"id", notice},
                          {"fromuser", "5@x"},
                          {"touser", left},
                          {"totype", 1},
                          {"msgtype", 1},
                          {"content", "You left"},
                          {"sendtime", Time(30)}});
    ImMsgEntity* back = sessions->getSession(left);
    QVERIFY(back);
    back->setAtflag(-1);
    sessions->updateAtFlag(left);
    QTRY_VERIFY(back->atflag() != -1);
    QCOMPARE(back->atflag(), 0);
  }

  // Clearing the flags of a conversation takes the row's tip away too, and asks
  // for a fresh count, which has the last word over one still on its way.
  void clearingMentionsResetsTheRow() {
    ImSessionListManager* sessions = ImSessionListManager::instance();
    const int mention = Insert({"5@x", kGroup, 1, 10});
    QVERIFY(
        ui()->dbExecSql(QStringLiteral("update nq_message set atflag=1 where id=%1").arg(mention)));
    sessions->updateData({{"id", mention},
                          {"fromuser", "5@x"},
                          {"touser", kGroup},
                          {"totype", 1},
                          {"content", "@me"},
                          {"sendtime", Time(10)}});
    QTRY_COMPARE(sessions->getSession(kGroup)->atflag(), 1);
    manager()->entrySession(kPeer, 0);
    const int searches = CountCalls("SearchAtMsg");
    manager()->clearAtFlag(kGroup);
    QCOMPARE(Field(mention, "atflag"), QString("0"));
    QCOMPARE(sessions->getSession(kGroup)->atflag(), 0);
    QTRY_COMPARE(CountCalls("SearchAtMsg"), searches + 2);
    QTest::qWait(50);
    QCOMPARE(sessions->getSession(kGroup)->atflag(), 0);
    // The engine's clear writes the whole conversation: again only for a newer mention.
    const int clears = CountCalls("ClearAtFlag");
    Insert({"5@x", kGroup, 1, 20});
    manager()->clearAtFlag(kGroup);
    QCOMPARE(CountCalls("ClearAtFlag"), clears);
    const int newer = Insert({"5@x", kGroup, 1, 30});
    QVERIFY(
        ui()->dbExecSql(QStringLiteral("update nq_message set atflag=1 where id=%1").arg(newer)));
    manager()->clearAtFlag(kGroup);
    QCOMPARE(CountCalls("ClearAtFlag"), clears + 1);
    QCOMPARE(Field(newer, "atflag"), QString("0"));
  }

  void emptyConversationAsksTheServerFromTheTop() {
    manager()->entrySession(kPeer, 0);
    QCOMPARE(manager()->itemCount(), 0);
    manager()->loadMoreMsg();
    QCOMPARE(LastCallOf("GetHistoryMsg"), "GetHistoryMsg(" + kPeer + ",-1,60)");
    // With rows, the oldest server id is the starting point.
    Insert({kPeer, kMe, 0, 1, 0, 0, 0, QString(), QString(), 0});
    Insert({kPeer, kMe, 0, 2, 0, 0, 0, QString(), QString(), 812});
    manager()->entrySession(kPeer, 0);
    QCOMPARE(manager()->getOldestServerId(), 812);
    manager()->loadMoreMsg();
    QCOMPARE(LastCallOf("GetHistoryMsg"), "GetHistoryMsg(" + kPeer + ",812,60)");
  }

  // The probe's word alone never ends the paging while the engine is signed in: the
  // server is asked, and the rows its answer stored are shown.
  void probeFailureStillAsksTheServerWhileSignedIn() {
    const int kept = Insert({kPeer, kMe, 0, 60, 0, 0, 0, QString(), QString(), 811});
    ProbeFails(true);
    EngineDouble::SetInt("LoginState", 1);
    manager()->onFinishLoadAtMessage();  // an earlier @-jump's settle time is over
    manager()->entrySession(kPeer, 0);
    const int asked = CountCalls("GetHistoryMsg");
    manager()->loadMoreMsg();
    QCOMPARE(CountCalls("GetHistoryMsg"), asked + 1);
    QCOMPARE(LastCallOf("GetHistoryMsg"), "GetHistoryMsg(" + kPeer + ",811,60)");
    QCOMPARE(manager()->noMoreMsg(), false);
    // The engine stores the older message (a later local id), then answers.
    const int older = Insert({kPeer, kMe, 0, 0, 0, 0, 0, QString(), QString(), 810});
    QTRY_COMPARE(ViewIds(), (QList<int>{older, kept}));
    QCOMPARE(manager()->noMoreMsg(), false);

    // Signed out and the probe failing: only the local rows, the server is not asked,
    // and running out of them does not end the history.
    EngineDouble::SetInt("LoginState", 0);
    manager()->loadMoreMsg();
    QCOMPARE(CountCalls("GetHistoryMsg"), asked + 1);
    QCOMPARE(ViewIds(), (QList<int>{older, kept}));
    QCOMPARE(manager()->noMoreMsg(), false);
    ProbeFails(false);
  }

  // A failed history answer (200206 with a non-zero result) still shows the older
  // local rows but never ends the history: the next scroll to the top asks again. A
  // success that brings no row ends it; a later failure does not undo that.
  void failedServerAnswersKeepThePagingOpen() {
    QList<int> ids;
    for (int i = 0; i < 100; ++i)
      ids << Insert({kPeer, kMe, 0, 60 * i, 0, 0, 0, QString(), QString(), 1000 + i});
    EngineDouble::SetInt("LoginState", 1);
    manager()->onFinishLoadAtMessage();  // an earlier @-jump's settle time is over
    manager()->entrySession(kPeer, 0);
    QSignalSpy finished(manager(), &ImSessionManager::downloadHistoryFinished);
    struct Step {
      int status;
      QList<int> shown;
      bool noMore;
    };
    const Step steps[] = {
        {2, ids.mid(40), false}, {6, ids.mid(10), false}, {2, ids, false},
        {2, ids, false},         {0, ids, true},          {2, ids, true},
    };
    for (const Step& step : steps) {
      const int asked = CountCalls("GetHistoryMsg");
      EngineDouble::SetReply(200206, step.status, "");
      manager()->loadMoreMsg();
      QCOMPARE(CountCalls("GetHistoryMsg"), asked + 1);
      QTRY_COMPARE(finished.count(), 1);
      QCOMPARE(finished.takeLast().at(0).toBool(), step.status == 0);
      QCOMPARE(ViewIds(), step.shown);
      QCOMPARE(manager()->noMoreMsg(), step.noMore);
    }
  }

  void historyRowsOfFilesAndSpecialTypes() {
    const int red = Insert({kPeer, kMe, 0, 1, 0, 0, 7});
    const int voice = Insert(
        {kPeer, kMe, 0, 2, 0, 0, 4, "http://127.0.0.1/v.amr",
         R"({"from":{"nick":"Ann"},"filename":"../v.amr","filesize":2048,"recordText":"hi","seconds":3})"});
    const int recall = Insert({kPeer, kMe, 0, 3, 1, 0, 9, "x", R"({"from":{"nick":"Me"}})"});
    manager()->entrySession(kPeer, 0);
    QCOMPARE(manager()->getMsgEntity(red)->content(), QString("[Tesmo Chat red envelope]"));
    ImMsgEntity* item = manager()->getMsgEntity(voice);
    QCOMPARE(item->audioText(), QString("hi"));
    QCOMPARE(item->seconds(), 3);
    QCOMPARE(item->fileSize(), QString("2KB"));
    QCOMPARE(item->fileurl(), QString("http://127.0.0.1/v.amr"));
    QVERIFY(item->localpath().endsWith(QStringLiteral("/Audio/%1_v.amr").arg(voice)));
    QCOMPARE(Field(voice, "localpath"), item->localpath());
    QCOMPARE(item->downloadState(), 0);
    QCOMPARE(LastDialogOf("DownloadFile") > 0, true);
    QCOMPARE(manager()->getMsgEntity(recall)->content(), QString("Me've recalled a message"));
  }
};

TESMO_CLIENT_TEST_MAIN(TestImSessionHistory)
#include "tst_imsessionhistory.moc"
