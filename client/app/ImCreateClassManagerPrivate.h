#ifndef TESMO_CLIENT_APP_IMCREATECLASSMANAGERPRIVATE_H
#define TESMO_CLIENT_APP_IMCREATECLASSMANAGERPRIVATE_H

class ImContactsManager;
class ImCurrencyManager;
class ImGroupAdminManager;
class ImGroupChildManager;
class ImGroupManager;
class ImGroupMemberManager;
class ImLoginManager;
class ImSearchUserManager;
class ImSessionListManager;
class ImSessionManager;
class QQmlContext;

// The bootstrap's view of the managers. It owns none of them: each is a
// process-wide singleton deleted by the exit clean-up.
class ImCreateClassManagerPrivate {
 public:
  explicit ImCreateClassManagerPrivate(QQmlContext* context);
  ~ImCreateClassManagerPrivate();
  ImCreateClassManagerPrivate(const ImCreateClassManagerPrivate&) = delete;
  ImCreateClassManagerPrivate& operator=(const ImCreateClassManagerPrivate&) = delete;

  QQmlContext* context;
  ImLoginManager* loginManager = nullptr;
  ImContactsManager* contactsManager = nullptr;
  ImSessionListManager* sessionListManager = nullptr;
  ImSessionManager* sessionManager = nullptr;
  ImGroupManager* groupManager = nullptr;
  ImGroupAdminManager* groupAdminManager = nullptr;
  ImGroupMemberManager* groupMemberManager = nullptr;
  ImSearchUserManager* atSearchUserManager = nullptr;
  ImGroupChildManager* groupChildManager = nullptr;
  ImCurrencyManager* currencyManager = nullptr;
};

#endif
