#include "app/ImCreateClassManager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QQmlContext>

#include "app/ImCreateClassManagerPrivate.h"
#include "app/ImManagerLinks.h"
#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupAdminManager.h"
#include "contacts/ImGroupChildManager.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImGroupMemberManager.h"
#include "contacts/ImSearchUserManager.h"
#include "conversations/ImCurrencyManager.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"

ImCreateClassManager::ImCreateClassManager(QQmlContext* context, QObject* parent)
    : QObject(parent), d(new ImCreateClassManagerPrivate(context)) {
  d->context->setContextProperty(QStringLiteral("classManager"), this);
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
          &ImCreateClassManager::onQuit);
  ImManagerLinks::wire();
}

ImCreateClassManager::~ImCreateClassManager() {
  qDebug() << Q_FUNC_INFO;
  delete d;
}

void ImCreateClassManager::initPreClass() {
  qDebug() << Q_FUNC_INFO;
  d->loginManager = ImLoginManager::instance();
  d->context->setContextProperty(QStringLiteral("imLoginManager"), d->loginManager);
}

void ImCreateClassManager::createPostClass() {
  qDebug() << Q_FUNC_INFO;
  d->contactsManager = ImContactsManager::instance();
  d->context->setContextProperty(QStringLiteral("contactsManager"), d->contactsManager);
  d->sessionListManager = ImSessionListManager::instance();
  d->context->setContextProperty(QStringLiteral("sessionListManager"), d->sessionListManager);
  d->sessionManager = ImSessionManager::instance();
  // Each login starts with no conversation open, as the account just signed in.
  d->sessionManager->closeSession();
  d->sessionManager->setMyAccount(QString::fromUtf8(ImUiInterface::instance()->GetMyAccount()));
  d->context->setContextProperty(QStringLiteral("sessionManager"), d->sessionManager);
  d->groupManager = ImGroupManager::instance();
  d->context->setContextProperty(QStringLiteral("groupManager"), d->groupManager);
  d->groupAdminManager = ImGroupAdminManager::instance();
  d->context->setContextProperty(QStringLiteral("groupAdminManager"), d->groupAdminManager);
  d->groupMemberManager = ImGroupMemberManager::instance();
  d->context->setContextProperty(QStringLiteral("groupMemberManager"), d->groupMemberManager);
  d->atSearchUserManager = ImSearchUserManager::instance();
  d->context->setContextProperty(QStringLiteral("atSearchUserManager"), d->atSearchUserManager);
  d->groupChildManager = ImGroupChildManager::instance();
  d->context->setContextProperty(QStringLiteral("groupChildManager"), d->groupChildManager);
  d->currencyManager = ImCurrencyManager::instance();
  d->context->setContextProperty(QStringLiteral("currencyManager"), d->currencyManager);
}

void ImCreateClassManager::onQuit() { qDebug() << Q_FUNC_INFO; }
