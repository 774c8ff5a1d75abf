#ifndef TESMO_CLIENT_SHELL_VCARDPARAM_H
#define TESMO_CLIENT_SHELL_VCARDPARAM_H

#include <QByteArray>
#include <QList>
#include <QString>

// One parameter of a vCard content line ("TEL;TYPE=CELL:...").
class vCardParam {
 public:
  enum Group { Type = 0, Encoding = 1, Charset = 2, Other = 3 };

  vCardParam() = default;
  vCardParam(int group, const QString& value) : m_group(group), m_value(value) {}

  int group() const { return m_group; }
  QString value() const { return m_value; }
  bool isValid() const { return !m_value.isEmpty(); }

  bool operator==(const vCardParam& other) const {
    return m_group == other.m_group && m_value == other.m_value;
  }
  bool operator!=(const vCardParam& other) const { return !(*this == other); }

  // The parameters of the text between the property name and the colon; an empty
  // text gives one empty, invalid parameter.
  static QList<vCardParam> fromByteArray(const QByteArray& data);

 private:
  int m_group = Other;
  QString m_value;
};

#endif
