#include "app/ImCreateClassManagerPrivate.h"

#include <QDebug>

#include "shell/ImUiInterface.h"

ImCreateClassManagerPrivate::ImCreateClassManagerPrivate(QQmlContext* rootContext)
    : context(rootContext) {
  ImUiInterface::instance()->initInterface();
}

ImCreateClassManagerPrivate::~ImCreateClassManagerPrivate() {
  // The managers are not released here: they are singletons that the exit
  // clean-up deletes once, after the engine has stopped reporting.
  qDebug() << Q_FUNC_INFO;
}
