#include "shell/VConfig.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>

#include "shell/VExitCleanup.h"
#include "shell/VPrivateFiles.h"

namespace {
const QString kAccountsGroup = QStringLiteral("SETTINGS_ACCOUNTS_GROUP");
const QString kLastLoginAccount = QStringLiteral("LastloginAccount");

// One store for the process. Managers on worker threads read it too (the peer
// account of a message), so every access goes through the lock. Neither is ever
// destroyed: singletons deleted at process exit may still write settings.
QSettings& Store() {
  static QSettings* store = [] {
    auto* settings = new QSettings(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
    // The file is rewritten whole with the rights of the one it replaces: made
    // for the user alone before the first write.
    VPrivateFiles::prepareFile(settings->fileName());
    return settings;
  }();
  return *store;
}

QRecursiveMutex& StoreLock() {
  static QRecursiveMutex* lock = new QRecursiveMutex;
  return *lock;
}

QString& CurrentAccountName() {
  static QString* account = new QString;
  return *account;
}

QVariant Read(const QString& group, const QString& key, const QVariant& defaultValue) {
  QMutexLocker locker(&StoreLock());
  QSettings& store = Store();
  if (group.isEmpty()) return store.value(key, defaultValue);
  store.beginGroup(group);
  const QVariant result = store.value(key, defaultValue);
  store.endGroup();
  return result;
}

// The value already stored under the key. The file gives plain values back as
// text ("2", "true"), so those compare by their text.
bool Unchanged(const QSettings& store, const QString& key, const QVariant& value) {
  if (!store.contains(key)) return false;
  const QVariant stored = store.value(key);
  if (stored.userType() == value.userType()) return stored == value;
  switch (value.userType()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      return stored.userType() == QMetaType::QString && stored.toString() == value.toString();
    default:
      return false;
  }
}

// A write of the value already there is skipped: it would rewrite and sync the
// whole file from the GUI thread for nothing, as at every start.
void Write(const QString& group, const QString& key, const QVariant& value) {
  QMutexLocker locker(&StoreLock());
  QSettings& store = Store();
  if (!group.isEmpty()) store.beginGroup(group);
  if (!Unchanged(store, key, value)) store.setValue(key, value);
  if (!group.isEmpty()) store.endGroup();
}

QString GroupFor(const QString& key) {
  QMutexLocker locker(&StoreLock());
  return key == kLastLoginAccount ? kAccountsGroup : CurrentAccountName();
}
}  // namespace

void VConfig::flush() {
  QMutexLocker locker(&StoreLock());
  Store().sync();
}

VConfig* VConfig::instance() {
  static VConfig* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new VConfig; });
}

VConfig::VConfig() {
  QMutexLocker locker(&StoreLock());
  qDebug() << "SETTINGS =================================> path: " << Store().fileName();
  CurrentAccountName() = Read(kAccountsGroup, kLastLoginAccount, QString()).toString();
}

VConfig::~VConfig() {
  QMutexLocker locker(&StoreLock());
  Store().sync();
}

QVariant VConfig::value(const QString& key, const QVariant& defaultValue) {
  return Read(GroupFor(key), key, defaultValue);
}

void VConfig::setValue(const QString& key, const QVariant& value) {
  // The key only: values hold the phone number and the profile.
  qDebug() << Q_FUNC_INFO << key;
  {
    QMutexLocker locker(&StoreLock());
    if (key == kLastLoginAccount) CurrentAccountName() = value.toString();
    Write(GroupFor(key), key, value);
  }
  // Every write of these keys signals, changed or not: bindings re-read them.
  if (key == QLatin1String("MY_ACCOUNT"))
    emit currentAccountChanged();
  else if (key == QLatin1String("MY_USERID"))
    emit currentUserIDChanged();
  else if (key == QLatin1String("MY_NAME"))
    emit currentUserNameChanged();
  else if (key == QLatin1String("MY_LOGO"))
    emit currentUserLogoChanged();
  else if (key == QLatin1String("MY_BIGLOGO"))
    emit currentUserBigLogoChanged();
  else if (key == QLatin1String("MY_SUMMARY"))
    emit currentUserSummaryChanged();
  else if (key == QLatin1String("MY_CHAMPFLAG"))
    emit champflagChanged();
  else
    return;
  qDebug() << Q_FUNC_INFO << "emitted for" << key;
}

QVariant VConfig::value(const QString& key, const QString& group, const QVariant& defaultValue) {
  return Read(group, key, defaultValue);
}

void VConfig::setValue(const QString& key, const QString& group, const QVariant& value) {
  Write(group, key, value);
}

QString VConfig::currentAccount() {
  return value(QStringLiteral("MY_ACCOUNT"), QString()).toString();
}

QString VConfig::currentUserID() {
  return value(QStringLiteral("MY_USERID"), QString()).toString();
}

QString VConfig::currentUserName() {
  return value(QStringLiteral("MY_NAME"), QString()).toString();
}

QString VConfig::currentUserLogo() {
  return value(QStringLiteral("MY_LOGO"), QString()).toString();
}

QString VConfig::currentUserBigLogo() {
  return value(QStringLiteral("MY_BIGLOGO"), QString()).toString();
}

QString VConfig::currentUserSummary() {
  return value(QStringLiteral("MY_SUMMARY"), QString()).toString();
}

int VConfig::champflag() { return value(QStringLiteral("MY_CHAMPFLAG"), 0).toInt(); }

QString VConfig::getUserLogo(const QString& account) {
  return Read(account, QStringLiteral("MY_LOGO"), QString()).toString();
}

bool VConfig::messagePromptToneSwitch() {
  return value(QStringLiteral("MessagePromptToneSwitch"), true).toBool();
}

void VConfig::setMessagePromptToneSwitch(bool on) {
  setValue(QStringLiteral("MessagePromptToneSwitch"), on);
}

bool VConfig::desktopNotificationVisible() {
  return value(QStringLiteral("DESKTOP_NOTIFICATION_VISIBLE"), true).toBool();
}

void VConfig::setDesktopNotificationVisible(bool visible) {
  if (desktopNotificationVisible() == visible) return;
  setValue(QStringLiteral("DESKTOP_NOTIFICATION_VISIBLE"), visible);
  emit desktopNotificationVisibleChanged(visible);
}

bool VConfig::autoMoveToTop() { return value(QStringLiteral("Auto_Move_To_Top"), true).toBool(); }

void VConfig::setAutoMoveToTop(bool on) {
  setValue(QStringLiteral("Auto_Move_To_Top"), on);
  emit autoMoveToTopChanged();
}

QString VConfig::version() {
  const QString text = Read(QString(), QStringLiteral("Version"), QString()).toString();
  qDebug() << Q_FUNC_INFO << text;
  return text;
}
