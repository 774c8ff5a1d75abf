#include "LocalPlugins.h"

#include "LocalHistoryPaths.h"
#include "LocalServer.h"

// One line per plug-in, for example a fake of the user server's contact paths:
//   [](LocalServer& s) { s.Keep(std::make_shared<FakeUserPaths>(s.Http("USERSERVER"))); },
const std::vector<LocalPathPlugin>& LocalPathPlugins() {
  static const std::vector<LocalPathPlugin> kPlugins = {&MountHistoryPaths};
  return kPlugins;
}
