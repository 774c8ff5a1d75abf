#include "shell/vCard.h"

#include <QDebug>
#include <QFile>

void vCard::addProperty(const vCardProperty& property) {
  for (vCardProperty& existing : m_properties) {
    if (existing.name() == property.name() && existing.params() == property.params()) {
      existing = property;
      return;
    }
  }
  m_properties.append(property);
}

void vCard::addProperties(const QList<vCardProperty>& properties) {
  for (const vCardProperty& property : properties) addProperty(property);
}

vCardProperty vCard::property(const QString& name, const QList<vCardParam>& params,
                              bool strict) const {
  for (const vCardProperty& property : m_properties) {
    if (property.name() != name) continue;
    if (strict && property.params() != params) continue;
    return property;
  }
  return vCardProperty();
}

QList<vCard> vCard::fromByteArray(const QByteArray& data) {
  QList<vCard> cards;
  bool inside = false;
  vCard current;
  for (const QByteArray& raw : data.split('\n')) {
    const QByteArray line = raw.simplified();
    if (!inside && line == "BEGIN:VCARD") {
      inside = true;
    } else if (line == "END:VCARD") {
      if (!inside) continue;
      cards.append(current);
      current = vCard();
      inside = false;
    } else if (inside) {
      current.addProperties(vCardProperty::fromByteArray(line));
    }
  }
  return cards;
}

QList<vCard> vCard::fromFile(const QString& filename, bool* ok) {
  if (ok) *ok = false;
  QFile file(filename);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    qDebug() << Q_FUNC_INFO << "cannot open" << filename << file.errorString();
    return QList<vCard>();
  }
  // One byte past the limit tells an oversize file from one of exactly the limit.
  const QByteArray data = file.read(kMaxFileSize + 1);
  if (data.size() > kMaxFileSize || file.error() != QFileDevice::NoError) {
    qDebug() << Q_FUNC_INFO << "unreadable or oversize" << filename;
    return QList<vCard>();
  }
  if (ok) *ok = true;
  return fromByteArray(data);
}
