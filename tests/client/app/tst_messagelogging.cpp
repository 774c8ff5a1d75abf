// What the program writes to its output while messages pass: desktop sessions keep
// that output in the journal, so no message text or translation may be in it; the
// bridge names the report's code and the text's length.
#include <QJsonDocument>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ImCreateClassManager.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "support/ClientTestMain.h"
#include "support/MessageRows.h"
#include "support/OutputCapture.h"
#include "support/ReportDelivery.h"

namespace {

const QString kSecret = QStringLiteral("Meet at pier 7 with the k3y");

// The dialog id of the latest recorded call of this name (its first argument); 0
// when there was none.
int LastDialogOf(const std::string& name) {
  int dialog = 0;
  for (const std::string& call : EngineDouble::Calls())
    if (call.rfind(name + "(", 0) == 0) dialog = std::atoi(call.c_str() + name.size() + 1);
  return dialog;
}

QString Json(const QVariantMap& map) {
  return QString::fromUtf8(QJsonDocument::fromVariant(map).toJson(QJsonDocument::Compact));
}

bool HasCall(const std::string& name) {
  for (const std::string& call : EngineDouble::Calls())
    if (call.rfind(name + "(", 0) == 0) return true;
  return false;
}

enum class Passage { Received, Sent, Forwarded, SentToSeveral, Translated };

}  // namespace

Q_DECLARE_METATYPE(Passage)

class TestMessageLogging : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QQmlEngine m_qml;
  QScopedPointer<ImCreateClassManager> m_bootstrap;
  QScopedPointer<OutputCapture::Capture> m_output;

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    ImUiInterface::instance()->initInterface();
    EngineDouble::SetText("GetMyAccount", "me");
    VConfig::instance()->setValue(QStringLiteral("MY_ACCOUNT"), QStringLiteral("me"));
    QVERIFY(ImUiInterface::instance()->SetDatabase(m_dir.filePath("log.db").toUtf8().constData()) >
            0);
    m_bootstrap.reset(new ImCreateClassManager(m_qml.rootContext()));
    m_bootstrap->initPreClass();
    m_bootstrap->createPostClass();
    ImSessionManager::instance()->entrySession(QStringLiteral("friend"), 0);
    m_output.reset(new OutputCapture::Capture);
  }

  void cleanupTestCase() {
    m_output.reset();
    m_bootstrap.reset();
  }

  void init() { m_output->clear(); }

  void noMessageTextInTheOutput_data() {
    QTest::addColumn<Passage>("passage");
    QTest::newRow("received through the bridge") << Passage::Received;
    QTest::newRow("sent") << Passage::Sent;
    QTest::newRow("forwarded") << Passage::Forwarded;
    QTest::newRow("sent to several") << Passage::SentToSeveral;
    QTest::newRow("translation answered") << Passage::Translated;
  }

  void noMessageTextInTheOutput() {
    QFETCH(Passage, passage);
    ImSessionManager* session = ImSessionManager::instance();
    QString report;
    switch (passage) {
      case Passage::Received: {
        MessageRows::Message message;
        message.from = "friend";
        message.to = "me";
        message.content = kSecret;
        const int id = MessageRows::StoreNewest("friend", message);
        QVERIFY(id > 0);
        const QVariantMap remark{{"from", QVariantMap{{"nick", "F"}}}};
        report = Json({{"id", id},
                       {"fromuser", "friend"},
                       {"touser", "me"},
                       {"totype", 0},
                       {"msgtype", 0},
                       {"content", kSecret},
                       {"sendflag", 0},
                       {"remark", Json(remark)}});
        QVERIFY(ReportDelivery::Deliver(_EVENT_COME_IMMESSAGE, 0, 0, report.toStdString()));
        QTRY_VERIFY(session->getMsgEntity(id));
        QCOMPARE(session->getMsgEntity(id)->content(), kSecret);
        break;
      }
      case Passage::Sent:
        session->sendTextMsg(QStringLiteral("friend"), kSecret);
        break;
      case Passage::Forwarded: {
        const QVariantMap sent = session->buildTextMsg(QStringLiteral("friend"), kSecret);
        session->updateDataToView(sent);
        session->transmitMsg(QStringList{QStringLiteral("other")}, sent.value("id").toInt(), 0,
                             kSecret);
        QTRY_VERIFY(HasCall("FwSendMsg"));
        break;
      }
      case Passage::SentToSeveral: {
        session->sendSyncTextMsg(QStringList{QStringLiteral("a"), QStringLiteral("b")}, kSecret);
        QTRY_VERIFY(ImSessionListManager::instance()->getSession(QStringLiteral("b")));
        break;
      }
      case Passage::Translated: {
        session->translate(1, QStringLiteral("en"), QStringLiteral("de"), kSecret);
        const int dialog = LastDialogOf("SendPost");
        QVERIFY(dialog != 0);
        report = Json({{"result", QVariantMap{{"text", kSecret}}}});
        QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDPOST, 0, dialog, report.toStdString()));
        break;
      }
    }
    // Reports of the engine's own arrive too: the one sent here is awaited by its line.
    if (!report.isEmpty()) {
      const QString line = QStringLiteral("ui_CallBack :  m_Arg1 length =  %1").arg(report.size());
      QTRY_VERIFY2(m_output->lines().contains(line), qPrintable(line));
    }
    QCoreApplication::processEvents();
    const QStringList lines = m_output->lines();
    QVERIFY(!lines.isEmpty());
    for (const QString& line : lines) QVERIFY2(!line.contains(kSecret), qPrintable(line));
  }
};

TESMO_CLIENT_TEST_MAIN(TestMessageLogging)
#include "tst_messagelogging.moc"
