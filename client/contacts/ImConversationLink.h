#ifndef TESMO_CLIENT_CONTACTS_IMCONVERSATIONLINK_H
#define TESMO_CLIENT_CONTACTS_IMCONVERSATIONLINK_H

#include <QString>

// What the contact and group lists need of the conversation models: the open
// conversation, the rows of the conversation list and its reload. The
// conversations sit above the contacts, so the composition root implements this
// and installs it.
class ImConversationLink {
 public:
  virtual ~ImConversationLink() = default;

  // The account of the open conversation ("" when none is open).
  virtual QString currentSessionId() = 0;
  // Renames the conversation list's row of an account, if it has one.
  virtual void setSessionName(const QString& account, const QString& name) = 0;
  // Gives the conversation list's row of an account another picture, if it has one.
  virtual void setSessionIcon(const QString& account, const QString& icon) = 0;
  // Rebuilds the conversation list from the database.
  virtual void reloadSessionList() = 0;

  // The installed link; until one is installed, one without conversations.
  static ImConversationLink* current();
  // Installs a link (not owned; null: back to the one without conversations).
  static void install(ImConversationLink* link);
};

#endif
