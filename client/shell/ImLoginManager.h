#ifndef TESMO_CLIENT_SHELL_IMLOGINMANAGER_H
#define TESMO_CLIENT_SHELL_IMLOGINMANAGER_H

#include <QObject>

// Runs the login between the login page and the engine ("imLoginManager").
class ImLoginManager : public QObject {
  Q_OBJECT

 public:
  static ImLoginManager* instance();

 signals:
  void loginSuccess();

 private:
  ImLoginManager();
};

#endif
