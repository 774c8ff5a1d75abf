// The group list loaded from the engine's group table (a temporary database
// behind the engine test double), and the group notifications that change it.
#include <QAbstractItemModelTester>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/ImManagerLinks.h"
#include "contacts/GroupTestSupport.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VConfig.h"
#include "support/ClientTestMain.h"
#include "support/MessageRows.h"

class TestGroupList : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  int m_database = 0;
  std::unique_ptr<QAbstractItemModelTester> m_tester;

  ImGroupManager* groups() { return ImGroupManager::instance(); }
  ImUiInterface* engine() { return ImUiInterface::instance(); }

  void exec(const QString& sql) { QVERIFY2(engine()->dbExecSql(sql), qPrintable(sql)); }

  void insert(QString id, QString name, int state = 0, const QString& parent = QString(),
              int banChat = 0) {
    exec(QStringLiteral("INSERT INTO nq_group (groupid, parentid, groupname, grouplogo, usercount, "
                        "groupstate, banchat, banurl, type) VALUES ('%1', '%2', '%3', 'logo-%1', "
                        "7, %4, %5, 1, 2)")
             .arg(id.replace('\'', "''"), parent, name.replace('\'', "''"))
             .arg(state)
             .arg(banChat));
  }

  QStringList rows() {
    QStringList ids;
    for (int row = 0; row < groups()->rowCount(); ++row)
      ids << groups()->get(row)->property("groupid").toString();
    return ids;
  }

  void notify(const QString& text, int status = 0) {
    GroupTest::Deliver(groups(), _EVENT_COME_GROUPNOTIFY, status, 0, text);
  }

 private slots:
  void initTestCase() {
    engine()->initInterface();
    EngineDouble::SetText("GetMyAccount", "me");
    // Group changes reach the conversation list through the program's links.
    ImManagerLinks::wire();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        groups(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }

  void cleanupTestCase() { m_tester.reset(); }

  // A fresh database per case.
  void init() {
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("db%1.db").arg(++m_database));
    QVERIFY(engine()->SetDatabase(path.toUtf8().constData()) > 0);
    groups()->wipeData();
    ImSessionManager::instance()->setProperty("currentSessionId", QString());
  }

  void loadOrderAndLeftGroups() {
    QSignalSpy counted(groups(), &ImBaseListModel::itemCountChanged);
    insert("r1@group", "One");
    insert("left@group", "Left", 1);
    insert("r2@group", "Two");
    insert("r3@group", "Three");
    groups()->initData();
    QCOMPARE(rows(), (QStringList{"r1@group", "r2@group", "r3@group"}));
    QCOMPARE(counted.count(), 1);
    // A left group is found, but has no row and is never a target.
    QVERIFY(groups()->getGroupEntity("left@group"));
    QCOMPARE(groups()->getGroupname("left@group"), QStringLiteral("Left"));
    groups()->setAllSelected(true);
    QCOMPARE(groups()->selectedAccounts(), (QStringList{"r1@group", "r2@group", "r3@group"}));

    // Loading again adds only new groups, on top; known ones keep their values.
    exec("UPDATE nq_group SET groupname = 'Renamed' WHERE groupid = 'r1@group'");
    QPointer<ImGroupEntity> first = groups()->getGroupEntity("r1@group");
    insert("r4@group", "Four");
    groups()->initData();
    QCOMPARE(rows(), (QStringList{"r4@group", "r1@group", "r2@group", "r3@group"}));
    QCOMPARE(first.data(), groups()->getGroupEntity("r1@group"));
    QCOMPARE(first->groupname(), QStringLiteral("One"));
    groups()->initData();
    QCOMPARE(groups()->rowCount(), 4);
  }

  // A reload shows the groups the table holds now: a group left since (or gone from
  // the table) loses its row and is no target of a picker or of "sync to", whatever
  // marks it had; a group joined again comes back.
  void reloadDropsGroupsThatWentAway_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("targets");
    QTest::addColumn<bool>("found");
    QTest::newRow("left") << "UPDATE nq_group SET groupstate = 1 WHERE groupid = 'b@group'"
                          << QStringList{"a@group", "c@group"} << QStringList{"a@group", "c@group"}
                          << true;
    QTest::newRow("gone from the table")
        << "DELETE FROM nq_group WHERE groupid = 'b@group'" << QStringList{"a@group", "c@group"}
        << QStringList{"a@group", "c@group"} << false;
    QTest::newRow("joined again")
        << "UPDATE nq_group SET groupstate = 0 WHERE groupid = 'old@group'"
        << QStringList{"old@group", "a@group", "b@group", "c@group"}
        << QStringList{"a@group", "b@group", "c@group", "old@group"} << true;
    QTest::newRow("nothing changed") << "SELECT 1" << QStringList{"a@group", "b@group", "c@group"}
                                     << QStringList{"a@group", "b@group", "c@group"} << true;
  }

  void reloadDropsGroupsThatWentAway() {
    QFETCH(QString, change);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, targets);
    QFETCH(bool, found);
    insert("a@group", "A");
    insert("b@group", "B");
    insert("old@group", "Old", 1);
    insert("c@group", "C");
    groups()->initData();
    groups()->setAllSelected(true);
    groups()->setAllIsSync(true);
    QPointer<ImGroupEntity> b = groups()->getGroupEntity("b@group");
    exec(change);
    // A status notice loads the list again without a wipe.
    notify(R"({"notify":"status"})");
    QCOMPARE(this->rows(), rows);
    QCOMPARE(groups()->selectedAccounts(), targets);
    QCOMPARE(groups()->isSyncAccounts(), targets);
    groups()->saveIsSyncAccounts();
    QCOMPARE(VConfig::instance()->value("SYNC_GROUPS_LIST").toStringList(), targets);
    QCOMPARE(!b.isNull(), found);
    QCOMPARE(groups()->getGroupEntity("b@group") != nullptr, found);
  }

  void entityFromTheRow() {
    insert("g1@group", "Team", 0, "", 2);
    groups()->initData();
    ImGroupEntity* group = groups()->getGroupEntity("g1@group");
    QVERIFY(group);
    QCOMPARE(group->grouplogo(), QStringLiteral("logo-g1@group"));
    QCOMPARE(group->usercount(), 7);
    QCOMPARE(group->banChat(), 2);
    QCOMPARE(group->banUrl(), 1);
    QCOMPARE(group->type(), 2);
    QVERIFY(groups()->isBanChat("g1@group"));
    QVERIFY(groups()->isBanUrls("g1@group"));
    QVERIFY(!groups()->isBanPics("g1@group"));
    QVERIFY(!groups()->isBanChat("unknown@group"));
    QCOMPARE(groups()->joinGroupType("g1@group"), 2);
    QCOMPARE(groups()->joinGroupType("unknown@group"), 0);
    QCOMPARE(groups()->getUsercount("g1@group"), 7);
    QCOMPARE(QQmlEngine::objectOwnership(group), QQmlEngine::CppOwnership);
  }

  // QML reads items through getGroupEntity, also of left groups that no row
  // keeps: its collector must never delete one.
  void itemsFetchedByQmlStayAlive() {
    insert("g1@group", "One", 1);
    groups()->initData();
    QPointer<ImGroupEntity> group = groups()->getGroupEntity("g1@group");
    QVERIFY(group);
    {
      QQmlEngine qml;
      qml.rootContext()->setContextProperty(QStringLiteral("groupManager"), groups());
      QQmlExpression fetch(qml.rootContext(), nullptr,
                           QStringLiteral("groupManager.getGroupEntity('g1@group').groupname"));
      QCOMPARE(fetch.evaluate().toString(), QStringLiteral("One"));
      QQmlExpression(qml.rootContext(), nullptr, QStringLiteral("gc()")).evaluate();
      qml.collectGarbage();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(group);
  }

  void childBeforeParentGetsItsName() {
    insert("child@group", "Child", 0, "parent@group");
    insert("parent@group", "Parent");
    groups()->initData();
    QCOMPARE(groups()->getGroupEntity("child@group")->parentName(), QStringLiteral("Parent"));
    QCOMPARE(groups()->getGroupEntity("parent@group")->parentName(), QString());
  }

  void syncMarksFollowTheTable() {
    VConfig::instance()->setValue("SYNC_GROUPS_LIST", QStringList{"gone@group", "s1@group"});
    insert("s1@group", "S1");
    insert("s2@group", "S2");
    groups()->initData();
    QVERIFY(groups()->getGroupEntity("s1@group")->isSync());
    QVERIFY(!groups()->getGroupEntity("s2@group")->isSync());
    QCOMPARE(VConfig::instance()->value("SYNC_GROUPS_LIST").toStringList(),
             QStringList{"s1@group"});
    groups()->updateIsSync("s2@group", true);
    groups()->saveIsSyncAccounts();
    QCOMPARE(VConfig::instance()->value("SYNC_GROUPS_LIST").toStringList(),
             (QStringList{"s1@group", "s2@group"}));
  }

  void wipeAndRemove() {
    QSignalSpy counted(groups(), &ImBaseListModel::itemCountChanged);
    groups()->wipeData();  // empty: nothing happens
    QCOMPARE(counted.count(), 0);
    insert("a@group", "A");
    insert("b@group", "B");
    groups()->initData();
    QPointer<ImGroupEntity> a = groups()->getGroupEntity("a@group");
    groups()->removeData("");
    groups()->removeData("nobody@group");
    QCOMPARE(groups()->rowCount(), 2);
    groups()->removeData("a@group");
    QVERIFY(a.isNull());
    QCOMPARE(rows(), QStringList{"b@group"});
    groups()->wipeData();
    QCOMPARE(groups()->rowCount(), 0);
    QVERIFY(!groups()->getGroupEntity("b@group"));
  }

  // The own role, with group ids that hold quotes.
  void roles_data() {
    QTest::addColumn<QString>("groupid");
    QTest::addColumn<int>("role");
    QTest::newRow("owner") << "g1@group" << 1;
    QTest::newRow("quoted id") << "it's@group" << 2;
    QTest::newRow("no row of mine") << "g2@group" << 0;
    QTest::newRow("unknown group") << "zz@group" << 0;
    QTest::newRow("quote that would end the literal") << "x' OR '1'='1" << 0;
  }

  void roles() {
    QFETCH(QString, groupid);
    QFETCH(int, role);
    exec("INSERT INTO nq_groupuser (groupid, account, role) VALUES ('g1@group', 'me', 1)");
    exec("INSERT INTO nq_groupuser (groupid, account, role) VALUES ('it''s@group', 'me', 2)");
    exec("INSERT INTO nq_groupuser (groupid, account, role) VALUES ('g2@group', 'other', 1)");
    QCOMPARE(groups()->getRole(groupid), role);
  }

  void muteReadsTheBlackList() {
    EngineDouble::SetText("GetBlackList", "u1,g12@group");
    QVERIFY(!groups()->checkMute("g1@group"));
    QVERIFY(groups()->isGroupMute("g12@group"));
  }

  // Every membership kind, for a group loaded or not, open or not.
  void membershipNotifications_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("open");
    for (const char* kind :
         {"addeduser", "join", "removeuser", "create", "leave", "invite", "remove"})
      for (bool loaded : {true, false})
        for (bool open : {true, false})
          QTest::newRow(qPrintable(
              QString("%1%2%3").arg(kind, loaded ? " loaded" : " not loaded", open ? " open" : "")))
              << QString(kind) << loaded << open;
  }

  void membershipNotifications() {
    QFETCH(QString, kind);
    QFETCH(bool, loaded);
    QFETCH(bool, open);
    if (loaded) insert("m1@group", "Old");
    groups()->initData();
    groups()->setMemberCount(0);
    groups()->setGroupname(QString());
    groups()->setGroupIcon(QString());
    if (open)
      ImSessionManager::instance()->setProperty("currentSessionId", QStringLiteral("m1@group"));
    notify(QStringLiteral(R"({"notify":"%1","groupid":"m1@group","membercount":12,)"
                          R"("groupname":"New","logo":"n.png"})")
               .arg(kind));
    QCOMPARE(groups()->memberCount(), open ? 12 : 0);
    QCOMPARE(groups()->groupname(), open ? QStringLiteral("New") : QString());
    QCOMPARE(groups()->groupIcon(), open ? QStringLiteral("n.png") : QString());
    ImGroupEntity* group = groups()->getGroupEntity("m1@group");
    QCOMPARE(group != nullptr, loaded);
    if (!group) return;
    QCOMPARE(group->usercount(), open ? 12 : 7);
    QCOMPARE(group->groupname(), QStringLiteral("New"));
    QCOMPARE(group->grouplogo(), QStringLiteral("n.png"));
  }

  // A group's conversation row takes the new name and logo of a notification,
  // whether or not the group is open or loaded.
  void conversationRowFollowsTheGroup() {
    MessageRows::Message message;
    message.from = "u1";
    message.to = "c1@group";
    message.totype = 1;
    QVERIFY(MessageRows::StoreNewest("c1@group", message));
    ImSessionListManager::instance()->initData();
    ImMsgEntity* row = ImSessionListManager::instance()->getSession("c1@group");
    QVERIFY(row);
    notify(R"({"notify":"invite","groupid":"c1@group","groupname":"Renamed","logo":"x.png"})");
    QCOMPARE(row->name(), QStringLiteral("Renamed"));
    QCOMPARE(row->icon(), QStringLiteral("x.png"));
    QCOMPARE(groups()->groupname(), QString());  // not the open conversation
  }

  // A "set" answer belongs to the group it was sent for: that group's entity and
  // conversation row follow it, and another group opened meanwhile keeps its title.
  void renameAnswerGoesToItsOwnGroup_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("nameOfA");
    QTest::newRow("taken") << R"({"code":1,"result":{"groupid":"a@group","groupname":"New A"}})"
                           << "New A";
    QTest::newRow("taken, name not echoed") << R"({"code":1,"result":{}})"
                                            << "New A";
    QTest::newRow("refused") << R"({"code":-3,"result":{"groupid":"a@group","groupname":"X"}})"
                             << "Group A";
  }

  void renameAnswerGoesToItsOwnGroup() {
    QFETCH(QString, reply);
    QFETCH(QString, nameOfA);
    insert("a@group", "Group A");
    insert("b@group", "Group B");
    groups()->initData();
    for (const char* id : {"a@group", "b@group"}) {
      MessageRows::Message message;
      message.from = "u1";
      message.to = id;
      message.totype = 1;
      QVERIFY(MessageRows::StoreNewest(id, message));
    }
    ImSessionListManager::instance()->initData();
    ImSessionManager::instance()->setProperty("currentSessionId", QStringLiteral("a@group"));
    groups()->setGroupname("Group A");
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0, reply.toStdString());
    groups()->setGroupInfo("a@group", "New A");
    // Group B is opened before the answer comes.
    ImSessionManager::instance()->setProperty("currentSessionId", QStringLiteral("b@group"));
    groups()->setGroupname("Group B");
    GroupTest::Settle();
    QCOMPARE(groups()->groupname(), QStringLiteral("Group B"));
    QCOMPARE(groups()->getGroupEntity("a@group")->groupname(), nameOfA);
    QCOMPARE(groups()->getGroupEntity("b@group")->groupname(), QStringLiteral("Group B"));
    ImMsgEntity* rowOfA = ImSessionListManager::instance()->getSession("a@group");
    QVERIFY(rowOfA);
    QCOMPARE(rowOfA->name(), nameOfA);
    ImMsgEntity* rowOfB = ImSessionListManager::instance()->getSession("b@group");
    QVERIFY(rowOfB);
    QVERIFY(rowOfB->name() != QStringLiteral("New A"));
    groups()->setGroupname(QString());
  }

  void notifications() {
    insert("g1@group", "One");
    insert("g2@group", "Two");
    groups()->initData();
    QPointer<ImGroupEntity> g1 = groups()->getGroupEntity("g1@group");

    // "status": only new groups are added, known entities stay.
    insert("g3@group", "Three");
    notify(R"({"notify":"status"})");
    QCOMPARE(rows(), (QStringList{"g3@group", "g1@group", "g2@group"}));
    QCOMPARE(g1.data(), groups()->getGroupEntity("g1@group"));

    // A report with a failure status changes nothing.
    exec("UPDATE nq_group SET groupname = 'Uno' WHERE groupid = 'g1@group'");
    notify(R"({"notify":"groupchange"})", 3);
    QVERIFY(!g1.isNull());

    // "groupchange": everything is loaded afresh.
    notify(R"({"notify":"groupchange"})");
    QVERIFY(g1.isNull());
    QCOMPARE(groups()->getGroupname("g1@group"), QStringLiteral("Uno"));
    QCOMPARE(groups()->rowCount(), 3);

    ImGroupEntity* group = groups()->getGroupEntity("g1@group");
    QSignalSpy banall(groups(), &ImGroupManager::banallChanged);
    QSignalSpy ban(groups(), &ImGroupManager::banChanged);
    notify(R"({"notify":"groupban","groupid":"g1@group","banall":1,"banpic":1,"banchat":0,)"
           R"("userid":"u9","nick":"Nine"})");
    QCOMPARE(group->banall(), 1);
    QCOMPARE(group->banPic(), 1);
    QCOMPARE(group->banUrl(), 1);  // absent: unchanged
    QCOMPARE(banall.count(), 1);
    QCOMPARE(banall.first(), (QVariantList{1, "g1@group", "u9", "Nine"}));
    notify(R"({"notify":"groupban","groupid":"nope@group","banall":1})");
    QCOMPARE(banall.count(), 1);

    notify(R"({"notify":"ban","groupid":"g1@group","userid":"u9","nick":"Nine"})");
    QCOMPARE(group->banuser(), 1);
    notify(R"({"notify":"ban","groupid":"nope@group","userid":"u8","nick":"N"})");
    notify(R"({"notify":"allow","groupid":"g1@group","userid":"u9","nick":"Nine"})");
    QCOMPARE(group->banuser(), 0);
    QCOMPARE(ban.count(), 3);
    QCOMPARE(ban.at(1), (QVariantList{1, "nope@group", "u8", "N"}));
    QCOMPARE(ban.at(2).first().toInt(), 0);

    // Membership changes: counts only for the open conversation, names always.
    QSignalSpy count(groups(), &ImGroupManager::memberCountChanged);
    notify(R"({"notify":"join","groupid":"g1@group","membercount":12,"groupname":"Team",)"
           R"("logo":"new.png"})");
    QCOMPARE(count.count(), 0);
    QCOMPARE(group->usercount(), 7);
    QCOMPARE(group->groupname(), QStringLiteral("Team"));
    QCOMPARE(group->grouplogo(), QStringLiteral("new.png"));
    QCOMPARE(groups()->groupname(), QString());

    ImSessionManager::instance()->setProperty("currentSessionId", QStringLiteral("g1@group"));
    notify(R"({"notify":"leave","groupid":"g1@group","membercount":11,"groupname":"Crew"})");
    QCOMPARE(groups()->memberCount(), 11);
    QCOMPARE(group->usercount(), 11);
    QCOMPARE(groups()->groupname(), QStringLiteral("Crew"));
    // Without a group id nothing is touched; unknown kinds are ignored.
    notify(R"({"notify":"remove","membercount":3})");
    notify(R"({"notify":"whatever","groupid":"g1@group","membercount":3})");
    notify("not json");
    QCOMPARE(groups()->memberCount(), 11);
  }
};

TESMO_CLIENT_TEST_MAIN(TestGroupList)
#include "tst_grouplist.moc"
