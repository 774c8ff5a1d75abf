#ifndef TESMO_CLIENT_CONTACTS_IMGROUPENTITY_H
#define TESMO_CLIENT_CONTACTS_IMGROUPENTITY_H

#include <QObject>
#include <QString>
#include <QVariantMap>

// One group of the group list, over the group's map.
class ImGroupEntity : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString groupid READ groupid CONSTANT)
  Q_PROPERTY(QString groupname READ groupname CONSTANT)
  Q_PROPERTY(QString grouplogo READ grouplogo CONSTANT)
  Q_PROPERTY(QString groupinfo READ groupinfo CONSTANT)
  Q_PROPERTY(int usercount READ usercount CONSTANT)

 public:
  explicit ImGroupEntity(const QVariantMap& data, QObject* parent = nullptr);

  QString groupid() const { return m_data.value(QStringLiteral("groupid")).toString(); }
  QString groupname() const { return m_data.value(QStringLiteral("groupname")).toString(); }
  QString grouplogo() const { return m_data.value(QStringLiteral("grouplogo")).toString(); }
  QString groupinfo() const { return m_data.value(QStringLiteral("groupinfo")).toString(); }
  int usercount() const { return m_data.value(QStringLiteral("usercount")).toInt(); }

 private:
  QVariantMap m_data;
};

#endif
