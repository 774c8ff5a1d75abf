#include "shell/VClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "shell/VExitCleanup.h"

VClipboard::VClipboard() : m_clipboard(QGuiApplication::clipboard()) {}

VClipboard* VClipboard::instance() {
  static VClipboard* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new VClipboard; });
}
