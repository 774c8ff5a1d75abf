#include "contacts/ImUserEntity.h"

ImUserEntity::ImUserEntity(const QVariantMap& data, QObject* parent)
    : QObject(parent), m_data(data) {}
