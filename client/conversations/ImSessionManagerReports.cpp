// The engine's reports about messages: new and history messages, transfer
// progress and results, send and recall results, translations, history answers.
#include <QDebug>

#include "contacts/ImGroupManager.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VGlobal.h"
#include "shell/VTranslator.h"

namespace {

bool IsFileType(int msgtype) { return msgtype >= 2 && msgtype <= 5; }

QString Str(const QVariantMap& map, const char* key) {
  return map.value(QLatin1String(key)).toString();
}

int Int(const QVariantMap& map, const char* key) { return map.value(QLatin1String(key)).toInt(); }

}  // namespace

void ImSessionManager::applyRemark(QVariantMap& map, const QVariantMap& remark, bool live) {
  ImUiInterface* ui = ImUiInterface::instance();
  const QVariantMap from = remark.value(QStringLiteral("from")).toMap();
  if (!live) {
    if (Str(map, "name").isEmpty()) map.insert(QStringLiteral("name"), Str(from, "nick"));
    if (Str(map, "icon").isEmpty()) map.insert(QStringLiteral("icon"), Str(from, "logo"));
  }
  const int msgtype = Int(map, "msgtype");
  if (msgtype == 4) {
    map.insert(QStringLiteral("audiotext"), Str(remark, "recordText"));
    map.insert(QStringLiteral("seconds"), Int(remark, "seconds"));
  }
  const bool hasFile = IsFileType(msgtype) || (live && msgtype == 8);
  if (hasFile) {
    if (live) {
      map.insert(QStringLiteral("fileurl"), Str(map, "content"));
      // A message announced again (the newest of a conversation after a later
      // start's download) keeps the place its file already has.
      const QString placed = ImSessionManagerPrivate::storedLocalPath(Int(map, "id"));
      map.insert(QStringLiteral("localpath"), placed);
      if (!placed.isEmpty() && ui->checkFileExists(placed)) {
        map.insert(QStringLiteral("downloadState"), 1);
        map.insert(QStringLiteral("progress"), 1000);
      }
    }
    if (Str(map, "localpath").isEmpty()) {
      // The sender's name is only a hint: the file lands in the account's folder
      // under a cleaned name that no other message shares.
      const QString folder = ImLoginManager::instance()->getLocalDataPath(msgtype);
      if (!folder.isEmpty()) {
        ui->makePath(folder);
        const QString path = ui->distinct(folder + ImSessionManagerPrivate::safeFileName(
                                                       Str(remark, "filename"), Int(map, "id")));
        updateLocalPath(Int(map, "id"), path);
        map.insert(QStringLiteral("localpath"), path);
      }
    }
    map.insert(QStringLiteral("fileName"), Str(remark, "filename"));
    map.insert(QStringLiteral("fileSize"),
               ui->getSizeStr(remark.value(QStringLiteral("filesize")).toLongLong()));
  }
  if (msgtype == 2) {
    map.insert(QStringLiteral("width"), Int(remark, "width"));
    map.insert(QStringLiteral("height"), Int(remark, "height"));
  }
  if (msgtype == 10) {
    const QVariantMap kline = remark.value(QStringLiteral("kline")).toMap();
    map.insert(QStringLiteral("coin"), Str(kline, "coin"));
    map.insert(QStringLiteral("coinImg"), Str(kline, "coinImg"));
    for (const char* key : {"amount", "high", "low", "close"})
      map.insert(QLatin1String(key), kline.value(QLatin1String(key)).toFloat());
  }
}

void ImSessionManager::onNotify(const UIMessage* pMsg) {
  if (!pMsg) return;
  switch (pMsg->m_Method) {
    case _EVENT_REPORT_SENDFILEPROGRESS:
      if (ImMsgEntity* item = getMsgEntity(pMsg->m_DialogID)) item->setProgress(pMsg->m_Status);
      break;
    case _EVENT_REPORT_GETFILEPROGRESS:
      if (ImMsgEntity* item = itemOfDialog(pMsg->m_DialogID, d->downloads))
        item->setProgress(pMsg->m_Status);
      break;
    case _EVENT_COME_IMMESSAGE:
      if (pMsg->m_Status == 0 || pMsg->m_Status == 1) onNewMessage(pMsg);
      break;
    case _EVENT_COME_HISTORYIM:
      if (pMsg->m_Arg1 == d->currentSessionId) emit needReloadMsg(pMsg->m_Arg1);
      break;
    case _REQUEST_HTTP_SENDGET:
    case _REQUEST_HTTP_SENDPOST: {
      // Only answers to our own translation requests; other managers post too.
      if (!d->translations.contains(pMsg->m_DialogID)) break;
      ImMsgEntity* item = itemOfDialog(pMsg->m_DialogID, d->translations);
      d->translations.remove(pMsg->m_DialogID);
      const QVariantMap answer = ImUiInterface::instance()->convJsonToVariantMap(pMsg->m_Arg1);
      const QVariantMap result = answer.value(QStringLiteral("result")).toMap();
      if (item && !result.isEmpty()) item->setTranslation(Str(result, "text"));
      break;
    }
    case _REQUEST_HTTP_DOWNFILE: {
      if (!d->downloads.contains(pMsg->m_DialogID)) break;
      ImMsgEntity* item = itemOfDialog(pMsg->m_DialogID, d->downloads);
      d->downloads.remove(pMsg->m_DialogID);
      if (item) item->setDownloadState(pMsg->m_Status == 0 ? 1 : 3);
      break;
    }
    case _REQUEST_HTTP_SENDMSGIM:
    case _REQUEST_HTTP_SENDMSGFILE:
      if (ImMsgEntity* item = getMsgEntity(pMsg->m_DialogID)) {
        item->setSendstate(pMsg->m_Status == 0 ? 1 : 0);
        // The report names no address: the engine stored the uploaded file's
        // address with the row, and the shown row takes it so that the file can
        // be opened and saved before the conversation is read again.
        if (pMsg->m_Method == _REQUEST_HTTP_SENDMSGFILE && pMsg->m_Status == 0) {
          const QString url = ImSessionManagerPrivate::storedFileUrl(pMsg->m_DialogID);
          if (!url.isEmpty()) item->setFileurl(url);
        }
      }
      break;
    case _REQUEST_HTTP_REVOKEMSG:
      if (pMsg->m_Status == 0) {
        if (ImMsgEntity* item = getMsgEntity(pMsg->m_DialogID)) item->setRevokeflag(1);
        // The row previews the conversation's newest message: an older one's recall
        // leaves it alone. The engine stored its recall notice as the newest, which
        // still shows this recall. The user recalled it, so the row reads as the
        // user's. The conversation is the message's own: another may be open by now.
        const QString stored = ImSessionManagerPrivate::storedField(pMsg->m_DialogID, "touser");
        ImSessionListManager::instance()->markRecalled(
            stored.isEmpty() ? d->currentSessionId : stored, pMsg->m_DialogID, 1, QString());
      }
      emit recallMsgNotify(pMsg->m_Status);
      break;
    case _REQUEST_HTTP_GETHISTORYMSG:
      // Only the answer to the open request of the open conversation pages on: a
      // late answer for a conversation left since, or for an older request, says
      // nothing about the rows shown now.
      if (d->historyDialog == 0 || pMsg->m_DialogID != d->historyDialog) break;
      d->historyDialog = 0;
      if (d->historyAccount != d->currentSessionId) break;
      emit downloadHistoryFinished(pMsg->m_Status == 0);
      break;
    default:
      break;
  }
}

void ImSessionManager::onNewMessage(const UIMessage* pMsg) {
  ImUiInterface* ui = ImUiInterface::instance();
  QVariantMap map = ui->convJsonToVariantMap(pMsg->m_Arg1);
  qDebug() << Q_FUNC_INFO << Str(map, "fromuser") << Str(map, "accountid");
  const int totype = Int(map, "totype");
  if (totype == 1 && Str(map, "fromgroup") != Str(map, "touser")) return;
  const int sendflag = Int(map, "sendflag");
  const QString key = totype != 0 || sendflag == 1 ? Str(map, "touser") : Str(map, "fromuser");

  const int msgtype = Int(map, "msgtype");
  int recalled = 0;
  bool dissolved = false;
  if (msgtype == 6) {
    const QString notice = Str(map, "content");
    dissolved = Str(ui->convJsonToVariantMap(notice), "notify") == QLatin1String("destroy");
    const QString line = getGroupNotifyContent(notice);
    d->lastNoticeType.clear();
    if (line.isEmpty()) {
      // A notice with nothing to say (a "set" that did not rename the group) is no
      // row, no preview, no move and no sound; stored unread it would count forever.
      qDebug() << Q_FUNC_INFO << "notice without a line" << Int(map, "id");
      ImSessionManagerPrivate::markSeen(Int(map, "id"));
      return;
    }
    map.insert(QStringLiteral("content"), line);
  } else if (msgtype == 7) {
    map.insert(QStringLiteral("content"),
               VTranslator::instance()->getString(QStringLiteral("hint_sdhbqzsjsck")));
  } else if (msgtype == 9) {
    recalled = Str(map, "content").toInt();
    // A notice naming a message its sender had no right to take back is dropped.
    if (!ImSessionManagerPrivate::mayRecall(Str(map, "fromuser"), key, totype, recalled)) {
      qDebug() << Q_FUNC_INFO << "recall refused" << Str(map, "fromuser") << recalled;
      return;
    }
    if (d->msgMap.contains(recalled)) removeMsg(recalled);
  }
  map.insert(QStringLiteral("progress"), 0);

  const QString remarkText = Str(map, "remark");
  QVariantMap from;
  if (!remarkText.isEmpty()) {
    const QVariantMap remark = ui->convJsonToVariantMap(remarkText);
    from = remark.value(QStringLiteral("from")).toMap();
    applyRemark(map, remark, true);
  }
  const QString fromNick = Str(from, "nick");
  const QString fromLogo = Str(from, "logo");
  // Named as a reopened chat names it: the content is the recalled row's local id,
  // never something to show.
  QString recaller;
  if (msgtype == 9) {
    recaller = ImSessionManagerPrivate::senderName(Str(map, "fromuser"), fromNick);
    map.insert(QStringLiteral("content"), ImSessionManagerPrivate::recallLine(recaller));
  }

  // In the open chat the page marks it read once the user can see it (window
  // active, chat tab shown, view at its end); until then it counts and alerts like
  // any other.
  const bool open = !d->currentSessionId.isEmpty() && key == d->currentSessionId;
  if (open) {
    if (sendflag == 1) map.insert(QStringLiteral("sendstate"), 1);
    addDataToView(map);
    emit listViewToEnd();
    if ((msgtype == 2 || msgtype == 4) && ImSessionManagerPrivate::isWebUrl(Str(map, "fileurl")) &&
        !Str(map, "localpath").isEmpty() && Int(map, "downloadState") != 1) {
      downloadFile(Int(map, "id"), Str(map, "fileurl"), Str(map, "localpath"), 1);
    }
  } else {
    updateUnReadMsgCount();
  }
  const bool unseen =
      !open || (sendflag != 1 && (!VGlobal::instance()->active() || !d->chatPageShown));
  if (unseen && pMsg->m_Status == 0 && !ImGroupManager::instance()->isGroupMute(key)) {
    VGlobal::instance()->playSound(VGlobal::MESSAGE);
    emit VGlobal::instance()->messagesReceivedAlert();
  }

  map.insert(QStringLiteral("fromName"), fromNick + QStringLiteral(": "));
  ImSessionListManager::instance()->updateData(map, false);
  if (recalled > 0) {
    // The list keeps the recalled message's row when the notice came in its second.
    ImSessionListManager::instance()->markRecalled(
        key, recalled, sendflag, recaller.isEmpty() ? QString() : recaller + QStringLiteral(": "));
  }

  // Decided by this message alone: a notice parsed elsewhere says nothing about it.
  if (dissolved) emit destroyGroupNotify(key);
  d->lastNoticeType.clear();

  const int atflag = Int(map, "atflag");
  if (atflag > 0) {
    if (!d->lastAtMessage) {
      d->lastAtMessage = new ImMsgEntity(map);
    } else {
      d->lastAtMessage->setData(map);
    }
    d->lastAtAccount = key;
    emit atMsgNotify(key, fromNick, fromLogo, atflag);
  }
}
