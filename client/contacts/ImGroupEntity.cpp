#include "contacts/ImGroupEntity.h"

ImGroupEntity::ImGroupEntity(const QVariantMap& data, QObject* parent)
    : QObject(parent), m_data(data) {}
