#ifndef TESMO_CLIENT_CONTACTS_IMGROUPENTITY_H
#define TESMO_CLIENT_CONTACTS_IMGROUPENTITY_H

#include "contacts/ImMapEntity.h"

// One group as a row: a group of the account (from the local group table) or a
// child group (from a server reply). "owner", "name" and "logo" are the owner's
// account, name and avatar as a child-group reply carries them.
class ImGroupEntity : public ImMapEntity {
  Q_OBJECT
  Q_PROPERTY(QString groupid READ groupid WRITE setGroupid NOTIFY groupidChanged)
  Q_PROPERTY(QString parentid READ parentid WRITE setParentid NOTIFY parentidChanged)
  Q_PROPERTY(QString path READ path WRITE setPath NOTIFY pathChanged)
  Q_PROPERTY(QString craccount READ craccount WRITE setCraccount NOTIFY craccountChanged)
  Q_PROPERTY(QString groupname READ groupname WRITE setGroupname NOTIFY groupnameChanged)
  Q_PROPERTY(QString grouplogo READ grouplogo WRITE setGrouplogo NOTIFY grouplogoChanged)
  Q_PROPERTY(QString groupinfo READ groupinfo WRITE setGroupinfo NOTIFY groupinfoChanged)
  Q_PROPERTY(int usercount READ usercount WRITE setUsercount NOTIFY usercountChanged)
  Q_PROPERTY(QString entrytime READ entrytime WRITE setEntrytime NOTIFY entrytimeChanged)
  Q_PROPERTY(int version READ version WRITE setVersion NOTIFY versionChanged)
  Q_PROPERTY(int userversion READ userversion WRITE setUserversion NOTIFY userversionChanged)
  Q_PROPERTY(int groupstate READ groupstate WRITE setGroupstate NOTIFY groupstateChanged)
  Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectedChanged)
  Q_PROPERTY(int banall READ banall WRITE setBanall NOTIFY banallChanged)
  Q_PROPERTY(int banuser READ banuser WRITE setBanuser NOTIFY banuserChanged)
  Q_PROPERTY(bool isSync READ isSync WRITE setIsSync NOTIFY isSyncChanged)
  Q_PROPERTY(int title READ title WRITE setTitle NOTIFY titleChanged)
  Q_PROPERTY(int banUrl READ banUrl WRITE setBanUrl NOTIFY banUrlChanged)
  Q_PROPERTY(int banPic READ banPic WRITE setBanPic NOTIFY banPicChanged)
  Q_PROPERTY(QString parentName READ parentName WRITE setParentName NOTIFY parentNameChanged)
  Q_PROPERTY(QString ownerId READ ownerId WRITE setOwnerId NOTIFY ownerIdChanged)
  Q_PROPERTY(QString ownerName READ ownerName WRITE setOwnerName NOTIFY ownerNameChanged)
  Q_PROPERTY(QString ownerLogo READ ownerLogo WRITE setOwnerLogo NOTIFY ownerLogoChanged)
  Q_PROPERTY(bool isMute READ isMute WRITE setIsMute NOTIFY isMuteChanged)
  Q_PROPERTY(int banChat READ banChat WRITE setBanChat NOTIFY banChatChanged)
  Q_PROPERTY(int type READ type WRITE setType NOTIFY typeChanged)
  Q_PROPERTY(
      int banscreenshot READ banscreenshot WRITE setBanscreenshot NOTIFY banscreenshotChanged)

 public:
  explicit ImGroupEntity(const QVariantMap& data, QObject* parent = nullptr);

  QString groupid() const;
  QString setGroupid(const QString& groupid);
  QString parentid() const;
  QString setParentid(const QString& parentid);
  QString path() const;
  QString setPath(const QString& path);
  QString craccount() const;
  QString setCraccount(const QString& craccount);
  QString groupname() const;
  QString setGroupname(const QString& groupname);
  QString grouplogo() const;
  QString setGrouplogo(const QString& grouplogo);
  QString groupinfo() const;
  QString setGroupinfo(const QString& groupinfo);
  int usercount() const;
  int setUsercount(int usercount);
  QString entrytime() const;
  QString setEntrytime(const QString& entrytime);
  int version() const;
  int setVersion(int version);
  int userversion() const;
  int setUserversion(int userversion);
  int groupstate() const;
  int setGroupstate(int groupstate);
  bool selected() const;
  bool setSelected(bool selected);
  int banall() const;
  int setBanall(int banall);
  int banuser() const;
  int setBanuser(int banuser);
  bool isSync() const;
  bool setIsSync(bool isSync);
  int title() const;
  int setTitle(int title);
  int banUrl() const;
  int setBanUrl(int banUrl);
  int banPic() const;
  int setBanPic(int banPic);
  QString parentName() const;
  QString setParentName(const QString& parentName);
  QString ownerId() const;
  QString setOwnerId(const QString& ownerId);
  QString ownerName() const;
  QString setOwnerName(const QString& ownerName);
  QString ownerLogo() const;
  QString setOwnerLogo(const QString& ownerLogo);
  // Whether the group is on the engine's black list; remembered, not signalled.
  bool isMute() const;
  bool setIsMute(bool isMute);
  int banChat() const;
  int setBanChat(int banChat);
  int type() const;
  int setType(int type);
  int banscreenshot() const;
  int setBanscreenshot(int banscreenshot);

 signals:
  void groupidChanged();
  void parentidChanged();
  void pathChanged();
  void craccountChanged();
  void groupnameChanged();
  void grouplogoChanged();
  void groupinfoChanged();
  void usercountChanged();
  void entrytimeChanged();
  void versionChanged();
  void userversionChanged();
  void groupstateChanged();
  void selectedChanged();
  void banallChanged();
  void banuserChanged();
  void isSyncChanged();
  void titleChanged();
  void banUrlChanged();
  void banPicChanged();
  void parentNameChanged();
  void ownerIdChanged();
  void ownerNameChanged();
  void ownerLogoChanged();
  void isMuteChanged();
  void banChatChanged();
  void typeChanged();
  void banscreenshotChanged();

 private:
  bool m_selected = false;
  bool m_isSync = false;
  mutable bool m_isMute = false;
};

#endif
