#ifndef TESMO_CLIENT_APP_IMMANAGERLINKS_H
#define TESMO_CLIENT_APP_IMMANAGERLINKS_H

#include <QString>

#include "contacts/ImConversationLink.h"
#include "shell/VContactLookup.h"

// Every link between managers of different layers, made in one place: a lower
// layer declares what it needs (an interface or a signal) and this connects it
// to the managers above. The managers themselves stay process-wide singletons.
class ImManagerLinks : public ImConversationLink, public VContactLookup {
 public:
  // Installs the links and connects the signals of the managers of the moment;
  // calling it again connects nothing twice.
  static void wire();

  QString currentSessionId() override;
  void setSessionName(const QString& account, const QString& name) override;
  void setSessionIcon(const QString& account, const QString& icon) override;
  void reloadSessionList() override;

  QString getSummary(const QString& account) override;
  int getUserid(const QString& account) override;
  int getChampflag(const QString& account) override;

 private:
  ImManagerLinks() = default;
};

#endif
