#ifndef TESMO_CLIENT_CONTACTS_IMMAPENTITY_H
#define TESMO_CLIENT_CONTACTS_IMMAPENTITY_H

#include <QObject>
#include <QQmlEngine>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Base of the row items that keep their values in a map keyed by column names.
// Keys no property exposes stay in the map. Setters store and signal only when
// the value read back the getter's way changes.
class ImMapEntity : public QObject {
 public:
  // The whole row, the keys that no property exposes included.
  QVariantMap data() const { return m_data; }

 protected:
  ImMapEntity(const QVariantMap& data, QObject* parent) : QObject(parent), m_data(data) {
    // Rows are handed to QML, whose collector must never delete one under its list.
    QQmlEngine::setObjectOwnership(this, QQmlEngine::CppOwnership);
  }

  QString text(const char* key) const { return m_data.value(QLatin1String(key)).toString(); }
  int number(const char* key) const { return m_data.value(QLatin1String(key)).toInt(); }

  template <typename Self>
  QString storeText(const char* key, const QString& value, void (Self::*changed)()) {
    if (text(key) != value) {
      m_data.insert(QLatin1String(key), value);
      emit(static_cast<Self*>(this)->*changed)();
    }
    return value;
  }

  template <typename Self>
  int storeNumber(const char* key, int value, void (Self::*changed)()) {
    if (number(key) != value) {
      m_data.insert(QLatin1String(key), value);
      emit(static_cast<Self*>(this)->*changed)();
    }
    return value;
  }

  template <typename Self>
  bool storeFlag(bool& field, bool value, void (Self::*changed)()) {
    if (field != value) {
      field = value;
      emit(static_cast<Self*>(this)->*changed)();
    }
    return value;
  }

  QVariantMap m_data;
};

// The keys, in key order, of the entities of `map` that pass `test`.
template <typename Map, typename Test>
QStringList ImKeysWhere(const Map& map, Test test) {
  QStringList keys;
  for (auto it = map.cbegin(); it != map.cend(); ++it)
    if (test(it.value())) keys << it.key();
  return keys;
}

#endif
