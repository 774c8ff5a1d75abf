#ifndef TESMO_CLIENT_SHELL_VFOCUSRETURN_H
#define TESMO_CLIENT_SHELL_VFOCUSRETURN_H

#include <QObject>
#include <QPointer>

class QWindow;

// When the window that has the keyboard goes away (a popup, the screen capture, a
// dialog, a file dialog), the keyboard goes back to the window it belongs to, and
// there to the item that had the focus (the message input). A window manager does
// this itself; without one the keyboard would stay with the hidden window and
// typing would be lost until a click.
class VFocusReturn : public QObject {
  Q_OBJECT

 public:
  // Watches the application's windows while it lives (one per application).
  explicit VFocusReturn(QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static void handBack(QWindow* hidden);

  // The window that has the keyboard as far as the last change told: hiding a
  // window lets go of it without one.
  QPointer<QWindow> m_lastFocus;
};

#endif
