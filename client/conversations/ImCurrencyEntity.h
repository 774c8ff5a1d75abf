#ifndef TESMO_CLIENT_CONVERSATIONS_IMCURRENCYENTITY_H
#define TESMO_CLIENT_CONVERSATIONS_IMCURRENCYENTITY_H

#include <QObject>
#include <QString>
#include <QVariantMap>

// One coin of the coin list, over the map the server described it with; keys
// that no property reads stay in the map.
class ImCurrencyEntity : public QObject {
  Q_OBJECT
  Q_PROPERTY(int id READ id WRITE setId NOTIFY idChanged)
  Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
  Q_PROPERTY(QString icon READ icon WRITE setIcon NOTIFY iconChanged)
  Q_PROPERTY(QString color READ color WRITE setColor NOTIFY colorChanged)
  Q_PROPERTY(QString url READ url WRITE setUrl NOTIFY urlChanged)

 public:
  explicit ImCurrencyEntity(const QVariantMap& map, QObject* parent = nullptr);

  int id() const;
  QString name() const;
  QString icon() const;
  QString color() const;
  QString url() const;

  void setId(int id);
  void setName(const QString& name);
  void setIcon(const QString& icon);
  void setColor(const QString& color);
  void setUrl(const QString& url);

  QVariantMap data() const { return m_map; }

 signals:
  void idChanged();
  void nameChanged();
  void iconChanged();
  void colorChanged();
  void urlChanged();

 private:
  // Stores the value and reports true only when it differs from the current one.
  bool store(const char* key, const QVariant& value, const QVariant& current);

  QVariantMap m_map;
};

#endif
