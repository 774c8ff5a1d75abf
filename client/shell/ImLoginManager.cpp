#include "shell/ImLoginManager.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include "shell/ImLoginManagerPrivate.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VConfig.h"
#include "shell/VCrashDump.h"
#include "shell/VExitCleanup.h"
#include "shell/VGlobal.h"

namespace {
constexpr int kMaxAccountNameBytes = 127;
// The maker's configuration store and default web host; TESMO_SERVER replaces both.
const char kConfigHost[] = "cfg.tesmochat.com";
const char kConfigPath[] = "/bit/app.cfg";
const char kDefaultWebHost[] = "web.tesmochat.com";

// Engine texts live in a buffer the next call reuses: copied at once.
QString EngineText(const char* text) { return QString::fromUtf8(text ? text : ""); }
}  // namespace

ImLoginManager::ImLoginManager(QObject* parent) : QObject(parent), d(new ImLoginManagerPrivate) {
  qRegisterMetaType<ImLoginManager*>("ImLoginManager*");
  connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
          &ImLoginManager::onNotify);
}

ImLoginManager::~ImLoginManager() = default;

ImLoginManager* ImLoginManager::instance() {
  static ImLoginManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImLoginManager; });
}

bool ImLoginManager::isSafeAccountName(const QString& account) {
  if (account.isEmpty() || account.toUtf8().size() > kMaxAccountNameBytes) return false;
  if (account.contains(QLatin1Char('/')) || account.contains(QLatin1Char('\\'))) return false;
  // "." would be the data folder itself, shared by every account.
  if (account == QLatin1String(".") || account.contains(QStringLiteral(".."))) return false;
  for (const QChar c : account)
    if (c.category() == QChar::Other_Control) return false;
  return true;
}

QString ImLoginManager::verifyCode() const { return d->verifyCode; }

void ImLoginManager::setVerifyCode(const QString& code) {
  if (code == d->verifyCode) return;
  d->verifyCode = code;
  emit verifyCodeChanged();
}

bool ImLoginManager::syncMsgPower() const { return d->syncMsgPower; }

void ImLoginManager::setSyncMsgPower(bool power) {
  if (power == d->syncMsgPower) return;
  d->syncMsgPower = power;
  emit syncMsgPowerChanged();
}

QString ImLoginManager::deviceId() const { return d->deviceId; }

void ImLoginManager::login(const QString& phone, const QString& nationCode,
                           const QString& verifyCode) {
  qDebug() << Q_FUNC_INFO;
  // The number names the account's folder: one that could leave it is refused.
  if (!phone.isEmpty() && !isSafeAccountName(phone)) {
    // The number is the user's: the output, kept in the journal, never holds it.
    qWarning() << Q_FUNC_INFO << "refusing a phone number that is no folder name";
    emit loginFailure();
    return;
  }
  VConfig::instance()->setValue(QStringLiteral("LastloginAccount"), phone);
  d->doLogin(phone, nationCode, verifyCode);
  emit logging();
}

void ImLoginManager::QRLogin(const QString& qrInfo) {
  qDebug() << Q_FUNC_INFO;
  // The server's text names the account's folder: never a path of its own.
  if (!isSafeAccountName(qrInfo)) {
    qWarning() << Q_FUNC_INFO << "refusing a login key that is no folder name";
    emit qrcodeInvalid();
    return;
  }
  VConfig::instance()->setValue(QStringLiteral("LastloginAccount"), qrInfo);
  d->doQRLogin(qrInfo);
  emit logging();
}

void ImLoginManager::sendGetVerifycode(const QString& phone, const QString& nationCode) {
  qDebug() << Q_FUNC_INFO;
  d->doSendGetVerifycode(phone, nationCode);
}

QString ImLoginManager::getLocalCheckCode(const QString& checkCode) {
  qDebug() << Q_FUNC_INFO;
  // Not logged: the digest of a short code gives the code back.
  return EngineText(
      ImUiInterface::instance()->EncodePassword(checkCode.toUtf8().constData(), "", 1));
}

QString ImLoginManager::getQRcodeString() {
  qDebug() << Q_FUNC_INFO;
  return d->doGetQRcodeString();
}

QString ImLoginManager::getLocalDataPath(int msgtype) {
  qDebug() << Q_FUNC_INFO;
  QString path;
  switch (msgtype) {
    case 2:
    case 8:
      path = d->imagesFolder;
      break;
    case 4:
      path = d->audioFolder;
      break;
    case 5:
      path = d->videoFolder;
      break;
    default:
      path = d->documentsFolder;
  }
  qDebug() << Q_FUNC_INFO << path;
  return path;
}

bool ImLoginManager::prepareAccountFolders(const QString& account) {
  return d->makeAccountFolders(account);
}

void ImLoginManager::queryCurrency() {
  qDebug() << Q_FUNC_INFO;
  d->doQueryCurrency();
}

void ImLoginManager::downAppCfg() {
  ImUiInterface* bridge = ImUiInterface::instance();
  d->configDialogId = bridge->CreateDialogID();
  const QString target = ImLoginManagerPrivate::appCfgPath();
  qDebug() << "sCfgPath = " << target;
  const QString url = QStringLiteral("https://") +
                      bridge->deploymentHost(QString::fromLatin1(kConfigHost)) +
                      QLatin1String(kConfigPath);
  bridge->DownloadFile(d->configDialogId, url.toUtf8().constData(), target.toUtf8().constData(), 0);
}

QString ImLoginManager::readAppCfg() {
  QString cfg;
  QFile file(ImLoginManagerPrivate::appCfgPath());
  if (file.open(QIODevice::ReadOnly))
    cfg = EngineText(ImUiInterface::instance()->GetAppCfgString(file.readAll().constData()));
  qDebug() << "sCfg = " << cfg;
  return cfg;
}

QString ImLoginManager::getCurrentProUrl() {
  qDebug() << Q_FUNC_INFO;
  QString url;
  const QStringList hosts = listedProHosts(&url);
  if (!hosts.isEmpty()) url = firstAnsweringHost(hosts);
  qDebug() << "sUrl = " << url;
  return url;
}

void ImLoginManager::lookUpCurrentProUrl() {
  qDebug() << Q_FUNC_INFO;
  QString url;
  const QStringList hosts = listedProHosts(&url);
  if (hosts.isEmpty()) {
    // Answered later all the same, so that callers see one way of answering.
    QMetaObject::invokeMethod(
        this, [this, url] { emit currentProUrlReady(url); }, Qt::QueuedConnection);
    return;
  }
  // Each probe may take seconds: the hosts are tried on the look-up thread, and
  // the answer is queued back to this one. The pool is the private part's, whose
  // end waits for a look-up still running, so the answer never outlives this object.
  d->lookUpPool.start([this, hosts] {
    const QString found = firstAnsweringHost(hosts);
    QMetaObject::invokeMethod(
        this, [this, found] { emit currentProUrlReady(found); }, Qt::QueuedConnection);
  });
}

QStringList ImLoginManager::listedProHosts(QString* answer) {
  ImUiInterface* bridge = ImUiInterface::instance();
  answer->clear();
  const QString cfg = readAppCfg();
  const QJsonObject config = QJsonObject::fromVariantMap(bridge->convJsonToVariantMap(cfg));
  const QJsonValue hosts =
      config.value(QStringLiteral("mac_domain")).toObject().value(QStringLiteral("pro_host"));
  const QJsonArray list = hosts.isArray() ? hosts.toArray() : QJsonArray();
  // A test deployment's web host is its own server; its listed hosts are not asked.
  // It may name a whole address on its own host instead: the web engine does not
  // trust the deployment's own certificate authority, so its page may be plain http.
  if (bridge->serverOverridden()) {
    const QString page = list.isEmpty() ? QString() : list.first().toString();
    const QUrl url(page, QUrl::StrictMode);
    const bool web =
        url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    *answer = web && url.isValid() && url.host() == bridge->serverHost()
                  ? page
                  : bridge->deploymentHost(QString());
    return {};
  }
  if (cfg.isEmpty()) return {};
  qDebug() << Q_FUNC_INFO << list.size() << list;
  QStringList texts;
  for (const QJsonValue& entry : list) texts << entry.toString();
  return texts;
}

QString ImLoginManager::firstAnsweringHost(const QStringList& hosts) {
  for (const QString& host : hosts) {
    qDebug() << "sTmp = " << host;
    if (!host.isEmpty() && VGlobal::ping(host)) return host;
  }
  return QString::fromLatin1(kDefaultWebHost);
}

void ImLoginManager::onNotify(const UIMessage* pMsg) {
  switch (pMsg->m_Method) {
    case _EVENT_LOGIN_SUCCESS:
      onLoginSuccess(pMsg);
      break;
    case _EVENT_LOGIN_FAIL:
      qDebug() << "_EVENT_LOGIN_FAIL";
      emit loginFailure();
      break;
    case _EVENT_REPORT_QRLOGIN:
      if (pMsg->m_Status == 0) {
        qDebug() << Q_FUNC_INFO << "scan confirmed";
        QRLogin(pMsg->m_Arg1);
      } else {
        emit qrcodeInvalid();
      }
      break;
    case _EVENT_RECV_KICKOUT:
    case _EVENT_REPORT_SYSKICKOUT:
      onKickOut(pMsg);
      break;
    case _REQUEST_HTTP_SENDGET:
    case _REQUEST_HTTP_SENDPOST:
      onHttpReply(pMsg);
      break;
    case _REQUEST_HTTP_UPLOADDUMP:
      // Only the crash dump's own upload; other ids belong to no one here.
      if (pMsg->m_DialogID != VCrashDump::kUploadDialogId) break;
      qDebug() << "_REQUEST_HTTP_UPLOADDUMP";
      VCrashDump::onCrashDumpUploaded(pMsg->m_Status);
      break;
    default:
      break;
  }
  qDebug() << Q_FUNC_INFO << "end";
}

void ImLoginManager::onLoginSuccess(const UIMessage* msg) {
  ImUiInterface* bridge = ImUiInterface::instance();
  qDebug() << "--time::---_EVENT_LOGIN_SUCCESS " << bridge->getCurrentTime();
  const QVariantMap reply = bridge->convJsonToVariantMap(msg->m_Arg1);
  if (reply.isEmpty()) return;
  const QVariantMap result = reply.value(QStringLiteral("result")).toMap();
  if (result.isEmpty()) return;
  const int usertype = result.value(QStringLiteral("usertype"), 0).toInt();
  qDebug() << "nUsertype = " << usertype;
  setSyncMsgPower(usertype != 0);
  downAppCfg();
  // The profile is stored before anyone hears of the login, so handlers of
  // loginSuccess already see the account.
  VConfig* config = VConfig::instance();
  config->setValue(QStringLiteral("MY_ACCOUNT"), EngineText(bridge->GetMyAccount()));
  config->setValue(QStringLiteral("MY_USERID"), EngineText(bridge->GetMyUserID()));
  config->setValue(QStringLiteral("MY_NAME"), EngineText(bridge->GetMyName()));
  config->setValue(QStringLiteral("MY_LOGO"), EngineText(bridge->GetMyLogo()));
  config->setValue(QStringLiteral("MY_BIGLOGO"), EngineText(bridge->GetMyBigLogo()));
  config->setValue(QStringLiteral("MY_SUMMARY"), EngineText(bridge->GetMySummary()));
  config->setValue(QStringLiteral("MY_CHAMPFLAG"), bridge->GetChampFlag());
  emit loginSuccess();
  VCrashDump::uploadCrashDump();
}

void ImLoginManager::onKickOut(const UIMessage* msg) {
  qDebug() << "_EVENT_RECV_KICKOUT || _EVENT_REPORT_SYSKICKOUT";
  emit recvKickOut(msg->m_Arg1);
  emit accountDataWipe();
}

void ImLoginManager::onHttpReply(const UIMessage* msg) {
  if (msg->m_Status != 0) return;
  // Every manager's replies pass here (translations of messages among them): only
  // their size is logged.
  qDebug() << Q_FUNC_INFO << msg->m_DialogID << "text length = " << msg->m_Arg1.size();
  const QVariantMap reply = ImUiInterface::instance()->convJsonToVariantMap(msg->m_Arg1);
  if (reply.isEmpty()) return;
  const QVariantMap result = reply.value(QStringLiteral("result")).toMap();
  if (result.isEmpty()) return;
  // Id 0 is no request of ours.
  if (msg->m_DialogID == 0) return;
  if (msg->m_DialogID == d->verifyCodeDialogId) {
    setVerifyCode(result.value(QStringLiteral("verifycode")).toString());
  } else if (msg->m_DialogID == d->coinQueryDialogId) {
    const QVariant params = result.value(QStringLiteral("params"));
    if (params.isNull()) return;
    emit currencyListReceived(QJsonArray::fromVariantList(params.toList()));
  }
}
