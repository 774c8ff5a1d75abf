#include "conversations/ImSessionListManager.h"

#include <QDebug>
#include <QStringList>
#include <QVector>
#include <algorithm>
#include <climits>

#include "contacts/ImGroupManager.h"
#include "conversations/ImMessageQuery.h"
#include "conversations/ImSessionListManagerPrivate.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionThread.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"

namespace {
constexpr int kHistorySyncFinished = 100013;

// The columns of the list query, in its order; true for the numeric ones.
struct Column {
  const char* key;
  bool number;
};
constexpr Column kColumns[] = {{"id", true},         {"msgid", true},      {"msgtype", true},
                               {"fromuser", false},  {"fromgroup", false}, {"fromver", false},
                               {"device", true},     {"touser", false},    {"totype", true},
                               {"content", false},   {"remark", false},    {"localpath", false},
                               {"fileurl", false},   {"sendflag", true},   {"sendstate", true},
                               {"localsend", true},  {"seeflag", true},    {"atflag", true},
                               {"cancelflag", true}, {"sendtime", false},  {"deleted", true}};
constexpr int kFromuserColumn = 3;
constexpr int kTouserColumn = 7;
constexpr int kTotypeColumn = 8;
constexpr int kSendflagColumn = 13;

constexpr bool SameKey(const char* a, const char* b) {
  return *a == *b && (*a == '\0' || SameKey(a + 1, b + 1));
}
static_assert(SameKey(kColumns[kFromuserColumn].key, "fromuser") &&
                  SameKey(kColumns[kTouserColumn].key, "touser") &&
                  SameKey(kColumns[kTotypeColumn].key, "totype") &&
                  SameKey(kColumns[kSendflagColumn].key, "sendflag"),
              "the list's own fields name their columns");

// The fields of a row that the list itself looks at, besides the row's map.
struct RowFacts {
  QString fromuser;
  QString touser;
  int totype = 0;
  int sendflag = 0;
};

// The columns in the order of their keys: the map is filled front to back, so
// every insertion lands at its end without a search.
const QVector<int>& ColumnsByKey() {
  static const QVector<int> order = [] {
    QVector<int> columns;
    for (int col = 0; col < int(sizeof(kColumns) / sizeof(kColumns[0])); ++col) columns << col;
    std::sort(columns.begin(), columns.end(), [](int a, int b) {
      return QString::fromLatin1(kColumns[a].key) < QString::fromLatin1(kColumns[b].key);
    });
    return columns;
  }();
  return order;
}

QVariantMap RowToMap(ImUiInterface* engine, long set, int row, RowFacts* facts) {
  // Keys made once: every row's map shares them.
  static const QVector<QString> kKeys = [] {
    QVector<QString> keys;
    for (const Column& column : kColumns) keys << QString::fromLatin1(column.key);
    return keys;
  }();
  QVariantMap map;
  for (const int col : ColumnsByKey()) {
    const QVariant value = kColumns[col].number
                               ? QVariant(engine->DBGetIntValue(set, row, col))
                               : QVariant(QString::fromUtf8(engine->DBGetStrValue(set, row, col)));
    switch (col) {
      case kFromuserColumn:
        facts->fromuser = value.toString();
        break;
      case kTouserColumn:
        facts->touser = value.toString();
        break;
      case kTotypeColumn:
        facts->totype = value.toInt();
        break;
      case kSendflagColumn:
        facts->sendflag = value.toInt();
        break;
      default:
        break;
    }
    map.insert(map.cend(), kKeys.at(col), value);
  }
  return map;
}
}  // namespace

ImSessionListManager::ImSessionListManager()
    : ImSessionListManager(std::make_unique<ImSessionListManagerPrivate>(nullptr)) {}

ImSessionListManager::ImSessionListManager(std::unique_ptr<ImSessionListManagerPrivate> data)
    : ImBaseListModel(nullptr, &data->items), d(std::move(data)) {
  qRegisterMetaType<ImSessionListManager*>("ImSessionListManager*");
  connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
          &ImSessionListManager::onNotify);
  connect(d->thread, &ImSessionThread::msgCountChange, this,
          &ImSessionListManager::onMsgCountChange);
  connect(d->thread, &ImSessionThread::msgAtFlagChange, this,
          &ImSessionListManager::onMsgAtFlagChange);
}

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
  QList<QObject*> built;
  built.reserve(count);
  // The counters are asked for once the rows stand, so that the worker's
  // queries do not compete with the rows still being read.
  QStringList accounts;
  QList<int> types;
  accounts.reserve(count);
  types.reserve(count);
  for (int row = 0; row < count; ++row) {
    RowFacts facts;
    QVariantMap map = RowToMap(engine, set, row, &facts);
    const QString account = ImUiInterface::peerOf(facts.fromuser, facts.touser, own);
    // Rows come newest first: a second row of one conversation is older and
    // must not replace what the first one shows.
    if (account.isEmpty() || d->sessions.contains(account)) continue;
    map.insert(QStringLiteral("account"), account);
    const QString& peer = facts.sendflag == 1 ? facts.touser : facts.fromuser;
    ImSessionListManagerPrivate::decorate(map, account, peer);
    map.insert(QStringLiteral("content"), ImSessionListManagerPrivate::shownContent(map));
    auto* item = new ImMsgEntity(map, nullptr);
    d->sessions.insert(account, item);
    built.prepend(item);
    accounts.append(account);
    types.append(facts.totype);
  }
  parseData(built);
  engine->DBRelease(set);
  // One request for all rows, answered row by row in this order.
  if (!accounts.isEmpty()) emit d->thread->updateCounters(accounts, types);
  emit dataComplete();
  // Every row is new and counts nothing until the worker answers.
  d->unreadTotal = 0;
  ImSessionManager::instance()->setUnReadMsgCount(0);
}

void ImSessionListManager::parseData(const QList<QObject*>& itemList) {
  if (itemList.isEmpty()) return;
  prependItems(itemList);
}

void ImSessionListManager::wipeData() {
  if (!deleteRows()) return;
  doUpdateUnReadMsgCount();
}

bool ImSessionListManager::deleteRows() {
  if (d->sessions.isEmpty()) return false;
  const QList<ImMsgEntity*> rows = d->sessions.values();
  d->sessions.clear();
  // One reset instead of a removal per destroyed row.
  reset();
  qDeleteAll(rows);
  return true;
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
  if (ImMsgEntity* row = d->sessions.value(account)) {
    // A history download hands over older messages too: one that the list
    // table does not name as the conversation's newest must not replace the
    // text of the row nor move it.
    const bool superseded = !isEmpty && ImSessionListManagerPrivate::superseded(
                                            account, map.value(QStringLiteral("id")).toInt());
    if (!isEmpty && !superseded) {
      row->setContent(map.value(QStringLiteral("content")).toString());
      row->setAtflag(0);
      row->setSendtime(map.value(QStringLiteral("sendtime")).toString());
      row->setMsgtype(map.value(QStringLiteral("msgtype")).toInt());
      row->setRevokeflag(map.value(QStringLiteral("revokeflag")).toInt());
      row->setFromName(map.value(QStringLiteral("fromName")).toString());
      row->setChampflag(ImSessionListManagerPrivate::champFlagOf(account));
    }
    if (!superseded && VConfig::instance()->autoMoveToTop()) move(indexOf(row), 0);
  } else {
    ImSessionListManagerPrivate::decorate(map, account, account);
    auto* item = new ImMsgEntity(map, nullptr);
    insert(0, item);
    d->sessions.insert(account, item);
  }
  requestCounters(account, totype);
}

void ImSessionListManager::removeSession(const QString& account) {
  ImMsgEntity* row = account.isEmpty() ? nullptr : d->sessions.value(account);
  if (!row) return;
  ImUiInterface* engine = ImUiInterface::instance();
  const QString quoted = ImMessageQuery::quoted(account);
  // Every message of the conversation, in both directions for a person.
  const QString messages =
      row->totype() == 1 ? QStringLiteral("touser=%1 and totype=1").arg(quoted)
                         : QStringLiteral("(fromuser=%1 or touser=%1) and totype=0").arg(quoted);
  if (engine->dbExecSql(QStringLiteral("delete FROM nq_messagenew WHERE account=") + quoted) &&
      engine->dbExecSql(QStringLiteral("UPDATE nq_message SET deleted=1 WHERE ") + messages))
    qDebug() << Q_FUNC_INFO << "remove from db done! ";
  d->sessions.remove(account);
  removeItem(static_cast<QObject*>(row));
  delete row;
  doUpdateUnReadMsgCount();
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
  ImMsgEntity* row = account.isEmpty() ? nullptr : d->sessions.value(account);
  if (!row) return;
  row->setUnReadMsgCount(0);
  ImSessionManager::instance()->setAllMessageRead(account, row->totype());
  ImSessionManager::instance()->updateUnReadMsgCount();
  // A count the worker made before the messages were marked read may still be
  // on its way; a fresh one follows it and has the last word.
  updateMsgCount(account, row->totype());
}

void ImSessionListManager::resetAtflag(const QString& account) {
  ImMsgEntity* row = account.isEmpty() ? nullptr : d->sessions.value(account);
  if (row) row->setAtflag(0);
}

int ImSessionListManager::getNextUnReadIndex() {
  for (int index = 0; index < d->items.size(); ++index) {
    ImMsgEntity* row = rowAt(index);
    if (row && row->unReadMsgCount() > 0) return index;
  }
  return 0;
}

ImMsgEntity* ImSessionListManager::rowAt(int index) const {
  return qobject_cast<ImMsgEntity*>(get(index));
}

QString ImSessionListManager::getSessionAccount(int index) {
  ImMsgEntity* row = rowAt(index);
  return row ? row->account() : QString();
}

QString ImSessionListManager::getSessionName(int index) {
  ImMsgEntity* row = rowAt(index);
  return row ? row->name() : QString();
}

QString ImSessionListManager::getSessionIcon(int index) {
  ImMsgEntity* row = rowAt(index);
  return row ? row->icon() : QString();
}

int ImSessionListManager::getSessionTotype(int index) {
  ImMsgEntity* row = rowAt(index);
  return row ? row->totype() : 0;
}

int ImSessionListManager::getSessionTitle(int index) {
  ImMsgEntity* row = rowAt(index);
  return row ? row->title() : 0;
}

int ImSessionListManager::getSessionChampFlag(int index) {
  ImMsgEntity* row = rowAt(index);
  return row ? row->champflag() : 0;
}

ImMsgEntity* ImSessionListManager::getSession(const QString& account) const {
  return d->sessions.value(account);
}

void ImSessionListManager::setSessionName(const QString& account, const QString& name) {
  if (ImMsgEntity* row = d->sessions.value(account)) row->setName(name);
}

int ImSessionListManager::searchAtMsg(const QString& account, int flag) {
  return ImUiInterface::instance()->SearchAtMsg(account.toUtf8().constData(), flag);
}

int ImSessionListManager::getAllUnReadMsgCount() {
  qint64 total = 0;
  ImGroupManager* groups = ImGroupManager::instance();
  for (auto it = d->sessions.cbegin(); it != d->sessions.cend(); ++it) {
    const int count = it.value()->unReadMsgCount();
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
  if (!pMsg || pMsg->m_Method != kHistorySyncFinished) return;
  qDebug() << Q_FUNC_INFO << pMsg->m_Method << pMsg->m_Status;
  if (pMsg->m_Status == 0) initData();
}

void ImSessionListManager::onMsgCountChange(const QString& account, int count) {
  ImMsgEntity* row = getSession(account);
  if (!row) return;
  const int before = row->unReadMsgCount();
  row->setUnReadMsgCount(count);
  // The badge follows the count that just arrived, not the one before it. A
  // rebuild brings one answer per row: the change is added rather than the
  // whole list summed again for each.
  if (before == count || ImGroupManager::instance()->isGroupMute(account)) return;
  d->unreadTotal = qBound(0, d->unreadTotal + count - before, INT_MAX);
  ImSessionManager::instance()->setUnReadMsgCount(d->unreadTotal);
}

void ImSessionListManager::onMsgAtFlagChange(const QString& account, int atFlag) {
  if (ImMsgEntity* row = getSession(account)) row->setAtflag(atFlag);
}
