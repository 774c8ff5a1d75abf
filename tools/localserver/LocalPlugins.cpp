#include "LocalPlugins.h"

#include "LocalGroups.h"
#include "LocalHistoryPaths.h"
#include "LocalPeople.h"
#include "LocalServer.h"

// One line per plug-in, for example a fake of the user server's contact paths:
//   [](LocalServer& s) { s.Keep(std::make_shared<FakeUserPaths>(s.Http("USERSERVER"))); },
const std::vector<LocalPathPlugin>& LocalPathPlugins() {
  // A later plug-in's path replaces an earlier one's: the history plug-in's group list
  // update and friend list give way to the group and people plug-ins' fuller ones.
  static const std::vector<LocalPathPlugin> kPlugins = {
      &MountHistoryPaths,
      &LocalPeople::Plug,
      &LocalGroups::Plug,
  };
  return kPlugins;
}
