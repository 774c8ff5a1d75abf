#ifndef TESMO_CLIENT_SHELL_VPROCESSVALUES_H
#define TESMO_CLIENT_SHELL_VPROCESSVALUES_H

#include <QString>

// The process-wide constants shared by start-up, languages and crash dumps: the
// program's icon and its settings keys. Each is made on first use.
class VProcessValues {
 public:
  static const QString& languageKey();
  static const QString& normalTrayIconPath();
  static const QString& crashFlagKey();
  static const QString& versionKey();
};

#endif
