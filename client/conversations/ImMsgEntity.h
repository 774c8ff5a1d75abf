#ifndef TESMO_CLIENT_CONVERSATIONS_IMMSGENTITY_H
#define TESMO_CLIENT_CONVERSATIONS_IMMSGENTITY_H

#include <QObject>
#include <QString>
#include <QVariantMap>

// One message of the open conversation, or one row of the conversation list shown
// by its latest message. The whole state is one map keyed by the message table's
// column names plus display keys; every property reads and writes that map.
class ImMsgEntity : public QObject {
  Q_OBJECT
  Q_PROPERTY(int id READ id WRITE setId NOTIFY idChanged)
  Q_PROPERTY(int msgid READ msgid WRITE setMsgid NOTIFY msgidChanged)
  Q_PROPERTY(int msgtype READ msgtype WRITE setMsgtype NOTIFY msgtypeChanged)
  Q_PROPERTY(QString fromuser READ fromuser WRITE setFromuser NOTIFY fromuserChanged)
  Q_PROPERTY(QString fromgroup READ fromgroup WRITE setFromgroup NOTIFY fromgroupChanged)
  Q_PROPERTY(QString fromver READ fromver WRITE setFromver NOTIFY fromverChanged)
  Q_PROPERTY(int device READ device WRITE setDevice NOTIFY deviceChanged)
  Q_PROPERTY(QString touser READ touser WRITE setTouser NOTIFY touserChanged)
  Q_PROPERTY(int totype READ totype WRITE setTotype NOTIFY totypeChanged)
  Q_PROPERTY(QString content READ content WRITE setContent NOTIFY contentChanged)
  Q_PROPERTY(QString remark READ remark WRITE setRemark NOTIFY remarkChanged)
  Q_PROPERTY(QString localpath READ localpath WRITE setLocalpath NOTIFY localpathChanged)
  Q_PROPERTY(QString fileurl READ fileurl WRITE setFileurl NOTIFY fileurlChanged)
  Q_PROPERTY(int sendflag READ sendflag WRITE setSendflag NOTIFY sendflagChanged)
  Q_PROPERTY(int sendstate READ sendstate WRITE setSendstate NOTIFY sendstateChanged)
  Q_PROPERTY(int localsend READ localsend WRITE setLocalsend NOTIFY localsendChanged)
  Q_PROPERTY(int seeflag READ seeflag WRITE setSeeflag NOTIFY seeflagChanged)
  Q_PROPERTY(int atflag READ atflag WRITE setAtflag NOTIFY atflagChanged)
  Q_PROPERTY(int cancelflag READ cancelflag WRITE setCancelflag NOTIFY cancelflagChanged)
  Q_PROPERTY(QString sendtime READ sendtime WRITE setSendtime NOTIFY sendtimeChanged)
  Q_PROPERTY(int deleted READ deleted WRITE setDeleted NOTIFY deletedChanged)
  Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
  Q_PROPERTY(QString icon READ icon WRITE setIcon NOTIFY iconChanged)
  Q_PROPERTY(QString account READ account WRITE setAccount NOTIFY accountChanged)
  Q_PROPERTY(
      int unReadMsgCount READ unReadMsgCount WRITE setUnReadMsgCount NOTIFY unReadMsgCountChanged)
  Q_PROPERTY(
      int downloadState READ downloadState WRITE setDownloadState NOTIFY downloadStateChanged)
  Q_PROPERTY(QString audioText READ audioText WRITE setAudioText NOTIFY audioTextChanged)
  Q_PROPERTY(int playflag READ playflag WRITE setPlayflag NOTIFY playflagChanged)
  Q_PROPERTY(int seconds READ seconds WRITE setSeconds NOTIFY secondsChanged)
  Q_PROPERTY(int progress READ progress WRITE setProgress NOTIFY progressChanged)
  Q_PROPERTY(int width READ width WRITE setWidth NOTIFY widthChanged)
  Q_PROPERTY(int height READ height WRITE setHeight NOTIFY heightChanged)
  Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
  Q_PROPERTY(QString fileSize READ fileSize WRITE setFileSize NOTIFY fileSizeChanged)
  Q_PROPERTY(bool showTime READ showTime WRITE setShowTime NOTIFY showTimeChanged)
  Q_PROPERTY(QString translation READ translation WRITE setTranslation NOTIFY translationChanged)
  Q_PROPERTY(int title READ title WRITE setTitle NOTIFY titleChanged)
  Q_PROPERTY(int revokeflag READ revokeflag WRITE setRevokeflag NOTIFY revokeflagChanged)
  Q_PROPERTY(QString fromName READ fromName WRITE setFromName NOTIFY fromNameChanged)
  Q_PROPERTY(QString parentName READ parentName WRITE setParentName NOTIFY parentNameChanged)
  Q_PROPERTY(int groupstate READ groupstate WRITE setGroupstate NOTIFY groupstateChanged)
  Q_PROPERTY(bool isMute READ isMute WRITE setIsMute NOTIFY isMuteChanged)
  Q_PROPERTY(QString coin READ coin WRITE setCoin NOTIFY coinChanged)
  Q_PROPERTY(QString coinImg READ coinImg WRITE setCoinImg NOTIFY coinImgChanged)
  Q_PROPERTY(float amount READ amount WRITE setAmount NOTIFY amountChanged)
  Q_PROPERTY(float high READ high WRITE setHigh NOTIFY highChanged)
  Q_PROPERTY(float low READ low WRITE setLow NOTIFY lowChanged)
  Q_PROPERTY(float close READ close WRITE setClose NOTIFY closeChanged)
  Q_PROPERTY(int champflag READ champflag WRITE setChampflag NOTIFY champflagChanged)

 public:
  // Every property name, in declaration order.
  static constexpr int kPropertyCount = 49;
  static const char* const kPropertyNames[kPropertyCount];

  explicit ImMsgEntity(const QVariantMap& data = QVariantMap(), QObject* parent = nullptr);
  ~ImMsgEntity() override;

  QVariantMap getData() const;
  // Replaces the whole map and announces every property, changed or not.
  void setData(const QVariantMap& data);

  int id() const;
  int msgid() const;
  int msgtype() const;
  QString fromuser() const;
  QString fromgroup() const;
  QString fromver() const;
  int device() const;
  QString touser() const;
  int totype() const;
  QString content() const;
  QString remark() const;
  QString localpath() const;
  QString fileurl() const;
  int sendflag() const;
  int sendstate() const;
  int localsend() const;
  int seeflag() const;
  int atflag() const;
  int cancelflag() const;
  QString sendtime() const;
  int deleted() const;
  QString name() const;
  QString icon() const;
  QString account() const;
  int unReadMsgCount() const;
  int downloadState() const;
  QString audioText() const;
  int playflag() const;
  int seconds() const;
  int progress() const;
  int width() const;
  int height() const;
  QString fileName() const;
  QString fileSize() const;
  bool showTime() const;
  QString translation() const;
  int title() const;
  int revokeflag() const;
  QString fromName() const;
  QString parentName() const;
  int groupstate() const;
  bool isMute() const;
  QString coin() const;
  QString coinImg() const;
  float amount() const;
  float high() const;
  float low() const;
  float close() const;
  int champflag() const;

  int setId(const int& value);
  int setMsgid(const int& value);
  int setMsgtype(const int& value);
  QString setFromuser(const QString& value);
  QString setFromgroup(const QString& value);
  QString setFromver(const QString& value);
  int setDevice(const int& value);
  QString setTouser(const QString& value);
  int setTotype(const int& value);
  QString setContent(const QString& value);
  QString setRemark(const QString& value);
  QString setLocalpath(const QString& value);
  QString setFileurl(const QString& value);
  int setSendflag(const int& value);
  int setSendstate(const int& value);
  int setLocalsend(const int& value);
  int setSeeflag(const int& value);
  int setAtflag(const int& value);
  int setCancelflag(const int& value);
  QString setSendtime(const QString& value);
  int setDeleted(const int& value);
  QString setName(const QString& value);
  QString setIcon(const QString& value);
  QString setAccount(const QString& value);
  int setUnReadMsgCount(const int& value);
  int setDownloadState(const int& value);
  QString setAudioText(const QString& value);
  int setPlayflag(const int& value);
  int setSeconds(const int& value);
  int setProgress(const int& value);
  int setWidth(const int& value);
  int setHeight(const int& value);
  QString setFileName(const QString& value);
  QString setFileSize(const QString& value);
  bool setShowTime(const bool& value);
  QString setTranslation(const QString& value);
  int setTitle(const int& value);
  int setRevokeflag(const int& value);
  QString setFromName(const QString& value);
  QString setParentName(const QString& value);
  int setGroupstate(const int& value);
  bool setIsMute(const bool& value);
  QString setCoin(const QString& value);
  QString setCoinImg(const QString& value);
  float setAmount(const float& value);
  float setHigh(const float& value);
  float setLow(const float& value);
  float setClose(const float& value);
  int setChampflag(const int& value);

 signals:
  void idChanged();
  void msgidChanged();
  void msgtypeChanged();
  void fromuserChanged();
  void fromgroupChanged();
  void fromverChanged();
  void deviceChanged();
  void touserChanged();
  void totypeChanged();
  void contentChanged();
  void remarkChanged();
  void localpathChanged();
  void fileurlChanged();
  void sendflagChanged();
  void sendstateChanged();
  void localsendChanged();
  void seeflagChanged();
  void atflagChanged();
  void cancelflagChanged();
  void sendtimeChanged();
  void deletedChanged();
  void nameChanged();
  void iconChanged();
  void accountChanged();
  void unReadMsgCountChanged();
  void downloadStateChanged();
  void audioTextChanged();
  void playflagChanged();
  void secondsChanged();
  void progressChanged();
  void widthChanged();
  void heightChanged();
  void fileNameChanged();
  void fileSizeChanged();
  void showTimeChanged();
  void translationChanged();
  // The item is being deleted (emitted from its destructor).
  void goingAway();
  void titleChanged();
  void revokeflagChanged();
  void fromNameChanged();
  void parentNameChanged();
  void groupstateChanged();
  void isMuteChanged();
  void coinChanged();
  void coinImgChanged();
  void amountChanged();
  void highChanged();
  void lowChanged();
  void closeChanged();
  void champflagChanged();

 private:
  QVariantMap m_data;
};

#endif
