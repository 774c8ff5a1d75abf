// Qt Quick tests of the contacts page, the group drawer and the group pickers over
// the real managers and the engine test double: each tst_*.qml file under qml/ runs
// with the program's context objects, a database of its own and "fixture", through
// which the QML tests fill tables, script engine replies and read the requests.
#include <QDir>
#include <QJsonDocument>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngine>
#include <string>
#include <vector>

#include "app/ImCreateClassManager.h"
#include "app/VStartup.h"
#include "contacts/GroupTestSupport.h"
#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"
#include "support/QuickTestMain.h"
#include "support/StubPing.h"

class ContactsFixture : public QObject {
  Q_OBJECT
  Q_PROPERTY(int groupCommand READ groupCommand CONSTANT)
  Q_PROPERTY(int sendPost READ sendPost CONSTANT)
  Q_PROPERTY(int userCommand READ userCommand CONSTANT)
  Q_PROPERTY(int groupNotice READ groupNotice CONSTANT)

 public:
  explicit ContactsFixture(const QString& folder) : m_folder(folder) {}

  int groupCommand() const { return _REQUEST_HTTP_GROUPCOMMAND; }
  int sendPost() const { return _REQUEST_HTTP_SENDPOST; }
  int userCommand() const { return _REQUEST_HTTP_USERCOMMAND; }
  int groupNotice() const { return _EVENT_COME_GROUPNOTIFY; }

  // A fresh database and a fresh record of requests; the own account is "me".
  Q_INVOKABLE bool newDatabase() {
    settle();
    EngineDouble::Reset();
    EngineDouble::SetText("GetMyAccount", "me");
    const QString path = m_folder + QStringLiteral("/db%1.db").arg(++m_databases);
    const bool opened = ImUiInterface::instance()->SetDatabase(path.toUtf8().constData()) > 0;
    VConfig::instance()->setValue(QStringLiteral("MY_ACCOUNT"), QStringLiteral("me"));
    VConfig::instance()->setValue(QStringLiteral("MY_NAME"), QStringLiteral("Myself"));
    return opened;
  }

  Q_INVOKABLE bool exec(const QString& sql) { return ImUiInterface::instance()->dbExecSql(sql); }

  Q_INVOKABLE bool addContact(int userid, const QString& account, const QString& name,
                              bool isFriend = true, int champflag = 0) {
    QString quotedName = name;
    quotedName.replace('\'', QStringLiteral("''"));
    return exec(QStringLiteral("INSERT INTO nq_contact (userid, account, name, logo, summary, "
                               "isfriend, champflag) VALUES (%1, '%2', '%3', '', 'about %2', "
                               "%4, %5)")
                    .arg(userid)
                    .arg(account, quotedName)
                    .arg(isFriend ? 1 : 0)
                    .arg(champflag));
  }

  Q_INVOKABLE bool addGroup(const QString& groupid, const QString& name, int usercount = 3,
                            int type = 0) {
    return exec(QStringLiteral("INSERT INTO nq_group (groupid, parentid, groupname, grouplogo, "
                               "usercount, groupstate, type) VALUES ('%1', '', '%2', '', %3, 0, "
                               "%4)")
                    .arg(groupid, name)
                    .arg(usercount)
                    .arg(type));
  }

  Q_INVOKABLE void setText(const QString& method, const QString& text) {
    EngineDouble::SetText(method.toStdString(), text.toStdString());
  }

  Q_INVOKABLE void setInt(const QString& method, int value) {
    EngineDouble::SetInt(method.toStdString(), value);
  }

  // How the double answers the next requests of this kind.
  Q_INVOKABLE void setReply(int code, int status, const QString& text) {
    EngineDouble::SetReply(code, status, text.toStdString());
  }

  // An engine report with no request behind it (a group notice), as the engine
  // raises it.
  Q_INVOKABLE void raise(int code, int status, const QString& text) {
    EngineDouble::Raise(0, code, status, 0, 0, text.toStdString());
  }

  // The JSON bodies of the group commands sent so far, optionally of one "cmd".
  Q_INVOKABLE QVariantList groupCommands(const QString& cmd = QString()) const {
    QVariantList bodies;
    for (const QVariant& body : bodiesOf(QStringLiteral("GroupCommand")))
      if (cmd.isEmpty() || body.toMap().value(QStringLiteral("cmd")).toString() == cmd)
        bodies << body;
    return bodies;
  }

  // The JSON bodies (last argument) of the calls of this name so far.
  Q_INVOKABLE QVariantList bodiesOf(const QString& name) const {
    QVariantList bodies;
    for (const QString& call : calls(name)) bodies << lastArgumentJson(call);
    return bodies;
  }

  // The posts sent so far ("url body" of each), optionally to one path.
  Q_INVOKABLE QStringList posts(const QString& path = QString()) const {
    QStringList found;
    for (const QString& call : calls(QStringLiteral("SendPost")))
      if (path.isEmpty() || call.contains(path)) found << call;
    return found;
  }

  Q_INVOKABLE QStringList calls(const QString& name) const {
    QStringList found;
    const std::string prefix = name.toStdString() + "(";
    for (const std::string& call : EngineDouble::Calls())
      if (call.rfind(prefix, 0) == 0) found << QString::fromStdString(call);
    return found;
  }

  Q_INVOKABLE void clearCalls() {
    settle();
    EngineDouble::Reset();
    EngineDouble::SetText("GetMyAccount", "me");
  }

  Q_INVOKABLE bool settle() { return GroupTest::SettleWithin(); }

  // The network as VGlobal sees it: "connect", "connecting" or "disconnect".
  // The probe answers from the check thread: each step waits for its answer.
  Q_INVOKABLE bool setConnection(const QString& state) {
    VGlobal* global = VGlobal::instance();
    const auto reached = [global](VGlobal::VConnectionState wanted) {
      return QTest::qWaitFor([&] { return global->connectionState() == wanted; }, 5000);
    };
    m_ping.set(StubPing::Mode::Unreachable);
    QMetaObject::invokeMethod(global, "onlineStateChanged", Q_ARG(bool, false));
    if (!reached(VGlobal::DISCONNECT) || state == QLatin1String("disconnect")) return true;
    m_ping.set(StubPing::Mode::Reachable);
    QMetaObject::invokeMethod(global, "onlineStateChanged", Q_ARG(bool, true));
    if (!reached(VGlobal::CONNECTING)) return false;
    if (state == QLatin1String("connect"))
      QMetaObject::invokeMethod(global, "networkConnectionStateChanged", Q_ARG(bool, true));
    return true;
  }

 private:
  static QVariantMap lastArgumentJson(const QString& call) {
    // "Name(id,body)" or "Name(id,url,body)": the body starts at the first "{".
    const int from = call.indexOf(QLatin1Char('{'));
    const QString text = call.mid(from, call.size() - from - 1);
    return QJsonDocument::fromJson(text.toUtf8()).object().toVariantMap();
  }

  QString m_folder;
  int m_databases = 0;
  StubPing::Stub m_ping;
};

class ContactsPagesSetup : public QObject {
  Q_OBJECT

 public:
  ContactsPagesSetup() { ClientTest::PrepareQuickTests(m_home); }

 public slots:
  void applicationAvailable() { ClientTest::SetUpQuickApplication(); }

  void qmlEngineAvailable(QQmlEngine* engine) {
    QSharedPointer<ImCreateClassManager> managers = VStartup::setupEngine(*engine);
    managers->createPostClass();
    m_managers.append(managers);
    if (!m_fixture) m_fixture.reset(new ContactsFixture(m_home.path()));
    engine->rootContext()->setContextProperty(QStringLiteral("fixture"), m_fixture.data());
  }

  void cleanupTestCase() { ClientTest::EndQuickTests(m_managers); }

 private:
  QTemporaryDir m_home;
  QScopedPointer<ContactsFixture> m_fixture;
  QList<QSharedPointer<ImCreateClassManager>> m_managers;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  ContactsPagesSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_contacts", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "tst_contactspages.moc"
