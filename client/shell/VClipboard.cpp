#include "shell/VClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "shell/VExitCleanup.h"

VClipboard::VClipboard() : m_clipboard(QGuiApplication::clipboard()) {}

VClipboard* VClipboard::instance() {
  static VClipboard* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new VClipboard;
    VExitCleanup::add([] {
      VClipboard* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
