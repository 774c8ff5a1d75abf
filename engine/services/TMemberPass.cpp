#include "services/TMemberPass.h"

#include <map>
#include <mutex>

namespace {

struct Pass {
  int version = 0;
  long long storedHigh = 0;  // rows up to here were stored before the pass
  long long next = 0;        // the fromid the next page must have
};

struct Passes {
  std::mutex mutex;
  std::map<std::string, Pass> byGroup;
};

Passes& All() {
  static Passes* passes = new Passes;  // used until the process ends
  return *passes;
}

}  // namespace

long long TMemberPass::OnPage(const std::string& groupid, long long fromid, long long endid,
                              int version, long long storedHigh) {
  Passes& passes = All();
  std::lock_guard<std::mutex> lock(passes.mutex);
  if (fromid == 0) {
    passes.byGroup[groupid] = Pass{version, storedHigh, endid};
  } else {
    auto found = passes.byGroup.find(groupid);
    // A page out of turn, or of another version of the list, breaks the pass.
    if (found == passes.byGroup.end() || found->second.next != fromid ||
        found->second.version != version) {
      passes.byGroup.erase(groupid);
      return 0;
    }
    found->second.next = endid;
  }
  if (endid != 0) return 0;
  const long long high = passes.byGroup[groupid].storedHigh;
  passes.byGroup.erase(groupid);
  return high;
}

void TMemberPass::Clear() {
  Passes& passes = All();
  std::lock_guard<std::mutex> lock(passes.mutex);
  passes.byGroup.clear();
}
