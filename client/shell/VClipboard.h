#ifndef TESMO_CLIENT_SHELL_VCLIPBOARD_H
#define TESMO_CLIENT_SHELL_VCLIPBOARD_H

#include <QObject>

class QClipboard;

// The system clipboard as the QML pages use it ("vClipboard").
class VClipboard : public QObject {
  Q_OBJECT

 public:
  static VClipboard* instance();

 private:
  VClipboard();

  QClipboard* m_clipboard;
};

#endif
