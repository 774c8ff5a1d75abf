// The loading side of the open conversation: local history pages, the server's
// older history, the jump to the last @-message, removal and read marks.
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QTimer>

#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImUserEntity.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VGlobal.h"
#include "shell/VTranslator.h"

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
// The @-jump shows its rows before history answers may add more.
constexpr int kAtJumpSettleMs = 200;
constexpr int kAtMessageRow = -1;

using namespace ImMessageColumns;
const char* const kColumnNames[kColumnCount] = {
    "id",         "msgid",    "msgtype",   "fromuser",  "fromgroup", "fromver",
    "device",     "touser",   "totype",    "content",   "remark",    "localpath",
    "fileurl",    "sendflag", "sendstate", "localsend", "seeflag",   "atflag",
    "cancelflag", "sendtime", "deleted",   "revokeflag"};

bool IsTextColumn(int column) {
  switch (column) {
    case kFromuser:
    case kFromgroup:
    case kFromver:
    case kTouser:
    case kContent:
    case kRemark:
    case kLocalpath:
    case kFileurl:
    case kSendtime:
      return true;
    default:
      return false;
  }
}

// Whether the recall notice in that row names a stored message that its sender
// had no right to take back: such a notice was dropped when it came in.
bool RecallRefused(ImUiInterface* ui, long set, int row) {
  const QString fromuser = QString::fromUtf8(ui->DBGetStrValue(set, row, kFromuser));
  const QString touser = QString::fromUtf8(ui->DBGetStrValue(set, row, kTouser));
  const int totype = ui->DBGetIntValue(set, row, kTotype);
  const QString key = totype == 1 ? touser : ui->getPeerAccount(fromuser, touser);
  const int id = QString::fromUtf8(ui->DBGetStrValue(set, row, kContent)).toInt();
  return ImSessionManagerPrivate::recallVerdict(fromuser, key, totype, id) ==
         ImSessionManagerPrivate::Recall::Refused;
}

}  // namespace

void ImSessionManager::entrySession(const QString& sessionId, int type, bool isFromContact,
                                    const QString& name, const QString& icon) {
  qDebug() << Q_FUNC_INFO << sessionId << type << isFromContact << name << icon;
  setNoMoreMsg(false);
  ImSessionListManager* sessions = ImSessionListManager::instance();
  if (type == 1) {
    ImGroupManager* groups = ImGroupManager::instance();
    if (const ImGroupEntity* group = groups->getGroupEntity(sessionId)) {
      groups->setGroupname(group->groupname());
      groups->setInfo(group->groupinfo());
      groups->setGroupIcon(group->grouplogo());
      groups->setMemberCount(group->usercount());
    } else {
      // A group the list does not know (yet): nothing of the group open before
      // may head it; its conversation row, or the caller, names it.
      const ImMsgEntity* row = sessions->getSession(sessionId);
      groups->setGroupname(row && !row->name().isEmpty() ? row->name() : name);
      groups->setInfo(QString());
      groups->setGroupIcon(row && !row->icon().isEmpty() ? row->icon() : icon);
      groups->setMemberCount(0);
    }
  }
  setCurrentSessionId(sessionId);
  VConfig::instance()->setValue(QStringLiteral("CURRENT_SESSION_ID"), sessionId);
  setCurrentSessionType(type);
  d->pageKey = ImPageKey();
  d->historyDialog = 0;
  d->readAccount.clear();
  d->atClearedAccount.clear();
  wipeData();
  loadNextPage();
  // Opening shows the row's mention: the last one is kept for the banner, and the
  // stored flags go with the row's tip, or the next count (after sending, say)
  // would bring the tip back.
  if (const ImMsgEntity* row = sessions->getSession(d->currentSessionId)) {
    if (row->atflag() > 0) {
      rememberStoredMention();
      clearStoredAtFlags(d->currentSessionId);
    }
  }
  sessions->resetUnReadMsgCount(d->currentSessionId);
  sessions->resetAtflag(d->currentSessionId);
  if (isFromContact) {
    const QVariantMap placeholder{
        {QStringLiteral("id"), 999999999},
        {QStringLiteral("fromuser"), QString::fromUtf8(ImUiInterface::instance()->GetMyAccount())},
        {QStringLiteral("touser"), sessionId},
        {QStringLiteral("content"), QString()},
        {QStringLiteral("sendflag"), 1},
        {QStringLiteral("sendstate"), 2},
        {QStringLiteral("msgtype"), 0},
        {QStringLiteral("totype"), type},
        {QStringLiteral("icon"), icon},
        {QStringLiteral("name"), name},
        {QStringLiteral("sendtime"), QDateTime::currentDateTime().toString(kTimeFormat)}};
    sessions->updateData(placeholder, true);
  }
}

int ImSessionManager::loadNextPage() {
  ImUiInterface* ui = ImUiInterface::instance();
  // A page whose rows all stay hidden (recalled, already shown) is passed over, so
  // paging only ends when the table has no older row.
  for (;;) {
    const QString sql =
        ImMessageQuery::page(d->currentSessionId, d->currentSessionType, d->pageKey, kPageSize);
    if (sql.isEmpty()) return 0;
    const long set = ui->DBSelectSql(sql.toUtf8().constData());
    if (set == 0) return 0;
    const int rowsRead = ui->DBGetRecordCount(set);
    ImPageKey oldest;
    const QList<QVariantMap> maps = parseSqlParamToMsgs(set, -1, &oldest);
    ui->DBRelease(set);
    if (rowsRead <= 0) return 0;
    d->pageKey.advance(oldest);
    const int added = parseData(maps);
    if (added > 0) return added;
  }
}

QList<QVariantMap> ImSessionManager::queryMessages(const QString& account, int type,
                                                   int messageIndex, int pageSize) {
  const QString sql = ImMessageQuery::pageAt(account, type, messageIndex, pageSize);
  if (sql.isEmpty()) return {};
  ImUiInterface* ui = ImUiInterface::instance();
  const long set = ui->DBSelectSql(sql.toUtf8().constData());
  if (set == 0) return {};
  const QList<QVariantMap> maps = parseSqlParamToMsgs(set, -1);
  ui->DBRelease(set);
  return maps;
}

QList<QVariantMap> ImSessionManager::queryMessage(const QString& account, int type, int msgid,
                                                  const QString& sendtime) {
  const QString sql = ImMessageQuery::fromTime(account, type, sendtime);
  if (sql.isEmpty()) return {};
  ImUiInterface* ui = ImUiInterface::instance();
  const long set = ui->DBSelectSql(sql.toUtf8().constData());
  if (set == 0) return {};
  const QList<QVariantMap> maps = parseSqlParamToMsgs(set, msgid);
  ui->DBRelease(set);
  return maps;
}

QList<QVariantMap> ImSessionManager::parseSqlParamToMsgs(long set, int targetMsgid,
                                                         ImPageKey* oldestRead) {
  ImUiInterface* ui = ImUiInterface::instance();
  VTranslator* translator = VTranslator::instance();
  const int count = ui->DBGetRecordCount(set);
  int used = count;
  if (targetMsgid > 0) {
    for (int row = count - 1; row >= 0; --row) {
      if (ui->DBGetIntValue(set, row, kMsgid) == targetMsgid) {
        used = row + 1;
        break;
      }
    }
  }
  if (oldestRead && used > 0) {
    // Every row read of the oldest second: rows come newest first, so they end the set.
    *oldestRead = ImPageKey();
    oldestRead->sendtime = QString::fromUtf8(ui->DBGetStrValue(set, used - 1, kSendtime));
    for (int row = used - 1; row >= 0; --row) {
      if (QString::fromUtf8(ui->DBGetStrValue(set, row, kSendtime)) != oldestRead->sendtime) break;
      oldestRead->ids.prepend(ui->DBGetIntValue(set, row, kId));
    }
  }

  QList<QVariantMap> result;
  for (int row = 0; row < used; ++row) {
    // A received message its sender recalled is not shown at all. A mark that the
    // rights rule refuses (stored by an engine that did not check them) is ignored,
    // as it was when the recall came in.
    const int revoked =
        ui->DBGetIntValue(set, row, kRevokeflag) == 1 &&
                ImSessionManagerPrivate::recallStands(ui->DBGetIntValue(set, row, kId))
            ? 1
            : 0;
    if (ui->DBGetIntValue(set, row, kSendflag) == 0 && revoked == 1) continue;
    if (ui->DBGetIntValue(set, row, kMsgtype) == 9 && RecallRefused(ui, set, row)) continue;
    // A group notice without a line (a "set" that did not rename) is no row.
    QString noticeLine;
    if (ui->DBGetIntValue(set, row, kMsgtype) == 6) {
      noticeLine = getGroupNotifyContent(QString::fromUtf8(ui->DBGetStrValue(set, row, kContent)));
      if (noticeLine.isEmpty()) continue;
    }
    QVariantMap map;
    for (int column = 0; column < kColumnCount; ++column) {
      const QString key = QLatin1String(kColumnNames[column]);
      if (IsTextColumn(column)) {
        map.insert(key, QString::fromUtf8(ui->DBGetStrValue(set, row, column)));
      } else {
        map.insert(key, ui->DBGetIntValue(set, row, column));
      }
    }
    map.insert(QStringLiteral("revokeflag"), revoked);
    map.insert(QStringLiteral("progress"), 0);

    const int id = map.value(QStringLiteral("id")).toInt();
    const int msgtype = map.value(QStringLiteral("msgtype")).toInt();
    const QString fromuser = map.value(QStringLiteral("fromuser")).toString();
    const std::string from = fromuser.toStdString();
    map.insert(QStringLiteral("name"), QString::fromUtf8(ui->GetUserInfo(from, 0)));
    map.insert(QStringLiteral("icon"), QString::fromUtf8(ui->GetUserInfo(from, 2)));
    map.insert(QStringLiteral("champflag"), QString::fromUtf8(ui->GetUserInfo(from, 4)).toInt());

    const QString remarkText = map.value(QStringLiteral("remark")).toString();
    if (!remarkText.isEmpty()) {
      applyRemark(map, ui->convJsonToVariantMap(remarkText), false);
    } else if (const ImUserEntity* user = ImContactsManager::instance()->getUserEntity(fromuser)) {
      if (map.value(QStringLiteral("icon")).toString().isEmpty())
        map.insert(QStringLiteral("icon"), user->logo());
      if (map.value(QStringLiteral("name")).toString().isEmpty())
        map.insert(QStringLiteral("name"), user->name());
    }

    switch (msgtype) {
      case 6:
        map.insert(QStringLiteral("content"), noticeLine);
        break;
      case 7:
        map.insert(QStringLiteral("content"),
                   translator->getString(QStringLiteral("hint_sdhbqzsjsck")));
        break;
      case 2:
      case 3:
      case 4:
      case 5:
      case 8: {
        const QString url = map.value(QStringLiteral("content")).toString();
        const QString localpath = map.value(QStringLiteral("localpath")).toString();
        map.insert(QStringLiteral("fileurl"), url);
        const bool present = !localpath.isEmpty() && ui->checkFileExists(localpath);
        map.insert(QStringLiteral("downloadState"), present ? 1 : 0);
        map.insert(QStringLiteral("progress"), present ? 1000 : 0);
        if (!present && (msgtype == 2 || msgtype == 4 || msgtype == 8) && !localpath.isEmpty() &&
            ImSessionManagerPrivate::isWebUrl(url)) {
          downloadFile(id, url, localpath, 1);
        }
        break;
      }
      case 9:
        map.insert(QStringLiteral("content"), ImSessionManagerPrivate::recallLine(
                                                  map.value(QStringLiteral("name")).toString()));
        break;
      default:
        break;
    }
    result.append(map);
  }
  return result;
}

int ImSessionManager::parseData(const QList<QVariantMap>& list) {
  if (list.isEmpty()) return 0;
  QList<QObject*> items;
  for (const QVariantMap& map : list) {
    const int id = map.value(QStringLiteral("id")).toInt();
    if (d->msgMap.contains(id)) continue;
    auto* item = new ImMsgEntity(map);
    d->msgMap.insert(id, item);
    items.append(item);
  }
  if (items.isEmpty()) return 0;
  // Time labels: the oldest message shown, and each first message after a gap. The
  // items come newest first; the one that was the oldest shown now follows them.
  for (int i = 0; i < items.size(); ++i) {
    auto* item = static_cast<ImMsgEntity*>(items.at(i));
    const auto* older = i + 1 < items.size() ? static_cast<ImMsgEntity*>(items.at(i + 1)) : nullptr;
    item->setShowTime(!older ||
                      ImSessionManagerPrivate::startsAfterGap(older->sendtime(), item->sendtime()));
  }
  if (auto* formerOldest = itemCount() > 0 ? qobject_cast<ImMsgEntity*>(get(0)) : nullptr) {
    formerOldest->setShowTime(ImSessionManagerPrivate::startsAfterGap(
        static_cast<ImMsgEntity*>(items.first())->sendtime(), formerOldest->sendtime()));
  }
  prependItems(items);
  return items.size();
}

void ImSessionManager::loadMoreMsg() {
  ImUiInterface* ui = ImUiInterface::instance();
  // The network probe is only a hint (many networks drop echo requests); while the
  // engine's session is up the server is asked, since only its answer may end the
  // paging. Without either, the next local rows are shown as after a failed answer:
  // running out of them proves nothing, since the server was not asked.
  if (!VGlobal::instance()->isOnline() && ui->LoginState() == 0) {
    emit downloadHistoryFinished(false);
    return;
  }
  const QByteArray peer = d->currentSessionId.toUtf8();
  int before = -1;
  if (itemCount() > 0) {
    before = getOldestServerId();
    if (before < 1) {
      emit downloadHistoryFinished(true);
      return;
    }
  }
  d->historyAccount = d->currentSessionId;
  d->historyDialog = ui->GetHistoryMsg(peer.constData(), before, kServerPageSize);
}

int ImSessionManager::getOldestServerId() const {
  const int rows = itemCount();
  if (rows == 0) return -1;
  for (int row = 0; row < rows; ++row) {
    const auto* item = qobject_cast<const ImMsgEntity*>(get(row));
    if (item && item->msgid() > 0) return item->msgid();
  }
  const auto* last = qobject_cast<const ImMsgEntity*>(get(rows - 1));
  return last ? last->msgid() : -1;
}

void ImSessionManager::doLoadMoreHistory(bool success) {
  if (d->atMessageLoading) return;
  const int added = loadNextPage();
  // Only a server that answered can end the history; after a failure the user may
  // page again.
  if (success)
    setNoMoreMsg(added <= 0);
  else if (added > 0)
    setNoMoreMsg(false);
}

ImMsgEntity* ImSessionManager::getMsgEntity(int id) const { return d->msgMap.value(id, nullptr); }

int ImSessionManager::getMsgIndexByid(int id) const {
  for (int row = 0; row < itemCount(); ++row) {
    const auto* item = qobject_cast<const ImMsgEntity*>(get(row));
    if (item && item->id() == id) return row;
  }
  return kAtMessageRow;
}

QString ImSessionManager::getMsgRemark(int id) { return ImSessionManagerPrivate::storedRemark(id); }

bool ImSessionManager::rememberStoredMention() {
  const QVariantMap mention =
      ImSessionManagerPrivate::storedLastMention(d->currentSessionId, d->currentSessionType);
  if (mention.isEmpty()) return false;
  if (!d->lastAtMessage) {
    d->lastAtMessage = new ImMsgEntity(mention);
  } else {
    d->lastAtMessage->setData(mention);
  }
  d->lastAtAccount = d->currentSessionId;
  return true;
}

void ImSessionManager::clearStoredAtFlags(const QString& sessionId) {
  // The engine's clear writes every message of the conversation, and it runs after
  // each message read: once cleared, it runs again only for a newer mention.
  const int newest = ImSessionManagerPrivate::newestMessageId();
  const bool cleared = sessionId == d->atClearedAccount && newest >= d->atClearedUpTo;
  if (!cleared || ImSessionManagerPrivate::hasMentionAfter(sessionId, d->atClearedUpTo))
    ImUiInterface::instance()->ClearAtFlag(sessionId.toUtf8().constData());
  d->atClearedAccount = sessionId;
  d->atClearedUpTo = newest;
}

int ImSessionManager::getToLastAtMessage() {
  // Only a mention of the open conversation: the last one kept is another's when
  // it came elsewhere, and after a start none is kept yet.
  if (!d->lastAtMessage || d->lastAtAccount != d->currentSessionId) {
    if (!rememberStoredMention()) return -1;
  }
  const int id = d->lastAtMessage->id();
  // Older pages go on top of what is shown, one at a time, until the mention is
  // among them: each read is one page, and the rows already shown stay.
  // A mention that is not shown (recalled, deleted) ends the search once the pages
  // have passed its time.
  const QString sendtime = d->lastAtMessage->sendtime();
  d->atMessageLoading = true;
  while (!d->msgMap.contains(id)) {
    const auto* oldest = itemCount() > 0 ? qobject_cast<const ImMsgEntity*>(get(0)) : nullptr;
    if (oldest && oldest->sendtime() < sendtime) break;
    if (loadNextPage() <= 0) break;
  }
  QTimer::singleShot(kAtJumpSettleMs, this, &ImSessionManager::onFinishLoadAtMessage);
  return d->msgMap.contains(id) ? getMsgIndexByid(id) : kAtMessageRow;
}

void ImSessionManager::onFinishLoadAtMessage() { d->atMessageLoading = false; }

void ImSessionManager::clearAtFlag(const QString& sessionId) {
  if (sessionId.isEmpty()) return;
  clearStoredAtFlags(sessionId);
  // The row's tip follows the stored flags; a count made before they were cleared
  // may still be on its way, a fresh one has the last word.
  ImSessionListManager* sessions = ImSessionListManager::instance();
  if (sessions->getSession(sessionId)) {
    sessions->resetAtflag(sessionId);
    sessions->updateAtFlag(sessionId);
  }
}

void ImSessionManager::setAllMessageRead(const QString& account, int type) {
  ImUiInterface* ui = ImUiInterface::instance();
  // Ids only grow: after a mark only newer rows can be unread. A smaller newest id
  // means another database.
  const int newest = ImSessionManagerPrivate::newestMessageId();
  const bool marked = account == d->readAccount && type == d->readType && newest >= d->readUpTo;
  const QString sql = ImMessageQuery::markRead(account, type, marked ? d->readUpTo : 0);
  if (sql.isEmpty()) return;
  if (ui->dbExecSql(sql) && newest > 0) {
    d->readAccount = account;
    d->readType = type;
    d->readUpTo = newest;
  }
}

void ImSessionManager::updateUnReadMsgCount() {
  ImSessionListManager::instance()->doUpdateUnReadMsgCount();
}

void ImSessionManager::removeMsg(int id) {
  ImMsgEntity* item = d->msgMap.value(id, nullptr);
  if (!item) return;
  const int row = indexOf(item);
  if (row >= 0 && row == itemCount() - 1) {
    if (ImMsgEntity* session = ImSessionListManager::instance()->getSession(d->currentSessionId)) {
      const auto* previous = row > 0 ? qobject_cast<const ImMsgEntity*>(get(row - 1)) : nullptr;
      if (previous) {
        session->setId(previous->id());
        session->setContent(previous->content());
        session->setMsgid(previous->msgid());
        session->setMsgtype(previous->msgtype());
      } else {
        session->setContent(QString());
      }
    }
  }
  ImUiInterface* ui = ImUiInterface::instance();
  ui->DeleteMessage(id);
  const int msgtype = item->msgtype();
  if (item->sendflag() == 0 && msgtype >= 2 && msgtype <= 5 &&
      ImSessionManagerPrivate::isInAccountFolder(item->localpath())) {
    ui->removeFile(item->localpath());
  }
  removeItem(item);
  d->msgMap.remove(id);
  delete item;
}

void ImSessionManager::wipeData() {
  if (d->msgMap.isEmpty()) return;
  const QList<ImMsgEntity*> items = d->msgMap.values();
  d->msgMap.clear();
  reset();
  qDeleteAll(items);
}
