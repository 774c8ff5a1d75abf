// The four lists that server replies fill: owner and managers, members, search
// results and child groups, each under Qt's model checker.
#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <QtTest>
#include <memory>

#include "contacts/ImGroupAdminManager.h"
#include "contacts/ImGroupChildManager.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImGroupMemberManager.h"
#include "contacts/ImSearchUserManager.h"
#include "contacts/ImUserEntity.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "support/ClientTestMain.h"

namespace {
QJsonArray Users(const QStringList& accounts, const char* key = "account") {
  QJsonArray array;
  for (const QString& account : accounts)
    array.append(QJsonObject{{key, account}, {"name", "name-" + account}});
  return array;
}

QString Keys(ImBaseListModel* model, const char* property) {
  QStringList keys;
  for (int row = 0; row < model->rowCount(); ++row)
    keys << model->data(model->index(row), ImBaseListModel::kObjectRole)
                .value<QObject*>()
                ->property(property)
                .toString();
  return keys.join(',');
}
}  // namespace

class TestGroupSubLists : public QObject {
  Q_OBJECT

  std::vector<std::unique_ptr<QAbstractItemModelTester>> m_testers;

  ImGroupAdminManager* admins() { return ImGroupAdminManager::instance(); }
  ImGroupMemberManager* members() { return ImGroupMemberManager::instance(); }
  ImSearchUserManager* found() { return ImSearchUserManager::instance(); }
  ImGroupChildManager* children() { return ImGroupChildManager::instance(); }

 private slots:
  void initTestCase() {
    ImUiInterface::instance()->initInterface();
    // Checked from the first change on, all through the test.
    for (QAbstractItemModel* model :
         {static_cast<QAbstractItemModel*>(admins()), static_cast<QAbstractItemModel*>(members()),
          static_cast<QAbstractItemModel*>(found()), static_cast<QAbstractItemModel*>(children())})
      m_testers.push_back(std::make_unique<QAbstractItemModelTester>(
          model, QAbstractItemModelTester::FailureReportingMode::QtTest));
  }

  void init() {
    EngineDouble::SetText("GetMyAccount", "me");
    admins()->wipeData();
    members()->wipeData();
    found()->wipeData();
    children()->wipeData();
  }

  void adminsGoOnTopInArrayOrder() {
    QSignalSpy inserted(admins(), &QAbstractItemModel::rowsInserted);
    QSignalSpy counted(admins(), &ImBaseListModel::itemCountChanged);
    admins()->initData(Users({"a", "b"}));
    QCOMPARE(Keys(admins(), "account"), QStringLiteral("a,b"));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(counted.count(), 1);
    admins()->initData(Users({"b", "c", "", "c"}));
    QCOMPARE(Keys(admins(), "account"), QStringLiteral("c,a,b"));
    QCOMPARE(admins()->getMemberCount(), 3);
    QVERIFY(admins()->isAdmin("a"));
    QVERIFY(!admins()->isAdmin("z"));
    admins()->initData(QJsonArray());
    QCOMPARE(inserted.count(), 2);
  }

  void ownerIsTheCurrentGroupsOwner() {
    ImGroupManager::instance()->setOwner("boss");
    QVERIFY(admins()->isOwner("boss"));
    QVERIFY(!admins()->isOwner("a"));
    ImGroupManager::instance()->setOwner(QString());
  }

  void membersAppendPageAfterPage() {
    QSignalSpy added(members(), &ImBaseListModel::itemAdded);
    members()->addData(Users({"a", "b"}));
    members()->addData(Users({"b", "c"}));
    QCOMPARE(Keys(members(), "account"), QStringLiteral("a,b,c"));
    QCOMPARE(added.count(), 3);
    // Elements without an account add nothing.
    members()->addData(QJsonArray{QJsonObject{{"name", "x"}}, QJsonObject{{"account", ""}}, 5});
    QCOMPARE(members()->getMemberCount(), 3);
  }

  void searchSkipsTheOwnAccountAndRepeats() {
    found()->addData(Users({"me"}));
    QCOMPARE(found()->rowCount(), 0);
    found()->addData(Users({"x", "x"}));
    QCOMPARE(Keys(found(), "account"), QStringLiteral("x"));
    QCOMPARE(found()->name("x"), QStringLiteral("name-x"));
    QCOMPARE(found()->name(""), QString());
    QCOMPARE(found()->name("nobody"), QString());
  }

  void childGroupsKeyedByGroupId() {
    QJsonArray array{QJsonObject{{"groupid", "c1@group"}, {"owner", "u1"}, {"name", "Ann"}},
                     QJsonObject{{"groupid", "c2@group"}}, QJsonObject{{"groupid", "c1@group"}}};
    children()->addData(array);
    QCOMPARE(Keys(children(), "groupid"), QStringLiteral("c1@group,c2@group"));
    ImGroupEntity* first = qobject_cast<ImGroupEntity*>(children()->get(0));
    QVERIFY(first);
    QCOMPARE(first->ownerId(), QStringLiteral("u1"));
    QCOMPARE(first->ownerName(), QStringLiteral("Ann"));
    children()->updateSelected("c2@group", true);
    QVERIFY(qobject_cast<ImGroupEntity*>(children()->get(1))->selected());
  }

  void removeAndWipeDeleteTheItems() {
    members()->addData(Users({"a", "b"}));
    QPointer<QObject> a = members()->get(0);
    QSignalSpy removed(members(), &QAbstractItemModel::rowsRemoved);
    members()->removeData("");
    members()->removeData("nobody");
    QCOMPARE(removed.count(), 0);
    members()->removeData("a");
    QVERIFY(a.isNull());
    QCOMPARE(Keys(members(), "account"), QStringLiteral("b"));
    QPointer<QObject> b = members()->get(0);
    members()->updateSelected("b", true);
    QVERIFY(qobject_cast<ImUserEntity*>(b.data())->selected());
    members()->wipeData();
    QVERIFY(b.isNull());
    QCOMPARE(members()->rowCount(), 0);
    QCOMPARE(members()->getMemberCount(), 0);
  }
};

TESMO_CLIENT_TEST_MAIN(TestGroupSubLists)
#include "tst_groupsublists.moc"
