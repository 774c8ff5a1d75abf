#ifndef TESMO_CLIENT_SHELL_IMLOGINMANAGERPRIVATE_H
#define TESMO_CLIENT_SHELL_IMLOGINMANAGERPRIVATE_H

#include <QString>
#include <QThreadPool>

// The login manager's state: the device id, the dialog ids of its latest requests
// and the logged-in account's folders.
class ImLoginManagerPrivate {
 public:
  ImLoginManagerPrivate();

  // base + "/data/" + account with its five folders made; false when the account
  // name is not safe as a folder name.
  bool makeAccountFolders(const QString& account);
  // Hands the account's database file to the engine, creating it on first use.
  void initDatabase(const QString& path);
  void doLogin(const QString& phone, const QString& nationCode, const QString& verifyCode);
  void doQRLogin(const QString& qrInfo);
  void doSendGetVerifycode(const QString& phone, const QString& nationCode);
  void doQueryCurrency();
  QString doGetQRcodeString();

  static QString dataBase();
  static QString appCfgPath();

  QString deviceId;
  int verifyCodeDialogId = 0;
  QString verifyCode;
  bool syncMsgPower = false;
  int configDialogId = 0;
  int coinQueryDialogId = 0;
  QString portraitsFolder;
  QString audioFolder;
  QString videoFolder;
  QString documentsFolder;
  QString imagesFolder;
  // Runs the web host look-up; declared last, so that it ends first.
  QThreadPool lookUpPool;
};

#endif
