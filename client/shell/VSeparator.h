#ifndef TESMO_CLIENT_SHELL_VSEPARATOR_H
#define TESMO_CLIENT_SHELL_VSEPARATOR_H

#include <QObject>

// Marks the place of a separator in a VMenu.
class VSeparator : public QObject {
 public:
  explicit VSeparator(QObject* parent = nullptr);
};

#endif
