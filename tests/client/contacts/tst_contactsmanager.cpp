// The contact list against the engine test double: request bodies, replies, the
// black list, the batch invitation through its worker thread, and the friends
// loaded from a temporary database.
#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <functional>
#include <memory>

#include "contacts/GroupTestSupport.h"
#include "contacts/ImContactsManager.h"
#include "contacts/ImSearchUserManager.h"
#include "contacts/ImUserEntity.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VConfig.h"
#include "support/ClientTestMain.h"

namespace {
QJsonObject Json(const char* text) { return QJsonDocument::fromJson(text).object(); }
}  // namespace

class TestContactsManager : public QObject {
  Q_OBJECT

  std::unique_ptr<QAbstractItemModelTester> m_tester;

  ImContactsManager* contacts() { return ImContactsManager::instance(); }

  void deliver(int method, int status, int did, const QString& text) {
    UIMessage message;
    message.m_Method = method;
    message.m_Status = status;
    message.m_DialogID = did;
    message.m_Arg1 = text;
    contacts()->onNotify(&message);
  }

 private slots:
  void initTestCase() {
    ImUiInterface::instance()->initInterface();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        contacts(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }

  void cleanupTestCase() { m_tester.reset(); }

  void init() {
    GroupTest::Settle();
    EngineDouble::Reset();
    EngineDouble::SetText("GetMyAccount", "me");
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
  // success, anything else -999, a text that is not JSON says nothing.
  void httpReplies_data() {
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");  // -1: no signal
    for (const char* request : {"defriend", "addfriend", "setRemark", "invite"}) {
      QTest::newRow(qPrintable(QString(request) + " code 1")) << request << R"({"code":1})" << 0;
      QTest::newRow(qPrintable(QString(request) + " code 0")) << request << R"({"code":0})" << -999;
      QTest::newRow(qPrintable(QString(request) + " code -5"))
          << request << R"({"code":-5})" << -999;
      QTest::newRow(qPrintable(QString(request) + " no code")) << request << R"({"x":1})" << -999;
      QTest::newRow(qPrintable(QString(request) + " not JSON")) << request << "oops" << -1;
      QTest::newRow(qPrintable(QString(request) + " empty")) << request << "" << -1;
    }
  }

  void httpReplies() {
    QFETCH(QString, request);
    QFETCH(QString, text);
    QFETCH(int, result);
    QSignalSpy defriended(contacts(), &ImContactsManager::defriendResult);
    QSignalSpy remarked(contacts(), &ImContactsManager::setRemarkResult);
    QSignalSpy invited(contacts(), &ImContactsManager::batchInviteComplete);
    EngineDouble::SetReply(_REQUEST_HTTP_SENDPOST, 0, text.toStdString());
    QSignalSpy* spy = &defriended;
    if (request == "defriend") contacts()->defriend("u1");
    if (request == "addfriend") contacts()->addfriend("u1");
    if (request == "setRemark") contacts()->setRemark("u1", "x"), spy = &remarked;
    if (request == "invite") contacts()->doBatchInvite({"1", "2"}), spy = &invited;
    GroupTest::Settle();
    QCOMPARE(defriended.count() + remarked.count() + invited.count(), result == -1 ? 0 : 1);
    if (result != -1) QCOMPARE(spy->first().first().toInt(), result);
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
    ImSearchUserManager* found = ImSearchUserManager::instance();
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
