#include "contacts/ImConversationLink.h"

namespace {
// The contact lists on their own, as in their tests: no conversation is open and
// the list has no rows.
class NoConversations : public ImConversationLink {
 public:
  QString currentSessionId() override { return QString(); }
  void setSessionName(const QString&, const QString&) override {}
  void setSessionIcon(const QString&, const QString&) override {}
  void reloadSessionList() override {}
};

NoConversations g_none;
ImConversationLink* g_link = &g_none;
}  // namespace

ImConversationLink* ImConversationLink::current() { return g_link; }

void ImConversationLink::install(ImConversationLink* link) { g_link = link ? link : &g_none; }
