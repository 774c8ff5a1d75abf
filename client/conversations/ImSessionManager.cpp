#include "conversations/ImSessionManager.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>

#include "contacts/ImContactsManager.h"
#include "contacts/ImUserEntity.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImMsgThread.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"
#include "shell/VTranslator.h"

namespace {
const QString kTranslatePath = QStringLiteral("/speech/translate/process.do");
}  // namespace

ImSessionManager::ImSessionManager() : ImSessionManager(new QList<QObject*>) {}

ImSessionManager::ImSessionManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items), d(new ImSessionManagerPrivate) {
  qRegisterMetaType<ImSessionManager*>("ImSessionManager*");
  connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
          &ImSessionManager::onNotify);
  connect(this, &ImSessionManager::downloadHistoryFinished, this,
          &ImSessionManager::doLoadMoreHistory);
  connect(VTranslator::instance(), &VTranslator::currentLanguageChanged, this,
          &ImSessionManager::retranslateRows);
  setMyAccount(QString::fromUtf8(ImUiInterface::instance()->GetMyAccount()));
}

ImSessionManager::~ImSessionManager() {
  wipeData();
  delete d;
  delete m_items;
}

ImSessionManager* ImSessionManager::instance() {
  static ImSessionManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSessionManager; });
}

QString ImSessionManager::myAccount() const { return d->myAccount; }

QString ImSessionManager::setMyAccount(const QString& account) {
  if (d->myAccount != account) {
    d->myAccount = account;
    emit myAccountChanged();
  }
  return account;
}

QString ImSessionManager::currentSessionId() const { return d->currentSessionId; }

void ImSessionManager::setCurrentSessionId(const QString& sessionId) {
  if (d->currentSessionId == sessionId) return;
  d->currentSessionId = sessionId;
  emit currentSessionIdChanged();
}

int ImSessionManager::currentSessionType() const { return d->currentSessionType; }

void ImSessionManager::setCurrentSessionType(int type) {
  if (d->currentSessionType == type) return;
  d->currentSessionType = type;
  emit currentSessionTypeChanged();
}

int ImSessionManager::unReadMsgCount() const { return d->unReadMsgCount; }

int ImSessionManager::setUnReadMsgCount(int count) {
  if (d->unReadMsgCount != count) {
    d->unReadMsgCount = count;
    emit unReadMsgCountChanged();
  }
  return count;
}

bool ImSessionManager::noMoreMsg() const { return d->noMoreMsg; }

bool ImSessionManager::setNoMoreMsg(bool noMore) {
  if (d->noMoreMsg != noMore) {
    d->noMoreMsg = noMore;
    emit noMoreMsgChanged();
  }
  return noMore;
}

bool ImSessionManager::chatPageShown() const { return d->chatPageShown; }

void ImSessionManager::setChatPageShown(bool shown) {
  if (d->chatPageShown == shown) return;
  d->chatPageShown = shown;
  emit chatPageShownChanged();
}

void ImSessionManager::sendTextMsg(const QString& toUser, const QString& content, int totype,
                                   bool atAll, const QStringList& atList) {
  updateDataToView(buildTextMsg(toUser, content, totype, atAll, atList));
}

void ImSessionManager::sendGifMsg(const QString& toUser, const QString& content, int totype) {
  updateDataToView(buildGifMsg(toUser, content, totype));
}

void ImSessionManager::sendPicMsg(const QString& toUser, const QString& filePath, int totype) {
  updateDataToView(buildPicMsg(toUser, filePath, totype));
}

void ImSessionManager::sendAudioMsg(const QString& toUser, const QString& filePath, int totype) {
  updateDataToView(buildAudioMsg(toUser, filePath, totype));
}

void ImSessionManager::sendVideoMsg(const QString& toUser, const QString& filePath, int totype) {
  updateDataToView(buildVideoMsg(toUser, filePath, totype));
}

void ImSessionManager::sendFileMsg(const QString& toUser, const QString& filePath, int totype) {
  updateDataToView(buildFileMsg(toUser, filePath, totype));
}

QVariantMap ImSessionManager::buildOneMsg(const QString& toUser, const QString& content,
                                          int msgtype, int totype, bool atAll,
                                          const QStringList& atList) {
  return ImSessionManagerPrivate::buildMsg(toUser, content, msgtype, totype, atAll, atList,
                                           ImSessionManagerPrivate::targetOf(toUser, totype),
                                           d->msgMap.isEmpty());
}

QVariantMap ImSessionManager::buildTextMsg(const QString& toUser, const QString& content,
                                           int totype, bool atAll, const QStringList& atList) {
  return buildOneMsg(toUser, content, 0, totype, atAll, atList);
}

QVariantMap ImSessionManager::buildGifMsg(const QString& toUser, const QString& content,
                                          int totype) {
  return buildOneMsg(toUser, content, 8, totype, false, QStringList());
}

QVariantMap ImSessionManager::buildPicMsg(const QString& toUser, const QString& filePath,
                                          int totype) {
  return buildOneMsg(toUser, filePath, 2, totype, false, QStringList());
}

QVariantMap ImSessionManager::buildAudioMsg(const QString& toUser, const QString& filePath,
                                            int totype) {
  return buildOneMsg(toUser, filePath, 4, totype, false, QStringList());
}

QVariantMap ImSessionManager::buildVideoMsg(const QString& toUser, const QString& filePath,
                                            int totype) {
  return buildOneMsg(toUser, filePath, 5, totype, false, QStringList());
}

QVariantMap ImSessionManager::buildFileMsg(const QString& toUser, const QString& filePath,
                                           int totype) {
  return buildOneMsg(toUser, filePath, 3, totype, false, QStringList());
}

void ImSessionManager::sendSyncTextMsg(const QStringList& toList, const QString& content,
                                       int totype) {
  // The worker may not read the contact and group lists: it gets each target's names.
  QVariantMap targets;
  for (const QString& account : toList)
    targets.insert(account, ImSessionManagerPrivate::targetOf(account, totype));
  emit d->msgThread->syncTextMsg(toList, content, totype, targets);
}

void ImSessionManager::transmitMsg(const QStringList& toList, int id, int msgType,
                                   const QString& content, int totype) {
  qDebug() << Q_FUNC_INFO << "toList = " << toList << "id = " << id << "msgType = " << msgType
           << "content length = " << content.size() << "totype = " << totype;
  // A copy taken here: the item may be deleted while the worker runs.
  const ImMsgEntity* item = getMsgEntity(id);
  emit d->msgThread->transmitMsg(toList, id, msgType, content, totype,
                                 item ? item->getData() : QVariantMap());
}

void ImSessionManager::updateDataToView(const QVariantMap& map) {
  addDataToView(map);
  ImSessionListManager::instance()->updateData(map, false);
}

void ImSessionManager::addDataToView(const QVariantMap& map) {
  if (map.isEmpty()) return;
  ImUiInterface* ui = ImUiInterface::instance();
  const QString fromuser = map.value(QStringLiteral("fromuser")).toString();
  const QString account =
      ui->getPeerAccount(fromuser, map.value(QStringLiteral("touser")).toString());
  if (account != d->currentSessionId) {
    qDebug() << Q_FUNC_INFO << account << " not this session! return !";
    return;
  }
  const int id = map.value(QStringLiteral("id")).toInt();
  if (d->msgMap.contains(id)) return;

  QVariantMap data = map;
  const std::string from = fromuser.toStdString();
  QString name = QString::fromUtf8(ui->GetUserInfo(from, 0));
  QString icon = QString::fromUtf8(ui->GetUserInfo(from, 2));
  data.insert(QStringLiteral("champflag"), QString::fromUtf8(ui->GetUserInfo(from, 4)).toInt());
  const QString remarkText = map.value(QStringLiteral("remark")).toString();
  if (!remarkText.isEmpty()) {
    const QVariantMap sender =
        ui->convJsonToVariantMap(remarkText).value(QStringLiteral("from")).toMap();
    if (name.isEmpty()) name = sender.value(QStringLiteral("nick")).toString();
    if (icon.isEmpty()) icon = sender.value(QStringLiteral("logo")).toString();
  } else if (const ImUserEntity* user = ImContactsManager::instance()->getUserEntity(fromuser)) {
    if (name.isEmpty()) name = user->name();
    if (icon.isEmpty()) icon = user->logo();
  }
  data.insert(QStringLiteral("name"), name);
  data.insert(QStringLiteral("icon"), icon);
  // Labelled as the first message after a gap, or as the first one shown.
  if (!data.value(QStringLiteral("showTime")).toBool()) {
    const auto* last =
        itemCount() > 0 ? qobject_cast<const ImMsgEntity*>(get(itemCount() - 1)) : nullptr;
    if (!last || ImSessionManagerPrivate::startsAfterGap(
                     last->sendtime(), data.value(QStringLiteral("sendtime")).toString()))
      data.insert(QStringLiteral("showTime"), true);
  }
  auto* item = new ImMsgEntity(data);
  d->msgMap.insert(id, item);
  append(item);
}

void ImSessionManager::repeatSendMsg(int id) {
  ImUiInterface::instance()->RepeatSendMsg(id, "");
  if (ImMsgEntity* item = getMsgEntity(id)) item->setSendstate(2);
}

void ImSessionManager::recallMsg(int id) { ImUiInterface::instance()->RevokeMsg(id); }

void ImSessionManager::downloadFile(int id, const QString& url, const QString& filePath,
                                    int needProgress) {
  qDebug() << Q_FUNC_INFO << id << url << filePath << needProgress;
  ImUiInterface* ui = ImUiInterface::instance();
  const QString path = ui->removeFilePrefix(filePath);
  // Download replies share their codes with other managers' requests: each
  // download gets its own dialog id, mapped back to the message.
  const int dialog = ui->CreateDialogID();
  d->downloads.insert(dialog, id);
  ui->DownloadFile(dialog, url.toUtf8().constData(), path.toUtf8().constData(), needProgress);
  if (ImMsgEntity* item = getMsgEntity(id)) item->setDownloadState(2);
}

bool ImSessionManager::checkFileExists(const QString& path) {
  return ImUiInterface::instance()->checkFileExists(path);
}

void ImSessionManager::translate(int id, const QString& from, const QString& to,
                                 const QString& text) {
  qDebug() << Q_FUNC_INFO << id << from << to << "text length = " << text.size();
  ImUiInterface* ui = ImUiInterface::instance();
  const QString url = ui->getUrl(kTranslatePath);
  QJsonObject body{{QStringLiteral("transid"), QString::fromUtf8(ui->NewTransID(""))},
                   {QStringLiteral("cmd"), QStringLiteral("translate")},
                   {QStringLiteral("from"), from},
                   {QStringLiteral("to"), to},
                   {QStringLiteral("text"), text}};
  const int dialog = ui->CreateDialogID();
  d->translations.insert(dialog, id);
  ui->SendPost(dialog, url.toUtf8().constData(),
               QJsonDocument(body).toJson(QJsonDocument::Indented).constData());
}

void ImSessionManager::resetStatus() {
  d->pageKey = ImPageKey();
  d->historyDialog = 0;
  wipeData();
}

void ImSessionManager::closeSession() {
  resetStatus();
  setNoMoreMsg(false);
  setCurrentSessionId(QString());
  setCurrentSessionType(0);
  // What was marked for the last account says nothing about the next one's
  // database, whose ids may run past it.
  d->readAccount.clear();
  d->readType = -1;
  d->readUpTo = 0;
  d->atClearedAccount.clear();
  d->atClearedUpTo = 0;
  d->lastAtAccount.clear();
  d->pageAwaited = false;
  d->pageTopRow = -1;
  d->pageTopId = -1;
  emit pagingChanged();
}

bool ImSessionManager::updateLocalPath(int id, const QString& path) {
  qDebug() << Q_FUNC_INFO << id << path;
  return ImUiInterface::instance()->dbExecSql(
      QStringLiteral("UPDATE nq_message SET localpath=%1 WHERE id=%2")
          .arg(ImMessageQuery::quoted(path), QString::number(id)));
}

ImMsgEntity* ImSessionManager::itemOfDialog(int dialogId, QMap<int, int>& requests) {
  const auto it = requests.find(dialogId);
  if (it == requests.end()) return nullptr;
  return getMsgEntity(it.value());
}
