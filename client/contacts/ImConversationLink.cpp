#include "contacts/ImConversationLink.h"

#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"

namespace ImConversationLink {

QString currentSessionId() { return ImSessionManager::instance()->currentSessionId(); }

QObject* sessionRow(const QString& account) {
  return ImSessionListManager::instance()->getSession(account);
}

void reloadSessionList() { ImSessionListManager::instance()->initData(); }

}  // namespace ImConversationLink
