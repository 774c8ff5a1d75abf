#include "contacts/ImContactsManager.h"

#include <QDebug>
#include <QJsonObject>
#include <QSet>
#include <utility>

#include "contacts/ImContactsManagerPrivate.h"
#include "contacts/ImContactsThread.h"
#include "contacts/ImConversationLink.h"
#include "contacts/ImGroupCommand.h"
#include "contacts/ImSearchUserManager.h"
#include "contacts/ImUserEntity.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"

namespace {
const char kSyncContactsKey[] = "SYNC_CONTACTS_LIST";
const char kSelectFriends[] =
    "SELECT userid, account, mobile, email, name, summary, logo, biglogo, isfriend, version, "
    "modifytime, champflag FROM nq_contact where isfriend = 1;";
const char kSetBlackPath[] = "/userinfo/user/setblack.do";
const char kSetRemarkPath[] = "/userinfo/user/setremark.do";
const char kSearchAccountPath[] = "/navigation/user/searchaccount.do";
const char kInvitePath[] = "/userinfo/user/sendinviesm.do";
const char kGroupMark[] = "@group";
constexpr int kServerSuccess = 1;
constexpr int kChampFlagField = 4;

QString Key(const char* key) { return QString::fromLatin1(key); }
bool Answers(int stored, int dialogId) { return stored != 0 && stored == dialogId; }
}  // namespace

ImContactsManagerPrivate::ImContactsManagerPrivate() : m_contactsThread(new ImContactsThread) {}

ImContactsManagerPrivate::~ImContactsManagerPrivate() { delete m_contactsThread; }

ImContactsManager::ImContactsManager() : ImContactsManager(new QList<QObject*>) {}

ImContactsManager::ImContactsManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items), d(new ImContactsManagerPrivate) {
  qRegisterMetaType<ImContactsManager*>("ImContactsManager*");
  qRegisterMetaType<ImUserEntity*>("ImUserEntity*");
  connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
          &ImContactsManager::onNotify);
  connect(d->m_contactsThread, &ImContactsThread::mobilesRead, this,
          &ImContactsManager::doBatchInvite);
  connect(d->m_contactsThread, &ImContactsThread::readFailed, this,
          &ImContactsManager::failBatchInvite);
}

ImContactsManager::~ImContactsManager() {
  wipeData();
  delete d;
  delete m_items;
}

ImContactsManager* ImContactsManager::instance() {
  static ImContactsManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImContactsManager; });
}

void ImContactsManager::initData() {
  qDebug() << Q_FUNC_INFO;
  ImUiInterface* engine = ImUiInterface::instance();
  const long set = engine->DBSelectSql(kSelectFriends);
  if (!set) {
    qDebug() << Q_FUNC_INFO << "the contact table cannot be read";
    engine->DBRelease(set);
    return;
  }
  const int count = engine->DBGetRecordCount(set);
  const QStringList synced = VConfig::instance()->value(kSyncContactsKey).toStringList();
  const QString own = QString::fromUtf8(engine->GetMyAccount());
  auto text = [&](int row, int col) {
    return QString::fromUtf8(engine->DBGetStrValue(set, row, col));
  };
  QList<QObject*> fresh;
  QSet<QString> listed;
  for (int row = 0; row < count; ++row) {
    const QString account = text(row, 1);
    QVariantMap map{{Key("userid"), engine->DBGetIntValue(set, row, 0)},
                    {Key("account"), account},
                    {Key("mobile"), text(row, 2)},
                    {Key("email"), text(row, 3)},
                    {Key("name"), text(row, 4)},
                    {Key("summary"), text(row, 5)},
                    {Key("logo"), text(row, 6)},
                    {Key("biglogo"), text(row, 7)},
                    {Key("isfriend"), engine->DBGetIntValue(set, row, 8)},
                    {Key("version"), engine->DBGetIntValue(set, row, 9)},
                    {Key("modifytime"), text(row, 10)},
                    {Key("champflag"), text(row, 11)}};
    if (account == own) {
      map.insert(Key("champflag"), engine->GetChampFlag());
      ownProfile(&map);
    }
    if (account.isEmpty() || listed.contains(account)) continue;
    listed.insert(account);
    if (ImUserEntity* known = d->m_accounts.value(account)) {
      // A friend's newer profile is in the table now: the row shows it.
      refresh(known, map);
      continue;
    }
    ImUserEntity* user = new ImUserEntity(map);
    user->setIsSync(synced.contains(account));
    d->m_accounts.insert(account, user);
    fresh.append(user);
  }
  engine->DBRelease(set);
  // Friends the table no longer lists are gone: no picker may offer them.
  for (const QString& account : d->m_accounts.keys()) {
    if (listed.contains(account)) continue;
    ImUserEntity* user = d->m_accounts.take(account);
    removeItem(user);
    delete user;
  }
  parseData(fresh);
  saveIsSyncAccounts();
}

void ImContactsManager::ownProfile(QVariantMap* map) {
  // The engine holds the own profile as last changed; the own contact row may be older.
  ImUiInterface* engine = ImUiInterface::instance();
  const std::pair<const char*, QString> values[] = {
      {"name", QString::fromUtf8(engine->GetMyName())},
      {"logo", QString::fromUtf8(engine->GetMyLogo())},
      {"biglogo", QString::fromUtf8(engine->GetMyBigLogo())},
      {"summary", QString::fromUtf8(engine->GetMySummary())}};
  for (const auto& value : values)
    if (!value.second.isEmpty()) map->insert(Key(value.first), value.second);
}

void ImContactsManager::refresh(ImUserEntity* user, const QVariantMap& map) {
  user->setUserid(map.value(Key("userid")).toInt());
  user->setMobile(map.value(Key("mobile")).toString());
  user->setEmail(map.value(Key("email")).toString());
  user->setName(map.value(Key("name")).toString());
  user->setSummary(map.value(Key("summary")).toString());
  user->setLogo(map.value(Key("logo")).toString());
  user->setBigLogo(map.value(Key("biglogo")).toString());
  user->setVersion(map.value(Key("version")).toInt());
  user->setModifytime(map.value(Key("modifytime")).toString());
  user->setChampflag(map.value(Key("champflag")).toInt());
}

void ImContactsManager::parseData(const QList<QObject*>& items) {
  // prependItems reverses its list; the query order is wanted on top.
  QList<QObject*> reversed;
  for (QObject* item : items) reversed.prepend(item);
  prependItems(reversed);
}

void ImContactsManager::wipeData() {
  for (ImUserEntity* user : qAsConst(d->m_accounts)) {
    removeItem(user);
    delete user;
  }
  d->m_accounts.clear();
  m_items->clear();
}

ImUserEntity* ImContactsManager::getUserEntity(const QString& account) {
  return d->m_accounts.value(account);
}

QStringList ImContactsManager::checkAccounts() const {
  QStringList accounts;
  for (const QObject* row : qAsConst(*m_items))
    if (const auto* user = qobject_cast<const ImUserEntity*>(row)) accounts << user->account();
  return accounts;
}

ImSearchUserManager* ImContactsManager::accountSearchUserManager() const {
  return ImSearchUserManager::accountInstance();
}

void ImContactsManager::updateUserInfo(const QString& name, const QString& summary,
                                       const QString& logo, const QString& bigLog) {
  qDebug() << Q_FUNC_INFO << name << summary << logo << bigLog;
  const QString path = ImUiInterface::instance()->removeFilePrefix(logo);
  const QVariantMap keys{
      {Key("cmd"), Key("modify")}, {Key("userid"), VConfig::instance()->value(Key("MY_USERID"))},
      {Key("name"), name},         {Key("summary"), summary},
      {Key("logo"), path},         {Key("biglogo"), path}};
  ImUiInterface* engine = ImUiInterface::instance();
  d->m_nUpdateUserInfoDid = engine->CreateDialogID();
  const QByteArray body = ImGroupCommand::body(keys);
  engine->UserCommand(d->m_nUpdateUserInfoDid, body.constData());
}

void ImContactsManager::updateSelected(const QString& account, bool selected) {
  if (ImUserEntity* user = getUserEntity(account)) user->setSelected(selected);
}

void ImContactsManager::setAllSelected(bool selected) {
  for (ImUserEntity* user : qAsConst(d->m_accounts)) user->setSelected(selected);
}

QStringList ImContactsManager::selectedAccounts() {
  return ImKeysWhere(d->m_accounts, [](const ImUserEntity* item) { return item->selected(); });
}

void ImContactsManager::setAllIsSync(bool isSync) {
  for (ImUserEntity* user : qAsConst(d->m_accounts)) user->setIsSync(isSync);
}

QStringList ImContactsManager::isSyncAccounts() {
  return ImKeysWhere(d->m_accounts, [](const ImUserEntity* item) { return item->isSync(); });
}

void ImContactsManager::saveIsSyncAccounts() {
  VConfig::instance()->setValue(kSyncContactsKey, isSyncAccounts());
}

void ImContactsManager::updateIsSync(const QString& account, bool isSync) {
  if (ImUserEntity* user = getUserEntity(account)) user->setIsSync(isSync);
}

void ImContactsManager::checkMoreMembers(const QString& groupid) {
  qDebug() << Q_FUNC_INFO << groupid << d->m_nCheckMoreMembersPage;
  // Pages of rows: the add-member picker reveals the rows a reply has checked.
  const QStringList page = checkAccounts().mid(
      d->m_nCheckMoreMembersPage * d->m_nCheckMoreMembersPageSize, d->m_nCheckMoreMembersPageSize);
  if (page.isEmpty()) return;
  d->m_nCheckMoreMembersDid = ImGroupCommand::send(
      Key("checkuser"), {{Key("groupid"), groupid}, {Key("user"), ImGroupCommand::accounts(page)}});
}

void ImContactsManager::resetAllAddState(bool state) {
  d->m_nCheckMoreMembersPage = 0;
  for (ImUserEntity* user : qAsConst(d->m_accounts)) user->setAdded(state);
}

void ImContactsManager::updateAddState(const QJsonArray& users) {
  for (const QJsonValue& element : users) {
    const QString account = element.toObject().value(QLatin1String("id")).toVariant().toString();
    if (ImUserEntity* user = getUserEntity(account)) user->setAdded(false);
  }
}

QString ImContactsManager::getName(const QString& account) {
  const ImUserEntity* user = getUserEntity(account);
  return user ? user->name() : QString();
}

QString ImContactsManager::getLogo(const QString& account) {
  const ImUserEntity* user = getUserEntity(account);
  return user ? user->logo() : QString();
}

int ImContactsManager::getUserid(const QString& account) {
  const ImUserEntity* user = getUserEntity(account);
  return user ? user->userid() : 0;
}

QString ImContactsManager::getSummary(const QString& account) {
  const ImUserEntity* user = getUserEntity(account);
  return user ? user->summary() : QString();
}

int ImContactsManager::getChampflag(const QString& account) {
  return QString::fromUtf8(
             ImUiInterface::instance()->GetUserInfo(account.toStdString(), kChampFlagField))
      .toInt();
}

void ImContactsManager::updateAdded(const QString& account, bool added) {
  if (ImUserEntity* user = getUserEntity(account)) user->setAdded(added);
}

void ImContactsManager::batchInvite(const QString& filePath) {
  qDebug() << Q_FUNC_INFO << filePath;
  emit d->m_contactsThread->batchInvite(filePath);
}

void ImContactsManager::doBatchInvite(const QStringList& mobiles) {
  qDebug() << Q_FUNC_INFO << mobiles;
  if (mobiles.isEmpty()) {
    emit batchInviteComplete(0);
    return;
  }
  d->m_nBatchInviteDid =
      ImGroupCommand::post(Key(kInvitePath), {{Key("mobiles"), mobiles.join(QLatin1Char(','))}});
}

void ImContactsManager::failBatchInvite() {
  qDebug() << Q_FUNC_INFO;
  emit batchInviteComplete(kFailure);
}

QStringList ImContactsManager::getBlackList() {
  return QString::fromUtf8(ImUiInterface::instance()->GetBlackList()).split(QLatin1Char(','));
}

QStringList ImContactsManager::getContactsBlackList() {
  QStringList accounts;
  for (const QString& entry : getBlackList())
    if (!entry.contains(QLatin1String(kGroupMark))) accounts << entry;
  return accounts;
}

bool ImContactsManager::inBlackList(const QString& account) {
  // Whole entries only: "12" is not blocked because "1234" is.
  if (account.isEmpty()) return false;
  return getBlackList().contains(account);
}

void ImContactsManager::defriend(const QString& account) {
  qDebug() << Q_FUNC_INFO << account;
  d->m_nDefriendDid = ImGroupCommand::post(Key(kSetBlackPath), {{Key("adduser"), account}});
}

void ImContactsManager::addfriend(const QString& account) {
  qDebug() << Q_FUNC_INFO << account;
  d->m_nDefriendDid = ImGroupCommand::post(Key(kSetBlackPath), {{Key("deluser"), account}});
}

void ImContactsManager::setRemark(const QString& account, const QString& remark) {
  qDebug() << Q_FUNC_INFO << account << remark;
  d->m_nSetRemarkDid =
      ImGroupCommand::post(Key(kSetRemarkPath), {{Key("friend"), account}, {Key("name"), remark}});
}

void ImContactsManager::searchAccount(const QString& key) {
  qDebug() << Q_FUNC_INFO << key;
  ImSearchUserManager::accountInstance()->wipeData();
  d->m_nSearchAccountDid = ImGroupCommand::post(Key(kSearchAccountPath), {{Key("text"), key}});
}

void ImContactsManager::onNotify(const UIMessage* pMsg) {
  if (!pMsg) return;
  switch (pMsg->m_Method) {
    case _REQUEST_HTTP_GROUPCOMMAND: {
      if (!Answers(d->m_nCheckMoreMembersDid, pMsg->m_DialogID)) return;
      int result = pMsg->m_Status;
      if (result == 0) {
        const QJsonObject reply = QJsonObject::fromVariantMap(
            ImUiInterface::instance()->convJsonToVariantMap(pMsg->m_Arg1));
        const QJsonValue code = reply.value(QLatin1String("code"));
        // Delivered but refused by the group server: the page is not done.
        if ((!code.isUndefined() && !code.isNull() && code.toVariant().toInt() != kServerSuccess) ||
            ImGroupCommand::refusedByWord(reply)) {
          result = kFailure;
        } else {
          const QJsonValue users =
              reply.value(QLatin1String("result")).toObject().value(QLatin1String("user"));
          if (!users.isUndefined() && !users.isNull()) updateAddState(users.toArray());
          ++d->m_nCheckMoreMembersPage;
        }
      }
      emit checkMoreMembersResult(result);
      break;
    }
    case _EVENT_REPORT_FRIENDNOTIFY:
      if (pMsg->m_Status != 0) return;
      initData();
      ImConversationLink::current()->reloadSessionList();
      break;
    case _REQUEST_HTTP_SENDGET:
    case _REQUEST_HTTP_SENDPOST:
      onHttpReply(pMsg);
      break;
    case _REQUEST_HTTP_USERCOMMAND:
      onUserInfoReply(pMsg);
      break;
    default:
      break;
  }
}

void ImContactsManager::onHttpReply(const UIMessage* pMsg) {
  const int did = pMsg->m_DialogID;
  const QVariantMap reply = ImUiInterface::instance()->convJsonToVariantMap(pMsg->m_Arg1);
  // A request that failed without a JSON answer still ends what waits for it (the
  // invitation's progress, a switch) as a failure.
  const int result = reply.value(Key("code")).toInt() == kServerSuccess ? 0 : kFailure;
  if (Answers(d->m_nBatchInviteDid, did)) {
    emit batchInviteComplete(result);
  } else if (Answers(d->m_nDefriendDid, did)) {
    emit defriendResult(result);
  } else if (Answers(d->m_nSetRemarkDid, did)) {
    emit setRemarkResult(result);
  } else if (Answers(d->m_nSearchAccountDid, did) && !reply.isEmpty()) {
    const QVariant code = reply.value(Key("code"));
    if (code.isValid() && !code.isNull()) emit searchAccountResult(code.toInt());
    const QVariant found = reply.value(Key("result"));
    if (found.isValid() && !found.isNull())
      ImSearchUserManager::accountInstance()->addData(
          QJsonArray{QJsonObject::fromVariantMap(found.toMap())});
  }
}

void ImContactsManager::onUserInfoReply(const UIMessage* pMsg) {
  if (!Answers(d->m_nUpdateUserInfoDid, pMsg->m_DialogID)) return;
  if (pMsg->m_Status != 0) {
    emit updateUserInfoFailure();
    return;
  }
  emit updateUserInfoSuccess();
  // The engine holds the stored profile now. The own account is seldom a row of
  // the friend list, so the settings, which every own avatar and name follow, are
  // written whether it is one or not.
  ImUiInterface* engine = ImUiInterface::instance();
  const QString name = QString::fromUtf8(engine->GetMyName());
  const QString logo = QString::fromUtf8(engine->GetMyLogo());
  const QString bigLogo = QString::fromUtf8(engine->GetMyBigLogo());
  const QString summary = QString::fromUtf8(engine->GetMySummary());
  VConfig* config = VConfig::instance();
  if (ImUserEntity* own = getUserEntity(config->value(Key("MY_ACCOUNT")).toString())) {
    own->setLogo(logo);
    own->setBigLogo(bigLogo);
    own->setName(name);
    own->setSummary(summary);
  }
  config->setValue(Key("MY_NAME"), name);
  config->setValue(Key("MY_LOGO"), logo);
  config->setValue(Key("MY_BIGLOGO"), bigLogo);
  config->setValue(Key("MY_SUMMARY"), summary);
  config->setValue(Key("MY_CHAMPFLAG"), engine->GetChampFlag());
}
