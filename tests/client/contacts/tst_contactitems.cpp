// The row items of the contact and group lists: what each property reads from
// the map, what a setter stores, and that only a change is signalled.
#include <QMetaProperty>
#include <QQmlEngine>
#include <QtTest>

#include "contacts/ImGroupEntity.h"
#include "contacts/ImUserEntity.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "support/ClientTestMain.h"

namespace {
// Sets `property` of `item` to `value` through the meta-object (as QML does) and
// counts the change signals of every property.
struct Outcome {
  QVariant read;
  QMap<QString, int> signalled;
};

Outcome Write(QObject* item, const char* property, const QVariant& value) {
  const QMetaObject* meta = item->metaObject();
  QList<QSignalSpy*> spies;
  QStringList names;
  for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
    const QMetaProperty p = meta->property(i);
    spies << new QSignalSpy(item, p.notifySignal());
    names << QString::fromLatin1(p.name());
  }
  item->setProperty(property, value);
  Outcome outcome;
  outcome.read = item->property(property);
  for (int i = 0; i < spies.size(); ++i) {
    if (spies[i]->count()) outcome.signalled.insert(names[i], spies[i]->count());
    delete spies[i];
  }
  return outcome;
}
}  // namespace

class TestContactItems : public QObject {
  Q_OBJECT

  // The columns of a property table.
  static void propertyColumns() {
    QTest::addColumn<QVariantMap>("data");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("changes");
  }

  // One row of a property table: read, write through the meta-object, and what
  // the map and the change signals show afterwards.
  template <typename Entity>
  void checkProperty() {
    QFETCH(QVariantMap, data);
    QFETCH(QString, property);
    QFETCH(QVariant, before);
    QFETCH(QVariant, written);
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(int, changes);
    Entity item(data);
    QCOMPARE(QQmlEngine::objectOwnership(&item), QQmlEngine::CppOwnership);
    const QByteArray name = property.toLatin1();
    QCOMPARE(item.property(name.constData()), before);
    const Outcome outcome = Write(&item, name.constData(), written);
    QCOMPARE(outcome.read, written);
    QCOMPARE(outcome.signalled.value(property), changes);
    // No other property signals.
    QCOMPARE(outcome.signalled.size(), changes ? 1 : 0);
    QCOMPARE(item.data().value(key), stored);
    QCOMPARE(item.data().value("extra"), QVariant("kept"));
  }

 private slots:
  void initTestCase() { ImUiInterface::instance()->initInterface(); }

  void userDefaults() {
    ImUserEntity user({});
    QCOMPARE(user.sectionKey(), QStringLiteral("#"));
    QCOMPARE(user.added(), true);
    QCOMPARE(user.selected(), false);
    QCOMPARE(user.isSync(), false);
    QCOMPARE(user.userid(), 0);
    QCOMPARE(user.champflag(), 0);
    QCOMPARE(user.isfriend(), false);
    QCOMPARE(user.account(), QString());
    QCOMPARE(QQmlEngine::objectOwnership(&user), QQmlEngine::CppOwnership);
  }

  void userProperties_data() {
    propertyColumns();
    const QVariantMap row{{"userid", "123"},      {"account", "u1"}, {"name", "Ann"},
                          {"biglogo", "big.png"}, {"isfriend", 1},   {"role", 2},
                          {"nick", "annie"},      {"extra", "kept"}};
    QTest::newRow("userid from text")
        << row << "userid" << QVariant(123) << QVariant(124) << "userid" << QVariant(124) << 1;
    QTest::newRow("userid same number")
        << row << "userid" << QVariant(123) << QVariant(123) << "userid" << QVariant("123") << 0;
    QTest::newRow("name same text")
        << row << "name" << QVariant("Ann") << QVariant("Ann") << "name" << QVariant("Ann") << 0;
    QTest::newRow("name changed") << row << "name" << QVariant("Ann") << QVariant("Bo") << "name"
                                  << QVariant("Bo") << 1;
    QTest::newRow("bigLogo under biglogo")
        << row << "bigLogo" << QVariant("big.png") << QVariant("b2.png") << "biglogo"
        << QVariant("b2.png") << 1;
    QTest::newRow("isfriend true stays")
        << row << "isfriend" << QVariant(true) << QVariant(true) << "isfriend" << QVariant(1) << 0;
    QTest::newRow("isfriend to false") << row << "isfriend" << QVariant(true) << QVariant(false)
                                       << "isfriend" << QVariant(false) << 1;
    QTest::newRow("champflag absent, 0")
        << row << "champflag" << QVariant(0) << QVariant(0) << "champflag" << QVariant() << 0;
    QTest::newRow("champflag set")
        << row << "champflag" << QVariant(0) << QVariant(3) << "champflag" << QVariant(3) << 1;
    QTest::newRow("role") << row << "role" << QVariant(2) << QVariant(1) << "role" << QVariant(1)
                          << 1;
    QTest::newRow("nick") << row << "nick" << QVariant("annie") << QVariant("annie") << "nick"
                          << QVariant("annie") << 0;
    QTest::newRow("selected field")
        << row << "selected" << QVariant(false) << QVariant(true) << "selected" << QVariant() << 1;
    QTest::newRow("added field same")
        << row << "added" << QVariant(true) << QVariant(true) << "added" << QVariant() << 0;
    QTest::newRow("sectionKey field")
        << row << "sectionKey" << QVariant("#") << QVariant("A") << "sectionKey" << QVariant() << 1;
    QTest::newRow("isSync field") << row << "isSync" << QVariant(false) << QVariant(true)
                                  << "isSync" << QVariant() << 1;
  }

  void userProperties() { checkProperty<ImUserEntity>(); }

  void settersReturnTheirValue() {
    ImUserEntity user({});
    QCOMPARE(user.setName("x"), QStringLiteral("x"));
    QCOMPARE(user.setUserid(7), 7);
    QCOMPARE(user.setIsfriend(true), true);
    ImGroupEntity group({});
    QCOMPARE(group.setGroupname("g"), QStringLiteral("g"));
    QCOMPARE(group.setUsercount(3), 3);
  }

  void groupProperties_data() {
    propertyColumns();
    const QVariantMap row{{"groupid", "g1@group"}, {"groupname", "Team"}, {"grouplogo", "l.png"},
                          {"groupinfo", "notice"}, {"banChat", 2},        {"owner", "u9"},
                          {"name", "Owner"},       {"logo", "o.png"},     {"extra", "kept"}};
    const QVariantMap textCount{{"usercount", "12"}, {"extra", "kept"}};
    QTest::newRow("usercount absent stays 0")
        << row << "usercount" << QVariant(0) << QVariant(0) << "usercount" << QVariant() << 0;
    QTest::newRow("usercount to 5")
        << row << "usercount" << QVariant(0) << QVariant(5) << "usercount" << QVariant(5) << 1;
    QTest::newRow("usercount text 12, same") << textCount << "usercount" << QVariant(12)
                                             << QVariant(12) << "usercount" << QVariant("12") << 0;
    QTest::newRow("groupname same") << row << "groupname" << QVariant("Team") << QVariant("Team")
                                    << "groupname" << QVariant("Team") << 0;
    QTest::newRow("groupname changed") << row << "groupname" << QVariant("Team") << QVariant("Crew")
                                       << "groupname" << QVariant("Crew") << 1;
    QTest::newRow("groupinfo, logo untouched")
        << row << "groupinfo" << QVariant("notice") << QVariant("new") << "groupinfo"
        << QVariant("new") << 1;
    QTest::newRow("ownerId reads owner")
        << row << "ownerId" << QVariant("u9") << QVariant("u8") << "owner" << QVariant("u8") << 1;
    QTest::newRow("ownerName reads name") << row << "ownerName" << QVariant("Owner")
                                          << QVariant("Owner") << "name" << QVariant("Owner") << 0;
    QTest::newRow("ownerLogo reads logo") << row << "ownerLogo" << QVariant("o.png")
                                          << QVariant("p.png") << "logo" << QVariant("p.png") << 1;
    QTest::newRow("banChat") << row << "banChat" << QVariant(2) << QVariant(0) << "banChat"
                             << QVariant(0) << 1;
    QTest::newRow("banUrl absent")
        << row << "banUrl" << QVariant(0) << QVariant(1) << "banUrl" << QVariant(1) << 1;
    QTest::newRow("type") << row << "type" << QVariant(0) << QVariant(1) << "type" << QVariant(1)
                          << 1;
    QTest::newRow("selected field")
        << row << "selected" << QVariant(false) << QVariant(true) << "selected" << QVariant() << 1;
    QTest::newRow("isSync field same")
        << row << "isSync" << QVariant(false) << QVariant(false) << "isSync" << QVariant() << 0;
  }

  void groupProperties() {
    checkProperty<ImGroupEntity>();
    QFETCH(QString, property);
    if (property == QLatin1String("groupinfo")) {
      QFETCH(QVariantMap, data);
      ImGroupEntity group(data);
      group.setGroupinfo("other");
      QCOMPARE(group.data().value("grouplogo"), QVariant("l.png"));
    }
  }

  // The mute flag follows whole black-list entries and is remembered.
  void groupMuteFollowsTheBlackList() {
    ImGroupEntity group({{"groupid", "g1@group"}});
    EngineDouble::SetText("GetBlackList", "u1,g12@group");
    QCOMPARE(group.isMute(), false);
    EngineDouble::SetText("GetBlackList", "u1,g1@group");
    QSignalSpy changed(&group, &ImGroupEntity::isMuteChanged);
    QCOMPARE(group.isMute(), true);
    QCOMPARE(changed.count(), 0);  // reading refreshes, it does not signal
    QCOMPARE(group.setIsMute(true), true);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(group.setIsMute(false), false);
    QCOMPARE(changed.count(), 1);
  }
};

TESMO_CLIENT_TEST_MAIN(TestContactItems)
#include "tst_contactitems.moc"
