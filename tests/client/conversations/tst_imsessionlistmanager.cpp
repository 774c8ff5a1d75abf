// The conversation list against the engine test double and a temporary
// database: the rebuild, updates from single messages, removal, the counters
// and the chat tab's badge, under Qt's model checker from the first change on.
#include <QAbstractItemModelTester>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VTranslator.h"
#include "support/ClientTestMain.h"
#include "support/MessageRows.h"

using MessageRows::Message;

namespace {
const QString kGroup = QStringLiteral("1001@group");
const char* const kGroupRemark =
    R"({"from": {"nick": "Bob", "logo": "b.png"}, "to": {"nick": "Group One", "logo": "g.png"}})";

ImUiInterface* ui() { return ImUiInterface::instance(); }
ImSessionListManager* list() { return ImSessionListManager::instance(); }
int badge() { return ImSessionManager::instance()->unReadMsgCount(); }

Message Msg(const QString& from, const QString& to, const QString& time, int msgtype = 0) {
  Message m;
  m.from = from;
  m.to = to;
  m.sendtime = QStringLiteral("2026-01-01 ") + time;
  m.msgtype = msgtype;
  m.sendflag = from == QLatin1String("me") ? 1 : 0;
  m.seeflag = m.sendflag;
  return m;
}

QString Column(const char* property) {
  QStringList values;
  for (int row = 0; row < list()->itemCount(); ++row)
    values << list()->get(row)->property(property).toString();
  return values.join(QLatin1Char(','));
}

int CountCalls(const std::string& name) {
  const auto names = EngineDouble::CallNames();
  return static_cast<int>(std::count(names.begin(), names.end(), name));
}

// Five conversations, newest first: a group (red envelope), alice (own text
// last), carol (received recall), dave (own recall), erin (picture).
void SeedFive() {
  Message red = Msg(QStringLiteral("bob"), kGroup, QStringLiteral("10:10:00"), 7);
  red.totype = 1;
  red.remark = QLatin1String(kGroupRemark);
  QVERIFY(MessageRows::StoreNewest(kGroup, red));
  QVERIFY(MessageRows::Store(
      Msg(QStringLiteral("alice"), QStringLiteral("me"), QStringLiteral("10:00:00"))));
  Message own = Msg(QStringLiteral("me"), QStringLiteral("alice"), QStringLiteral("10:05:00"));
  own.content = QStringLiteral("yo");
  QVERIFY(MessageRows::StoreNewest(QStringLiteral("alice"), own));
  Message recall =
      Msg(QStringLiteral("carol"), QStringLiteral("me"), QStringLiteral("09:00:00"), 9);
  recall.seeflag = 1;
  QVERIFY(MessageRows::StoreNewest(QStringLiteral("carol"), recall));
  QVERIFY(MessageRows::StoreNewest(
      QStringLiteral("dave"),
      Msg(QStringLiteral("me"), QStringLiteral("dave"), QStringLiteral("08:00:00"), 9)));
  QVERIFY(MessageRows::StoreNewest(
      QStringLiteral("erin"),
      Msg(QStringLiteral("erin"), QStringLiteral("me"), QStringLiteral("07:00:00"), 2)));
  EngineDouble::SetText("GetUserInfo:alice:0", "Alice");
  EngineDouble::SetText("GetUserInfo:alice:2", "a.png");
  EngineDouble::SetText("GetUserInfo:alice:4", "3");
  EngineDouble::SetText("GetUserInfo:carol:0", "Carol");
}

// Waits until the counters thread has answered everything asked so far.
void Settle() {
  QSignalSpy fence(list(), &ImBaseListModel::dataChanged);
  const QString probe = QStringLiteral("fence-%1").arg(QDateTime::currentMSecsSinceEpoch());
  QVariantMap map{{QStringLiteral("fromuser"), QStringLiteral("me")},
                  {QStringLiteral("touser"), probe},
                  {QStringLiteral("totype"), 0}};
  list()->updateData(map);
  ImMsgEntity* row = list()->getSession(probe);
  QVERIFY(row);
  QSignalSpy counted(row, &ImMsgEntity::unReadMsgCountChanged);
  // The probe has no messages: its answer (0) changes nothing, so ask for a
  // count that is certain to differ first.
  row->setUnReadMsgCount(-1);
  list()->updateMsgCount(probe, 0);
  QTRY_VERIFY_WITH_TIMEOUT(row->unReadMsgCount() == 0, 20000);
  list()->removeSession(probe);
}
}  // namespace

class TestImSessionListManager : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  std::unique_ptr<QAbstractItemModelTester> m_tester;

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    ui()->initInterface();
    QCOMPARE(ui()->SetDatabase(m_dir.filePath(QStringLiteral("tesChat.db")).toUtf8().constData()),
             2);
    VConfig::instance()->setValue(QStringLiteral("MY_ACCOUNT"), QStringLiteral("me"));
    m_tester = std::make_unique<QAbstractItemModelTester>(
        list(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }

  void init() {
    list()->wipeData();
    Settle();
    EngineDouble::Reset();
    QVERIFY(ui()->dbExecSql(QStringLiteral("delete from nq_message")));
    QVERIFY(ui()->dbExecSql(QStringLiteral("delete from nq_messagenew")));
    VConfig::instance()->setAutoMoveToTop(true);
    VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US);
  }

  void cleanupTestCase() {
    list()->wipeData();
    m_tester.reset();
  }

  void rebuildShowsNewestFirstWithNamesAndHints_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("contents");
    QTest::newRow("English") << int(VTranslator::EN_US)
                             << QStringLiteral(
                                    "[Tesmo Chat red envelope],yo,'ve recalled a message,"
                                    "You have recalled a message,[Unknown type message]");
    QTest::newRow("Simplified Chinese")
        << int(VTranslator::ZH_CN)
        << QString::fromUtf8(
               "[TesmoChat\xe7\xba\xa2\xe5\x8c\x85],yo, "
               "\xe6\x92\xa4\xe5\x9b\x9e\xe4\xba\x86\xe4\xb8"
               "\x80\xe6\x9d\xa1\xe6\xb6\x88\xe6\x81\xaf,\xe4\xbd\xa0\xe6\x92\xa4\xe5\x9b\x9e\xe4"
               "\xba\x86\xe4\xb8\x80\xe6\x9d\xa1\xe6\xb6\x88\xe6\x81\xaf,[\xe6\x9c\xaa\xe7\x9f\xa5"
               "\xe7\xb1\xbb\xe5\x9e\x8b\xe6\xb6\x88\xe6\x81\xaf]");
  }

  void rebuildShowsNewestFirstWithNamesAndHints() {
    QFETCH(int, language);
    QFETCH(QString, contents);
    SeedFive();
    VTranslator::instance()->setCurrentLanguage(static_cast<VTranslator::VLanguage>(language));
    QSignalSpy complete(list(), &ImSessionListManager::dataComplete);
    list()->initData();
    QCOMPARE(complete.count(), 1);
    QCOMPARE(Column("account"), QStringLiteral("1001@group,alice,carol,dave,erin"));
    QCOMPARE(Column("content"), contents);
    QCOMPARE(Column("name"), QStringLiteral("Group One,Alice,Carol,,"));
    QCOMPARE(Column("icon"), QStringLiteral("g.png,a.png,,,"));
    QCOMPARE(Column("fromName"), QStringLiteral("Bob: ,,,,"));
    QCOMPARE(Column("champflag"), QStringLiteral("0,3,0,0,0"));
    QCOMPARE(Column("totype"), QStringLiteral("1,0,0,0,0"));
    // Index getters, in and out of range.
    QCOMPARE(list()->getSessionAccount(1), QStringLiteral("alice"));
    QCOMPARE(list()->getSessionName(0), QStringLiteral("Group One"));
    QCOMPARE(list()->getSessionIcon(1), QStringLiteral("a.png"));
    QCOMPARE(list()->getSessionTotype(0), 1);
    QCOMPARE(list()->getSessionChampFlag(1), 3);
    QCOMPARE(list()->getSessionTitle(0), 0);
    QCOMPARE(list()->getSessionAccount(-1), QString());
    QCOMPARE(list()->getSessionName(5), QString());
    QCOMPARE(list()->getSessionTotype(5), 0);
    QCOMPARE(list()->getSessionChampFlag(-1), 0);
    QVERIFY(!list()->getSession(QStringLiteral("nobody")));
    // A second rebuild gives the same list, not a second copy.
    list()->initData();
    QCOMPARE(Column("account"), QStringLiteral("1001@group,alice,carol,dave,erin"));
  }

  // A group notice shows the chat side's line for it, not its JSON.
  void groupNoticeRowShowsTheNoticeLine() {
    Message notice =
        Msg(QStringLiteral("bob"), QStringLiteral("3003@group"), QStringLiteral("10:00:00"), 6);
    notice.totype = 1;
    notice.content = QStringLiteral(R"({"notify": "leave", "nick": "Bob"})");
    QVERIFY(MessageRows::StoreNewest(QStringLiteral("3003@group"), notice));
    list()->initData();
    const QString line = ImSessionManager::instance()->getGroupNotifyContent(notice.content);
    QVERIFY(!line.isEmpty());
    QCOMPARE(list()->getSession(QStringLiteral("3003@group"))->content(), line);
  }

  // A rebuild whose newest message shows nothing in the chat (a notice without a
  // line, a recall the rights rule refuses) shows the newest message that does and
  // places the row by it, as the list stood before that message came.
  void rebuildPassesOverMessagesThatShowNothing_data() {
    QTest::addColumn<QStringList>("newer");
    QTest::addColumn<int>("recallerRole");
    QTest::addColumn<QString>("accounts");
    QTest::addColumn<QString>("contents");
    QTest::addColumn<QString>("revoked");
    const QString setInfo = R"({"notify":"set","nick":"Bob","info":"new intro"})";
    const QString setLogo = R"({"notify":"set","nick":"Bob","logo":"n.png"})";
    const QString rename = R"({"notify":"set","nick":"Bob","groupname":"Two"})";
    QTest::newRow("introduction changed") << QStringList{setInfo} << 0 << "alice,2002@group"
                                          << "hi,kept"
                                          << "0,0";
    QTest::newRow("two silent notices") << QStringList{setInfo, setLogo} << 0 << "alice,2002@group"
                                        << "hi,kept"
                                        << "0,0";
    QTest::newRow("renamed") << QStringList{rename} << 0 << "2002@group,alice"
                             << "Bob Modify the group name to Two,hi"
                             << "0,0";
    QTest::newRow("member's recall refused") << QStringList{"recall"} << 3 << "alice,2002@group"
                                             << "hi,kept"
                                             << "0,0";
    QTest::newRow("manager's recall") << QStringList{"recall"} << 2 << "2002@group,alice"
                                      << "'ve recalled a message,hi"
                                      << "1,0";
  }

  void rebuildPassesOverMessagesThatShowNothing() {
    QFETCH(QStringList, newer);
    QFETCH(int, recallerRole);
    QFETCH(QString, accounts);
    QFETCH(QString, contents);
    QFETCH(QString, revoked);
    const QString group = QStringLiteral("2002@group");
    Message kept = Msg(QStringLiteral("ann"), group, QStringLiteral("09:00:00"));
    kept.totype = 1;
    kept.content = QStringLiteral("kept");
    kept.remark = QStringLiteral(R"({"from":{"nick":"Ann"}})");
    const int keptId = MessageRows::StoreNewest(group, kept);
    Message hi = Msg(QStringLiteral("alice"), QStringLiteral("me"), QStringLiteral("10:00:00"));
    hi.content = QStringLiteral("hi");
    QVERIFY(MessageRows::StoreNewest(QStringLiteral("alice"), hi));
    int minute = 0;
    for (const QString& content : newer) {
      Message m = Msg(QStringLiteral("bob"), group, QStringLiteral("11:0%1:00").arg(minute++),
                      content == QLatin1String("recall") ? 9 : 6);
      m.totype = 1;
      m.content = content == QLatin1String("recall") ? QString::number(keptId) : content;
      QVERIFY(MessageRows::StoreNewest(group, m));
      if (m.msgtype == 9) {
        // Stored as an engine that did not check the rights stored it.
        QVERIFY(ui()->dbExecSql(
            QStringLiteral("update nq_message set revokeflag=1 where id=%1").arg(keptId)));
      }
    }
    QVERIFY(ui()->dbExecSql(QStringLiteral("delete from nq_groupuser")));
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("insert into nq_groupuser(groupid,account,role) values('%1','bob',%2)")
            .arg(group)
            .arg(recallerRole)));
    list()->initData();
    QCOMPARE(Column("account"), accounts);
    QCOMPARE(Column("content"), contents);
    QCOMPARE(Column("revokeflag"), revoked);
  }

  // A group with no message that shows anything keeps its place and shows no text.
  void rebuildOfAGroupWithOnlySilentNotices() {
    const QString group = QStringLiteral("2003@group");
    Message m = Msg(QStringLiteral("bob"), group, QStringLiteral("11:00:00"), 6);
    m.totype = 1;
    m.content = QStringLiteral(R"({"notify":"set","nick":"Bob","type":1})");
    QVERIFY(MessageRows::StoreNewest(group, m));
    QVERIFY(MessageRows::StoreNewest(
        QStringLiteral("alice"),
        Msg(QStringLiteral("alice"), QStringLiteral("me"), QStringLiteral("10:00:00"))));
    list()->initData();
    QCOMPARE(Column("account"), QStringLiteral("2003@group,alice"));
    QCOMPARE(list()->getSession(group)->content(), QString());
    QCOMPARE(list()->getSession(group)->msgtype(), 0);
  }

  // Previews made in the interface language follow a switch of it, for rows of a
  // rebuild and rows an arriving message updated.
  void languageSwitchRewritesPreviews() {
    const QString group = QStringLiteral("2004@group");
    const QString leave = QStringLiteral(R"({"notify":"leave","nick":"Bob"})");
    Message rebuilt = Msg(QStringLiteral("bob"), group, QStringLiteral("10:00:00"), 6);
    rebuilt.totype = 1;
    rebuilt.content = leave;
    QVERIFY(MessageRows::StoreNewest(group, rebuilt));
    QVERIFY(MessageRows::StoreNewest(
        QStringLiteral("erin"),
        Msg(QStringLiteral("erin"), QStringLiteral("me"), QStringLiteral("09:00:00"), 7)));
    list()->initData();
    QCOMPARE(list()->getSession(group)->content(), QStringLiteral("Bob Left the group"));

    // A second group's row made by an arriving notice.
    const QString other = QStringLiteral("2005@group");
    Message live = Msg(QStringLiteral("bob"), other, QStringLiteral("11:00:00"), 6);
    live.totype = 1;
    live.content = QStringLiteral(R"({"notify":"create","nick":"Bob"})");
    const int liveId = MessageRows::StoreNewest(other, live);
    QVariantMap map{{"id", liveId},
                    {"fromuser", live.from},
                    {"touser", other},
                    {"totype", 1},
                    {"msgtype", 6},
                    {"sendtime", live.sendtime},
                    {"content", ImSessionManager::instance()->getGroupNotifyContent(live.content)}};
    list()->updateData(map);
    QCOMPARE(list()->getSession(other)->content(), QStringLiteral("Bob Start a group chat"));

    VTranslator::instance()->setCurrentLanguage(VTranslator::ZH_CN);
    QCOMPARE(list()->getSession(group)->content(), QString::fromUtf8(u8"Bob离开了该群"));
    QCOMPARE(list()->getSession(other)->content(), QString::fromUtf8(u8"Bob发起了群聊"));
    QCOMPARE(list()->getSession(QStringLiteral("erin"))->content(),
             QString::fromUtf8(u8"[TesmoChat红包]"));
    VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US);
    QCOMPARE(list()->getSession(group)->content(), QStringLiteral("Bob Left the group"));
  }

  void emptyDatabasePushesZero() {
    ImSessionManager::instance()->setUnReadMsgCount(7);
    QSignalSpy complete(list(), &ImSessionListManager::dataComplete);
    list()->initData();
    QCOMPARE(list()->itemCount(), 0);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(badge(), 0);
  }

  // Two list entries whose messages name one conversation: the newer one wins.
  void duplicateAccountKeepsTheNewerRow() {
    Message newer = Msg(QStringLiteral("alice"), QStringLiteral("me"), QStringLiteral("11:00:00"));
    newer.content = QStringLiteral("new");
    Message older = Msg(QStringLiteral("me"), QStringLiteral("alice"), QStringLiteral("09:00:00"));
    older.content = QStringLiteral("old");
    QVERIFY(MessageRows::StoreNewest(QStringLiteral("alice"), newer));
    QVERIFY(MessageRows::StoreNewest(QStringLiteral("alice-stale"), older));
    list()->initData();
    QCOMPARE(Column("account"), QStringLiteral("alice"));
    QCOMPARE(Column("content"), QStringLiteral("new"));
    QCOMPARE(Column("sendtime"), QStringLiteral("2026-01-01 11:00:00"));
  }

  void updateData_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("isEmpty");
    QTest::addColumn<bool>("moveToTop");
    QTest::addColumn<QString>("accounts");
    QTest::addColumn<QString>("content");
    const QString fresh = QStringLiteral("zed,1001@group,alice,carol,dave,erin");
    QTest::newRow("new row, move on") << "zed" << false << true << fresh << "hello";
    QTest::newRow("new row, move off") << "zed" << false << false << fresh << "hello";
    QTest::newRow("new row from an opened chat") << "zed" << true << false << fresh << "hello";
    QTest::newRow("existing, move on")
        << "dave" << false << true << "dave,1001@group,alice,carol,erin"
        << "hello";
    QTest::newRow("existing, move off")
        << "dave" << false << false << "1001@group,alice,carol,dave,erin"
        << "hello";
    QTest::newRow("opened, move on") << "dave" << true << true << "dave,1001@group,alice,carol,erin"
                                     << "You have recalled a message";
    QTest::newRow("opened, move off")
        << "dave" << true << false << "1001@group,alice,carol,dave,erin"
        << "You have recalled a message";
  }

  void updateData() {
    QFETCH(QString, account);
    QFETCH(bool, isEmpty);
    QFETCH(bool, moveToTop);
    QFETCH(QString, accounts);
    QFETCH(QString, content);
    SeedFive();
    EngineDouble::SetText("GetUserInfo:zed:0", "Zed");
    list()->initData();
    EngineDouble::SetText("GetUserInfo:dave:4", "5");
    VConfig::instance()->setAutoMoveToTop(moveToTop);
    const QString oldTime = list()->getSession(QStringLiteral("dave"))->sendtime();
    // The engine has stored the message and named it the conversation's newest.
    Message stored = Msg(QStringLiteral("me"), account, QStringLiteral("12:00:00"));
    stored.content = QStringLiteral("hello");
    const int id = MessageRows::StoreNewest(account, stored);
    QVERIFY(id > 0);
    QSignalSpy added(list(), &ImBaseListModel::itemAdded);
    list()->updateData({{QStringLiteral("id"), id},
                        {QStringLiteral("fromuser"), QStringLiteral("me")},
                        {QStringLiteral("touser"), account},
                        {QStringLiteral("totype"), 0},
                        {QStringLiteral("msgtype"), 0},
                        {QStringLiteral("content"), QStringLiteral("hello")},
                        {QStringLiteral("sendflag"), 1},
                        {QStringLiteral("atflag"), 2},
                        {QStringLiteral("sendtime"), QStringLiteral("2026-01-01 12:00:00")}},
                       isEmpty);
    QCOMPARE(Column("account"), accounts);
    ImMsgEntity* row = list()->getSession(account);
    QVERIFY(row);
    QCOMPARE(row->content(), content);
    QCOMPARE(row->atflag(), 0);
    QCOMPARE(added.count(), account == QLatin1String("zed") ? 1 : 0);
    if (account == QLatin1String("zed")) {
      QCOMPARE(row->name(), QStringLiteral("Zed"));
    } else {
      QCOMPARE(row->sendtime(), isEmpty ? oldTime : QStringLiteral("2026-01-01 12:00:00"));
      QCOMPARE(row->champflag(), isEmpty ? 0 : 5);
    }
  }

  // History downloads hand over older messages: the row keeps the one the
  // list table names as the conversation's newest.
  void olderMessageKeepsTheNewestRow() {
    SeedFive();
    list()->initData();
    ImMsgEntity* row = list()->getSession(QStringLiteral("dave"));
    const QString content = row->content();
    Message old = Msg(QStringLiteral("dave"), QStringLiteral("me"), QStringLiteral("06:00:00"));
    old.content = QStringLiteral("long ago");
    const int oldId = MessageRows::Store(old);
    QVERIFY(oldId > 0);
    QVariantMap map{{QStringLiteral("id"), oldId},
                    {QStringLiteral("fromuser"), QStringLiteral("dave")},
                    {QStringLiteral("touser"), QStringLiteral("me")},
                    {QStringLiteral("totype"), 0},
                    {QStringLiteral("content"), old.content},
                    {QStringLiteral("sendtime"), old.sendtime}};
    list()->updateData(map);
    QCOMPARE(row->content(), content);
    QCOMPARE(row->sendtime(), QStringLiteral("2026-01-01 08:00:00"));
    QCOMPARE(list()->indexOf(row), 3);
    // Once the list table names it (or the map carries no id), it is shown.
    QVERIFY(MessageRows::MarkNewest(QStringLiteral("dave"), oldId));
    list()->updateData(map);
    QCOMPARE(row->content(), QStringLiteral("long ago"));
    QCOMPARE(list()->indexOf(row), 0);
    map.remove(QStringLiteral("id"));
    map.insert(QStringLiteral("content"), QStringLiteral("no id"));
    list()->updateData(map);
    QCOMPARE(row->content(), QStringLiteral("no id"));
  }

  void updateDataForANewGroupTakesTheRemark() {
    list()->updateData({{QStringLiteral("fromuser"), QStringLiteral("bob")},
                        {QStringLiteral("touser"), kGroup},
                        {QStringLiteral("totype"), 1},
                        {QStringLiteral("content"), QStringLiteral("hi all")},
                        {QStringLiteral("remark"), QLatin1String(kGroupRemark)}});
    ImMsgEntity* row = list()->getSession(kGroup);
    QVERIFY(row);
    QCOMPARE(row->name(), QStringLiteral("Group One"));
    QCOMPARE(row->icon(), QStringLiteral("g.png"));
    QCOMPARE(row->fromName(), QStringLiteral("Bob: "));
    // A name the caller already gives stays.
    list()->updateData({{QStringLiteral("fromuser"), QStringLiteral("me")},
                        {QStringLiteral("touser"), QStringLiteral("2002@group")},
                        {QStringLiteral("totype"), 1},
                        {QStringLiteral("name"), QStringLiteral("Mine")},
                        {QStringLiteral("remark"), QLatin1String(kGroupRemark)}},
                       true);
    QCOMPARE(list()->getSession(QStringLiteral("2002@group"))->name(), QStringLiteral("Mine"));
    list()->updateData(QVariantMap());
    QCOMPARE(list()->itemCount(), 2);
  }

  // Every group row names the sender, wherever the row came from: a rebuild of
  // synced history without a remark, a forward (whose remark is its source's), a
  // message handed in without a name.
  void groupRowsAlwaysNameTheSender() {
    EngineDouble::SetText("GetMyName", "Me");
    EngineDouble::SetText("GetUserInfo:dan:0", "Dan");
    const QString synced = QStringLiteral("2001@group");
    const QString member = QStringLiteral("2002@group");
    const QString forwarded = QStringLiteral("2003@group");
    Message plain = Msg(QStringLiteral("dan"), synced, QStringLiteral("10:00:00"));
    plain.totype = 1;
    QVERIFY(MessageRows::StoreNewest(synced, plain));
    Message fromMember = Msg(QStringLiteral("eve"), member, QStringLiteral("10:01:00"));
    fromMember.totype = 1;
    QVERIFY(MessageRows::StoreNewest(member, fromMember));
    QVERIFY(ui()->dbExecSql(QStringLiteral(
        "insert into nq_groupuser(groupid,account,nick) values('2002@group','eve','Eve')")));
    Message forward = Msg(QStringLiteral("me"), forwarded, QStringLiteral("10:02:00"));
    forward.totype = 1;
    forward.remark = QLatin1String(kGroupRemark);  // the source's: Bob wrote it
    QVERIFY(MessageRows::StoreNewest(forwarded, forward));
    list()->initData();
    QCOMPARE(list()->getSession(synced)->fromName(), QStringLiteral("Dan: "));
    QCOMPARE(list()->getSession(member)->fromName(), QStringLiteral("Eve: "));
    QCOMPARE(list()->getSession(forwarded)->fromName(), QStringLiteral("Me: "));

    // Updates of existing rows and new rows from maps.
    list()->updateData({{QStringLiteral("fromuser"), QStringLiteral("dan")},
                        {QStringLiteral("touser"), member},
                        {QStringLiteral("totype"), 1},
                        {QStringLiteral("content"), QStringLiteral("synced")},
                        {QStringLiteral("fromName"), QStringLiteral(": ")}});
    QCOMPARE(list()->getSession(member)->fromName(), QStringLiteral("Dan: "));
    const QVariantMap forwardMap{{QStringLiteral("fromuser"), QStringLiteral("me")},
                                 {QStringLiteral("sendflag"), 1},
                                 {QStringLiteral("totype"), 1},
                                 {QStringLiteral("content"), QStringLiteral("fw")},
                                 {QStringLiteral("remark"), QLatin1String(kGroupRemark)}};
    QVariantMap toExisting = forwardMap;
    toExisting.insert(QStringLiteral("touser"), synced);
    list()->updateData(toExisting);
    QCOMPARE(list()->getSession(synced)->fromName(), QStringLiteral("Me: "));
    QVariantMap toNew = forwardMap;
    toNew.insert(QStringLiteral("touser"), QStringLiteral("2004@group"));
    list()->updateData(toNew);
    QCOMPARE(list()->getSession(QStringLiteral("2004@group"))->fromName(), QStringLiteral("Me: "));
  }

  // A conversation whose newest message is a recall notice reads as that recall
  // after a rebuild, whoever recalled.
  void rebuiltRecallRowsReadAsRecalls() {
    SeedFive();
    list()->initData();
    QCOMPARE(Column("revokeflag"), QStringLiteral("0,0,1,1,0"));
    QCOMPARE(Column("sendflag"), QStringLiteral("0,1,0,1,0"));
  }

  void removeSessionOfAQuotedAccountTouchesNoOtherRow() {
    const QString quoted = QStringLiteral("o'neil");
    int minute = 30;
    for (const QString& peer : {quoted, QStringLiteral("o"), QStringLiteral("neil")}) {
      QVERIFY(MessageRows::Store(Msg(peer, QStringLiteral("me"), QStringLiteral("09:00:00"))));
      QVERIFY(MessageRows::StoreNewest(
          peer, Msg(QStringLiteral("me"), peer, QStringLiteral("09:%1:00").arg(minute--))));
    }
    Message inGroup = Msg(quoted, kGroup, QStringLiteral("09:40:00"));
    inGroup.totype = 1;
    QVERIFY(MessageRows::StoreNewest(kGroup, inGroup));
    list()->initData();
    QCOMPARE(list()->itemCount(), 4);

    list()->removeSession(quoted);
    QVERIFY(!list()->getSession(quoted));
    QCOMPARE(list()->itemCount(), 3);
    // Both directions of the conversation are hidden ...
    QCOMPARE(MessageRows::Count(
                 QStringLiteral("(fromuser='o''neil' or touser='o''neil') and totype=0 and "
                                "deleted=0")),
             0);
    // ... and nothing else: the other people and the group message it sent.
    QCOMPARE(MessageRows::Count(QStringLiteral("deleted=1")), 2);
    QCOMPARE(MessageRows::Count(QStringLiteral("deleted=0")), 5);
    QCOMPARE(ui()->getDataCount(QStringLiteral("select account from nq_messagenew")), 3);
    list()->initData();
    QCOMPARE(Column("account"), QStringLiteral("1001@group,o,neil"));

    // A group: the messages to the group only.
    list()->removeSession(kGroup);
    QCOMPARE(MessageRows::Count(QStringLiteral("deleted=1")), 3);
    QCOMPARE(Column("account"), QStringLiteral("o,neil"));

    // An unknown account leaves the database alone.
    EngineDouble::Reset();
    list()->removeSession(QStringLiteral("nobody"));
    list()->removeSession(QString());
    QCOMPARE(CountCalls("DBExecSql"), 0);
    QCOMPARE(list()->itemCount(), 2);
  }

  // The badge follows every event as soon as its counts arrive; a muted group
  // keeps its own count and adds nothing.
  void badgeIsRightAfterEachEvent() {
    SeedFive();
    EngineDouble::SetText("GetBlackList", "1001@group");
    list()->initData();
    // Unread: alice 1, the group 1 (muted), erin 1.
    QTRY_COMPARE_WITH_TIMEOUT(badge(), 2, 20000);
    Settle();
    QCOMPARE(list()->getSession(kGroup)->unReadMsgCount(), 1);
    QCOMPARE(list()->getSession(QStringLiteral("alice"))->unReadMsgCount(), 1);
    QCOMPARE(list()->getNextUnReadIndex(), 0);

    // A received message: stored by the engine, then handed over.
    Message next = Msg(QStringLiteral("alice"), QStringLiteral("me"), QStringLiteral("11:00:00"));
    next.content = QStringLiteral("again");
    QVERIFY(MessageRows::StoreNewest(QStringLiteral("alice"), next));
    list()->updateData({{QStringLiteral("fromuser"), QStringLiteral("alice")},
                        {QStringLiteral("touser"), QStringLiteral("me")},
                        {QStringLiteral("totype"), 0},
                        {QStringLiteral("content"), QStringLiteral("again")}});
    QTRY_COMPARE_WITH_TIMEOUT(badge(), 3, 20000);
    QCOMPARE(Column("account").section(QLatin1Char(','), 0, 0), QStringLiteral("alice"));

    // More unread messages in the muted group change nothing.
    Message muted = Msg(QStringLiteral("bob"), kGroup, QStringLiteral("11:05:00"));
    muted.totype = 1;
    QVERIFY(MessageRows::StoreNewest(kGroup, muted));
    list()->updateData({{QStringLiteral("fromuser"), QStringLiteral("bob")},
                        {QStringLiteral("touser"), kGroup},
                        {QStringLiteral("totype"), 1}});
    QTRY_COMPARE_WITH_TIMEOUT(list()->getSession(kGroup)->unReadMsgCount(), 2, 20000);
    QCOMPARE(badge(), 3);

    // Reading a conversation.
    list()->resetUnReadMsgCount(QStringLiteral("alice"));
    QCOMPARE(list()->getSession(QStringLiteral("alice"))->unReadMsgCount(), 0);
    QCOMPARE(badge(), 1);
    Settle();
    QCOMPARE(list()->getSession(QStringLiteral("alice"))->unReadMsgCount(), 0);
    QCOMPARE(badge(), 1);
    QCOMPARE(list()->getNextUnReadIndex(), list()->indexOf(list()->getSession(kGroup)));

    // Removing the last unread conversation that counts.
    list()->removeSession(QStringLiteral("erin"));
    QCOMPARE(badge(), 0);

    // Answers for accounts without a row are dropped.
    list()->onMsgCountChange(QStringLiteral("ghost"), 9);
    list()->onMsgAtFlagChange(QStringLiteral("ghost"), 1);
    QCOMPARE(badge(), 0);
    list()->wipeData();
    QCOMPARE(list()->getNextUnReadIndex(), 0);
  }

  void groupAtFlagComesFromTheWorker() {
    SeedFive();
    EngineDouble::SetInt("SearchAtMsg:1001@group:1", 1);
    EngineDouble::SetInt("SearchAtMsg:1001@group:2", 1);
    list()->initData();
    QTRY_COMPARE_WITH_TIMEOUT(list()->getSession(kGroup)->atflag(), 1, 20000);
    list()->resetAtflag(kGroup);
    QCOMPARE(list()->getSession(kGroup)->atflag(), 0);
    EngineDouble::SetInt("SearchAtMsg:1001@group:1", 0);
    QSignalSpy flagged(list()->getSession(kGroup), &ImMsgEntity::atflagChanged);
    list()->updateData({{QStringLiteral("fromuser"), QStringLiteral("bob")},
                        {QStringLiteral("touser"), kGroup},
                        {QStringLiteral("totype"), 1},
                        {QStringLiteral("atflag"), 1}});
    QTRY_COMPARE_WITH_TIMEOUT(list()->getSession(kGroup)->atflag(), 2, 20000);
    QCOMPARE(list()->searchAtMsg(kGroup, 2), 1);
    QCOMPARE(list()->searchAtMsg(kGroup, 1), 0);
  }

  void historySyncEventRebuildsOnlyOnSuccess() {
    SeedFive();
    const size_t before = EngineDouble::Delivered().size();
    EngineDouble::Raise(0, 100013, 1, 0, 0, "");
    QVERIFY(EngineDouble::WaitDelivered(before + 1));
    QTest::qWait(100);
    QCOMPARE(list()->itemCount(), 0);
    EngineDouble::Raise(0, 100013, 0, 0, 0, "");
    QTRY_COMPARE_WITH_TIMEOUT(list()->itemCount(), 5, 20000);
  }

  // Rows stored by a history sync stay unread; after its report each row counts
  // only what its chat shows: no notice without a line, no refused recall.
  void historySyncBadgeCountsOnlyWhatTheChatShows() {
    const QString group = QStringLiteral("5005@group");
    QVERIFY(ui()->dbExecSql(QStringLiteral("delete from nq_groupuser")));
    QVERIFY(ui()->dbExecSql(QStringLiteral(
        "insert into nq_groupuser(groupid,account,role) values('5005@group','mem',3)")));
    const auto groupMessage = [&group](const QString& from, const char* time, int msgtype,
                                       const QString& content, int seeflag) {
      Message m = Msg(from, group, QLatin1String(time), msgtype);
      m.totype = 1;
      m.content = content;
      m.seeflag = seeflag;
      return MessageRows::StoreNewest(group, m);
    };
    const int target = groupMessage(QStringLiteral("ann"), "10:00:00", 0, QStringLiteral("a"), 1);
    QVERIFY(target > 0);
    QVERIFY(groupMessage(QStringLiteral("ann"), "10:01:00", 0, QStringLiteral("b"), 0));
    QVERIFY(groupMessage(QStringLiteral("ann"), "10:02:00", 6,
                         QStringLiteral(R"({"notify":"leave","nick":"Ann"})"), 0));
    QVERIFY(groupMessage(QStringLiteral("mem"), "10:03:00", 9, QString::number(target), 0));
    QVERIFY(groupMessage(QStringLiteral("ann"), "10:04:00", 6,
                         QStringLiteral(R"({"notify":"set","nick":"Ann","info":"new"})"), 0));
    // A person whose recall of the user's message is refused.
    Message mine = Msg(QStringLiteral("me"), QStringLiteral("alice"), QStringLiteral("09:00:00"));
    const int own = MessageRows::StoreNewest(QStringLiteral("alice"), mine);
    QVERIFY(own > 0);
    QVERIFY(MessageRows::StoreNewest(
        QStringLiteral("alice"),
        Msg(QStringLiteral("alice"), QStringLiteral("me"), QStringLiteral("09:01:00"))));
    Message recall =
        Msg(QStringLiteral("alice"), QStringLiteral("me"), QStringLiteral("09:02:00"), 9);
    recall.content = QString::number(own);
    QVERIFY(MessageRows::StoreNewest(QStringLiteral("alice"), recall));

    EngineDouble::Raise(0, 100013, 0, 0, 0, "");
    QTRY_COMPARE_WITH_TIMEOUT(list()->itemCount(), 2, 20000);
    Settle();
    QCOMPARE(list()->getSession(group)->unReadMsgCount(), 2);
    QCOMPARE(list()->getSession(QStringLiteral("alice"))->unReadMsgCount(), 1);
    QCOMPARE(badge(), 3);
  }

  void setSessionName() {
    SeedFive();
    list()->initData();
    list()->setSessionName(kGroup, QStringLiteral("Renamed"));
    list()->setSessionName(QStringLiteral("nobody"), QStringLiteral("x"));
    QCOMPARE(list()->getSessionName(0), QStringLiteral("Renamed"));
    QCOMPARE(list()->itemCount(), 5);
  }

  // A rebuilt row's item is made on demand: the getters read the same before
  // and after, the item's map holds the keys a row built in full would, and
  // every road to a row's item gives the one object.
  void rowItemIsMadeOnceAndMatchesTheGetters() {
    SeedFive();
    list()->initData();
    QStringList before;
    for (int row = 0; row < list()->itemCount(); ++row)
      before << QStringLiteral("%1|%2|%3|%4|%5|%6")
                    .arg(list()->getSessionAccount(row), list()->getSessionName(row),
                         list()->getSessionIcon(row))
                    .arg(list()->getSessionTotype(row))
                    .arg(list()->getSessionTitle(row))
                    .arg(list()->getSessionChampFlag(row));
    QStringList after;
    for (int row = 0; row < list()->itemCount(); ++row) {
      auto* item = qobject_cast<ImMsgEntity*>(list()->get(row));
      QVERIFY(item);
      after << QStringLiteral("%1|%2|%3|%4|%5|%6")
                   .arg(item->account(), item->name(), item->icon())
                   .arg(item->totype())
                   .arg(item->title())
                   .arg(item->champflag());
      const QModelIndex index = list()->index(row, 0);
      QCOMPARE(list()->data(index, ImBaseListModel::kObjectRole).value<QObject*>(), item);
      QCOMPARE(list()->data(index, ImBaseListModel::kObjectRole).value<QObject*>(), item);
      QCOMPARE(list()->get(row), item);
      QCOMPARE(list()->getSession(item->account()), item);
    }
    QCOMPARE(after, before);
    // Optional keys exist only where a full row had them: a missing key reads
    // as empty, and the item's map is what the chat side copies.
    const QStringList group = list()->getSession(kGroup)->getData().keys();
    QVERIFY(group.contains(QStringLiteral("fromName")));
    QVERIFY(!group.contains(QStringLiteral("champflag")));
    QVERIFY(!group.contains(QStringLiteral("unReadMsgCount")));
    const QStringList alice = list()->getSession(QStringLiteral("alice"))->getData().keys();
    for (const char* key : {"name", "icon", "champflag", "account", "content", "remark", "deleted"})
      QVERIFY2(alice.contains(QLatin1String(key)), key);
    const QStringList dave = list()->getSession(QStringLiteral("dave"))->getData().keys();
    QVERIFY(!dave.contains(QStringLiteral("name")));
    QVERIFY(!dave.contains(QStringLiteral("icon")));
    QVERIFY(!dave.contains(QStringLiteral("fromName")));
  }

  // Counters, updates and writes reach what QML reads whether the row's item
  // was made before or after them.
  void updatesReachTheRowBeforeAndAfterItsItem_data() {
    QTest::addColumn<bool>("itemFirst");
    QTest::newRow("item made after the updates") << false;
    QTest::newRow("item made before the updates") << true;
  }

  void updatesReachTheRowBeforeAndAfterItsItem() {
    QFETCH(bool, itemFirst);
    SeedFive();
    list()->initData();
    ImMsgEntity* carol = itemFirst ? list()->getSession(QStringLiteral("carol")) : nullptr;
    ImMsgEntity* group = itemFirst ? list()->getSession(kGroup) : nullptr;
    std::unique_ptr<QSignalSpy> counted;
    if (carol) counted = std::make_unique<QSignalSpy>(carol, &ImMsgEntity::unReadMsgCountChanged);
    list()->onMsgCountChange(QStringLiteral("carol"), 4);
    list()->onMsgAtFlagChange(kGroup, 1);
    QCOMPARE(badge(), 4);
    QCOMPARE(list()->getNextUnReadIndex(), 2);
    QCOMPARE(list()->getAllUnReadMsgCount(), 4);
    if (counted) QCOMPARE(counted->count(), 1);
    if (!carol) carol = list()->getSession(QStringLiteral("carol"));
    if (!group) group = list()->getSession(kGroup);
    QCOMPARE(carol->unReadMsgCount(), 4);
    QCOMPARE(group->atflag(), 1);
    // A reset reaches the item QML reads.
    list()->resetAtflag(kGroup);
    QCOMPARE(group->atflag(), 0);
    // A new message for a row: text and time on the item QML reads.
    QVariantMap map{{QStringLiteral("fromuser"), QStringLiteral("erin")},
                    {QStringLiteral("touser"), QStringLiteral("me")},
                    {QStringLiteral("content"), QStringLiteral("fresh")},
                    {QStringLiteral("sendtime"), QStringLiteral("2026-01-01 12:00:00")}};
    list()->updateData(map);
    QCOMPARE(list()->getSessionAccount(0), QStringLiteral("erin"));
    auto* erin = qobject_cast<ImMsgEntity*>(list()->get(0));
    QCOMPARE(erin->content(), QStringLiteral("fresh"));
    QCOMPARE(list()->getSession(QStringLiteral("erin")), erin);
    // What QML writes on an item is what the getters answer.
    erin->setName(QStringLiteral("Erin"));
    QCOMPARE(list()->getSessionName(0), QStringLiteral("Erin"));
  }

  // Removing or rebuilding deletes the items that were made; what QML still
  // holds of them becomes null, and rows without items go just as well.
  void removalAndRebuildLeaveNoItemBehind() {
    SeedFive();
    list()->initData();
    QPointer<QObject> held = list()->get(0);
    QVERIFY(held);
    list()->removeSession(QStringLiteral("carol"));  // never made
    QCOMPARE(Column("account"), QStringLiteral("1001@group,alice,dave,erin"));
    QVERIFY(held);
    list()->removeSession(kGroup);  // made
    QVERIFY(!held);
    QCOMPARE(list()->getSessionAccount(0), QStringLiteral("alice"));
    held = list()->get(1);
    QCOMPARE(qobject_cast<ImMsgEntity*>(held.data())->account(), QStringLiteral("dave"));
    list()->initData();
    QVERIFY(!held);
    QCOMPARE(list()->itemCount(), 3);
    QCOMPARE(list()->getSessionAccount(1), QStringLiteral("dave"));
    QCOMPARE(qobject_cast<ImMsgEntity*>(list()->get(1))->account(), QStringLiteral("dave"));
  }

  // Items handed in made join as rows: the last one first, read back through
  // the getters, updated in place, and deleted by the next rebuild.
  void parseDataListsMadeItemsAsRows() {
    auto make = [](const QString& account, const QString& content) {
      return new ImMsgEntity(QVariantMap{{QStringLiteral("account"), account},
                                         {QStringLiteral("content"), content},
                                         {QStringLiteral("totype"), 0}},
                             nullptr);
    };
    QPointer<ImMsgEntity> first = make(QStringLiteral("frank"), QStringLiteral("one"));
    QPointer<ImMsgEntity> second = make(QStringLiteral("gina"), QStringLiteral("two"));
    std::unique_ptr<ImMsgEntity> repeated(make(QStringLiteral("gina"), QStringLiteral("again")));
    list()->parseData({first.data(), second.data(), repeated.get(), nullptr});
    QCOMPARE(list()->itemCount(), 2);
    QCOMPARE(list()->get(0), second.data());
    QCOMPARE(list()->getSessionAccount(1), QStringLiteral("frank"));
    QCOMPARE(list()->getSession(QStringLiteral("frank")), first.data());
    list()->updateData(QVariantMap{{QStringLiteral("fromuser"), QStringLiteral("frank")},
                                   {QStringLiteral("touser"), QStringLiteral("me")},
                                   {QStringLiteral("totype"), 0},
                                   {QStringLiteral("content"), QStringLiteral("three")}},
                       false);
    QCOMPARE(list()->itemCount(), 2);
    QCOMPARE(list()->get(0), first.data());
    QCOMPARE(first->content(), QStringLiteral("three"));
    list()->initData();
    QVERIFY(!first);
    QVERIFY(!second);
  }

  // The model's own operations, which QML may call, keep each row with its
  // fields: the getters and the items follow the moved and removed rows.
  void modelOperationsKeepRowsInStep() {
    SeedFive();
    list()->initData();
    list()->move(3, 0);  // dave to the top, no item made
    list()->move(1, 4);  // the group to the bottom
    QCOMPARE(list()->getSessionAccount(0), QStringLiteral("dave"));
    QCOMPARE(list()->getSessionAccount(4), kGroup);
    list()->removeItem(1);  // alice leaves the model
    QStringList accounts;
    for (int row = 0; row < list()->itemCount(); ++row) accounts << list()->getSessionAccount(row);
    QCOMPARE(accounts.join(QLatin1Char(',')), QStringLiteral("dave,carol,erin,1001@group"));
    QCOMPARE(Column("account"), QStringLiteral("dave,carol,erin,1001@group"));
    QCOMPARE(Column("name"), QStringLiteral(",Carol,,Group One"));
    list()->reset();
    QCOMPARE(list()->itemCount(), 0);
    QCOMPARE(list()->getSessionAccount(0), QString());
    list()->initData();
    QCOMPARE(Column("account"), QStringLiteral("1001@group,alice,carol,dave,erin"));
  }

  // Rows, items and the index by account agree after every kind of change:
  // a rebuild, single and batch insertions, moves (made and unmade rows),
  // removals by the list, by QML and by an item's destruction, and a reset.
  // A row QML removed stays indexed and still answers by account.
  void rowsStayConsistentThroughEveryChange() {
    const auto consistent = [] { return list()->rowsConsistent(); };
    QVERIFY(consistent());
    SeedFive();
    list()->initData();
    QVERIFY(consistent());
    QVERIFY(list()->get(2));  // carol's item made
    QVERIFY(consistent());
    list()->move(2, 0);
    list()->move(3, 1);
    list()->move(0, 4);
    QVERIFY(consistent());
    QCOMPARE(Column("account"), QStringLiteral("dave,1001@group,alice,erin,carol"));
    list()->updateData(QVariantMap{{QStringLiteral("fromuser"), QStringLiteral("henry")},
                                   {QStringLiteral("touser"), QStringLiteral("me")},
                                   {QStringLiteral("totype"), 0}});
    QVERIFY(consistent());
    list()->updateData(QVariantMap{{QStringLiteral("fromuser"), QStringLiteral("erin")},
                                   {QStringLiteral("touser"), QStringLiteral("me")},
                                   {QStringLiteral("totype"), 0}},
                       true);  // moves erin to the top
    QVERIFY(consistent());
    QCOMPARE(list()->getSessionAccount(0), QStringLiteral("erin"));
    auto* ivy =
        new ImMsgEntity(QVariantMap{{QStringLiteral("account"), QStringLiteral("ivy")}}, nullptr);
    list()->parseData({ivy});
    QVERIFY(consistent());
    list()->removeSession(QStringLiteral("dave"));
    QVERIFY(consistent());
    const int alice = list()->indexOf(list()->getSession(QStringLiteral("alice")));
    QVERIFY(alice >= 0);
    list()->removeItem(alice);
    QVERIFY(consistent());
    QVERIFY(list()->getSession(QStringLiteral("alice")));
    QCOMPARE(list()->indexOf(list()->getSession(QStringLiteral("alice"))), -1);
    delete ivy;
    QVERIFY(consistent());
    QCOMPARE(Column("account"), QStringLiteral("erin,henry,1001@group,carol"));
    list()->reset();
    QVERIFY(consistent());
    list()->initData();
    QVERIFY(consistent());
    QCOMPARE(list()->itemCount(), 4);
    Settle();
    QVERIFY(consistent());
  }
};

TESMO_CLIENT_TEST_MAIN(TestImSessionListManager)
#include "tst_imsessionlistmanager.moc"
