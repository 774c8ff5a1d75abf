#include "shell/VSeparator.h"

VSeparator::VSeparator(QObject* parent) : QObject(parent) {
  setObjectName(QStringLiteral("VSeparator"));
}
