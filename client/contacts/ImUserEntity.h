#ifndef TESMO_CLIENT_CONTACTS_IMUSERENTITY_H
#define TESMO_CLIENT_CONTACTS_IMUSERENTITY_H

#include "contacts/ImMapEntity.h"

// One person as a row: a friend, a group owner, manager or member, or a search
// result.
class ImUserEntity : public ImMapEntity {
  Q_OBJECT
  Q_PROPERTY(int userid READ userid WRITE setUserid NOTIFY useridChanged)
  Q_PROPERTY(QString account READ account WRITE setAccount NOTIFY accountChanged)
  Q_PROPERTY(QString mobile READ mobile WRITE setMobile NOTIFY mobileChanged)
  Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
  Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
  Q_PROPERTY(QString summary READ summary WRITE setSummary NOTIFY summaryChanged)
  Q_PROPERTY(QString logo READ logo WRITE setLogo NOTIFY logoChanged)
  Q_PROPERTY(QString bigLogo READ bigLogo WRITE setBigLogo NOTIFY bigLogoChanged)
  Q_PROPERTY(bool isfriend READ isfriend WRITE setIsfriend NOTIFY isfriendChanged)
  Q_PROPERTY(int version READ version WRITE setVersion NOTIFY versionChanged)
  Q_PROPERTY(QString modifytime READ modifytime WRITE setModifytime NOTIFY modifytimeChanged)
  Q_PROPERTY(QString sectionKey READ sectionKey WRITE setSectionKey NOTIFY sectionKeyChanged)
  Q_PROPERTY(bool added READ added WRITE setAdded NOTIFY addedChanged)
  Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectedChanged)
  Q_PROPERTY(QString groupid READ groupid WRITE setGroupid NOTIFY groupidChanged)
  Q_PROPERTY(QString nick READ nick WRITE setNick NOTIFY nickChanged)
  Q_PROPERTY(QString entrytime READ entrytime WRITE setEntrytime NOTIFY entrytimeChanged)
  Q_PROPERTY(int role READ role WRITE setRole NOTIFY roleChanged)
  Q_PROPERTY(bool isSync READ isSync WRITE setIsSync NOTIFY isSyncChanged)
  Q_PROPERTY(int champflag READ champflag WRITE setChampflag NOTIFY champflagChanged)

 public:
  explicit ImUserEntity(const QVariantMap& data, QObject* parent = nullptr);

  int userid() const;
  int setUserid(int userid);
  QString account() const;
  QString setAccount(const QString& account);
  QString mobile() const;
  QString setMobile(const QString& mobile);
  QString email() const;
  QString setEmail(const QString& email);
  QString name() const;
  QString setName(const QString& name);
  QString summary() const;
  QString setSummary(const QString& summary);
  QString logo() const;
  QString setLogo(const QString& logo);
  QString bigLogo() const;
  QString setBigLogo(const QString& bigLogo);
  bool isfriend() const;
  bool setIsfriend(bool isfriend);
  int version() const;
  int setVersion(int version);
  QString modifytime() const;
  QString setModifytime(const QString& modifytime);
  QString sectionKey() const;
  QString setSectionKey(const QString& sectionKey);
  bool added() const;
  bool setAdded(bool added);
  bool selected() const;
  bool setSelected(bool selected);
  QString groupid() const;
  QString setGroupid(const QString& groupid);
  QString nick() const;
  QString setNick(const QString& nick);
  QString entrytime() const;
  QString setEntrytime(const QString& entrytime);
  int role() const;
  int setRole(int role);
  bool isSync() const;
  bool setIsSync(bool isSync);
  int champflag() const;
  int setChampflag(int champflag);

 signals:
  void useridChanged();
  void accountChanged();
  void mobileChanged();
  void emailChanged();
  void nameChanged();
  void summaryChanged();
  void logoChanged();
  void bigLogoChanged();
  void isfriendChanged();
  void versionChanged();
  void modifytimeChanged();
  void sectionKeyChanged();
  void addedChanged();
  void selectedChanged();
  void groupidChanged();
  void nickChanged();
  void entrytimeChanged();
  void roleChanged();
  void isSyncChanged();
  void champflagChanged();

 private:
  QString m_sectionKey;
  bool m_added = true;
  bool m_selected = false;
  bool m_isSync = false;
};

#endif
