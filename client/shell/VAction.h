#ifndef TESMO_CLIENT_SHELL_VACTION_H
#define TESMO_CLIENT_SHELL_VACTION_H

#include <QAction>

// One entry of a VMenu.
class VAction : public QAction {
  Q_OBJECT

 public:
  explicit VAction(QObject* parent = nullptr);
};

#endif
