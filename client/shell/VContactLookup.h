#ifndef TESMO_CLIENT_SHELL_VCONTACTLOOKUP_H
#define TESMO_CLIENT_SHELL_VCONTACTLOOKUP_H

#include <QString>

// What the QML helpers of VGlobal read of a contact. The contact list above
// answers it; the program's composition root installs it with
// VGlobal::setContactLookup.
class VContactLookup {
 public:
  virtual ~VContactLookup() = default;
  virtual QString getSummary(const QString& account) = 0;
  virtual int getUserid(const QString& account) = 0;
  virtual int getChampflag(const QString& account) = 0;
};

#endif
