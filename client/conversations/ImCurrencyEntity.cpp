#include "conversations/ImCurrencyEntity.h"

ImCurrencyEntity::ImCurrencyEntity(const QVariantMap& map, QObject* parent)
    : QObject(parent), m_map(map) {}

int ImCurrencyEntity::id() const { return m_map.value(QStringLiteral("id")).toInt(); }
QString ImCurrencyEntity::name() const { return m_map.value(QStringLiteral("name")).toString(); }
QString ImCurrencyEntity::icon() const { return m_map.value(QStringLiteral("icon")).toString(); }
QString ImCurrencyEntity::color() const { return m_map.value(QStringLiteral("color")).toString(); }
QString ImCurrencyEntity::url() const { return m_map.value(QStringLiteral("url")).toString(); }

bool ImCurrencyEntity::store(const char* key, const QVariant& value, const QVariant& current) {
  if (value == current) return false;
  m_map.insert(QLatin1String(key), value);
  return true;
}

void ImCurrencyEntity::setId(int id) {
  if (store("id", id, this->id())) emit idChanged();
}

void ImCurrencyEntity::setName(const QString& name) {
  if (store("name", name, this->name())) emit nameChanged();
}

void ImCurrencyEntity::setIcon(const QString& icon) {
  if (store("icon", icon, this->icon())) emit iconChanged();
}

void ImCurrencyEntity::setColor(const QString& color) {
  if (store("color", color, this->color())) emit colorChanged();
}

void ImCurrencyEntity::setUrl(const QString& url) {
  if (store("url", url, this->url())) emit urlChanged();
}
