#include "shell/vCardProperty.h"

#include <QRegularExpression>

bool vCardProperty::isValid() const {
  if (m_name.isEmpty() || m_values.isEmpty()) return false;
  for (const vCardParam& param : m_params)
    if (!param.isValid()) return false;
  return true;
}

QString vCardProperty::value() const { return m_values.join(QLatin1Char(';')); }

QList<vCardProperty> vCardProperty::fromByteArray(const QByteArray& data) {
  QList<vCardProperty> properties;
  const QString line = QString::fromUtf8(data);
  if (line == QLatin1String("BEGIN:VCARD") || line == QLatin1String("END:VCARD")) return properties;
  QStringList parts = line.split(QLatin1Char(':'));
  if (parts.size() < 2) return properties;
  QStringList head = parts.first().split(QLatin1Char(';'));
  const QString name = head.takeFirst();
  // A web address as the value of a URL line holds a colon of its own.
  static const QRegularExpression scheme(QStringLiteral("ftp|http|https|data"));
  if (parts.size() > 2 && name == QLatin1String("URL") &&
      scheme.match(parts.at(parts.size() - 2)).hasMatch()) {
    const QString last = parts.takeLast();
    parts.last() += QLatin1Char(':') + last;
  }
  if (name == QLatin1String("VERSION")) return properties;
  const QList<vCardParam> params = vCardParam::fromByteArray(head.join(QLatin1Char(';')).toUtf8());
  properties.append(vCardProperty(name, parts.at(1).split(QLatin1Char(';')), params));
  return properties;
}
