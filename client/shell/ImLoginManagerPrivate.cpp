#include "shell/ImLoginManagerPrivate.h"

#include <cpuid.h>

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QUrl>

#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VPrivateFiles.h"

namespace {
constexpr int kLoginMode = 1;
const char kDatabaseFileName[] = "tesChat.db";
// The maker's mobile-app download page; TESMO_SERVER replaces its host.
const char kDownloadHost[] = "www.tesmochat.com";
const char kDownloadPath[] = "/down/#/tesmochat";

// Values pasted into a query are percent-encoded: a "+" would otherwise arrive
// as a space.
QString Encoded(const QString& value) {
  return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QString NewTransId() { return QString::fromUtf8(ImUiInterface::instance()->NewTransID("")); }

// Upper-case hexadecimal of EDX, then EAX, of the processor identification leaf 1.
QString ComputeDeviceId() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) eax = edx = 0;
  return QString::number(edx, 16).toUpper() + QString::number(eax, 16).toUpper();
}
}  // namespace

ImLoginManagerPrivate::ImLoginManagerPrivate() : deviceId(ComputeDeviceId()) {}

QString ImLoginManagerPrivate::dataBase() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString ImLoginManagerPrivate::appCfgPath() { return dataBase() + QStringLiteral("/app.cfg"); }

bool ImLoginManagerPrivate::makeAccountFolders(const QString& account) {
  if (!ImLoginManager::isSafeAccountName(account)) {
    qWarning() << Q_FUNC_INFO << "refusing an account name that is no folder name";
    return false;
  }
  ImUiInterface* bridge = ImUiInterface::instance();
  const QString folder = dataBase() + QStringLiteral("/data/") + account;
  portraitsFolder = folder + QStringLiteral("/Portraits/");
  bridge->makePath(portraitsFolder);
  audioFolder = folder + QStringLiteral("/Audio/");
  bridge->makePath(audioFolder);
  documentsFolder = folder + QStringLiteral("/Documents/");
  bridge->makePath(documentsFolder);
  imagesFolder = folder + QStringLiteral("/Images/");
  bridge->makePath(imagesFolder);
  videoFolder = folder + QStringLiteral("/Video/");
  bridge->makePath(videoFolder);
  return true;
}

void ImLoginManagerPrivate::initDatabase(const QString& path) {
  // The path names the account (a phone number): it stays out of the output.
  qDebug() << Q_FUNC_INFO;
  {
    // Replaces the default connection of an earlier login.
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    database.setDatabaseName(path);
    if (!QFileInfo::exists(path)) {
      qDebug() << "first init and create DB !!!";
      const QString folder = QFileInfo(path).absolutePath();
      if (!QDir(folder).exists()) {
        if (VPrivateFiles::makeFolder(folder))
          qDebug() << "made the database folder";
        else
          qDebug() << "fail to make the database folder";
      }
      // The whole history and the engine's session: created for the user alone.
      VPrivateFiles::prepareFile(path);
      if (database.open()) {
        qDebug() << "created the database";
        database.close();
      } else {
        qDebug() << "fail to open DB !!!";
      }
    } else {
      VPrivateFiles::restrict(path);
    }
  }
  ImUiInterface::instance()->SetDatabase(path.toUtf8().constData());
}

void ImLoginManagerPrivate::doLogin(const QString& phone, const QString& nationCode,
                                    const QString& code) {
  ImUiInterface* bridge = ImUiInterface::instance();
  qDebug() << "--time::---doLogin " << bridge->getCurrentTime();
  if (phone.isEmpty()) {
    qDebug() << "data error !";
    return;
  }
  // Neither the number nor the code goes to the output (the journal keeps it).
  qDebug() << "phone login, nationCode = " << nationCode;
  if (!makeAccountFolders(phone)) return;
  initDatabase(dataBase() + QStringLiteral("/data/") + phone + QLatin1Char('/') +
               QLatin1String(kDatabaseFileName));
  bridge->SetMobileLogin(phone.toUtf8().constData(), nationCode.toUtf8().constData(),
                         code.toUtf8().constData(), deviceId.toUtf8().constData(), kLoginMode);
  bridge->MakeRegister();
}

void ImLoginManagerPrivate::doQRLogin(const QString& qrInfo) {
  ImUiInterface* bridge = ImUiInterface::instance();
  qDebug() << "--time::---doQRLogin " << bridge->getCurrentTime();
  if (!makeAccountFolders(qrInfo)) return;
  initDatabase(dataBase() + QStringLiteral("/data/") + qrInfo + QLatin1Char('/') +
               QLatin1String(kDatabaseFileName));
  bridge->SetQRLogin(qrInfo.toUtf8().constData(), deviceId.toUtf8().constData(), kLoginMode);
  bridge->MakeRegister();
}

void ImLoginManagerPrivate::doSendGetVerifycode(const QString& phone, const QString& nationCode) {
  ImUiInterface* bridge = ImUiInterface::instance();
  const QString url = bridge->getUrl(QStringLiteral("/navigation/user/sendcheckcode.do")) +
                      QStringLiteral("?mobile=") + Encoded(phone) +
                      QStringLiteral("&chkcode=LOGIN&nationcode=") + Encoded(nationCode) +
                      QStringLiteral("&transid=") + Encoded(NewTransId());
  // The query holds the phone number: only the request is logged.
  qDebug() << Q_FUNC_INFO << "asking for a login code, nationCode = " << nationCode;
  verifyCodeDialogId = bridge->CreateDialogID();
  bridge->SendGet(verifyCodeDialogId, url.toUtf8().constData());
}

void ImLoginManagerPrivate::doQueryCurrency() {
  ImUiInterface* bridge = ImUiInterface::instance();
  const QString url = bridge->getUrl(QStringLiteral("/public/info/querycurrency.do")) +
                      QStringLiteral("?transid=") + Encoded(NewTransId()) +
                      QStringLiteral("&language=zh-CN&type=quotation&");
  qDebug() << "sUrl = " << url;
  coinQueryDialogId = bridge->CreateDialogID();
  bridge->SendGet(coinQueryDialogId, url.toUtf8().constData());
}

QString ImLoginManagerPrivate::doGetQRcodeString() {
  ImUiInterface* bridge = ImUiInterface::instance();
  const QString query = QStringLiteral("?auid=") + Encoded(NewTransId()) +
                        QStringLiteral("&device=") + Encoded(deviceId);
  const QString pollUrl =
      bridge->getUrl(QStringLiteral("/navigation/qrcode/getuserinfo.do")) + query;
  qDebug() << "sUrl = " << pollUrl;
  bridge->GetQRUserInfo(pollUrl.toUtf8().constData());
  const QString shown = QStringLiteral("https://") +
                        bridge->deploymentHost(QString::fromLatin1(kDownloadHost)) +
                        QLatin1String(kDownloadPath) + query;
  qDebug() << "sQrURL = " << shown;
  return shown;
}
