#include "contacts/ContactsWorker.h"

#include <QDebug>

#include "shell/ImUiInterface.h"
#include "shell/vCard.h"

void ContactsWorker::doBatchInvite(const QString& filePath) {
  qDebug() << Q_FUNC_INFO << filePath;
  if (filePath.isEmpty()) return;
  bool ok = false;
  const QList<vCard> cards =
      vCard::fromFile(ImUiInterface::instance()->removeFilePrefix(filePath), &ok);
  // A file that cannot be read invites no one; saying "sent" would be a lie.
  if (!ok) {
    emit readFailed();
    return;
  }
  QStringList mobiles;
  for (const vCard& card : cards) {
    const vCardProperty tel = card.property(QStringLiteral("TEL"));
    if (tel.isValid()) mobiles << tel.value().remove(QLatin1Char(' '));
  }
  emit mobilesRead(mobiles);
}
