#include "conversations/ImSessionListManager.h"

#include <QDebug>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cstring>

#include "contacts/ImGroupManager.h"
#include "conversations/ImMessageQuery.h"
#include "conversations/ImSessionListManagerPrivate.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "conversations/ImSessionThread.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"
#include "shell/VTranslator.h"

namespace {
using namespace ImMessageColumns;
// Reads one result row into the row's column fields.
class RowReader {
 public:
  RowReader(ImUiInterface* engine, long set, ImSessionTexts* texts)
      : m_engine(engine), m_set(set), m_texts(texts) {}
  int number(int row, Column col) const { return m_engine->DBGetIntValue(m_set, row, col); }
  ImSessionRow::Text text(int row, Column col) const {
    return m_texts->add(m_engine->DBGetStrValue(m_set, row, col));
  }
  void read(int row, ImSessionRow* r) const {
    r->id = number(row, kId);
    r->msgid = number(row, kMsgid);
    r->msgtype = number(row, kMsgtype);
    r->fromgroup = text(row, kFromgroup);
    r->fromver = text(row, kFromver);
    r->device = number(row, kDevice);
    r->totype = number(row, kTotype);
    r->content = text(row, kContent);
    r->remark = text(row, kRemark);
    r->localpath = text(row, kLocalpath);
    r->fileurl = text(row, kFileurl);
    r->sendflag = number(row, kSendflag);
    r->sendstate = number(row, kSendstate);
    r->localsend = number(row, kLocalsend);
    r->seeflag = number(row, kSeeflag);
    r->atflag = number(row, kAtflag);
    r->cancelflag = number(row, kCancelflag);
    r->sendtime = text(row, kSendtime);
    r->deleted = number(row, kDeleted);
  }

 private:
  ImUiInterface* m_engine;
  long m_set;
  ImSessionTexts* m_texts;
};

// ImUiInterface::peerOf on UTF-8 texts: `touser` when it is not the own
// account, else `fromuser`.
bool IsOwn(const char* touser, int length, const QByteArray& ownUtf8, const QString& own) {
  if (length == ownUtf8.size() && memcmp(touser, ownUtf8.constData(), size_t(length)) == 0)
    return true;
  // Other bytes can still read as the same text when they are not valid UTF-8.
  for (int i = 0; i < length; ++i)
    if (static_cast<unsigned char>(touser[i]) >= 0x80)
      return QString::fromUtf8(touser, length) == own;
  return false;
}

// Room for the texts of a typical row, so that the buffer seldom grows.
constexpr int kTextBytesPerRow = 320;
// Older messages looked at for one that shows something, when the newest does not.
constexpr int kLookBack = 30;

// When the conversation's newest message shows nothing in the chat (a notice
// without a line, a recall the rights rule refuses), the row takes the newest one
// that does, as it stood before that message came. Without one the row keeps its
// time and shows no text. True when the row changed.
bool TakeNewestShown(ImUiInterface* engine, ImSessionRow* r, ImSessionTexts& texts) {
  const auto shows = [&texts, r] {
    return !ImSessionListManagerPrivate::showsNothing(
        r->msgtype, QString::fromUtf8(texts.bytes(r->content)),
        QString::fromUtf8(texts.bytes(r->fromuser)), QString::fromUtf8(texts.bytes(r->touser)),
        r->totype);
  };
  if (shows()) return false;
  const ImSessionRow newestRow = *r;
  ImPageKey newest;
  newest.sendtime = QString::fromUtf8(texts.bytes(r->sendtime));
  newest.ids = {r->id};
  const QString sql = ImMessageQuery::page(r->account, r->totype, newest, kLookBack);
  const long set = sql.isEmpty() ? 0 : engine->DBSelectSql(sql.toUtf8().constData());
  const int count = set != 0 ? engine->DBGetRecordCount(set) : 0;
  const RowReader older(engine, set, &texts);
  bool found = false;
  for (int row = 0; row < count && !found; ++row) {
    const bool recalled = older.number(row, kRevokeflag) == 1 &&
                          ImSessionManagerPrivate::recallStands(older.number(row, kId));
    // The chat hides a received message once it was recalled; its notice is newer.
    if (recalled && older.number(row, kSendflag) == 0) continue;
    r->fromuser = older.text(row, kFromuser);
    r->touser = older.text(row, kTouser);
    older.read(row, r);
    found = shows();
    r->revokeflag = recalled ? 1 : 0;
  }
  engine->DBRelease(set);
  if (!found) {
    *r = newestRow;
    r->msgtype = 0;
    r->content = ImSessionRow::Text();
    r->revokeflag = 0;
  }
  return true;
}
}  // namespace

ImSessionListManager::ImSessionListManager()
    : ImSessionListManager(std::make_unique<ImSessionListManagerPrivate>(nullptr)) {}

ImSessionListManager::ImSessionListManager(std::unique_ptr<ImSessionListManagerPrivate> data)
    : ImBaseListModel(nullptr, data->list.items()), d(std::move(data)) {
  qRegisterMetaType<ImSessionListManager*>("ImSessionListManager*");
  connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
          &ImSessionListManager::onNotify);
  connect(d->thread, &ImSessionThread::msgCountChange, this,
          &ImSessionListManager::onMsgCountChange);
  connect(d->thread, &ImSessionThread::msgAtFlagChange, this,
          &ImSessionListManager::onMsgAtFlagChange);
  connect(VTranslator::instance(), &VTranslator::currentLanguageChanged, this,
          &ImSessionListManager::retranslateRows);
  setItemMaker([this](int row) -> QObject* {
    ImSessionRow* r = d->list.row(row);
    if (!r) return nullptr;
    if (!r->entity) r->entity = new ImMsgEntity(r->toMap(), nullptr);
    return r->entity.data();
  });
}

void ImSessionListManager::rowsInsertedHook(int first, int count) {
  d->list.inserted(first, count);
}

void ImSessionListManager::rowsRemovedHook(int first, int count) { d->list.removed(first, count); }

void ImSessionListManager::rowMovedHook(int from, int to) { d->list.moved(from, to); }

void ImSessionListManager::rowsResetHook() { d->list.cleared(); }

bool ImSessionListManager::rowsConsistent() const { return d->list.consistent(); }

ImSessionListManager::~ImSessionListManager() {
  // No badge push from here: the chat manager may be gone already at exit.
  deleteRows();
  // The counters thread stops and joins with the private part.
  d.reset();
}

ImSessionListManager* ImSessionListManager::instance() {
  static ImSessionListManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSessionListManager; });
}

void ImSessionListManager::initData() {
  qDebug() << Q_FUNC_INFO;
  deleteRows();
  ImUiInterface* engine = ImUiInterface::instance();
  const long set = engine->DBSelectSql(ImSessionListManagerPrivate::kListQuery);
  if (!set) {
    engine->DBRelease(set);
    return;
  }
  const int count = engine->DBGetRecordCount(set);
  const QString own = VConfig::instance()->value(QStringLiteral("MY_ACCOUNT")).toString();
  const QByteArray ownUtf8 = own.toUtf8();
  ImSessionTexts texts(count * kTextBytesPerRow);
  const RowReader reader(engine, set, &texts);
  QList<ImSessionRow*> built;
  built.reserve(count);
  d->list.reserve(count);
  // The counters are asked for once the rows stand, so that the worker's
  // queries do not compete with the rows still being read.
  QStringList accounts;
  QList<int> types;
  accounts.reserve(count);
  types.reserve(count);
  bool reordered = false;
  for (int row = 0; row < count; ++row) {
    const ImSessionRow::Text fromuser = reader.text(row, kFromuser);
    const ImSessionRow::Text touser = reader.text(row, kTouser);
    const ImSessionRow::Text peer =
        IsOwn(texts.data(touser), touser.length, ownUtf8, own) ? fromuser : touser;
    if (peer.length == 0) continue;
    const QString account = QString::fromUtf8(texts.data(peer), peer.length);
    // Rows come newest first: a second row of one conversation is older and
    // must not replace what the first one shows.
    ImSessionRow* r = d->list.create(account);
    if (!r) continue;
    r->fromuser = fromuser;
    r->touser = touser;
    reader.read(row, r);
    // Only notices and recalls can show nothing.
    if (r->msgtype == 6 || r->msgtype == 9) reordered |= TakeNewestShown(engine, r, texts);
    ImSessionListManagerPrivate::decorate(*r, texts, r->sendflag == 1 ? r->touser : r->fromuser);
    if (r->msgtype != 0)
      r->content = texts.add(ImSessionListManagerPrivate::shownContent(
          r->msgtype, QString::fromUtf8(texts.bytes(r->content)), r->sendflag));
    // A recall notice is the newest: the row reads as the recall it tells of.
    if (r->msgtype == 9) r->revokeflag = 1;
    built.append(r);
  }
  if (reordered) {
    // Rows that took an older message stand where that message puts them.
    std::stable_sort(built.begin(), built.end(),
                     [&texts](const ImSessionRow* a, const ImSessionRow* b) {
                       return texts.bytes(a->sendtime) > texts.bytes(b->sendtime);
                     });
  }
  for (const ImSessionRow* r : built) {
    accounts.append(r->account);
    types.append(r->totype);
  }
  // The buffer is complete: the rows share it from here on.
  for (ImSessionRow* r : built) r->texts = texts.buffer();
  insertRows(built);
  engine->DBRelease(set);
  // One request for all rows, answered row by row in this order.
  if (!accounts.isEmpty()) emit d->thread->updateCounters(accounts, types);
  emit dataComplete();
  // Every row is new and counts nothing until the worker answers.
  d->unreadTotal = 0;
  ImSessionManager::instance()->setUnReadMsgCount(0);
}

void ImSessionListManager::insertRows(const QList<ImSessionRow*>& rows) {
  if (rows.isEmpty()) return;
  // The items are made when asked for; the model lists the rows without them.
  QList<QObject*> none;
  none.reserve(rows.size());
  for (int i = 0; i < rows.size(); ++i) none.append(nullptr);
  d->list.stage(rows);
  prependItems(none);
}

void ImSessionListManager::parseData(const QList<QObject*>& itemList) {
  // Made items join as rows of their own, owned by the list like rebuilt ones;
  // an item without a conversation, or of one already listed, is left out.
  QList<QObject*> kept;
  QList<ImSessionRow*> rows;
  for (QObject* item : itemList) {
    auto* entity = qobject_cast<ImMsgEntity*>(item);
    const QString account = entity ? entity->account() : QString();
    ImSessionRow* r = account.isEmpty() ? nullptr : d->list.create(account);
    if (!r) continue;
    r->entity = entity;
    kept.append(item);
    rows.prepend(r);  // the model shows the list's last item first
  }
  if (kept.isEmpty()) return;
  d->list.stage(rows);
  prependItems(kept);
}

void ImSessionListManager::wipeData() {
  if (!deleteRows()) return;
  doUpdateUnReadMsgCount();
}

bool ImSessionListManager::deleteRows() {
  const QList<ImSessionRow*> rows = d->list.takeAll();
  if (rows.isEmpty()) return false;
  // One reset instead of a removal per destroyed row.
  reset();
  for (ImSessionRow* row : rows) {
    // Only the items that were asked for exist; QML's references to them are
    // guarded and become null.
    delete row->entity.data();
    delete row;
  }
  return true;
}

ImMsgEntity* ImSessionListManager::entityOf(ImSessionRow* row) const {
  if (row->entity) return row->entity;
  // Through the model, so that the row lists the item it made.
  const int index = d->list.indexOf(row);
  if (index >= 0) get(index);
  // A row that left the model (only QML's own removals do that) still answers.
  if (!row->entity) row->entity = new ImMsgEntity(row->toMap(), nullptr);
  return row->entity;
}

void ImSessionListManager::updateData(const QVariantMap& map) { updateData(map, false); }

void ImSessionListManager::updateData(const QVariantMap& message, bool isEmpty) {
  if (message.isEmpty()) return;
  QVariantMap map = message;
  const QString account =
      ImUiInterface::instance()->getPeerAccount(map.value(QStringLiteral("fromuser")).toString(),
                                                map.value(QStringLiteral("touser")).toString());
  if (account.isEmpty()) return;
  map.insert(QStringLiteral("account"), account);
  map.insert(QStringLiteral("atflag"), 0);
  const int totype = map.value(QStringLiteral("totype")).toInt();
  if (ImSessionRow* row = d->list.find(account)) {
    // A history download hands over older messages too: one that the list
    // table does not name as the conversation's newest must not replace the
    // text of the row nor move it.
    const bool superseded = !isEmpty && ImSessionListManagerPrivate::superseded(
                                            account, map.value(QStringLiteral("id")).toInt());
    if (!isEmpty && !superseded) {
      ImMsgEntity* item = entityOf(row);
      // The row shows this message from now on: its id says which one.
      if (map.value(QStringLiteral("id")).toInt() > 0)
        item->setId(map.value(QStringLiteral("id")).toInt());
      item->setContent(map.value(QStringLiteral("content")).toString());
      item->setAtflag(0);
      item->setSendtime(map.value(QStringLiteral("sendtime")).toString());
      item->setMsgtype(map.value(QStringLiteral("msgtype")).toInt());
      item->setRevokeflag(map.value(QStringLiteral("revokeflag")).toInt());
      item->setFromName(totype == 1 ? ImSessionListManagerPrivate::groupFromName(map, account)
                                    : map.value(QStringLiteral("fromName")).toString());
      item->setChampflag(ImSessionListManagerPrivate::champFlagOf(account));
    }
    if (!superseded && VConfig::instance()->autoMoveToTop()) move(d->list.indexOf(row), 0);
  } else {
    ImSessionListManagerPrivate::decorate(map, account, account);
    ImSessionRow* r = d->list.create(account);
    r->entity = new ImMsgEntity(map, nullptr);
    d->list.stage({r});
    insert(0, r->entity);
  }
  requestCounters(account, totype);
}

void ImSessionListManager::removeSession(const QString& account) {
  ImSessionRow* row = account.isEmpty() ? nullptr : d->list.find(account);
  if (!row) return;
  ImUiInterface* engine = ImUiInterface::instance();
  const QString quoted = ImMessageQuery::quoted(account);
  // Every message of the conversation, in both directions for a person.
  const QString messages =
      row->totypeOf() == 1 ? QStringLiteral("touser=%1 and totype=1").arg(quoted)
                           : QStringLiteral("(fromuser=%1 or touser=%1) and totype=0").arg(quoted);
  // Its mentions go too: a message that brings the conversation back (a notice after
  // leaving a group) must not bring back their tip.
  if (engine->dbExecSql(QStringLiteral("delete FROM nq_messagenew WHERE account=") + quoted) &&
      engine->dbExecSql(QStringLiteral("UPDATE nq_message SET deleted=1, atflag=0 WHERE ") +
                        messages))
    qDebug() << Q_FUNC_INFO << "remove from db done! ";
  // Unknown by account while the model drops the row.
  d->list.take(account);
  ImBaseListModel::removeItem(d->list.indexOf(row));
  delete row->entity.data();
  delete row;
  doUpdateUnReadMsgCount();
}

void ImSessionListManager::markRecalled(const QString& account, int id, int sendflag,
                                        const QString& fromName) {
  ImSessionRow* row = account.isEmpty() ? nullptr : d->list.find(account);
  if (!row || !ImSessionListManagerPrivate::showsRecallOf(account, id)) return;
  ImMsgEntity* item = entityOf(row);
  item->setRevokeflag(1);
  item->setSendflag(sendflag);
  if (!fromName.isEmpty()) item->setFromName(fromName);
}

void ImSessionListManager::retranslateRows() {
  const QList<ImSessionRow*> rows = d->list.byAccount().values();
  for (ImSessionRow* row : rows) {
    const int msgtype = row->entity ? row->entity->msgtype() : row->msgtype;
    if (msgtype != 6 && msgtype != 7 && msgtype != 9) continue;
    ImMsgEntity* item = entityOf(row);
    // A notice's line is made from the stored notice; the others need no text.
    const QString stored =
        msgtype == 6 ? ImSessionManagerPrivate::storedField(item->id(), "content") : QString();
    item->setContent(ImSessionListManagerPrivate::shownContent(msgtype, stored, item->sendflag()));
  }
}

void ImSessionListManager::requestCounters(const QString& account, int totype) {
  emit d->thread->updateMsgCount(account, totype);
  if (totype == 1) emit d->thread->updateAtFlag(account);
}

void ImSessionListManager::updateMsgCount(const QString& account, int type) {
  emit d->thread->updateMsgCount(account, type);
}

void ImSessionListManager::updateAtFlag(const QString& account) {
  emit d->thread->updateAtFlag(account);
}

void ImSessionListManager::resetUnReadMsgCount(const QString& account) {
  ImSessionRow* row = account.isEmpty() ? nullptr : d->list.find(account);
  if (!row) return;
  row->setUnReadMsgCount(0);
  const int totype = row->totypeOf();
  ImSessionManager::instance()->setAllMessageRead(account, totype);
  ImSessionManager::instance()->updateUnReadMsgCount();
  // A count the worker made before the messages were marked read may still be
  // on its way; a fresh one follows it and has the last word.
  updateMsgCount(account, totype);
}

void ImSessionListManager::resetAtflag(const QString& account) {
  ImSessionRow* row = account.isEmpty() ? nullptr : d->list.find(account);
  if (row) row->setAtflag(0);
}

template <typename Value, typename FromItem, typename FromRow>
Value ImSessionListManager::readRow(int index, FromItem fromItem, FromRow fromRow) const {
  const QList<QObject*>& items = d->list.itemList();
  if (index < 0 || index >= items.size()) return Value();
  // A made item is what QML reads and may have written; the fields only
  // stand for an item that does not exist yet.
  if (QObject* item = items.at(index)) {
    auto* entity = qobject_cast<ImMsgEntity*>(item);
    return entity ? fromItem(entity) : Value();
  }
  const ImSessionRow* row = d->list.row(index);
  return row ? fromRow(row) : Value();
}

int ImSessionListManager::getNextUnReadIndex() {
  for (int index = 0; index < itemCount(); ++index) {
    const int count = readRow<int>(
        index, [](ImMsgEntity* e) { return e->unReadMsgCount(); },
        [](const ImSessionRow* r) { return r->unReadMsgCount; });
    if (count > 0) return index;
  }
  return 0;
}

QString ImSessionListManager::getSessionAccount(int index) {
  return readRow<QString>(
      index, [](ImMsgEntity* e) { return e->account(); },
      [](const ImSessionRow* r) { return r->account; });
}

QString ImSessionListManager::getSessionName(int index) {
  return readRow<QString>(
      index, [](ImMsgEntity* e) { return e->name(); },
      [](const ImSessionRow* r) { return r->text(r->name); });
}

QString ImSessionListManager::getSessionIcon(int index) {
  return readRow<QString>(
      index, [](ImMsgEntity* e) { return e->icon(); },
      [](const ImSessionRow* r) { return r->text(r->icon); });
}

int ImSessionListManager::getSessionTotype(int index) {
  return readRow<int>(
      index, [](ImMsgEntity* e) { return e->totype(); },
      [](const ImSessionRow* r) { return r->totype; });
}

int ImSessionListManager::getSessionTitle(int index) {
  return readRow<int>(
      index, [](ImMsgEntity* e) { return e->title(); },
      [](const ImSessionRow* r) { return r->title; });
}

int ImSessionListManager::getSessionChampFlag(int index) {
  return readRow<int>(
      index, [](ImMsgEntity* e) { return e->champflag(); },
      [](const ImSessionRow* r) { return r->champflag; });
}

ImMsgEntity* ImSessionListManager::getSession(const QString& account) const {
  ImSessionRow* row = d->list.find(account);
  return row ? entityOf(row) : nullptr;
}

void ImSessionListManager::setSessionName(const QString& account, const QString& name) {
  if (ImSessionRow* row = d->list.find(account)) entityOf(row)->setName(name);
}

int ImSessionListManager::searchAtMsg(const QString& account, int flag) {
  return ImUiInterface::instance()->SearchAtMsg(account.toUtf8().constData(), flag);
}

int ImSessionListManager::getAllUnReadMsgCount() {
  qint64 total = 0;
  ImGroupManager* groups = ImGroupManager::instance();
  const QHash<QString, ImSessionRow*>& sessions = d->list.byAccount();
  for (auto it = sessions.cbegin(); it != sessions.cend(); ++it) {
    const int count = it.value()->unReadMsgCountOf();
    // A muted conversation keeps its own count but adds nothing to the badge.
    if (count > 0 && !groups->isGroupMute(it.key())) total += count;
  }
  return static_cast<int>(qMin<qint64>(total, INT_MAX));
}

void ImSessionListManager::doUpdateUnReadMsgCount() {
  d->unreadTotal = getAllUnReadMsgCount();
  ImSessionManager::instance()->setUnReadMsgCount(d->unreadTotal);
}

void ImSessionListManager::onNotify(const UIMessage* pMsg) {
  if (!pMsg || pMsg->m_Method != _EVENT_COME_FINISHIMHISTORY) return;
  qDebug() << Q_FUNC_INFO << pMsg->m_Method << pMsg->m_Status;
  if (pMsg->m_Status == 0) initData();
}

void ImSessionListManager::onMsgCountChange(const QString& account, int count) {
  ImSessionRow* row = d->list.find(account);
  if (!row) return;
  const int before = row->unReadMsgCountOf();
  row->setUnReadMsgCount(count);
  // The badge follows the count that just arrived, not the one before it. A
  // rebuild brings one answer per row: the change is added rather than the
  // whole list summed again for each.
  if (before == count || ImGroupManager::instance()->isGroupMute(account)) return;
  d->unreadTotal = qBound(0, d->unreadTotal + count - before, INT_MAX);
  ImSessionManager::instance()->setUnReadMsgCount(d->unreadTotal);
}

void ImSessionListManager::onMsgAtFlagChange(const QString& account, int atFlag) {
  if (ImSessionRow* row = d->list.find(account)) row->setAtflag(atFlag);
}
