#ifndef TESMO_CLIENT_SHELL_VCONFIG_H
#define TESMO_CLIENT_SHELL_VCONFIG_H

#include <QObject>
#include <QString>
#include <QVariant>

// The one settings store. "LastloginAccount" (group "SETTINGS_ACCOUNTS_GROUP")
// names the current account; every other key written through the two-argument
// setValue lives in that account's group (the top level while none is stored).
class VConfig : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString currentAccount READ currentAccount NOTIFY currentAccountChanged)
  Q_PROPERTY(QString currentUserID READ currentUserID NOTIFY currentUserIDChanged)
  Q_PROPERTY(QString currentUserName READ currentUserName NOTIFY currentUserNameChanged)
  Q_PROPERTY(QString currentUserLogo READ currentUserLogo NOTIFY currentUserLogoChanged)
  Q_PROPERTY(QString currentUserBigLogo READ currentUserBigLogo NOTIFY currentUserBigLogoChanged)
  Q_PROPERTY(QString currentUserSummary READ currentUserSummary NOTIFY currentUserSummaryChanged)
  Q_PROPERTY(int champflag READ champflag NOTIFY champflagChanged)
  Q_PROPERTY(bool desktopNotificationVisible READ desktopNotificationVisible WRITE
                 setDesktopNotificationVisible NOTIFY desktopNotificationVisibleChanged)
  Q_PROPERTY(QString version READ version NOTIFY versionChanged)
  Q_PROPERTY(
      bool autoMoveToTop READ autoMoveToTop WRITE setAutoMoveToTop NOTIFY autoMoveToTopChanged)

 public:
  static VConfig* instance();
  // Writes pending changes to disk now (at exit: the store itself is never destroyed).
  static void flush();

  Q_INVOKABLE QVariant value(const QString& key, const QVariant& defaultValue = QVariant());
  Q_INVOKABLE void setValue(const QString& key, const QVariant& value);
  // Explicit group; an empty group is the top level. Touches no current account.
  QVariant value(const QString& key, const QString& group, const QVariant& defaultValue);
  void setValue(const QString& key, const QString& group, const QVariant& value);

  Q_INVOKABLE QString currentAccount();
  Q_INVOKABLE QString currentUserID();
  Q_INVOKABLE QString currentUserName();
  Q_INVOKABLE QString currentUserLogo();
  Q_INVOKABLE QString currentUserBigLogo();
  Q_INVOKABLE QString currentUserSummary();
  Q_INVOKABLE int champflag();
  Q_INVOKABLE QString getUserLogo(const QString& account);

  Q_INVOKABLE bool messagePromptToneSwitch();
  Q_INVOKABLE void setMessagePromptToneSwitch(bool on);

  bool desktopNotificationVisible();
  void setDesktopNotificationVisible(bool visible);
  bool autoMoveToTop();
  void setAutoMoveToTop(bool on);
  QString version();

 signals:
  void currentAccountChanged();
  void currentUserIDChanged();
  void currentUserNameChanged();
  void currentUserLogoChanged();
  void currentUserBigLogoChanged();
  void currentUserSummaryChanged();
  void desktopNotificationVisibleChanged(bool desktopNotificationVisible);
  void versionChanged();
  void autoMoveToTopChanged();
  void champflagChanged();

 private:
  VConfig();
  ~VConfig() override;
};

#endif
