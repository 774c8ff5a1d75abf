// The group commands: each operation with its arguments becomes exactly one
// recorded request body, or the immediate result 9999 with nothing sent.
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>
#include <functional>

#include "contacts/GroupTestSupport.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImSearchUserManager.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "support/ClientTestMain.h"

namespace {
using Operation = std::function<void(ImGroupManager*)>;

QMap<QString, Operation>& Operations() {
  static QMap<QString, Operation> operations;
  return operations;
}

void Define(const QString& name, Operation operation) { Operations().insert(name, operation); }

QJsonObject Json(const char* text) { return QJsonDocument::fromJson(text).object(); }
}  // namespace

class TestGroupCommands : public QObject {
  Q_OBJECT

  ImGroupManager* groups() { return ImGroupManager::instance(); }

 private slots:
  void initTestCase() {
    ImUiInterface::instance()->initInterface();
    Define("create", [](ImGroupManager* m) {
      m->createGroup("p1", "Team", "1", {"u1", "", "u2"});
    });
    Define("create top-level, no users",
           [](ImGroupManager* m) { m->createGroup("", "T", "0", {}); });
    Define("setcode", [](ImGroupManager* m) { m->setGroupPassword("g1", "1234"); });
    Define("setcode short", [](ImGroupManager* m) { m->setGroupPassword("g1", "123"); });
    Define("setcode no group", [](ImGroupManager* m) { m->setGroupPassword("", "1234"); });
    Define("getbycode", [](ImGroupManager* m) { m->getGroupByPassword("9876"); });
    Define("getbycode reason", [](ImGroupManager* m) { m->getGroupByPassword("9876", "hi"); });
    Define("getbycode long", [](ImGroupManager* m) { m->getGroupByPassword("98765"); });
    Define("leave", [](ImGroupManager* m) { m->leaveGroup("g1"); });
    Define("leave empty sent", [](ImGroupManager* m) { m->leaveGroup(""); });
    Define("remove", [](ImGroupManager* m) { m->deleteGroupMember("g1", {"u1"}); });
    Define("remove nobody", [](ImGroupManager* m) { m->deleteGroupMember("g1", {}); });
    Define("remove only empty", [](ImGroupManager* m) { m->deleteGroupMember("g1", {""}); });
    Define("adduser", [](ImGroupManager* m) { m->addGroupMembers("g1", {"u1", "u2"}); });
    Define("adduser nobody", [](ImGroupManager* m) { m->addGroupMembers("g1", {}); });
    Define("adduser no group", [](ImGroupManager* m) { m->addGroupMembers("", {"u1"}); });
    Define("banuser all wins", [](ImGroupManager* m) { m->banuser("g1", "1", "1", ""); });
    Define("banuser pic", [](ImGroupManager* m) { m->banuser("g1", "", "", "0", {"u1"}, {"u2"}); });
    Define("banuser no group", [](ImGroupManager* m) { m->banuser("", "1", "", ""); });
    Define("banchat", [](ImGroupManager* m) { m->banChat("g1", "1"); });
    Define("banchat empty", [](ImGroupManager* m) { m->banChat("g1", ""); });
    Define("banchat no group", [](ImGroupManager* m) { m->banChat("", "1"); });
    Define("banscreenshot", [](ImGroupManager* m) { m->banScreenshot("g1", "0"); });
    Define("banscreenshot no group", [](ImGroupManager* m) { m->banScreenshot("", "1"); });
    Define("getinfo", [](ImGroupManager* m) { m->getGroupInfo("g1"); });
    Define("getversion", [](ImGroupManager* m) { m->getGroupVersion("g1"); });
    Define("getuser", [](ImGroupManager* m) { m->loadMoreMembers("g1", 40); });
    Define("search", [](ImGroupManager* m) { m->searchMembers("g1", "", 0); });
    Define("set name only", [](ImGroupManager* m) { m->setGroupInfo("g1", "New"); });
    Define("set type only", [](ImGroupManager* m) { m->setGroupInfo("g1", "", "", "", 1); });
    Define("set everything", [](ImGroupManager* m) {
      m->setGroupInfo("g1", "N", "file:///tmp/logo.png", "hello", 0, "BTC", 1.5, 200);
    });
    Define("set plain logo path",
           [](ImGroupManager* m) { m->setGroupInfo("g1", "", "/tmp/a b.png"); });
    Define("set introduction", [](ImGroupManager* m) { m->setGroupInfo("g1", "", "", "Hi"); });
    Define("set empty introduction",
           [](ImGroupManager* m) { m->setGroupInfo("g1", QString(), QString(), QString()); });
    Define("set name and introduction",
           [](ImGroupManager* m) { m->setGroupInfo("g1", "N", "", "Hi"); });
    Define("search for a picker",
           [](ImGroupManager* m) { m->searchPickerMembers("g1", "An", 20); });
    Define("grant owner", [](ImGroupManager* m) { m->setGrantInfo("g1", {"u1"}); });
    Define("grant admins", [](ImGroupManager* m) { m->setGrantInfo("g1", {}, {"u1", "u2"}); });
    Define("grant members", [](ImGroupManager* m) { m->setGrantInfo("g1", {}, {}, {"u3"}); });
    Define("grant empty admin selection",
           [](ImGroupManager* m) { m->setGrantInfo("g1", {}, {""}); });
    Define("grant empty owner selection", [](ImGroupManager* m) { m->setGrantInfo("g1", {""}); });
    Define("grant no group", [](ImGroupManager* m) { m->setGrantInfo("", {"u1"}); });
    Define("join", [](ImGroupManager* m) { m->joinGroup("g1", "Ann"); });
    Define("getchild", [](ImGroupManager* m) { m->getChildGroups("g1", 7); });
    Define("release", [](ImGroupManager* m) { m->releaseGroup("g1", "p1", {"c1", "c2"}); });
    Define("release none", [](ImGroupManager* m) { m->releaseGroup("g1", "p1", {}); });
    Define("destroy", [](ImGroupManager* m) { m->destroyGroup("g1"); });
  }

  void init() {
    EngineDouble::Reset();
    EngineDouble::SetText("GetMyName", "Me");
    EngineDouble::SetText("GetMyAccount", "me");
  }

  void commands_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QJsonObject>("body");  // the whole body but "transid"; empty: not sent
    QTest::addColumn<QString>("refusal");   // the signal that reports 9999 at once
    const char* z = R"("language":"zh-CN")";
    auto row = [&](const char* op, const QString& json, const char* refusal = "") {
      QTest::newRow(op) << QString(op)
                        << (json.isEmpty() ? QJsonObject() : Json(json.toUtf8().constData()))
                        << QString(refusal);
    };
    auto with = [&](const char* cmd, const char* keys) {
      return QString(R"({%1,"cmd":"%2"%3})").arg(z, cmd, *keys ? QString(",") + keys : "");
    };
    row("create", with("create", R"("groupname":"Team","type":"1","nick":"Me","parentid":"p1",)"
                                 R"("user":[{"id":"u1"},{"id":"u2"}])"));
    row("create top-level, no users",
        with("create", R"("groupname":"T","type":"0","nick":"Me","parentid":"","user":[])"));
    row("setcode", with("setcode", R"("groupid":"g1","code":"1234")"));
    row("setcode short", "", "setGroupPasswordResult");
    row("setcode no group", "", "setGroupPasswordResult");
    row("getbycode", with("getbycode", R"("code":"9876")"));
    row("getbycode reason", with("getbycode", R"("code":"9876","reason":"hi")"));
    row("getbycode long", "", "getGroupByPasswordResult");
    row("leave", with("leave", R"("groupid":"g1")"));
    row("leave empty sent", with("leave", R"("groupid":"")"));
    row("remove", with("remove", R"("groupid":"g1","reason":"","user":[{"id":"u1"}])"));
    row("remove nobody", "", "delGroupMemResult");
    row("remove only empty", "", "delGroupMemResult");
    row("adduser", with("adduser", R"("groupid":"g1","user":[{"id":"u1"},{"id":"u2"}])"));
    row("adduser nobody", "", "addGroupMemResult");
    row("adduser no group", "", "addGroupMemResult");
    row("banuser all wins", with("banuser", R"("groupid":"g1","all":1,"ban":[],"allow":[])"));
    row("banuser pic", with("banuser", R"("groupid":"g1","pic":0,"ban":[{"id":"u1"}],)"
                                       R"("allow":[{"id":"u2"}])"));
    row("banuser no group", "", "banuserResult");
    row("banchat", with("banuser", R"("groupid":"g1","chat":1)"));
    row("banchat empty", with("banuser", R"("groupid":"g1")"));
    row("banchat no group", "", "banuserResult");
    row("banscreenshot", with("banuser", R"("groupid":"g1","screenshot":0)"));
    row("banscreenshot no group", "", "banuserResult");
    row("getinfo", with("getinfo", R"("groupid":"g1")"));
    row("getversion", with("getversion", R"("groupid":"g1")"));
    row("getuser", with("getuser", R"("groupid":"g1","fromid":40)"));
    row("search", R"({"cmd":"search","groupid":"g1","fromid":0,"nick":"","num":20})");
    // A change that leaves the introduction alone does not carry one: the engine and
    // the group server would store an empty one.
    row("set name only", with("set", R"("groupid":"g1","groupname":"New","coincost":0)"));
    row("set type only", with("set", R"("groupid":"g1","coincost":0,"type":1)"));
    row("set everything",
        with("set", R"("groupid":"g1","groupname":"N","logopath":"/tmp/logo.png",)"
                    R"("info":"hello","coinname":"BTC","coincost":1.5,)"
                    R"("maxmember":200,"type":0)"));
    row("set plain logo path",
        with("set", R"("groupid":"g1","logopath":"/tmp/a b.png","coincost":0)"));
    row("set introduction", with("set", R"("groupid":"g1","info":"Hi","coincost":0)"));
    // A change of nothing else is a change of the introduction: emptying it.
    row("set empty introduction", with("set", R"("groupid":"g1","info":"","coincost":0)"));
    row("set name and introduction",
        with("set", R"("groupid":"g1","groupname":"N","info":"Hi","coincost":0)"));
    row("search for a picker",
        R"({"cmd":"search","groupid":"g1","fromid":20,"nick":"An","num":20})");
    row("grant owner", with("grantuser", R"("groupid":"g1","owner":[{"id":"u1"}])"));
    row("grant admins", with("grantuser", R"("groupid":"g1","admin":[{"id":"u1"},{"id":"u2"}])"));
    row("grant members", with("grantuser", R"("groupid":"g1","member":[{"id":"u3"}])"));
    row("grant empty admin selection", with("grantuser", R"("groupid":"g1","admin":[])"));
    row("grant empty owner selection", "", "setGrantInfoResult");
    row("grant no group", "", "setGrantInfoResult");
    row("join", with("join", R"("groupid":"g1","nick":"Ann")"));
    row("getchild", with("getchild", R"("groupid":"g1","fromid":7,"num":50)"));
    row("release", with("release", R"("groupid":"g1","parentid":"p1","childid":"c1,c2")"));
    row("release none", with("release", R"("groupid":"g1","parentid":"p1","childid":"")"));
    row("destroy", with("destroy", R"("groupid":"g1")"));
  }

  void commands() {
    QFETCH(QString, operation);
    QFETCH(QJsonObject, body);
    QFETCH(QString, refusal);
    QVERIFY2(Operations().contains(operation), qPrintable(operation));
    // Every result signal, recorded synchronously.
    const QMetaObject* meta = groups()->metaObject();
    QList<QSignalSpy*> spies;
    QStringList names;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
      const QMetaMethod method = meta->method(i);
      if (method.methodType() == QMetaMethod::Signal && method.name().endsWith("Result"))
        spies << new QSignalSpy(groups(), ("2" + method.methodSignature()).constData()),
            names << QString::fromLatin1(method.name());
    }
    Operations().value(operation)(groups());
    QStringList emitted;
    QVariantList arguments;
    for (int i = 0; i < spies.size(); ++i) {
      if (spies[i]->count()) {
        emitted << names[i];
        arguments = spies[i]->first();
      }
      delete spies[i];
    }
    const QStringList sent = GroupTest::CallsOf("GroupCommand");
    if (body.isEmpty()) {
      QCOMPARE(sent.size(), 0);
      QCOMPARE(GroupTest::CallsOf("CreateDialogID").size(), 0);
      QCOMPARE(emitted, QStringList{refusal});
      QCOMPARE(arguments.first().toInt(), ImGroupManager::kNotSent);
      if (refusal == QLatin1String("getGroupByPasswordResult"))
        QCOMPARE(arguments.at(1).toString(), QString());
      return;
    }
    QCOMPARE(emitted, QStringList());
    QCOMPARE(sent.size(), 1);
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(sent.first())), body);
    // The dialog id is the one CreateDialogID gave.
    const QString did = sent.first().section('(', 1).section(',', 0, 0);
    QVERIFY(did.toInt() > 0);
    GroupTest::Settle();
  }

  void searchEmptiesTheSearchListFirst() {
    ImSearchUserManager::instance()->addData(QJsonArray{QJsonObject{{"account", "x"}}});
    ImSearchUserManager::pickerInstance()->addData(QJsonArray{QJsonObject{{"account", "y"}}});
    QCOMPARE(ImSearchUserManager::instance()->rowCount(), 1);
    groups()->searchMembers("g1", "a", 20);
    QCOMPARE(ImSearchUserManager::instance()->rowCount(), 0);
    // Each search empties its own list only.
    QCOMPARE(ImSearchUserManager::pickerInstance()->rowCount(), 1);
    groups()->searchPickerMembers("g1", "a", 0);
    QCOMPARE(ImSearchUserManager::pickerInstance()->rowCount(), 0);
    GroupTest::Settle();
  }

  void muteIsAPostToTheBlackList() {
    groups()->muteNotifications("g1@group", true);
    groups()->muteNotifications("g1@group", false);
    const QStringList posts = GroupTest::CallsOf("SendPost");
    QCOMPARE(posts.size(), 2);
    QVERIFY(posts[0].contains("/userinfo/user/setblack.do"));
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(posts[0], 2)),
             Json(R"({"adduser":"g1@group"})"));
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(posts[1], 2)),
             Json(R"({"deluser":"g1@group"})"));
    GroupTest::Settle();
  }
};

TESMO_CLIENT_TEST_MAIN(TestGroupCommands)
#include "tst_groupcommands.moc"
