#ifndef TESMO_CLIENT_CONTACTS_IMUSERENTITY_H
#define TESMO_CLIENT_CONTACTS_IMUSERENTITY_H

#include <QObject>
#include <QString>
#include <QVariantMap>

// One contact of the contact list, over the contact's map.
class ImUserEntity : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString account READ account CONSTANT)
  Q_PROPERTY(QString name READ name CONSTANT)
  Q_PROPERTY(QString logo READ logo CONSTANT)

 public:
  explicit ImUserEntity(const QVariantMap& data, QObject* parent = nullptr);

  QString account() const { return m_data.value(QStringLiteral("account")).toString(); }
  QString name() const { return m_data.value(QStringLiteral("name")).toString(); }
  QString logo() const { return m_data.value(QStringLiteral("logo")).toString(); }

 private:
  QVariantMap m_data;
};

#endif
