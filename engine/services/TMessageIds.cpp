#include "services/TMessageIds.h"

#include <set>

#include "base/TAutoLock.h"

namespace {

struct SeenIds {
  TBaseMutex mutex;
  std::set<int> ids;
};

SeenIds& Seen() {
  static SeenIds* seen = new SeenIds;  // never destroyed: used until the process ends
  return *seen;
}

}  // namespace

int IsNewMessageId(int localId) {
  if (localId == 0) return 1;
  SeenIds& seen = Seen();
  TAutoLock lock(seen.mutex);
  return seen.ids.insert(localId).second ? 1 : 0;
}

void ClearMessageIds() {
  SeenIds& seen = Seen();
  TAutoLock lock(seen.mutex);
  seen.ids.clear();
}
