#ifndef TESMO_CLIENT_CONTACTS_IMCONVERSATIONLINK_H
#define TESMO_CLIENT_CONTACTS_IMCONVERSATIONLINK_H

#include <QObject>
#include <QString>

// What the contact and group lists need of the conversation models: the open
// conversation, the rows of the conversation list and its reload.
namespace ImConversationLink {

// The account of the open conversation ("" when none is open).
QString currentSessionId();
// The conversation list's row of an account, null when it has none.
QObject* sessionRow(const QString& account);
// Rebuilds the conversation list from the database.
void reloadSessionList();

}  // namespace ImConversationLink

#endif
