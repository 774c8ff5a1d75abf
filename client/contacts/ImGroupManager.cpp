#include "contacts/ImGroupManager.h"

#include <QDebug>
#include <QSet>

#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManagerPrivate.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImSqlText.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"

namespace {
const char kSyncGroupsKey[] = "SYNC_GROUPS_LIST";
const char kSelectGroups[] =
    "SELECT groupid, parentid, path, craccount, groupname, grouplogo, groupinfo, usercount, "
    "entrytime, version, userversion, groupstate, banall, banuser, title, banurl, banpic, "
    "banchat, banscreenshot, type FROM nq_group;";
// Map keys of the selected columns, in column order; the ban columns take the
// names of the item's properties.
const char* const kGroupKeys[] = {
    "groupid",   "parentid",  "path",    "craccount",   "groupname",     "grouplogo", "groupinfo",
    "usercount", "entrytime", "version", "userversion", "groupstate",    "banall",    "banuser",
    "title",     "banUrl",    "banPic",  "banChat",     "banscreenshot", "type"};
const bool kGroupKeyIsText[] = {true,  true,  true,  true,  true,  true,  true,
                                false, true,  false, false, false, false, false,
                                false, false, false, false, false, false};
constexpr int kGroupColumns = sizeof(kGroupKeys) / sizeof(kGroupKeys[0]);
constexpr int kMemberRole = 3;
}  // namespace

ImGroupManager::ImGroupManager() : ImGroupManager(new QList<QObject*>) {}

ImGroupManager::ImGroupManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items), d(new ImGroupManagerPrivate) {
  qRegisterMetaType<ImGroupEntity*>("ImGroupEntity*");
  qRegisterMetaType<ImGroupManager*>("ImGroupManager*");
  connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
          &ImGroupManager::onNotify);
}

ImGroupManager::~ImGroupManager() {
  wipeData();
  delete d;
  delete m_items;
}

ImGroupManager* ImGroupManager::instance() {
  static ImGroupManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupManager; });
}

void ImGroupManager::initData() {
  qDebug() << Q_FUNC_INFO;
  ImUiInterface* engine = ImUiInterface::instance();
  const long set = engine->DBSelectSql(kSelectGroups);
  if (!set) {
    qDebug() << Q_FUNC_INFO << "the group table cannot be read";
    engine->DBRelease(set);
    return;
  }
  const int count = engine->DBGetRecordCount(set);
  const QStringList marked = VConfig::instance()->value(kSyncGroupsKey).toStringList();
  QList<QObject*> fresh;
  QSet<QString> listed;
  for (int row = 0; row < count; ++row) {
    QVariantMap map;
    for (int col = 0; col < kGroupColumns; ++col) {
      if (kGroupKeyIsText[col])
        map.insert(kGroupKeys[col], QString::fromUtf8(engine->DBGetStrValue(set, row, col)));
      else
        map.insert(kGroupKeys[col], engine->DBGetIntValue(set, row, col));
    }
    const QString groupid = map.value(QStringLiteral("groupid")).toString();
    if (groupid.isEmpty() || listed.contains(groupid)) continue;
    listed.insert(groupid);
    if (ImGroupEntity* known = d->m_groups.value(groupid)) {
      // A group left since the last load loses its row; one joined again gets it back.
      const int state = map.value(QStringLiteral("groupstate")).toInt();
      known->setGroupstate(state);
      const bool shown = m_items->contains(known);
      if (state != 0 && shown) removeItem(known);
      if (state == 0 && !shown) fresh.prepend(known);
      continue;
    }
    ImGroupEntity* group = new ImGroupEntity(map);
    group->setIsSync(marked.contains(groupid));
    d->m_groups.insert(groupid, group);
    // Groups the user has left stay findable but get no row.
    if (group->groupstate() == 0) fresh.prepend(group);
  }
  engine->DBRelease(set);
  // Groups the table no longer holds are gone for good.
  for (const QString& groupid : d->m_groups.keys()) {
    if (listed.contains(groupid)) continue;
    ImGroupEntity* group = d->m_groups.take(groupid);
    removeItem(group);
    delete group;
  }
  saveIsSyncAccounts();
  parseData(fresh);
}

void ImGroupManager::parseData(const QList<QObject*>& items) {
  for (QObject* item : items) {
    ImGroupEntity* group = static_cast<ImGroupEntity*>(item);
    // Every group of the load is in the map already, so a child listed before
    // its parent still finds it.
    ImGroupEntity* parent = d->m_groups.value(group->parentid());
    if (!group->parentid().isEmpty() && parent) group->setParentName(parent->groupname());
  }
  // Each goes to the top in turn: the reversed list ends in table order.
  prependItems(items);
}

void ImGroupManager::wipeData() {
  if (d->m_groups.isEmpty()) return;
  for (ImGroupEntity* group : qAsConst(d->m_groups)) {
    removeItem(group);
    delete group;
  }
  d->m_groups.clear();
  m_items->clear();
}

void ImGroupManager::removeData(const QString& groupid) {
  if (groupid.isEmpty()) return;
  ImGroupEntity* group = d->m_groups.take(groupid);
  if (!group) return;
  removeItem(group);
  delete group;
}

ImGroupEntity* ImGroupManager::getGroupEntity(const QString& groupid) {
  return d->m_groups.value(groupid);
}

int ImGroupManager::getRole(const QString& groupid) {
  ImUiInterface* engine = ImUiInterface::instance();
  const QString sql = QStringLiteral("SELECT role FROM nq_groupuser WHERE groupid=") +
                      ImSqlText::quoted(groupid) + QStringLiteral(" and account=") +
                      ImSqlText::quoted(QString::fromUtf8(engine->GetMyAccount()));
  const long set = engine->DBSelectSql(sql.toUtf8().constData());
  // Without a database the table's default applies.
  const int role = set ? engine->DBGetIntValue(set, 0, 0) : kMemberRole;
  engine->DBRelease(set);
  return role;
}

bool ImGroupManager::checkMute(const QString& groupid) {
  return ImContactsManager::instance()->inBlackList(groupid);
}

bool ImGroupManager::isGroupMute(const QString& groupid) { return checkMute(groupid); }

bool ImGroupManager::isBanall(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group && group->banall() > 0;
}

bool ImGroupManager::isBanuser(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group && group->banuser() > 0;
}

bool ImGroupManager::isBanUrls(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group && group->banUrl() > 0;
}

bool ImGroupManager::isBanPics(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group && group->banPic() > 0;
}

bool ImGroupManager::isBanChat(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group && group->banChat() > 0;
}

bool ImGroupManager::isBanscreenshot(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group && group->banscreenshot() > 0;
}

int ImGroupManager::joinGroupType(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group ? group->type() : 0;
}

QString ImGroupManager::getGroupname(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group ? group->groupname() : QString();
}

QString ImGroupManager::getGrouplogo(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group ? group->grouplogo() : QString();
}

int ImGroupManager::getUsercount(const QString& groupid) {
  const ImGroupEntity* group = getGroupEntity(groupid);
  return group ? group->usercount() : 0;
}

void ImGroupManager::setAllSelected(bool selected) {
  for (ImGroupEntity* group : qAsConst(d->m_groups)) group->setSelected(selected);
}

void ImGroupManager::setAllIsSync(bool isSync) {
  for (ImGroupEntity* group : qAsConst(d->m_groups)) group->setIsSync(isSync);
}

// A group the user has left is never a target, whatever marks it kept.
QStringList ImGroupManager::selectedAccounts() {
  return ImKeysWhere(d->m_groups, [](const ImGroupEntity* item) {
    return item->groupstate() == 0 && item->selected();
  });
}

QStringList ImGroupManager::isSyncAccounts() {
  return ImKeysWhere(d->m_groups, [](const ImGroupEntity* item) {
    return item->groupstate() == 0 && item->isSync();
  });
}

void ImGroupManager::updateIsSync(const QString& groupid, bool isSync) {
  if (ImGroupEntity* group = getGroupEntity(groupid)) group->setIsSync(isSync);
}

void ImGroupManager::saveIsSyncAccounts() {
  VConfig::instance()->setValue(kSyncGroupsKey, isSyncAccounts());
}

namespace {
// Stores a current-group value and signals, only when it changes.
template <typename T>
T Assign(ImGroupManager* manager, T& field, const T& value, void (ImGroupManager::*changed)()) {
  qDebug() << "ImGroupManager: current group" << value;
  if (field != value) {
    field = value;
    emit(manager->*changed)();
  }
  return value;
}
}  // namespace

QString ImGroupManager::groupname() const { return d->m_groupname; }
QString ImGroupManager::setGroupname(const QString& groupname) {
  return Assign(this, d->m_groupname, groupname, &ImGroupManager::groupnameChanged);
}
QString ImGroupManager::info() const { return d->m_info; }
QString ImGroupManager::setInfo(const QString& info) {
  return Assign(this, d->m_info, info, &ImGroupManager::infoChanged);
}
QString ImGroupManager::groupIcon() const { return d->m_groupIcon; }
QString ImGroupManager::setGroupIcon(const QString& groupIcon) {
  return Assign(this, d->m_groupIcon, groupIcon, &ImGroupManager::groupIconChanged);
}
int ImGroupManager::memberCount() const { return d->m_memberCount; }
int ImGroupManager::setMemberCount(int memberCount) {
  return Assign(this, d->m_memberCount, memberCount, &ImGroupManager::memberCountChanged);
}
QString ImGroupManager::nick() const { return d->m_nick; }
QString ImGroupManager::setNick(const QString& nick) {
  return Assign(this, d->m_nick, nick, &ImGroupManager::nickChanged);
}
QString ImGroupManager::owner() const { return d->m_owner; }
QString ImGroupManager::setOwner(const QString& owner) {
  return Assign(this, d->m_owner, owner, &ImGroupManager::ownerChanged);
}
QString ImGroupManager::code() const { return d->m_code; }
QString ImGroupManager::setCode(const QString& code) {
  return Assign(this, d->m_code, code, &ImGroupManager::codeChanged);
}
int ImGroupManager::countdown() const { return d->m_countdown; }
int ImGroupManager::setCountdown(int countdown) {
  return Assign(this, d->m_countdown, countdown, &ImGroupManager::countdownChanged);
}
QString ImGroupManager::parentName() const { return d->m_parentName; }
QString ImGroupManager::setParentName(const QString& parentName) {
  return Assign(this, d->m_parentName, parentName, &ImGroupManager::parentNameChanged);
}
int ImGroupManager::childSize() const { return d->m_childSize; }
int ImGroupManager::setChildSize(int childSize) {
  return Assign(this, d->m_childSize, childSize, &ImGroupManager::childSizeChanged);
}

ImSearchUserManager* ImGroupManager::pickerSearchUserManager() const {
  return ImSearchUserManager::pickerInstance();
}
