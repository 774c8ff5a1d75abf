#ifndef TESMO_CLIENT_SHELL_IMLOGINMANAGER_H
#define TESMO_CLIENT_SHELL_IMLOGINMANAGER_H

#include <QObject>
#include <QScopedPointer>
#include <QString>
#include <QStringList>

class ImLoginManagerPrivate;
class UIMessage;

// Runs the login between the login page and the engine ("imLoginManager"): the
// verification code, the login by phone and by QR code, the account's folders and
// database, the engine's login, kick-out and QR reports, the remote application
// configuration and the coin list query.
class ImLoginManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString verifyCode READ verifyCode WRITE setVerifyCode NOTIFY verifyCodeChanged)
  Q_PROPERTY(bool syncMsgPower READ syncMsgPower WRITE setSyncMsgPower NOTIFY syncMsgPowerChanged)

 public:
  static ImLoginManager* instance();
  ~ImLoginManager() override;

  // An account name becomes a folder name: non-empty, at most 127 bytes, no path
  // separators, not "." and no "..", no control characters.
  static bool isSafeAccountName(const QString& account);

  QString verifyCode() const;
  void setVerifyCode(const QString& code);
  bool syncMsgPower() const;
  void setSyncMsgPower(bool power);

  Q_INVOKABLE void login(const QString& phone, const QString& nationCode,
                         const QString& verifyCode);
  Q_INVOKABLE void QRLogin(const QString& qrInfo);
  Q_INVOKABLE void sendGetVerifycode(const QString& phone, const QString& nationCode);
  Q_INVOKABLE QString getLocalCheckCode(const QString& checkCode);
  Q_INVOKABLE QString getCurrentProUrl();
  // The same look-up off this thread: the answer comes as currentProUrlReady.
  Q_INVOKABLE void lookUpCurrentProUrl();
  Q_INVOKABLE QString getQRcodeString();
  Q_INVOKABLE QString getLocalDataPath(int msgtype);
  // Makes the account's folders (as a login does) and serves them from
  // getLocalDataPath; false for an unsafe account name.
  bool prepareAccountFolders(const QString& account);
  Q_INVOKABLE void queryCurrency();

  // The device id sent with every login (from the processor identification).
  QString deviceId() const;
  // Downloads the remote configuration ("app.cfg") after a login.
  void downAppCfg();
  // The decoded configuration, or "" when there is none.
  QString readAppCfg();

 signals:
  void verifyCodeChanged();
  void loginSuccess();
  void loginFailure();
  void syncMsgPowerChanged();
  void qrcodeInvalid();
  void recvKickOut(QString msg);
  void logging();
  void currentProUrlReady(QString host);

 public slots:
  void onNotify(const UIMessage* pMsg);

 private:
  explicit ImLoginManager(QObject* parent = nullptr);
  void onLoginSuccess(const UIMessage* msg);
  void onKickOut(const UIMessage* msg);
  void onHttpReply(const UIMessage* msg);
  // The web hosts the configuration lists, in order; empty when there is nothing to
  // probe, and then *answer is the look-up's answer.
  QStringList listedProHosts(QString* answer);
  // The first listed host that answers a probe, else the built-in default; any thread.
  static QString firstAnsweringHost(const QStringList& hosts);

  QScopedPointer<ImLoginManagerPrivate> d;
};

#endif
