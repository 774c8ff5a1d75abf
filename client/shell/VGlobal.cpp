// The global utility object: connection state, sounds, flags, mentions, recall
// windows and the network probe. The file and text helpers are in VGlobalFiles.cpp.
#include "shell/VGlobal.h"

#include <QDateTime>
#include <QDebug>
#include <QMap>
#include <QtGlobal>

#include "contacts/ImContactsManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VCheckNetworkConnectionThread.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"
#include "shell/VGlobalPrivate.h"
#include "shell/VQuietProcess.h"
#include "shell/VSoundPlayThread.h"
#include "shell/VTranslator.h"
#include "shell/VWindowTranslucency.h"

// The system's online notifications come only from the deprecated bearer API in Qt 5.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
#include <QNetworkConfigurationManager>

namespace {
const QString kAtAllMembers = QStringLiteral("AT_ALL_MEMBERS");
const QString kSendTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
// A public host that answers echo requests; TESMO_SERVER replaces it so that a
// test deployment probes its own server.
constexpr char kProbeHost[] = "www.tesmochat.com";
// The maker's web site; TESMO_SERVER replaces its host as for every deployment host.
constexpr char kMakerWebHost[] = "www.tesmochat.com";
// ping -W 1 gives up after a second by itself; this bounds a ping that hangs.
constexpr int kPingWaitMs = 2000;

qint64 SystemClock() { return QDateTime::currentMSecsSinceEpoch(); }

VGlobal::Clock g_clock = SystemClock;
VGlobal::VConnectionState g_connectionState = VGlobal::DISCONNECT;
bool g_windowActive = false;
bool g_alertMessageShowing = false;
qint64 g_lastSoundTime = 0;
QMap<QString, QString>& MentionNames() {
  static QMap<QString, QString> names;
  return names;
}
QStringList& MentionList() {
  static QStringList accounts;
  return accounts;
}

// A look-up on the contact list, which answers through its invokable operations.
template <typename T>
T AskContacts(const char* method, const QString& account, T fallback) {
  T result = fallback;
  if (!QMetaObject::invokeMethod(ImContactsManager::instance(), method, Qt::DirectConnection,
                                 QReturnArgument<T>(QMetaType::typeName(qMetaTypeId<T>()), result),
                                 Q_ARG(QString, account)))
    qWarning() << "contact list has no" << method;
  return result;
}

bool WithinWindow(const QString& sendtime, qint64 windowMs) {
  const QDateTime sent = QDateTime::fromString(sendtime, kSendTimeFormat);
  // A time that does not parse is outside every window.
  if (!sent.isValid()) return false;
  return VGlobal::now() <= sent.toMSecsSinceEpoch() + windowMs;
}
}  // namespace

void VGlobal::setClock(Clock clock) { g_clock = clock ? clock : SystemClock; }

qint64 VGlobal::now() { return g_clock(); }

VGlobal::VGlobal(QObject* parent) : QObject(parent), d(new VGlobalPrivate) {
  // Queued receivers and QML handlers of connectionStateChanged need the type.
  qRegisterMetaType<VConnectionState>("VConnectionState");
  qRegisterMetaType<VSound>("VSound");
  d->networkWatch = new QNetworkConfigurationManager(this);
  d->checkThread = new VCheckNetworkConnectionThread(this);
  d->reconnectTimer = new QTimer(this);
  d->hardCheckTimer = new QTimer(this);
  d->soundThread = new VSoundPlayThread(this);
  d->online = d->networkWatch->isOnline();

  connect(d->networkWatch, &QNetworkConfigurationManager::onlineStateChanged, this,
          &VGlobal::onlineStateChanged);
  connect(d->checkThread, &VCheckNetworkConnectionThread::networkConnectionStateChanged, this,
          &VGlobal::networkConnectionStateChanged);
  connect(d->reconnectTimer, &QTimer::timeout, d->checkThread,
          &VCheckNetworkConnectionThread::checkNetworkConnection);
  connect(d->hardCheckTimer, &QTimer::timeout, d->checkThread,
          &VCheckNetworkConnectionThread::checkHardConnection);
  connect(d->checkThread, &VCheckNetworkConnectionThread::hardConnectionStateChanged, this,
          &VGlobal::onProbeResult);

  if (d->online) {
    g_connectionState = CONNECT;
  } else {
    // The system's word is only a hint: the check thread probes, so that a
    // probe that takes its time never holds up the start. Until it answers the
    // state says what the system said.
    g_connectionState = DISCONNECT;
    d->startProbePending = true;
    emit d->checkThread->checkHardConnection();
  }
  d->hardCheckTimer->setInterval(kHardCheckIntervalMs);
}

QT_WARNING_POP

VGlobal::~VGlobal() = default;

VGlobal* VGlobal::instance() {
  static VGlobal* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new VGlobal; });
}

VGlobal::VConnectionState VGlobal::connectionState() const { return g_connectionState; }

bool VGlobal::animationEnabled() const { return d->animationEnabled; }

int VGlobal::dialogShowing() const { return d->dialogShowing && !g_alertMessageShowing ? 1 : 0; }

bool VGlobal::alertMessageShowing() const { return g_alertMessageShowing; }

void VGlobal::setAlertMessageShowing(bool showing) {
  if (showing == g_alertMessageShowing) return;
  g_alertMessageShowing = showing;
  emit alertMessageShowingChanged();
}

bool VGlobal::currentOsIsWindows() const {
#ifdef Q_OS_WIN
  return true;
#else
  return false;
#endif
}

bool VGlobal::translucentWindows() const { return VWindowTranslucency::available(); }

bool VGlobal::isOnline() const { return d->online; }

bool VGlobal::serverReachable() const {
  return ImUiInterface::instance()->LoginState() != 0 || g_connectionState == CONNECT;
}

bool VGlobal::active() const { return g_windowActive; }

void VGlobal::setActive(bool active) {
  qDebug() << Q_FUNC_INFO << active;
  if (active) {
    emit d->checkThread->checkHardConnection();
    d->hardCheckTimer->start(kHardCheckIntervalMs);
  } else {
    d->hardCheckTimer->stop();
  }
  if (active == g_windowActive) return;
  g_windowActive = active;
  emit windowAcitveChanged(active);
}

void VGlobal::setDialogShowing(bool showing) {
  if (showing == d->dialogShowing) return;
  d->dialogShowing = showing;
  emit dialogShowingChanged();
}

void VGlobal::setConnectionState(VConnectionState state) {
  g_connectionState = state;
  emit connectionStateChanged(state);
}

void VGlobal::onlineStateChanged(bool isOnline) {
  qDebug() << Q_FUNC_INFO << isOnline;
  // The system's word is only a hint; the probe, run on the check thread,
  // decides (onProbeResult).
  emit d->checkThread->checkHardConnection();
}

void VGlobal::onProbeResult(bool reachable) {
  qDebug() << Q_FUNC_INFO << reachable;
  if (d->startProbePending) {
    // The first answer is the start's own probe (the check thread answers in
    // order): it sets the state, not the online flag. A state changed meanwhile
    // stands.
    d->startProbePending = false;
    if (reachable && g_connectionState == DISCONNECT) setConnectionState(CONNECT);
    return;
  }
  if (reachable == d->online) return;
  if (reachable) {
    d->reconnectTimer->start(kReconnectIntervalMs);
    setConnectionState(CONNECTING);
  } else {
    // Nothing left to confirm; the next notification or hard check starts again.
    d->reconnectTimer->stop();
    setConnectionState(DISCONNECT);
  }
  d->online = reachable;
}

void VGlobal::networkConnectionStateChanged(bool isOnline) {
  qDebug() << Q_FUNC_INFO << isOnline;
  // The check thread's probe has just answered.
  if (!isOnline) return;
  d->reconnectTimer->stop();
  g_connectionState = CONNECT;
  playSound(NETWORKCONNECTED);
  emit connectionStateChanged(CONNECT);
}

void VGlobal::playSound(VSound sound) {
  qDebug() << Q_FUNC_INFO << sound;
  if (!VConfig::instance()->messagePromptToneSwitch()) return;
  if (sound == NETWORKCONNECTED && ImUiInterface::instance()->LoginState() == 0) return;
  const qint64 current = now();
  const qint64 since = current - g_lastSoundTime;
  if (since >= 0 && since <= kSoundGuardMs) return;
  QString source;
  switch (sound) {
    case MESSAGE:
      source = QStringLiteral(":/sound/message.wav");
      break;
    case LOGINSUCCESS:
      source = QStringLiteral(":/sound/loginSuccess.wav");
      break;
    case NETWORKCONNECTED:
      source = QStringLiteral(":/sound/networkconnected.wav");
      break;
  }
  if (source.isEmpty()) return;
  emit d->soundThread->play(source);
  g_lastSoundTime = current;
}

QString VGlobal::getSummaryByAccount(const QString& account) {
  return AskContacts<QString>("getSummary", account, QString());
}

int VGlobal::getUseridByAccount(const QString& account) {
  return AskContacts<int>("getUserid", account, 0);
}

int VGlobal::getChampflagByAccount(const QString& account) {
  return AskContacts<int>("getChampflag", account, 0);
}

void VGlobal::kickOutToLogin() { emit showLoginPage(); }

bool VGlobal::isRecallable(const QString& sendtime) const {
  return WithinWindow(sendtime, kRecallWindowMs);
}

bool VGlobal::isRecallMessageEditable(const QString& sendtime) const {
  return WithinWindow(sendtime, kRecallEditWindowMs);
}

QString VGlobal::atAllMembers() const { return kAtAllMembers; }

QString VGlobal::atName(const QString& account) const {
  const auto it = MentionNames().constFind(account);
  if (it != MentionNames().constEnd()) return it.value();
  if (account != kAtAllMembers) return account;
  switch (VTranslator::currentLanguage()) {
    case VTranslator::ZH_CN:
    case VTranslator::ZH_TW:
      return QStringLiteral("所有人");
    case VTranslator::KO_KR:
      return QStringLiteral("모든");
    default:
      return QStringLiteral("All");
  }
}

void VGlobal::atSomebody(const QString& account, const QString& name) {
  const QString shown = account == kAtAllMembers ? atName(account) : name;
  if (!MentionNames().contains(account)) MentionNames().insert(account, shown);
  emit atSomebodyAccount(account, shown);
}

void VGlobal::updateAtSomebodyList(const QStringList& accounts) { MentionList() = accounts; }

QStringList VGlobal::atSomebodyList(const QStringList& currentAtNames) const {
  QStringList accounts;
  for (const QString& name : currentAtNames) {
    if (name.isEmpty()) continue;
    for (auto it = MentionNames().constBegin(); it != MentionNames().constEnd(); ++it) {
      if (it.value() == name) {
        accounts << it.key();
        break;
      }
    }
  }
  return accounts;
}

bool VGlobal::isAtAll() const { return MentionNames().contains(kAtAllMembers); }

bool VGlobal::atNameContains(const QString& name) const {
  for (const QString& stored : MentionNames())
    if (stored == name) return true;
  return false;
}

QString VGlobal::probeHost() {
  ImUiInterface* bridge = ImUiInterface::instance();
  return bridge->serverOverridden() ? bridge->serverHost() : QString::fromLatin1(kProbeHost);
}

QString VGlobal::makerWebSite() const {
  return QStringLiteral("https://") +
         ImUiInterface::instance()->deploymentHost(QString::fromLatin1(kMakerWebHost)) +
         QLatin1Char('/');
}

bool VGlobal::ping(const QString& host) {
  qDebug() << Q_FUNC_INFO << host;
  // Never let a host be read as an option of ping.
  if (host.isEmpty() || host.startsWith(QLatin1Char('-'))) return false;
  const int exitCode = VQuietProcess::run(
      QStringLiteral("ping"),
      {QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-W"), QStringLiteral("1"),
       QStringLiteral("--"), host},
      kPingWaitMs);
  // Not started, killed or not finished in time: unknown, so not reachable.
  qDebug() << "exitCode: " << exitCode;
  return exitCode == 0;
}
