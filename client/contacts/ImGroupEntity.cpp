#include "contacts/ImGroupEntity.h"

#include "contacts/ImContactsManager.h"

ImGroupEntity::ImGroupEntity(const QVariantMap& data, QObject* parent)
    : ImMapEntity(data, parent) {}

QString ImGroupEntity::groupid() const { return text("groupid"); }
QString ImGroupEntity::setGroupid(const QString& groupid) {
  return storeText("groupid", groupid, &ImGroupEntity::groupidChanged);
}
QString ImGroupEntity::parentid() const { return text("parentid"); }
QString ImGroupEntity::setParentid(const QString& parentid) {
  return storeText("parentid", parentid, &ImGroupEntity::parentidChanged);
}
QString ImGroupEntity::path() const { return text("path"); }
QString ImGroupEntity::setPath(const QString& path) {
  return storeText("path", path, &ImGroupEntity::pathChanged);
}
QString ImGroupEntity::craccount() const { return text("craccount"); }
QString ImGroupEntity::setCraccount(const QString& craccount) {
  return storeText("craccount", craccount, &ImGroupEntity::craccountChanged);
}
QString ImGroupEntity::groupname() const { return text("groupname"); }
QString ImGroupEntity::setGroupname(const QString& groupname) {
  return storeText("groupname", groupname, &ImGroupEntity::groupnameChanged);
}
QString ImGroupEntity::grouplogo() const { return text("grouplogo"); }
QString ImGroupEntity::setGrouplogo(const QString& grouplogo) {
  return storeText("grouplogo", grouplogo, &ImGroupEntity::grouplogoChanged);
}
QString ImGroupEntity::groupinfo() const { return text("groupinfo"); }
QString ImGroupEntity::setGroupinfo(const QString& groupinfo) {
  return storeText("groupinfo", groupinfo, &ImGroupEntity::groupinfoChanged);
}
int ImGroupEntity::usercount() const { return number("usercount"); }
int ImGroupEntity::setUsercount(int usercount) {
  return storeNumber("usercount", usercount, &ImGroupEntity::usercountChanged);
}
QString ImGroupEntity::entrytime() const { return text("entrytime"); }
QString ImGroupEntity::setEntrytime(const QString& entrytime) {
  return storeText("entrytime", entrytime, &ImGroupEntity::entrytimeChanged);
}
int ImGroupEntity::version() const { return number("version"); }
int ImGroupEntity::setVersion(int version) {
  return storeNumber("version", version, &ImGroupEntity::versionChanged);
}
int ImGroupEntity::userversion() const { return number("userversion"); }
int ImGroupEntity::setUserversion(int userversion) {
  return storeNumber("userversion", userversion, &ImGroupEntity::userversionChanged);
}
int ImGroupEntity::groupstate() const { return number("groupstate"); }
int ImGroupEntity::setGroupstate(int groupstate) {
  return storeNumber("groupstate", groupstate, &ImGroupEntity::groupstateChanged);
}
bool ImGroupEntity::selected() const { return m_selected; }
bool ImGroupEntity::setSelected(bool selected) {
  return storeFlag(m_selected, selected, &ImGroupEntity::selectedChanged);
}
int ImGroupEntity::banall() const { return number("banall"); }
int ImGroupEntity::setBanall(int banall) {
  return storeNumber("banall", banall, &ImGroupEntity::banallChanged);
}
int ImGroupEntity::banuser() const { return number("banuser"); }
int ImGroupEntity::setBanuser(int banuser) {
  return storeNumber("banuser", banuser, &ImGroupEntity::banuserChanged);
}
bool ImGroupEntity::isSync() const { return m_isSync; }
bool ImGroupEntity::setIsSync(bool isSync) {
  return storeFlag(m_isSync, isSync, &ImGroupEntity::isSyncChanged);
}
int ImGroupEntity::title() const { return number("title"); }
int ImGroupEntity::setTitle(int title) {
  return storeNumber("title", title, &ImGroupEntity::titleChanged);
}
int ImGroupEntity::banUrl() const { return number("banUrl"); }
int ImGroupEntity::setBanUrl(int banUrl) {
  return storeNumber("banUrl", banUrl, &ImGroupEntity::banUrlChanged);
}
int ImGroupEntity::banPic() const { return number("banPic"); }
int ImGroupEntity::setBanPic(int banPic) {
  return storeNumber("banPic", banPic, &ImGroupEntity::banPicChanged);
}
QString ImGroupEntity::parentName() const { return text("parentName"); }
QString ImGroupEntity::setParentName(const QString& parentName) {
  return storeText("parentName", parentName, &ImGroupEntity::parentNameChanged);
}
QString ImGroupEntity::ownerId() const { return text("owner"); }
QString ImGroupEntity::setOwnerId(const QString& ownerId) {
  return storeText("owner", ownerId, &ImGroupEntity::ownerIdChanged);
}
QString ImGroupEntity::ownerName() const { return text("name"); }
QString ImGroupEntity::setOwnerName(const QString& ownerName) {
  return storeText("name", ownerName, &ImGroupEntity::ownerNameChanged);
}
QString ImGroupEntity::ownerLogo() const { return text("logo"); }
QString ImGroupEntity::setOwnerLogo(const QString& ownerLogo) {
  return storeText("logo", ownerLogo, &ImGroupEntity::ownerLogoChanged);
}
bool ImGroupEntity::isMute() const {
  m_isMute = ImContactsManager::instance()->inBlackList(groupid());
  return m_isMute;
}
bool ImGroupEntity::setIsMute(bool isMute) {
  return storeFlag(m_isMute, isMute, &ImGroupEntity::isMuteChanged);
}
int ImGroupEntity::banChat() const { return number("banChat"); }
int ImGroupEntity::setBanChat(int banChat) {
  return storeNumber("banChat", banChat, &ImGroupEntity::banChatChanged);
}
int ImGroupEntity::type() const { return number("type"); }
int ImGroupEntity::setType(int type) {
  return storeNumber("type", type, &ImGroupEntity::typeChanged);
}
int ImGroupEntity::banscreenshot() const { return number("banscreenshot"); }
int ImGroupEntity::setBanscreenshot(int banscreenshot) {
  return storeNumber("banscreenshot", banscreenshot, &ImGroupEntity::banscreenshotChanged);
}
