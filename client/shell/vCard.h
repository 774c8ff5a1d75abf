#ifndef TESMO_CLIENT_SHELL_VCARD_H
#define TESMO_CLIENT_SHELL_VCARD_H

#include <QByteArray>
#include <QList>
#include <QString>

#include "shell/vCardProperty.h"

// One contact card of a vCard file: its properties, one per name and parameter
// list. Only read: the batch invitation collects the phone numbers of a file.
class vCard {
 public:
  // Address books with embedded photos run to a few megabytes; anything larger
  // is not a contact file.
  static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

  vCard() = default;
  virtual ~vCard() = default;

  // Replaces the property with the same name and parameters, else appends.
  void addProperty(const vCardProperty& property);
  void addProperties(const QList<vCardProperty>& properties);
  QList<vCardProperty> properties() const { return m_properties; }
  // The first property of that name (with `strict`, also with exactly these
  // parameters); an empty, invalid property when there is none.
  vCardProperty property(const QString& name, const QList<vCardParam>& params = QList<vCardParam>(),
                         bool strict = false) const;

  // The closed cards of the text, in order; text outside cards is ignored.
  static QList<vCard> fromByteArray(const QByteArray& data);
  // The cards of a file. `ok` (when given) is false when the file cannot be read
  // or is larger than kMaxFileSize; the list is then empty.
  static QList<vCard> fromFile(const QString& filename, bool* ok = nullptr);

 private:
  QList<vCardProperty> m_properties;
};

#endif
