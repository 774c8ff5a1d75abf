#include "shell/VFileSaveDialog.h"

VFileSaveDialog::VFileSaveDialog(QQuickItem* parent) : QQuickItem(parent) {}
