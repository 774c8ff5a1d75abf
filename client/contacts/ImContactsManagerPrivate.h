#ifndef TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGERPRIVATE_H
#define TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGERPRIVATE_H

#include <QMap>
#include <QString>
#include <QStringList>

#include "contacts/ImContactsManager.h"

class ImContactsThread;
class ImUserEntity;

// The data of ImContactsManager: one entity per listed account, the dialog id of
// the latest request of each kind (0: none outstanding) and the checkuser paging (pages of rows).
class ImContactsManagerPrivate {
 public:
  ImContactsManagerPrivate();
  ~ImContactsManagerPrivate();

  QMap<QString, ImUserEntity*> m_accounts;
  int m_nUpdateUserInfoDid = 0;
  int m_nCheckMoreMembersDid = 0;
  int m_nCheckMoreMembersPage = 0;
  int m_nCheckMoreMembersPageSize = ImContactsManager::kCheckPageSize;
  int m_nBatchInviteDid = 0;
  int m_nDefriendDid = 0;
  int m_nSetRemarkDid = 0;
  int m_nSearchAccountDid = 0;
  ImContactsThread* m_contactsThread;
};

#endif
