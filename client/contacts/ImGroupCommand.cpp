#include "contacts/ImGroupCommand.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include "shell/ImUiInterface.h"

namespace ImGroupCommand {

QVariantList accounts(const QStringList& list) {
  QVariantList array;
  for (const QString& account : list) {
    if (account.isEmpty()) continue;
    array.append(QVariantMap{{QStringLiteral("id"), account}});
  }
  return array;
}

QByteArray body(QVariantMap keys) {
  keys.insert(QStringLiteral("transid"),
              QString::fromUtf8(ImUiInterface::instance()->NewTransID("")));
  return QJsonDocument(QJsonObject::fromVariantMap(keys)).toJson(QJsonDocument::Indented);
}

int send(const QString& cmd, QVariantMap keys, bool withLanguage) {
  ImUiInterface* engine = ImUiInterface::instance();
  const int did = engine->CreateDialogID();
  if (withLanguage) keys.insert(QStringLiteral("language"), QStringLiteral("zh-CN"));
  keys.insert(QStringLiteral("cmd"), cmd);
  const QByteArray text = body(keys);
  qDebug() << Q_FUNC_INFO << did << text;
  engine->GroupCommand(did, text.constData());
  return did;
}

int post(const QString& path, const QVariantMap& keys) {
  ImUiInterface* engine = ImUiInterface::instance();
  const int did = engine->CreateDialogID();
  const QByteArray url = engine->getUrl(path).toUtf8();
  const QByteArray text = body(keys);
  qDebug() << Q_FUNC_INFO << did << url << text;
  engine->SendPost(did, url.constData(), text.constData());
  return did;
}

bool refusedByWord(const QJsonObject& reply) {
  const QJsonValue word =
      reply.value(QLatin1String("result")).toObject().value(QLatin1String("cmd"));
  return !word.isUndefined() && !word.isNull() &&
         word.toVariant().toString() != QLatin1String("OK");
}

}  // namespace ImGroupCommand
