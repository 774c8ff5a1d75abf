#include "contacts/ImUserEntity.h"

ImUserEntity::ImUserEntity(const QVariantMap& data, QObject* parent)
    : ImMapEntity(data, parent), m_sectionKey(QStringLiteral("#")) {}

int ImUserEntity::userid() const { return number("userid"); }
int ImUserEntity::setUserid(int userid) {
  return storeNumber("userid", userid, &ImUserEntity::useridChanged);
}
QString ImUserEntity::account() const { return text("account"); }
QString ImUserEntity::setAccount(const QString& account) {
  return storeText("account", account, &ImUserEntity::accountChanged);
}
QString ImUserEntity::mobile() const { return text("mobile"); }
QString ImUserEntity::setMobile(const QString& mobile) {
  return storeText("mobile", mobile, &ImUserEntity::mobileChanged);
}
QString ImUserEntity::email() const { return text("email"); }
QString ImUserEntity::setEmail(const QString& email) {
  return storeText("email", email, &ImUserEntity::emailChanged);
}
QString ImUserEntity::name() const { return text("name"); }
QString ImUserEntity::setName(const QString& name) {
  return storeText("name", name, &ImUserEntity::nameChanged);
}
QString ImUserEntity::summary() const { return text("summary"); }
QString ImUserEntity::setSummary(const QString& summary) {
  return storeText("summary", summary, &ImUserEntity::summaryChanged);
}
QString ImUserEntity::logo() const { return text("logo"); }
QString ImUserEntity::setLogo(const QString& logo) {
  return storeText("logo", logo, &ImUserEntity::logoChanged);
}
QString ImUserEntity::bigLogo() const { return text("biglogo"); }
QString ImUserEntity::setBigLogo(const QString& bigLogo) {
  return storeText("biglogo", bigLogo, &ImUserEntity::bigLogoChanged);
}
bool ImUserEntity::isfriend() const { return number("isfriend") != 0; }
bool ImUserEntity::setIsfriend(bool isfriend) {
  if (this->isfriend() != isfriend) {
    m_data.insert(QStringLiteral("isfriend"), isfriend);
    emit isfriendChanged();
  }
  return isfriend;
}
int ImUserEntity::version() const { return number("version"); }
int ImUserEntity::setVersion(int version) {
  return storeNumber("version", version, &ImUserEntity::versionChanged);
}
QString ImUserEntity::modifytime() const { return text("modifytime"); }
QString ImUserEntity::setModifytime(const QString& modifytime) {
  return storeText("modifytime", modifytime, &ImUserEntity::modifytimeChanged);
}
QString ImUserEntity::sectionKey() const { return m_sectionKey; }
QString ImUserEntity::setSectionKey(const QString& sectionKey) {
  if (m_sectionKey != sectionKey) {
    m_sectionKey = sectionKey;
    emit sectionKeyChanged();
  }
  return sectionKey;
}
bool ImUserEntity::added() const { return m_added; }
bool ImUserEntity::setAdded(bool added) {
  return storeFlag(m_added, added, &ImUserEntity::addedChanged);
}
bool ImUserEntity::selected() const { return m_selected; }
bool ImUserEntity::setSelected(bool selected) {
  return storeFlag(m_selected, selected, &ImUserEntity::selectedChanged);
}
QString ImUserEntity::groupid() const { return text("groupid"); }
QString ImUserEntity::setGroupid(const QString& groupid) {
  return storeText("groupid", groupid, &ImUserEntity::groupidChanged);
}
QString ImUserEntity::nick() const { return text("nick"); }
QString ImUserEntity::setNick(const QString& nick) {
  return storeText("nick", nick, &ImUserEntity::nickChanged);
}
QString ImUserEntity::entrytime() const { return text("entrytime"); }
QString ImUserEntity::setEntrytime(const QString& entrytime) {
  return storeText("entrytime", entrytime, &ImUserEntity::entrytimeChanged);
}
int ImUserEntity::role() const { return number("role"); }
int ImUserEntity::setRole(int role) {
  return storeNumber("role", role, &ImUserEntity::roleChanged);
}
bool ImUserEntity::isSync() const { return m_isSync; }
bool ImUserEntity::setIsSync(bool isSync) {
  return storeFlag(m_isSync, isSync, &ImUserEntity::isSyncChanged);
}
int ImUserEntity::champflag() const { return number("champflag"); }
int ImUserEntity::setChampflag(int champflag) {
  return storeNumber("champflag", champflag, &ImUserEntity::champflagChanged);
}
