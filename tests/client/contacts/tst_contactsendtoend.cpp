// Contacts and groups over the real engine against the local server, through the
// program's managers as the pages drive them: the friend list and black list after
// the login's synchronisation, a remark and a black-list change, then a new group
// with a member, its information, one member more, and dissolving it.
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupAdminManager.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImGroupMemberManager.h"
#include "contacts/ImUserEntity.h"
#include "shell/ImLoginManager.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "support/ClientTestMain.h"
#include "support/LocalServerStart.h"
#include "tools/LocalServerProcess.h"

namespace {
constexpr int kWaitMs = 30000;
const char kWorld[] = TESMO_TEST_DATA_DIR "/localserver-people-world.json";
const QString kMe = QStringLiteral("210001@people.test");
const QString kNear = QStringLiteral("210002@people.test");
const QString kFar = QStringLiteral("210003@other.test");
const QString kBlocked = QStringLiteral("210004@people.test");
const QString kNewMember = QStringLiteral("210005@people.test");

ImContactsManager* Contacts() { return ImContactsManager::instance(); }
ImGroupManager* Groups() { return ImGroupManager::instance(); }
ImUiInterface* Engine() { return ImUiInterface::instance(); }

// Every row of a query on the engine's database, columns joined with "|".
QStringList Rows(const QString& sql) {
  QStringList rows;
  const long set = Engine()->DBSelectSql(sql.toUtf8().constData());
  if (!set) return rows;
  for (int r = 0; r < Engine()->DBGetRecordCount(set); ++r) {
    QStringList row;
    for (int c = 0; c < Engine()->DBGetFieldCount(set); ++c)
      row << QString::fromUtf8(Engine()->DBGetStrValue(set, r, c));
    rows << row.join('|');
  }
  Engine()->DBRelease(set);
  return rows;
}

QStringList Accounts(ImBaseListModel* list) {
  QStringList accounts;
  for (int row = 0; row < list->rowCount(); ++row)
    accounts << list->get(row)->property("account").toString();
  accounts.sort();
  return accounts;
}

// The group's row as the group page shows it, the list loaded afresh.
ImGroupEntity* Listed(const QString& groupid) {
  Groups()->wipeData();
  Groups()->initData();
  for (int row = 0; row < Groups()->rowCount(); ++row) {
    auto* group = qobject_cast<ImGroupEntity*>(Groups()->get(row));
    if (group && group->groupid() == groupid) return group;
  }
  return nullptr;
}

// The plain members the member page lists (the reply lists them by kind, without a role).
QStringList Members() { return Accounts(ImGroupMemberManager::instance()); }
}  // namespace

class TestContactsEndToEnd : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  LocalServerProcess m_server;
  QList<int> m_reports;
  QString m_group;

 private slots:
  void initTestCase() {
    StartLocalServer(m_server, kWorld, m_dir);
    if (QTest::currentTestFailed()) return;
    // Records are freed after delivery: keep the kinds only.
    connect(Engine()->notifyManager(), &ImNotifyManager::notify, this,
            [this](const UIMessage* msg) { m_reports << msg->m_Method; });
    // The managers listen from their first use.
    Contacts();
    Groups();
  }

  void cleanupTestCase() {
    Engine()->releaseInterface();
    QCOMPARE(m_server.Stop(), 0);
  }

  void loginAndSync() {
    QSignalSpy success(ImLoginManager::instance(), &ImLoginManager::loginSuccess);
    QSignalSpy failure(ImLoginManager::instance(), &ImLoginManager::loginFailure);
    ImLoginManager::instance()->login("13900000101", "+86", "101010");
    QTRY_COMPARE_WITH_TIMEOUT(success.count() + failure.count(), 1, kWaitMs);
    QCOMPARE(success.count(), 1);
    QCOMPARE(QString::fromUtf8(Engine()->GetMyAccount()), kMe);
    QTRY_VERIFY_WITH_TIMEOUT(m_reports.contains(_EVENT_COME_FINISHIMHISTORY), kWaitMs);
  }

  void friendsRemarksAndBlackList() {
    Contacts()->initData();
    QTRY_COMPARE_WITH_TIMEOUT(Accounts(Contacts()), (QStringList{kNear, kFar}), kWaitMs);
    QCOMPARE(Contacts()->getName(kNear), QStringLiteral("Near Friend"));
    QCOMPARE(Contacts()->getSummary(kFar), QStringLiteral("on the other server"));
    QCOMPARE(Rows("select account,name from nq_remark order by account"),
             QStringList{kFar + "|Far Friend"});
    QCOMPARE(Contacts()->getContactsBlackList(), QStringList{kBlocked});
    QVERIFY(Contacts()->inBlackList(kBlocked));
    QVERIFY(!Contacts()->inBlackList(kNear));
  }

  void remarkAndBlackListChange() {
    QSignalSpy remarked(Contacts(), &ImContactsManager::setRemarkResult);
    Contacts()->setRemark(kNear, "Neighbour");
    QTRY_COMPARE_WITH_TIMEOUT(remarked.count(), 1, kWaitMs);
    QCOMPARE(remarked.at(0).at(0).toInt(), 0);
    QCOMPARE(Rows("select name from nq_remark where account='" + kNear + "'"),
             QStringList{"Neighbour"});

    QSignalSpy blocked(Contacts(), &ImContactsManager::defriendResult);
    Contacts()->defriend(kNewMember);
    QTRY_COMPARE_WITH_TIMEOUT(blocked.count(), 1, kWaitMs);
    QCOMPARE(blocked.at(0).at(0).toInt(), 0);
    QCOMPARE(Contacts()->getContactsBlackList(), (QStringList{kBlocked, kNewMember}));
    QVERIFY(Contacts()->inBlackList(kNewMember));
    // And taken off again.
    Contacts()->addfriend(kNewMember);
    QTRY_COMPARE_WITH_TIMEOUT(blocked.count(), 2, kWaitMs);
    QCOMPARE(blocked.at(1).at(0).toInt(), 0);
    QCOMPARE(Contacts()->getContactsBlackList(), QStringList{kBlocked});
  }

  void createGroupWithAMember() {
    QSignalSpy created(Groups(), &ImGroupManager::createGroupResult);
    Groups()->createGroup(QString(), "Night Shift", QString(), {kNear});
    QTRY_COMPARE_WITH_TIMEOUT(created.count(), 1, kWaitMs);
    QCOMPARE(created.at(0).at(0).toInt(), 0);
    m_group = created.at(0).at(1).toString();
    QVERIFY2(m_group.endsWith("@group.people.test"), qPrintable(m_group));
    QCOMPARE(created.at(0).at(2).toString(), QStringLiteral("Night Shift"));
    QTRY_VERIFY_WITH_TIMEOUT(Listed(m_group), kWaitMs);
    QCOMPARE(Listed(m_group)->groupname(), QStringLiteral("Night Shift"));
    QCOMPARE(Groups()->getRole(m_group), 1);
    // The world's group is listed too, with this account as its owner.
    QTRY_VERIFY_WITH_TIMEOUT(Listed("310001@group.people.test"), kWaitMs);
    QCOMPARE(Groups()->getRole("310001@group.people.test"), 1);
  }

  void groupInformation() {
    QVERIFY(!m_group.isEmpty());
    QSignalSpy info(Groups(), &ImGroupManager::getGroupInfoResult);
    Groups()->getGroupInfo(m_group);
    QTRY_COMPARE_WITH_TIMEOUT(info.count(), 1, kWaitMs);
    QCOMPARE(info.at(0).at(0).toInt(), 0);
    QCOMPARE(Groups()->owner(), kMe);
    QCOMPARE(Groups()->groupname(), QStringLiteral("Night Shift"));
    QCOMPARE(Groups()->memberCount(), 2);
    // The owner heads the managers' list; the member list holds the plain members.
    QVERIFY(ImGroupAdminManager::instance()->isOwner(kMe));
    QCOMPARE(ImGroupAdminManager::instance()->rowCount(), 1);
    QCOMPARE(Members(), QStringList{kNear});
  }

  void addAMember() {
    QVERIFY(!m_group.isEmpty());
    QSignalSpy added(Groups(), &ImGroupManager::addGroupMemResult);
    Groups()->addGroupMembers(m_group, {kNewMember});
    QTRY_COMPARE_WITH_TIMEOUT(added.count(), 1, kWaitMs);
    QCOMPARE(added.at(0).at(0).toInt(), 0);
    // The member page reloads the information.
    QSignalSpy info(Groups(), &ImGroupManager::getGroupInfoResult);
    Groups()->getGroupInfo(m_group);
    QTRY_COMPARE_WITH_TIMEOUT(info.count(), 1, kWaitMs);
    QCOMPARE(info.at(0).at(0).toInt(), 0);
    QCOMPARE(Groups()->memberCount(), 3);
    QCOMPARE(Members(), (QStringList{kNear, kNewMember}));
  }

  void dissolve() {
    QVERIFY(!m_group.isEmpty());
    QSignalSpy destroyed(Groups(), &ImGroupManager::destroyResult);
    Groups()->destroyGroup(m_group);
    QTRY_COMPARE_WITH_TIMEOUT(destroyed.count(), 1, kWaitMs);
    QCOMPARE(destroyed.at(0).at(0).toInt(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!Listed(m_group), kWaitMs);
  }

  // The server refuses commands on the dissolved group with an error word in a
  // "code" 1 reply: each is shown as a refusal.
  void refusedAfterDissolving() {
    QVERIFY(!m_group.isEmpty());
    QSignalSpy added(Groups(), &ImGroupManager::addGroupMemResult);
    Groups()->addGroupMembers(m_group, {kBlocked});
    QTRY_COMPARE_WITH_TIMEOUT(added.count(), 1, kWaitMs);
    QCOMPARE(added.at(0).at(0).toInt(), ImGroupManager::kRefused);
    QSignalSpy left(Groups(), &ImGroupManager::leaveGroupResult);
    Groups()->leaveGroup(m_group);
    QTRY_COMPARE_WITH_TIMEOUT(left.count(), 1, kWaitMs);
    QCOMPARE(left.at(0).at(0).toInt(), ImGroupManager::kRefused);
    QSignalSpy info(Groups(), &ImGroupManager::getGroupInfoResult);
    Groups()->getGroupInfo(m_group);
    QTRY_COMPARE_WITH_TIMEOUT(info.count(), 1, kWaitMs);
    QCOMPARE(info.at(0).at(0).toInt(), ImGroupManager::kRefused);
  }
};

TESMO_CLIENT_TEST_MAIN(TestContactsEndToEnd)
#include "tst_contactsendtoend.moc"
