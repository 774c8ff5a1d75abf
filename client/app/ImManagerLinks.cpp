#include "app/ImManagerLinks.h"

#include <QJsonArray>
#include <QPointer>

#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupManager.h"
#include "conversations/ImCurrencyManager.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "shell/ImLoginManager.h"
#include "shell/VGlobal.h"

void ImManagerLinks::wire() {
  // Lives as long as the process: the managers it forwards to are reached anew on
  // each call, so it never holds one the exit clean-up deleted.
  static ImManagerLinks links;
  ImConversationLink::install(&links);
  VGlobal::setContactLookup(&links);

  // The receivers are reached when the signal comes, so that a manager not yet
  // created (or created anew) is the one served. Each login manager is connected once.
  static QPointer<ImLoginManager> wiredLogin;
  ImLoginManager* login = ImLoginManager::instance();
  if (wiredLogin != login) {
    wiredLogin = login;
    // A kicked-out account's lists are emptied, the open conversation first: it is
    // closed, so that the next login does not take it for open.
    QObject::connect(login, &ImLoginManager::accountDataWipe, login, [] {
      ImSessionManager::instance()->closeSession();
      ImSessionListManager::instance()->wipeData();
      ImContactsManager::instance()->wipeData();
      ImGroupManager::instance()->wipeData();
    });
    QObject::connect(
        login, &ImLoginManager::currencyListReceived, login,
        [](const QJsonArray& coins) { ImCurrencyManager::instance()->addData(coins); });
  }
  // Each completed conversation list refreshes the member counts shown for groups.
  QObject::connect(ImSessionListManager::instance(), &ImSessionListManager::dataComplete,
                   ImGroupManager::instance(), &ImGroupManager::memberCountChanged,
                   Qt::UniqueConnection);
}

QString ImManagerLinks::currentSessionId() {
  return ImSessionManager::instance()->currentSessionId();
}

void ImManagerLinks::setSessionName(const QString& account, const QString& name) {
  if (ImMsgEntity* row = ImSessionListManager::instance()->getSession(account)) row->setName(name);
}

void ImManagerLinks::setSessionIcon(const QString& account, const QString& icon) {
  if (ImMsgEntity* row = ImSessionListManager::instance()->getSession(account)) row->setIcon(icon);
}

void ImManagerLinks::reloadSessionList() { ImSessionListManager::instance()->initData(); }

QString ImManagerLinks::getSummary(const QString& account) {
  return ImContactsManager::instance()->getSummary(account);
}

int ImManagerLinks::getUserid(const QString& account) {
  return ImContactsManager::instance()->getUserid(account);
}

int ImManagerLinks::getChampflag(const QString& account) {
  return ImContactsManager::instance()->getChampflag(account);
}
