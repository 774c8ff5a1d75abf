#include "conversations/ImSessionManager.h"

#include "conversations/ImSessionListManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"

ImSessionManager::ImSessionManager() : ImSessionManager(new QList<QObject*>) {}

ImSessionManager::ImSessionManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImSessionManager::~ImSessionManager() { delete m_items; }

ImSessionManager* ImSessionManager::instance() {
  static ImSessionManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSessionManager; });
}

int ImSessionManager::setUnReadMsgCount(int count) {
  if (count != m_unReadMsgCount) {
    m_unReadMsgCount = count;
    emit unReadMsgCountChanged();
  }
  return count;
}

void ImSessionManager::setAllMessageRead(const QString& account, int type) {
  const QString quoted = ImUiInterface::sqlQuote(account);
  if (type == 0)
    ImUiInterface::instance()->dbExecSql(
        QStringLiteral("UPDATE nq_message SET seeflag=1 WHERE (fromuser=%1 or touser=%1) and "
                       "totype=0 and deleted=0")
            .arg(quoted));
  else if (type == 1)
    ImUiInterface::instance()->dbExecSql(
        QStringLiteral("UPDATE nq_message SET seeflag=1 WHERE (touser=%1) and totype=1 and "
                       "deleted=0")
            .arg(quoted));
}

void ImSessionManager::updateUnReadMsgCount() {
  ImSessionListManager::instance()->doUpdateUnReadMsgCount();
}

QString ImSessionManager::getGroupNotifyContent(const QString& content) {
  Q_UNUSED(content);
  return QString();
}
