#ifndef TESMO_CLIENT_SHELL_VFILESAVEDIALOG_H
#define TESMO_CLIENT_SHELL_VFILESAVEDIALOG_H

#include <QQuickItem>

// The platform's save-file dialog, declared in QML.
class VFileSaveDialog : public QQuickItem {
  Q_OBJECT

 public:
  explicit VFileSaveDialog(QQuickItem* parent = nullptr);
};

#endif
