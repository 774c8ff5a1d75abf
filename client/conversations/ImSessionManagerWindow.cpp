// The rows the chat view keeps: a conversation that grows while it is read keeps
// what the view shows and caches near its end; older rows go back to the local
// history, from where paging reads them again; a page that comes in keeps the
// message that stood at the view's top in place.
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionManagerPrivate.h"

namespace {

// Rows let go between two returns of the heap's free pages.
constexpr int kReturnFreeHeapEvery = 100;

// Where a row stands in the local history: newest first by send time, then id.
bool NewerThan(const ImMsgEntity* a, const ImMsgEntity* b) {
  const QString ta = a->sendtime();
  const QString tb = b->sendtime();
  return ta != tb ? ta > tb : a->id() > b->id();
}

}  // namespace

int ImSessionManager::releaseOlderRows(int keep, int batch) {
  keep = qMax(keep, kKeptRows);
  const int rows = itemCount();
  if (rows <= keep + qMax(batch, 0)) return 0;
  const int drop = rows - keep;
  QList<ImMsgEntity*> released;
  released.reserve(drop);
  const ImMsgEntity* newest = nullptr;
  for (int row = 0; row < drop; ++row) {
    auto* item = qobject_cast<ImMsgEntity*>(get(row));
    released.append(item);
    if (item && (!newest || NewerThan(item, newest))) newest = item;
  }
  // The next page starts with the second of the newest row let go: rows arrive in
  // the order they are shown, which need not be the history's order, and a row read
  // again that is still shown makes no second item. Of that second only the rows
  // still shown count as read (0 is no row's id: the key needs one).
  if (newest) {
    ImPageKey key{newest->sendtime(), {0}};
    for (int row = drop; row < rows; ++row) {
      const auto* item = qobject_cast<const ImMsgEntity*>(get(row));
      if (item && item->sendtime() == key.sendtime) key.ids.append(item->id());
    }
    d->pageKey = key;
  }
  removeItems(0, drop);
  // The view drops its rows' delegates when it next lays out; until then their
  // bindings still read the items.
  for (ImMsgEntity* item : released) {
    if (!item) continue;
    d->msgMap.remove(item->id());
    item->deleteLater();
  }
  setNoMoreMsg(false);
  // Rows go oldest first while new ones are made: the heap keeps the freed pages
  // among live ones, so the process would grow with every message although what
  // it holds does not. Now and then they go back to the system.
  d->releasedRows += drop;
  if (d->releasedRows >= kReturnFreeHeapEvery) {
    d->releasedRows = 0;
#ifdef __GLIBC__
    malloc_trim(0);
#endif
  }
  return drop;
}

bool ImSessionManager::pageAwaited() const { return d->pageAwaited; }

int ImSessionManager::pageTopRow() const { return d->pageTopRow; }

void ImSessionManager::beginPage(int row) {
  const auto* top = qobject_cast<const ImMsgEntity*>(get(row));
  d->pageTopRow = row;
  d->pageTopId = top ? top->id() : -1;
  d->countBeforePage = itemCount();
  d->pageAwaited = true;
  emit pagingChanged();
}

void ImSessionManager::endPage() {
  if (!d->pageAwaited) return;
  d->pageAwaited = false;
  emit pagingChanged();
}

int ImSessionManager::pageTopNow() const {
  const int rows = itemCount();
  const int last = qMin(rows - 1, rows - d->countBeforePage + d->pageTopRow);
  for (int row = qMax(0, d->pageTopRow); row <= last; ++row) {
    const auto* item = qobject_cast<const ImMsgEntity*>(get(row));
    if (item && item->id() == d->pageTopId) return row;
  }
  return -1;
}

int ImSessionManager::settlePage() {
  if (!d->pageAwaited) return -1;
  const int row = pageTopNow();
  if (row == d->pageTopRow) return -1;
  endPage();
  return row;
}

void ImSessionManager::endPageWhenNothingCame() {
  if (d->pageAwaited && pageTopNow() == d->pageTopRow) endPage();
}
