#include "shell/VAction.h"

VAction::VAction(QObject* parent) : QAction(parent) { setObjectName(QStringLiteral("VAction")); }
