// The rows the chat view keeps: a conversation that grows while it is read keeps
// what the view shows and caches near its end; older rows go back to the local
// history, from where paging reads them again.
#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionManagerPrivate.h"

namespace {

// Where a row stands in the local history: newest first by send time, then id.
bool NewerThan(const ImMsgEntity* a, const ImMsgEntity* b) {
  const QString ta = a->sendtime();
  const QString tb = b->sendtime();
  return ta != tb ? ta > tb : a->id() > b->id();
}

}  // namespace

int ImSessionManager::releaseOlderRows(int keep) {
  keep = qMax(keep, kKeptRows);
  const int rows = itemCount();
  if (rows <= keep) return 0;
  const int drop = rows - keep;
  QList<ImMsgEntity*> released;
  released.reserve(drop);
  const ImMsgEntity* newest = nullptr;
  for (int row = 0; row < drop; ++row) {
    auto* item = qobject_cast<ImMsgEntity*>(get(row));
    released.append(item);
    if (item && (!newest || NewerThan(item, newest))) newest = item;
  }
  // The next page starts with the newest row let go: rows arrive in the order they
  // are shown, which need not be the history's order, and a row read again that is
  // still shown makes no second item.
  if (newest) d->pageKey = ImPageKey{newest->sendtime(), newest->id() + 1};
  removeItems(0, drop);
  for (ImMsgEntity* item : released) {
    if (!item) continue;
    d->msgMap.remove(item->id());
    delete item;
  }
  setNoMoreMsg(false);
  return drop;
}
