#ifndef TESMO_CLIENT_APP_IMCREATECLASSMANAGER_H
#define TESMO_CLIENT_APP_IMCREATECLASSMANAGER_H

#include <QObject>

class ImCreateClassManagerPrivate;
class QQmlContext;

// Starts the engine and publishes the managers to QML ("classManager"): the login
// manager before login, the nine conversation, contact and group managers after.
class ImCreateClassManager : public QObject {
  Q_OBJECT

 public:
  explicit ImCreateClassManager(QQmlContext* context, QObject* parent = nullptr);
  ~ImCreateClassManager() override;

  Q_INVOKABLE void initPreClass();
  Q_INVOKABLE void createPostClass();

 public slots:
  void onQuit();

 private:
  ImCreateClassManagerPrivate* d;
};

#endif
