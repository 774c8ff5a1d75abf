#ifndef TESMO_CLIENT_SHELL_VCARDPROPERTY_H
#define TESMO_CLIENT_SHELL_VCARDPROPERTY_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "shell/vCardParam.h"

// One content line of a vCard: a name, values split at ";", and parameters.
class vCardProperty {
 public:
  vCardProperty() = default;
  vCardProperty(const QString& name, const QStringList& values, const QList<vCardParam>& params)
      : m_name(name), m_values(values), m_params(params) {}

  QString name() const { return m_name; }
  QStringList values() const { return m_values; }
  QList<vCardParam> params() const { return m_params; }

  bool isValid() const;
  // The values joined with ";".
  QString value() const;

  // The properties of one content line: none for the card delimiters, the
  // version line and a line without a colon, else one.
  static QList<vCardProperty> fromByteArray(const QByteArray& data);

 private:
  QString m_name;
  QStringList m_values;
  QList<vCardParam> m_params;
};

#endif
