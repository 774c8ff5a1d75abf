#include "net/TTransferStopSet.h"

#include <set>

#include "base/TAutoLock.h"
#include "base/TBaseMutex.h"

namespace {

struct StopSet {
  TBaseMutex mutex;
  std::set<int> ids;
};

StopSet& Shared() {
  static StopSet* set = new StopSet;  // outlives transfers still running at exit
  return *set;
}

}  // namespace

void TTransferStopSet::Stop(int id) {
  StopSet& s = Shared();
  TAutoLock lock(s.mutex);
  s.ids.insert(id);
}

bool TTransferStopSet::TakeStop(int id) {
  StopSet& s = Shared();
  TAutoLock lock(s.mutex);
  return s.ids.erase(id) > 0;
}

void TTransferStopSet::Clear() {
  StopSet& s = Shared();
  TAutoLock lock(s.mutex);
  s.ids.clear();
}
