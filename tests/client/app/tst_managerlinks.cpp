// The links the composition root makes between managers of different layers: a
// kick-out empties every list of the account, a coin reply fills the coin list,
// and the QML helpers read contacts, once the bootstrap has been created.
#include <QJsonArray>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ImCreateClassManager.h"
#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupManager.h"
#include "conversations/ImCurrencyManager.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"
#include "support/MessageRows.h"
#include "support/ReportDelivery.h"

namespace {
ImUiInterface* Engine() { return ImUiInterface::instance(); }

void Exec(const QString& sql) { QVERIFY2(Engine()->dbExecSql(sql), qPrintable(sql)); }

// The dialog id of the newest recorded SendGet call.
int LastGetDialogId() {
  int id = 0;
  for (const std::string& call : EngineDouble::Calls()) {
    const QString text = QString::fromStdString(call);
    if (text.startsWith(QLatin1String("SendGet(")))
      id = text.section(QLatin1Char('('), 1).section(QLatin1Char(','), 0, 0).toInt();
  }
  return id;
}
}  // namespace

class TestManagerLinks : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QQmlEngine m_qml;
  QScopedPointer<ImCreateClassManager> m_bootstrap;

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    Engine()->initInterface();
    EngineDouble::SetText("GetMyAccount", "me");
    QVERIFY(Engine()->SetDatabase(m_dir.filePath("links.db").toUtf8().constData()) > 0);
    m_bootstrap.reset(new ImCreateClassManager(m_qml.rootContext()));
    m_bootstrap->initPreClass();
  }

  void cleanupTestCase() { m_bootstrap.reset(); }

  void kickOutEmptiesEveryListOfTheAccount() {
    Exec(
        "INSERT INTO nq_contact (userid, account, name, logo, isfriend, champflag) "
        "VALUES (7, 'friend', 'Friend', 'f.png', 1, 0)");
    Exec(
        "INSERT INTO nq_group (groupid, parentid, groupname, grouplogo, usercount, groupstate, "
        "banchat, banurl, type) VALUES ('g1@group', '', 'Group', 'g.png', 3, 0, 0, 1, 2)");
    MessageRows::Message message;
    message.from = "friend";
    message.to = "me";
    QVERIFY(MessageRows::StoreNewest("friend", message));
    ImContactsManager::instance()->initData();
    ImGroupManager::instance()->initData();
    ImSessionListManager::instance()->initData();
    ImSessionManager* session = ImSessionManager::instance();
    session->entrySession("friend", 0);
    session->addDataToView(session->buildTextMsg("friend", "hello"));
    QVERIFY(ImContactsManager::instance()->rowCount() > 0);
    QVERIFY(ImGroupManager::instance()->rowCount() > 0);
    QVERIFY(ImSessionListManager::instance()->rowCount() > 0);
    QVERIFY(session->rowCount() > 0);

    QSignalSpy kicked(ImLoginManager::instance(), &ImLoginManager::recvKickOut);
    QVERIFY(ReportDelivery::Deliver(_EVENT_RECV_KICKOUT, 0, 0, "signed in elsewhere"));
    QTRY_COMPARE_WITH_TIMEOUT(kicked.count(), 1, 20000);
    QCOMPARE(ImContactsManager::instance()->rowCount(), 0);
    QCOMPARE(ImGroupManager::instance()->rowCount(), 0);
    QCOMPARE(ImSessionListManager::instance()->rowCount(), 0);
    QCOMPARE(session->rowCount(), 0);
    // The conversation is closed too: after the next login the friend's message
    // counts and alerts as for any conversation not open, even with the chat page
    // on screen.
    QCOMPARE(session->currentSessionId(), QString());
    ImSessionListManager::instance()->initData();
    VGlobal::instance()->setActive(true);
    session->setChatPageShown(true);
    message.content = "after the next login";
    const int id = MessageRows::StoreNewest("friend", message);
    QVERIFY(id > 0);
    QSignalSpy alert(VGlobal::instance(), &VGlobal::messagesReceivedAlert);
    const QString report =
        QStringLiteral(R"({"id":%1,"fromuser":"friend","touser":"me","totype":0,)"
                       R"("msgtype":0,"content":"after","sendflag":0})")
            .arg(id);
    QVERIFY(ReportDelivery::Deliver(_EVENT_COME_IMMESSAGE, 0, 0, report.toStdString()));
    QTRY_COMPARE_WITH_TIMEOUT(alert.count(), 1, 20000);
    QCOMPARE(session->rowCount(), 0);
    session->setChatPageShown(false);
  }

  // Each login starts with no conversation open, for the account now signed in.
  void eachLoginStartsWithNoConversationOpen() {
    ImSessionManager* session = ImSessionManager::instance();
    MessageRows::Message message;
    message.from = "friend";
    message.to = "me";
    QVERIFY(MessageRows::StoreNewest("friend", message));
    session->entrySession("friend", 0);
    QCOMPARE(session->currentSessionId(), QStringLiteral("friend"));
    QVERIFY(session->rowCount() > 0);
    EngineDouble::SetText("GetMyAccount", "other");
    m_bootstrap->createPostClass();
    QCOMPARE(session->currentSessionId(), QString());
    QCOMPARE(session->rowCount(), 0);
    QCOMPARE(session->myAccount(), QStringLiteral("other"));
    EngineDouble::SetText("GetMyAccount", "me");
    m_bootstrap->createPostClass();
    QCOMPARE(session->myAccount(), QStringLiteral("me"));
  }

  void coinReplyFillsTheCoinList() {
    ImLoginManager::instance()->queryCurrency();
    const int id = LastGetDialogId();
    QVERIFY(id != 0);
    QVERIFY(ReportDelivery::Deliver(
        _REQUEST_HTTP_SENDGET, 0, id,
        R"({"result":{"params":[{"id":1,"name":"BTC"},{"id":2,"name":"ETH"}]}})"));
    QTRY_COMPARE_WITH_TIMEOUT(ImCurrencyManager::instance()->rowCount(), 2, 20000);
  }

  void qmlHelpersReadTheContactList() {
    Exec(
        "INSERT INTO nq_contact (userid, account, name, logo, isfriend, summary) "
        "VALUES (42, 'champ', 'Champ', 'c.png', 1, 'about me')");
    EngineDouble::SetText("GetUserInfo:champ:4", "3");
    ImContactsManager::instance()->initData();
    QCOMPARE(VGlobal::instance()->getUseridByAccount("champ"), 42);
    QCOMPARE(VGlobal::instance()->getChampflagByAccount("champ"), 3);
    QCOMPARE(VGlobal::instance()->getSummaryByAccount("champ"), QStringLiteral("about me"));
    QCOMPARE(VGlobal::instance()->getUseridByAccount("nobody"), 0);
  }
};

TESMO_CLIENT_TEST_MAIN(TestManagerLinks)
#include "tst_managerlinks.moc"
