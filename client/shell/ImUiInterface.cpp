// The engine bridge: start-up of the engine, the URL table and the report road.
#include "shell/ImUiInterface.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkInterface>

#include "shell/ImNotifyManager.h"
#include "shell/UIMessage.h"

namespace {
// The deployment's entry server; TESMO_SERVER ("host:port") replaces it, e.g. for
// a local test server.
constexpr char kBuiltInHost[] = "im.tesmochat.com";
constexpr int kDesktopDeviceType = 2;

struct UrlRow {
  const char* path;
  const char* kind;
};

const UrlRow kUrlTable[] = {
    {"/navigation/user/sendcheckcode.do", "LOGIN"},
    {"/navigation/national/areanumber.do", "LOGIN"},
    {"/navigation/user/checkaccount.do", "LOGIN"},
    {"/userinfo/user/getdetail.do", "USERSERVER"},
    {"/userinfo/user/sendinviesm.do", "USERSERVER"},
    {"/navigation/qrcode/getuserinfo.do", "LOGIN"},
    {"/speech/translate/process.do", "SPEECHSERVER"},
    {"/userinfo/user/setblack.do", "USERSERVER"},
    {"/userinfo/user/setremark.do", "USERSERVER"},
    {"/navigation/user/searchaccount.do", "LOGIN"},
    {"/public/info/querycurrency.do", "PUBSERVER"},
    {"/im/message/group/getprevhistory.do", "IMSERVER"},
};

ImUiInterface* g_instance = nullptr;
}  // namespace

ImUiInterface* ImUiInterface::instance() {
  if (!g_instance) g_instance = new ImUiInterface;
  return g_instance;
}

ImUiInterface::ImUiInterface()
    : m_host(QString::fromLatin1(kBuiltInHost)),
      m_port(kDefaultPort),
      m_notifyManager(new ImNotifyManager) {
  const QString override = qEnvironmentVariable("TESMO_SERVER");
  if (!override.isEmpty()) {
    m_overridden = parseServer(override, &m_host, &m_port);
    if (!m_overridden) qWarning() << Q_FUNC_INFO << "ignoring malformed TESMO_SERVER:" << override;
  }
  qDebug() << Q_FUNC_INFO << "host = " << m_host;
  qDebug() << Q_FUNC_INFO << "port = " << m_port;
}

ImUiInterface::~ImUiInterface() { delete m_notifyManager; }

bool ImUiInterface::parseServer(const QString& text, QString* host, int* port) {
  const QString trimmed = text.trimmed();
  const int colon = trimmed.lastIndexOf(QLatin1Char(':'));
  const QString name = colon < 0 ? trimmed : trimmed.left(colon);
  int number = kDefaultPort;
  if (colon >= 0) {
    bool ok = false;
    number = trimmed.mid(colon + 1).toInt(&ok);
    if (!ok || number < 1 || number > 65535) return false;
  }
  if (name.isEmpty() || name.contains(QLatin1Char(':'))) return false;
  *host = name;
  *port = number;
  return true;
}

QString ImUiInterface::deploymentHost(const QString& builtIn) const {
  if (!m_overridden) return builtIn;
  return m_host + QLatin1Char(':') + QString::number(m_port);
}

QString ImUiInterface::besideProgram(const QString& path) {
  if (QDir::isAbsolutePath(path)) return path;
  const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
  return QDir::cleanPath(QFileInfo(program).absolutePath() + QLatin1Char('/') + path);
}

void ImUiInterface::initInterface() {
  qDebug() << Q_FUNC_INFO;
  if (m_started) return;
  m_started = true;
  Init();
  SetCallBack(ui_CallBack);
  UseOpenssl("", "", "");
  SetHttpLog(besideProgram(QStringLiteral("./http.log")).toUtf8().constData());
  SetNationPrefix(besideProgram(QStringLiteral("./res/ca/NationPrefix.txt")).toUtf8().constData());
  SetServerInfo(m_host.toUtf8().constData(), m_port);
  SetDeviceType(kDesktopDeviceType);
  for (const UrlRow& row : kUrlTable)
    m_urlTable.insert(QString::fromLatin1(row.path), QString::fromLatin1(row.kind));
  Run();
}

void ImUiInterface::releaseInterface() {
  qDebug() << Q_FUNC_INFO;
  // Release joins every engine thread, so no callback runs after it; what they
  // posted before is freed here rather than delivered to managers about to go.
  Release();
  m_notifyManager->dropPending();
  m_started = false;
}

QString ImUiInterface::getUrl(const QString& path) {
  qDebug() << Q_FUNC_INFO << path;
  QString url;
  const auto it = m_urlTable.constFind(path);
  if (it != m_urlTable.constEnd())
    url = QString::fromUtf8(
        CreateRequestURL(path.toUtf8().constData(), it.value().toUtf8().constData()));
  qDebug() << Q_FUNC_INFO << "url = " << url;
  return url;
}

void ImUiInterface::notify(const UIMessage* msg) {
  qDebug() << Q_FUNC_INFO << static_cast<const void*>(msg);
  m_notifyManager->doNotify(msg);
}

const char* ImUiInterface::GetIPAddress(int type) {
  qDebug() << Q_FUNC_INFO << type;
  // Valid until the calling thread asks again.
  thread_local QByteArray address;
  address.clear();
  if (type == 0) {
    QHostAddress chosen(QHostAddress::LocalHost);
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    for (const QHostAddress& candidate : all) {
      if (candidate.protocol() == QAbstractSocket::IPv4Protocol &&
          candidate != QHostAddress(QHostAddress::LocalHost)) {
        chosen = candidate;
        break;
      }
    }
    address = chosen.toString().toUtf8();
  }
  qDebug() << Q_FUNC_INFO << "address = " << address;
  return address.constData();
}

void ui_CallBack(int method, int status, int dialogID, int timer, const char* arg1) {
  if (method == _EVENT_REPORT_RUN) {
    qDebug() << "<<<TesChat>>>  Report run  success\n";
    return;
  }
  UIMessage* msg = new UIMessage;
  msg->m_Method = method;
  msg->m_Status = status;
  msg->m_DialogID = dialogID;
  msg->m_Timer = timer;
  msg->m_Arg1 = QString::fromUtf8(arg1 ? arg1 : "");
  qDebug() << "ui_CallBack : "
           << "method = " << method;
  qDebug() << "ui_CallBack : "
           << "status = " << status;
  qDebug() << "ui_CallBack : "
           << "dialogID = " << dialogID;
  qDebug() << "ui_CallBack : "
           << "timer = " << timer;
  // The text carries message contents and account data: its length only, as the
  // output may be kept (the desktop's journal).
  qDebug() << "ui_CallBack : "
           << "m_Arg1 length = " << msg->m_Arg1.size();
  ImUiInterface::instance()->notify(msg);
}
