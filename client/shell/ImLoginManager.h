#ifndef TESMO_CLIENT_SHELL_IMLOGINMANAGER_H
#define TESMO_CLIENT_SHELL_IMLOGINMANAGER_H

#include <QObject>

// Runs the login between the login page and the engine ("imLoginManager").
class ImLoginManager : public QObject {
  Q_OBJECT

 public:
  static ImLoginManager* instance();

  // The signed-in account's folder for files of this message type, with a
  // trailing slash; empty while no account is signed in.
  Q_INVOKABLE QString getLocalDataPath(int msgtype);

 signals:
  void loginSuccess();

 private:
  ImLoginManager();
};

#endif
