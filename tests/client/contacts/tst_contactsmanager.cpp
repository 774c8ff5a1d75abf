// The contact list against the engine test double: request bodies, replies, the
// black list, the batch invitation through its worker thread, and the friends
// loaded from a temporary database.
#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/ImManagerLinks.h"
#include "contacts/GroupTestSupport.h"
#include "contacts/ImContactsManager.h"
#include "contacts/ImSearchUserManager.h"
#include "contacts/ImUserEntity.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VConfig.h"
#include "support/ClientTestMain.h"
#include "support/MessageRows.h"

namespace {
QJsonObject Json(const char* text) { return QJsonDocument::fromJson(text).object(); }
}  // namespace

class TestContactsManager : public QObject {
  Q_OBJECT

  std::unique_ptr<QAbstractItemModelTester> m_tester;
  QTemporaryDir m_dir;
  int m_database = 0;

  // A fresh database holding `friends` friends ("f0", "f1", ...) and the
  // non-friend "stranger", and an empty list.
  void loadFriends(int friends) {
    const QString path = m_dir.filePath(QStringLiteral("db%1.db").arg(++m_database));
    QVERIFY(ImUiInterface::instance()->SetDatabase(path.toUtf8().constData()) > 0);
    contacts()->wipeData();
    contacts()->resetAllAddState(true);
    QVERIFY(ImUiInterface::instance()->dbExecSql("BEGIN"));
    for (int i = 0; i < friends; ++i) insertContact(1000 - i, QStringLiteral("f%1").arg(i), 1);
    insertContact(5000, "stranger", 0);
    QVERIFY(ImUiInterface::instance()->dbExecSql("COMMIT"));
  }

  void insertContact(int userid, const QString& account, int isfriend) {
    const QString sql = QStringLiteral(
                            "INSERT INTO nq_contact (userid, account, name, logo, isfriend, "
                            "champflag) VALUES (%1, '%2', 'name-%2', 'logo-%2', %3, 2)")
                            .arg(userid)
                            .arg(account)
                            .arg(isfriend);
    QVERIFY2(ImUiInterface::instance()->dbExecSql(sql), qPrintable(sql));
  }

  QStringList rows() {
    QStringList accounts;
    for (int row = 0; row < contacts()->rowCount(); ++row)
      accounts << contacts()->get(row)->property("account").toString();
    return accounts;
  }

  ImContactsManager* contacts() { return ImContactsManager::instance(); }

  void deliver(int method, int status, int did, const QString& text) {
    GroupTest::Deliver(contacts(), method, status, did, text);
  }

  // One black-list, remark or invitation request answered with this text and status.
  void httpReply(const QString& request, const QString& text, int status, int result) {
    QSignalSpy defriended(contacts(), &ImContactsManager::defriendResult);
    QSignalSpy remarked(contacts(), &ImContactsManager::setRemarkResult);
    QSignalSpy invited(contacts(), &ImContactsManager::batchInviteComplete);
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, status, text.toStdString());
    QSignalSpy* spy = &defriended;
    if (request == "defriend") contacts()->defriend("u1");
    if (request == "addfriend") contacts()->addfriend("u1");
    if (request == "setRemark") contacts()->setRemark("u1", "x"), spy = &remarked;
    if (request == "invite") contacts()->doBatchInvite({"1", "2"}), spy = &invited;
    GroupTest::Settle();
    QCOMPARE(defriended.count() + remarked.count() + invited.count(), 1);
    QCOMPARE(spy->first().first().toInt(), result);
  }

 private slots:
  void initTestCase() {
    ImUiInterface::instance()->initInterface();
    // Friend events reach the conversation list through the program's links.
    ImManagerLinks::wire();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        contacts(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }

  void cleanupTestCase() { m_tester.reset(); }

  void init() {
    GroupTest::Settle();
    EngineDouble::Reset();
    EngineDouble::SetText("GetMyAccount", "me");
  }

  void friendsLoadInQueryOrder() {
    loadFriends(3);
    insertContact(1, "me", 1);
    EngineDouble::SetInt("GetChampFlag", 9);
    VConfig::instance()->setValue("SYNC_CONTACTS_LIST", QStringList{"f1", "gone"});
    QSignalSpy inserted(contacts(), &QAbstractItemModel::rowsInserted);
    contacts()->initData();
    QCOMPARE(rows(), (QStringList{"f0", "f1", "f2", "me"}));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(contacts()->checkAccounts(), (QStringList{"f0", "f1", "f2", "me"}));
    ImUserEntity* f0 = contacts()->getUserEntity("f0");
    QVERIFY(f0);
    QCOMPARE(f0->userid(), 1000);
    QCOMPARE(f0->name(), QStringLiteral("name-f0"));
    QCOMPARE(f0->champflag(), 2);
    QVERIFY(f0->isfriend());
    QCOMPARE(contacts()->getUserEntity("me")->champflag(), 9);
    QVERIFY(!contacts()->getUserEntity("stranger"));
    QCOMPARE(contacts()->getName("f1"), QStringLiteral("name-f1"));
    QCOMPARE(contacts()->getLogo("f1"), QStringLiteral("logo-f1"));
    QCOMPARE(contacts()->getUserid("f1"), 999);
    QCOMPARE(contacts()->getName("stranger"), QString());
    QCOMPARE(contacts()->getUserid("stranger"), 0);
    QCOMPARE(QQmlEngine::objectOwnership(f0), QQmlEngine::CppOwnership);
    // The sync marks keep only listed accounts.
    QVERIFY(contacts()->getUserEntity("f1")->isSync());
    QCOMPARE(VConfig::instance()->value("SYNC_CONTACTS_LIST").toStringList(), QStringList{"f1"});

    // A friend event loads again: new friends go on top, nothing twice.
    insertContact(2, "new", 1);
    QPointer<ImUserEntity> kept = f0;
    deliver(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
    deliver(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
    deliver(_EVENT_REPORT_FRIENDNOTIFY, 5, 0, "");
    QCOMPARE(rows(), (QStringList{"new", "f0", "f1", "f2", "me"}));
    QCOMPARE(kept.data(), contacts()->getUserEntity("f0"));
    // The checkuser pages follow the rows the add-member picker shows.
    QCOMPARE(contacts()->checkAccounts(), (QStringList{"new", "f0", "f1", "f2", "me"}));

    contacts()->wipeData();
    QVERIFY(kept.isNull());
    QCOMPARE(contacts()->rowCount(), 0);
    QCOMPARE(contacts()->checkAccounts(), QStringList());
  }

  void itemsFetchedByQmlStayAlive() {
    loadFriends(1);
    contacts()->initData();
    QPointer<ImUserEntity> user = contacts()->getUserEntity("f0");
    QVERIFY(user);
    {
      QQmlEngine qml;
      qml.rootContext()->setContextProperty(QStringLiteral("contactsManager"), contacts());
      QQmlExpression fetch(qml.rootContext(), nullptr,
                           QStringLiteral("contactsManager.getUserEntity('f0').name"));
      QCOMPARE(fetch.evaluate().toString(), QStringLiteral("name-f0"));
      QQmlExpression(qml.rootContext(), nullptr, QStringLiteral("gc()")).evaluate();
      qml.collectGarbage();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(user);
  }

  // A friend event also rebuilds the conversation list (names come from friends).
  void friendEventRebuildsTheConversationList() {
    loadFriends(1);
    ImSessionListManager* sessions = ImSessionListManager::instance();
    sessions->initData();
    QCOMPARE(sessions->rowCount(), 0);
    MessageRows::Message message;
    message.from = "f0";
    message.to = "me";
    QVERIFY(MessageRows::StoreNewest("f0", message));
    deliver(_EVENT_REPORT_FRIENDNOTIFY, 3, 0, "");
    QCOMPARE(sessions->rowCount(), 0);
    deliver(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
    QCOMPARE(sessions->rowCount(), 1);
    QCOMPARE(contacts()->rowCount(), 1);
  }

  // A friend event shows what the contact table holds now: a friend's new name
  // and picture on the same row and on the conversation list's row, friends that
  // were removed (or are gone from the table) no longer listed or offered; the own
  // row keeps the profile the engine holds.
  void friendEventAppliesProfilesAndDropsGoneFriends() {
    loadFriends(3);
    insertContact(1, "me", 1);
    EngineDouble::SetText("GetMyName", "Me Now");
    contacts()->initData();
    VConfig::instance()->setValue("MY_ACCOUNT", "me");
    ImSessionListManager* sessions = ImSessionListManager::instance();
    MessageRows::Message message;
    message.from = "f0";
    message.to = "me";
    QVERIFY(MessageRows::StoreNewest("f0", message));
    sessions->initData();
    QVERIFY(sessions->getSession("f0"));
    QCOMPARE(sessions->getSession("f0")->name(), QStringLiteral("name-f0"));
    contacts()->setAllSelected(true);
    contacts()->setAllIsSync(true);
    QPointer<ImUserEntity> f0 = contacts()->getUserEntity("f0");
    QPointer<ImUserEntity> f1 = contacts()->getUserEntity("f1");
    QPointer<ImUserEntity> f2 = contacts()->getUserEntity("f2");
    QSignalSpy renamed(f0.data(), &ImUserEntity::nameChanged);
    QSignalSpy repictured(f0.data(), &ImUserEntity::logoChanged);
    QVERIFY(ImUiInterface::instance()->dbExecSql(
        "UPDATE nq_contact SET name = 'Renamed', logo = 'new-logo', version = 2 "
        "WHERE account = 'f0'"));
    QVERIFY(ImUiInterface::instance()->dbExecSql(
        "UPDATE nq_contact SET isfriend = 0 WHERE account = 'f1'"));
    QVERIFY(ImUiInterface::instance()->dbExecSql("DELETE FROM nq_contact WHERE account = 'f2'"));

    deliver(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
    QCOMPARE(rows(), (QStringList{"f0", "me"}));
    QCOMPARE(f0.data(), contacts()->getUserEntity("f0"));
    QCOMPARE(f0->name(), QStringLiteral("Renamed"));
    QCOMPARE(f0->logo(), QStringLiteral("new-logo"));
    QCOMPARE(f0->version(), 2);
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(repictured.count(), 1);
    // The marks made before stay on the rows that stay.
    QVERIFY(f0->selected());
    QVERIFY(f1.isNull());
    QVERIFY(f2.isNull());
    QCOMPARE(contacts()->getName("f1"), QString());
    QCOMPARE(contacts()->selectedAccounts(), (QStringList{"f0", "me"}));
    QCOMPARE(contacts()->isSyncAccounts(), (QStringList{"f0", "me"}));
    QCOMPARE(contacts()->checkAccounts(), (QStringList{"f0", "me"}));
    QCOMPARE(VConfig::instance()->value("SYNC_CONTACTS_LIST").toStringList(),
             (QStringList{"f0", "me"}));
    QCOMPARE(contacts()->getName("me"), QStringLiteral("Me Now"));
    // The conversation list was rebuilt with the new profile.
    ImMsgEntity* row = sessions->getSession("f0");
    QVERIFY(row);
    QCOMPARE(row->name(), QStringLiteral("Renamed"));
    QCOMPARE(row->icon(), QStringLiteral("new-logo"));

    // A failed read of the table leaves the list as it is.
    QVERIFY(ImUiInterface::instance()->dbExecSql("DROP TABLE nq_contact"));
    deliver(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
    QCOMPARE(rows(), (QStringList{"f0", "me"}));
  }

  void selectionAndSync() {
    loadFriends(3);
    contacts()->initData();
    contacts()->updateSelected("f2", true);
    contacts()->updateSelected("nobody", true);
    QCOMPARE(contacts()->selectedAccounts(), QStringList{"f2"});
    contacts()->setAllSelected(true);
    QCOMPARE(contacts()->selectedAccounts(), (QStringList{"f0", "f1", "f2"}));
    contacts()->setAllIsSync(true);
    contacts()->updateIsSync("f0", false);
    contacts()->saveIsSyncAccounts();
    QCOMPARE(VConfig::instance()->value("SYNC_CONTACTS_LIST").toStringList(),
             (QStringList{"f1", "f2"}));
  }

  // 250 friends are checked in pages of 100, 100 and 50; a page is done only
  // when the group server accepted it.
  void checkuserPaging() {
    loadFriends(250);
    contacts()->initData();
    QSignalSpy checked(contacts(), &ImContactsManager::checkMoreMembersResult);
    auto pageSent = [&](int page) {
      const QStringList sent = GroupTest::CallsOf("GroupCommand");
      return GroupTest::Body(sent.at(page));
    };
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"user":[{"id":"f0"},{"id":"f150"},)"
                           R"({"id":"stranger"}]}})");
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    QJsonObject body = pageSent(0);
    QCOMPARE(body.value("cmd").toString(), QStringLiteral("checkuser"));
    QCOMPARE(body.value("language").toString(), QStringLiteral("zh-CN"));
    QCOMPARE(body.value("groupid").toString(), QStringLiteral("g1@group"));
    QCOMPARE(body.value("user").toArray().size(), 100);
    QCOMPARE(body.value("user").toArray().first().toObject().value("id").toString(),
             QStringLiteral("f0"));
    QCOMPARE(checked.last().first().toInt(), 0);
    QVERIFY(!contacts()->getUserEntity("f0")->added());
    QVERIFY(!contacts()->getUserEntity("f150")->added());
    QVERIFY(contacts()->getUserEntity("f1")->added());

    // Refused and failed replies keep the page.
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0, R"({"code":-3})");
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    QCOMPARE(checked.last().first().toInt(), int(ImContactsManager::kFailure));
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"cmd":"GROUP_ERR_RESOURCE","user":[]}})");
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    QCOMPARE(checked.last().first().toInt(), int(ImContactsManager::kFailure));
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 4, "");
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    QCOMPARE(checked.last().first().toInt(), 4);
    QCOMPARE(pageSent(1).value("user").toArray().first().toObject().value("id").toString(),
             QStringLiteral("f100"));
    QCOMPARE(pageSent(3).value("user").toArray().first().toObject().value("id").toString(),
             QStringLiteral("f100"));

    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0, R"({"code":1,"result":{}})");
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    QCOMPARE(pageSent(4).value("user").toArray().size(), 100);
    QCOMPARE(pageSent(5).value("user").toArray().size(), 50);
    QCOMPARE(pageSent(5).value("user").toArray().last().toObject().value("id").toString(),
             QStringLiteral("f249"));
    // Past the end nothing is sent and nothing is said.
    const int before = checked.count();
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    QCOMPARE(GroupTest::CallsOf("GroupCommand").size(), 6);
    QCOMPARE(checked.count(), before);

    // Back to the first page, everyone offered again.
    contacts()->resetAllAddState(true);
    QVERIFY(contacts()->getUserEntity("f0")->added());
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    QCOMPARE(pageSent(6).value("user").toArray().first().toObject().value("id").toString(),
             QStringLiteral("f0"));
  }

  // A friend who arrives later heads the list: the first page checked is the one
  // the picker shows first, so no shown row waits for a page that checks it later.
  void checkuserPagesFollowTheRows() {
    loadFriends(150);
    contacts()->initData();
    insertContact(1, "late", 1);
    contacts()->initData();
    QCOMPARE(rows().first(), QStringLiteral("late"));
    EngineDouble::SetReply(_REQUEST_HTTP_GROUPCOMMAND, 0,
                           R"({"code":1,"result":{"user":[{"id":"late"}]}})");
    contacts()->checkMoreMembers("g1@group");
    GroupTest::Settle();
    const QJsonArray users =
        GroupTest::Body(GroupTest::CallsOf("GroupCommand").first()).value("user").toArray();
    QCOMPARE(users.size(), 100);
    QStringList page;
    for (const QJsonValue& user : users) page << user.toObject().value("id").toString();
    QCOMPARE(page, rows().mid(0, 100));
    QVERIFY(!contacts()->getUserEntity("late")->added());
  }

  void ownProfileReply() {
    loadFriends(1);
    insertContact(1, "me", 1);
    contacts()->initData();
    VConfig::instance()->setValue("MY_ACCOUNT", "me");
    EngineDouble::SetText("GetMyName", "New Me");
    EngineDouble::SetText("GetMyLogo", "/p/logo.png");
    EngineDouble::SetText("GetMyBigLogo", "/p/big.png");
    EngineDouble::SetText("GetMySummary", "about");
    EngineDouble::SetInt("GetChampFlag", 4);
    QSignalSpy success(contacts(), &ImContactsManager::updateUserInfoSuccess);
    QSignalSpy failure(contacts(), &ImContactsManager::updateUserInfoFailure);
    EngineDouble::SetReply(_REQUEST_HTTP_USERCOMMAND, 6, "");
    contacts()->updateUserInfo("New Me", "about", "/p/logo.png", "");
    GroupTest::Settle();
    QCOMPARE(failure.count(), 1);
    QCOMPARE(contacts()->getName("me"), QStringLiteral("name-me"));
    EngineDouble::SetReply(_REQUEST_HTTP_USERCOMMAND, 0, "");
    contacts()->updateUserInfo("New Me", "about", "/p/logo.png", "");
    GroupTest::Settle();
    QCOMPARE(success.count(), 1);
    ImUserEntity* me = contacts()->getUserEntity("me");
    QCOMPARE(me->name(), QStringLiteral("New Me"));
    QCOMPARE(me->bigLogo(), QStringLiteral("/p/big.png"));
    QCOMPARE(me->summary(), QStringLiteral("about"));
    QCOMPARE(VConfig::instance()->value("MY_NAME").toString(), QStringLiteral("New Me"));
    QCOMPARE(VConfig::instance()->value("MY_LOGO").toString(), QStringLiteral("/p/logo.png"));
    QCOMPARE(VConfig::instance()->value("MY_CHAMPFLAG").toInt(), 4);
  }

  // The own account is seldom in the friend list: a successful change still
  // reaches the settings every own avatar and name follow, and a failed one not.
  void ownProfileReplyWithoutOwnRow() {
    loadFriends(2);
    contacts()->initData();
    QVERIFY(!contacts()->getUserEntity("me"));
    VConfig* config = VConfig::instance();
    config->setValue("MY_ACCOUNT", "me");
    config->setValue("MY_NAME", "Old Me");
    config->setValue("MY_LOGO", "http://127.0.0.1/old.png");
    EngineDouble::SetText("GetMyName", "Renamed");
    EngineDouble::SetText("GetMyLogo", "http://127.0.0.1/new.png");
    EngineDouble::SetText("GetMyBigLogo", "http://127.0.0.1/new-big.png");
    EngineDouble::SetText("GetMySummary", "new intro");
    EngineDouble::SetInt("GetChampFlag", 2);
    QSignalSpy logo(config, &VConfig::currentUserLogoChanged);
    QSignalSpy name(config, &VConfig::currentUserNameChanged);
    EngineDouble::SetReply(_REQUEST_HTTP_USERCOMMAND, 11, "");
    contacts()->updateUserInfo("Renamed", "new intro", "file:///tmp/new.png", "");
    GroupTest::Settle();
    QCOMPARE(config->currentUserLogo(), QStringLiteral("http://127.0.0.1/old.png"));
    QCOMPARE(logo.count(), 0);
    EngineDouble::SetReply(_REQUEST_HTTP_USERCOMMAND, 0, "");
    contacts()->updateUserInfo("Renamed", "new intro", "file:///tmp/new.png", "");
    GroupTest::Settle();
    QCOMPARE(config->currentUserName(), QStringLiteral("Renamed"));
    QCOMPARE(config->currentUserLogo(), QStringLiteral("http://127.0.0.1/new.png"));
    QCOMPARE(config->currentUserBigLogo(), QStringLiteral("http://127.0.0.1/new-big.png"));
    QCOMPARE(config->currentUserSummary(), QStringLiteral("new intro"));
    QCOMPARE(config->champflag(), 2);
    QCOMPARE(logo.count(), 1);
    QCOMPARE(name.count(), 1);
    QVERIFY(!contacts()->getUserEntity("me"));
  }

  void blackListEntries_data() {
    QTest::addColumn<QString>("blackList");
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("listed");
    QTest::newRow("part of a longer account") << "1234,5678"
                                              << "12" << false;
    QTest::newRow("whole account") << "1234,5678"
                                   << "5678" << true;
    QTest::newRow("group id prefix") << "u1,g12@group"
                                     << "g1@group" << false;
    QTest::newRow("group id prefix without mark") << "u1,g12@group"
                                                  << "g1" << false;
    QTest::newRow("whole group id") << "u1,g12@group"
                                    << "g12@group" << true;
    QTest::newRow("case counts") << "Ann"
                                 << "ann" << false;
    QTest::newRow("single entry") << "ann"
                                  << "ann" << true;
    QTest::newRow("empty list") << ""
                                << "ann" << false;
    QTest::newRow("empty account, empty entries") << "a,,b"
                                                  << "" << false;
    QTest::newRow("across the separator") << "ab,cd"
                                          << "b,c" << false;
  }

  void blackListEntries() {
    QFETCH(QString, blackList);
    QFETCH(QString, account);
    QFETCH(bool, listed);
    EngineDouble::SetText("GetBlackList", blackList.toStdString());
    QCOMPARE(contacts()->inBlackList(account), listed);
  }

  void blackListSplits() {
    EngineDouble::SetText("GetBlackList", "a,b@group,c@group,d");
    QCOMPARE(contacts()->getBlackList(), (QStringList{"a", "b@group", "c@group", "d"}));
    QCOMPARE(contacts()->getContactsBlackList(), (QStringList{"a", "d"}));
  }

  void requestBodies() {
    VConfig::instance()->setValue("MY_USERID", "77");
    contacts()->defriend("u1");
    contacts()->addfriend("u1");
    contacts()->setRemark("u2", "Bo");
    contacts()->searchAccount("ann");
    const QStringList posts = GroupTest::CallsOf("SendPost");
    QCOMPARE(posts.size(), 4);
    QVERIFY(posts[0].contains(",https://userserver.invalid/userinfo/user/setblack.do,") ||
            posts[0].contains("/userinfo/user/setblack.do,"));
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(posts[0], 2)), Json(R"({"adduser":"u1"})"));
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(posts[1], 2)), Json(R"({"deluser":"u1"})"));
    QVERIFY(posts[2].contains("/userinfo/user/setremark.do,"));
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(posts[2], 2)),
             Json(R"({"friend":"u2","name":"Bo"})"));
    QVERIFY(posts[3].contains("/navigation/user/searchaccount.do,"));
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(posts[3], 2)), Json(R"({"text":"ann"})"));

    // The logo is sent as a local path, also for the big logo.
    const QString logo = QUrl::fromLocalFile("/tmp/my logo.png").toString();
    contacts()->updateUserInfo("Me", "hi", logo, "");
    const QStringList commands = GroupTest::CallsOf("UserCommand");
    QCOMPARE(commands.size(), 1);
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(commands.first())),
             Json(R"({"cmd":"modify","userid":"77","name":"Me","summary":"hi",)"
                  R"("logo":"/tmp/my logo.png","biglogo":"/tmp/my logo.png"})"));
    GroupTest::Settle();
  }

  // Replies of the black-list, remark and invitation requests: "code" 1 is
  // success, anything else -999; a request that failed without a JSON answer is a
  // failure too, so that what waits for it (the invitation's progress) ends.
  void httpReplies_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    for (const char* request : {"defriend", "addfriend", "setRemark", "invite"}) {
      QTest::newRow(qPrintable(QString(request) + " code 1")) << request << R"({"code":1})" << 0;
      QTest::newRow(qPrintable(QString(request) + " code 0")) << request << R"({"code":0})" << -999;
      QTest::newRow(qPrintable(QString(request) + " code -5"))
          << request << R"({"code":-5})" << -999;
      QTest::newRow(qPrintable(QString(request) + " no code")) << request << R"({"x":1})" << -999;
      QTest::newRow(qPrintable(QString(request) + " not JSON")) << request << "oops" << -999;
      QTest::newRow(qPrintable(QString(request) + " empty")) << request << "" << -999;
    }
  }

  void httpReplies() {
    QFETCH(QString, request);
    QFETCH(QString, text);
    QFETCH(int, result);
    httpReply(request, text, 0, result);
  }

  // A request the engine could not carry out (a status, no answer).
  void failedHttpRequests_data() {
    QTest::addColumn<QString>("request");
    for (const char* request : {"defriend", "addfriend", "setRemark", "invite"})
      QTest::newRow(request) << request;
  }

  void failedHttpRequests() {
    QFETCH(QString, request);
    httpReply(request, "", 7, int(ImContactsManager::kFailure));
  }

  void staleRepliesAreIgnored() {
    QSignalSpy defriended(contacts(), &ImContactsManager::defriendResult);
    QSignalSpy updated(contacts(), &ImContactsManager::updateUserInfoSuccess);
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0, R"({"code":1})");
    contacts()->defriend("u1");
    contacts()->addfriend("u1");  // replaces the black-list request
    GroupTest::Settle();
    QCOMPARE(defriended.count(), 1);
    deliver(_REQUEST_HTTP_SENDPOST, 0, 0, R"({"code":1})");
    deliver(_REQUEST_HTTP_SENDGET, 0, 424242, R"({"code":1})");
    deliver(_REQUEST_HTTP_USERCOMMAND, 0, 424242, "");
    QCOMPARE(defriended.count(), 1);
    QCOMPARE(updated.count(), 0);
  }

  void searchReplies() {
    QSignalSpy searched(contacts(), &ImContactsManager::searchAccountResult);
    // The add-friend dialog's own list: the member searches have theirs.
    ImSearchUserManager* found = contacts()->accountSearchUserManager();
    QVERIFY(found != ImSearchUserManager::instance());
    QVERIFY(found != ImSearchUserManager::pickerInstance());
    ImSearchUserManager::instance()->addData(QJsonArray{QJsonObject{{"account", "at1"}}});
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0, R"({"code":-5})");
    contacts()->searchAccount("nobody");
    GroupTest::Settle();
    QCOMPARE(searched.count(), 1);
    QCOMPARE(searched.last().first().toInt(), -5);
    QCOMPARE(found->rowCount(), 0);
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0,
                           R"({"code":1,"result":{"account":"ann","name":"Ann"}})");
    contacts()->searchAccount("ann");
    GroupTest::Settle();
    QCOMPARE(searched.last().first().toInt(), 1);
    QCOMPARE(found->name("ann"), QStringLiteral("Ann"));
    // The own account is never offered; each search starts empty.
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0, R"({"code":1,"result":{"account":"me"}})");
    contacts()->searchAccount("me");
    GroupTest::Settle();
    QCOMPARE(found->rowCount(), 0);
    QCOMPARE(ImSearchUserManager::instance()->rowCount(), 1);
    ImSearchUserManager::instance()->wipeData();
  }

  void batchInvitation() {
    QSignalSpy done(contacts(), &ImContactsManager::batchInviteComplete);
    const QString fixture = QFINDTESTDATA("data/invite.vcf");
    QVERIFY(!fixture.isEmpty());
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0, R"({"code":1})");
    contacts()->batchInvite(QUrl::fromLocalFile(fixture).toString());
    // The numbers come back from the worker through the event loop.
    QTRY_COMPARE_WITH_TIMEOUT(GroupTest::CallsOf("SendPost").size(), 1, 20000);
    GroupTest::Settle();
    const QStringList posts = GroupTest::CallsOf("SendPost");
    QCOMPARE(posts.size(), 1);
    QVERIFY(posts.first().contains("/userinfo/user/sendinviesm.do,"));
    // First TEL of each closed card, blanks removed; a TEL without parameters
    // is not valid and the unclosed last card is dropped.
    QCOMPARE(GroupTest::WithoutTransId(GroupTest::Body(posts.first(), 2)),
             Json(R"({"mobiles":"13800000000,+8613900000001"})"));
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 20000);
    QCOMPARE(done.first().first().toInt(), 0);
  }

  void batchInvitationWithoutNumbersOrFile_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("result");
    QTest::newRow("no phone numbers") << QFINDTESTDATA("data/nophones.vcf") << 0;
    QTest::newRow("missing file") << "/nonexistent/contacts.vcf"
                                  << int(ImContactsManager::kFailure);
    QTest::newRow("a folder") << QDir::tempPath() << int(ImContactsManager::kFailure);
  }

  void batchInvitationWithoutNumbersOrFile() {
    QFETCH(QString, path);
    QFETCH(int, result);
    QSignalSpy done(contacts(), &ImContactsManager::batchInviteComplete);
    contacts()->batchInvite(path);
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 20000);
    QCOMPARE(done.first().first().toInt(), result);
    QCOMPARE(GroupTest::CallsOf("SendPost").size(), 0);
  }

  void emptyPathDoesNothing() {
    QSignalSpy done(contacts(), &ImContactsManager::batchInviteComplete);
    contacts()->batchInvite("");
    contacts()->batchInvite(QFINDTESTDATA("data/nophones.vcf"));
    // The worker takes files in order: once the second is done, the first was.
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 1, 20000);
    QCOMPARE(done.count(), 1);
  }
};

TESMO_CLIENT_TEST_MAIN(TestContactsManager)
#include "tst_contactsmanager.moc"
