#ifndef TESMO_CLIENT_CONTACTS_IMGROUPCOMMAND_H
#define TESMO_CLIENT_CONTACTS_IMGROUPCOMMAND_H

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// Request bodies of the contact and group lists: a map with a fresh "transid",
// written as indented JSON (keys in sorted order).
namespace ImGroupCommand {

// Lists of accounts travel as [{"id": account}, ...]; empty entries are left out,
// since an empty id would stand for no one (or, for roles, for anyone).
QVariantList accounts(const QStringList& list);
// The JSON text of `keys` with "transid" added.
QByteArray body(QVariantMap keys);
// Sends a group command ("cmd", and "language" unless `withLanguage` is false, are
// added to `keys`) under a fresh dialog id, which is returned.
int send(const QString& cmd, QVariantMap keys, bool withLanguage = true);
// Posts `keys` to the request path under a fresh dialog id, which is returned.
int post(const QString& path, const QVariantMap& keys);
// Whether a group command reply carries an error word (such as "GROUP_ERR_RESOURCE")
// in place of the result's "cmd" "OK": the group server's refusal with "code" 1.
bool refusedByWord(const QJsonObject& reply);

}  // namespace ImGroupCommand

#endif
