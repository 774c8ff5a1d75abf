#ifndef TESMO_CLIENT_SHELL_VGLOBAL_H
#define TESMO_CLIENT_SHELL_VGLOBAL_H

#include <QObject>
#include <QScopedPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>

class VGlobalPrivate;

// The global utility object of the QML pages ("vGlobal"): connection state,
// prompt sounds, window and dialog flags, @-mention bookkeeping, recall windows,
// file and text helpers, and the signal bus between QML components.
class VGlobal : public QObject {
  Q_OBJECT
  Q_PROPERTY(VConnectionState connectionState READ connectionState NOTIFY connectionStateChanged)
  Q_PROPERTY(bool animationEnabled READ animationEnabled NOTIFY animationEnabledChanged)
  Q_PROPERTY(int maxForwardContacts READ maxForwardContacts NOTIFY maxForwardContactsChanged)
  Q_PROPERTY(int dialogShowing READ dialogShowing NOTIFY dialogShowingChanged)
  Q_PROPERTY(QString atAllMembers READ atAllMembers NOTIFY atAllMembersChanged)
  Q_PROPERTY(bool active READ active NOTIFY windowAcitveChanged)
  Q_PROPERTY(bool osIsWindows READ currentOsIsWindows NOTIFY currentOsIsWindowsChanged)
  Q_PROPERTY(QString supportImageFormat READ supportImageFormat NOTIFY supportImageFormatChanged)
  Q_PROPERTY(bool translucentWindows READ translucentWindows CONSTANT)
  Q_PROPERTY(bool alertMessageShowing READ alertMessageShowing WRITE setAlertMessageShowing NOTIFY
                 alertMessageShowingChanged)

 public:
  enum VConnectionState { CONNECT = 0, DISCONNECT = 1, CONNECTING = 2 };
  Q_ENUM(VConnectionState)
  enum VSound { MESSAGE = 0, LOGINSUCCESS = 1, NETWORKCONNECTED = 2 };
  Q_ENUM(VSound)

  static constexpr qint64 kSoundGuardMs = 2000;
  static constexpr qint64 kRecallWindowMs = 120000;
  static constexpr qint64 kRecallEditWindowMs = 360000;
  static constexpr int kHardCheckIntervalMs = 120000;
  static constexpr int kReconnectIntervalMs = 2000;

  // Milliseconds since the epoch; replaceable so that timing rules can be tested.
  using Clock = qint64 (*)();
  static void setClock(Clock clock);
  static qint64 now();

  // Public for the QML type registration; the program uses instance().
  explicit VGlobal(QObject* parent = nullptr);
  ~VGlobal() override;
  static VGlobal* instance();

  VConnectionState connectionState() const;
  bool animationEnabled() const;
  int maxForwardContacts() const { return 10; }
  int dialogShowing() const;
  bool alertMessageShowing() const;
  void setAlertMessageShowing(bool showing);

  Q_INVOKABLE bool currentOsIsWindows() const;
  // False where transparent window parts would show black (X without a compositor).
  bool translucentWindows() const;
  Q_INVOKABLE bool isOnline() const;
  // Whether a request to the servers may go out: while the engine's session is up
  // it may, whatever the probe says (many networks drop echo requests); without a
  // session only a probe that got through allows it.
  Q_INVOKABLE bool serverReachable() const;
  Q_INVOKABLE bool active() const;
  Q_INVOKABLE void setActive(bool active);
  Q_INVOKABLE void setDialogShowing(bool showing);
  Q_INVOKABLE void playSound(VSound sound);
  Q_INVOKABLE QString getSummaryByAccount(const QString& account);
  Q_INVOKABLE int getUseridByAccount(const QString& account);
  Q_INVOKABLE int getChampflagByAccount(const QString& account);
  Q_INVOKABLE void kickOutToLogin();
  Q_INVOKABLE bool isRecallable(const QString& sendtime) const;
  Q_INVOKABLE bool isRecallMessageEditable(const QString& sendtime) const;

  // Mentions: display names by account, and the accounts still in the input.
  Q_INVOKABLE QString atAllMembers() const;
  Q_INVOKABLE void atSomebody(const QString& account, const QString& name);
  Q_INVOKABLE QString atName(const QString& account) const;
  Q_INVOKABLE void updateAtSomebodyList(const QStringList& accounts);
  Q_INVOKABLE QStringList atSomebodyList(const QStringList& currentAtNames) const;
  Q_INVOKABLE bool isAtAll() const;
  Q_INVOKABLE bool atNameContains(const QString& name) const;

  // Reachability: one echo request through the system's ping; true only when it
  // ended normally with exit code 0 in time. Any thread may call it.
  Q_INVOKABLE static bool ping(const QString& host);
  // The one host the network check probes.
  static QString probeHost();
  // The maker's web site, opened from the settings popup's version entry.
  Q_INVOKABLE QString makerWebSite() const;

  // File and text helpers; every file name may be a URL.
  Q_INVOKABLE QString urlToPath(const QString& url) const;
  Q_INVOKABLE QString suffix(const QString& fileName) const;
  Q_INVOKABLE QString suffixOnlyByFileName(const QString& fileName) const;
  // The preferred suffix of the file's type judged by its content, else by its name.
  Q_INVOKABLE QString format(const QString& fileName) const;
  Q_INVOKABLE QString mimeType(const QString& fileName) const;
  Q_INVOKABLE bool fileExists(const QString& fileName) const;
  Q_INVOKABLE bool isDir(const QString& fileName) const;
  Q_INVOKABLE QSize imageSize(const QString& fileName) const;
  Q_INVOKABLE bool isImage(const QString& fileName) const;
  Q_INVOKABLE bool isTextFile(const QString& fileName) const;
  Q_INVOKABLE bool isZip(const QString& fileName) const;
  Q_INVOKABLE bool isAudio(const QString& fileName) const;
  Q_INVOKABLE bool isVideo(const QString& fileName) const;
  Q_INVOKABLE bool isWordFile(const QString& fileName) const;
  Q_INVOKABLE bool isExcelFile(const QString& fileName) const;
  Q_INVOKABLE bool isPPTFile(const QString& fileName) const;
  Q_INVOKABLE bool isPDF(const QString& fileName) const;
  Q_INVOKABLE bool isPS(const QString& fileName) const;
  Q_INVOKABLE bool isAI(const QString& fileName) const;
  Q_INVOKABLE bool isPages(const QString& fileName) const;
  Q_INVOKABLE bool isNumbers(const QString& fileName) const;
  Q_INVOKABLE bool isKeynote(const QString& fileName) const;
  Q_INVOKABLE QString fileIconQrc(const QString& fileName) const;
  Q_INVOKABLE QString supportImageFormat() const;
  Q_INVOKABLE void showFileInFolder(const QString& path) const;
  // Where the file choosers start: the user's documents or pictures folder as a
  // URL, the home folder while it does not exist.
  Q_INVOKABLE QUrl documentsFolder() const;
  Q_INVOKABLE QUrl picturesFolder() const;
  Q_INVOKABLE QString htmlTextToPlainText(const QString& htmlText) const;
  // The text of rich text from elsewhere (a paste): every block (paragraph, list
  // item, table cell) and every line break ends a line.
  Q_INVOKABLE QString richTextToPlainText(const QString& html) const;

 signals:
  void currentOsIsWindowsChanged();
  void messageInputTooLong();
  void summaryInputTooLong();
  void userInfoUpdateSuccessed();
  void connectionStateChanged(VConnectionState vConnectionState);
  void animationEnabledChanged();
  void atAllMembersChanged();
  void supportImageFormatChanged();
  void alertMessageShowingChanged();
  void createGroupChat();
  void createGroupChatSuccessed(QString groupid, QString groupname, QString parentid);
  void messagesReceivedAlert();
  void openGroupSettingsDrawerFaild();
  void windowAcitveChanged(bool active);
  void addGroupMembers();
  void addGroupMembersSuccessed();
  void deleteGroupMembers();
  void deleteGroupMembersSuccessed();
  void requestLeaveGroup();
  void agreedToLeaveGroup();
  void leaveGroupFaild();
  void leaveGroupSuccessed();
  void addGroupManagers(int managersCount);
  void addGroupManagersSuccessed();
  void selectUpToMaxManagersCount(int selectableCount);
  void reshowAddGroupManagerSelectPopupWindow();
  void deleteGroupManagers();
  void deleteGroupManagersSuccessed();
  void transferGroup();
  void transferGroupSuccessed();
  void noMemberForTransferGroup();
  void requestDisbandGroup();
  void agreedToDisbandGroup();
  void disbandGroupFaild();
  void disbandGroupSuccessed();
  void disbandGroupNotifyMember();
  void notGroupMember();
  void notGroupMemberKnown();
  void releaseChildGroupFaild();
  void releaseChildGroupSuccessed();
  void banSingleChat();
  void functionIsDeveloping();
  void emojiClicked(QString emoji);
  void emojiGifClicked(QString emojiGif);
  void openChat(QString account, bool isGroup);
  void openChatWithNameAndIcon(QString account, bool isGroup, QString name, QString icon);
  void openSyncToContactsWindow();
  void noSyncToContactsPermission();
  void openSyncToContactsCheckedConfirmWindow();
  void syncToContactsCheckedConfirmOKClicked();
  void forwardMessage(int id, QString message, int msgtype);
  void forwardFinished();
  void macOSDockClicked();
  void maxForwardContactsChanged();
  void selectUpToMaxContactsAndGroups();
  void reshowForwardSelectPopupWindow();
  void addMembersForSingleChat();
  void dialogShowingChanged();
  void captureResult(bool result);
  void positionToUnReadSession();
  void sendPicture(QString fileName);
  void sendFileOnly(QString url);
  void reeditRecallMessage(QString reeditText);
  void showDesktopMessage(QString title, QString message, int duration = 2000, int messageIcon = 0);
  void showDesktopAtMessage(QString title, QString message, QString account, int duration = 2000,
                            int messageIcon = 0);
  void messageAtMeClicked(QString account);
  void showCodeEnterGroupPopupWindow();
  void alertWaitingShow();
  void alertWaitingClose();
  void escapePressed();
  void fileIsNotExists();
  void atSomebodyAccount(QString account, QString atName);
  void showSearchAddFriendPopupWindow();
  void showQuotesPopupWindow(QString showUrl);
  void showGroupsInCommon();
  void showDownloadTesmoChatAppPopupWindow();
  void showIndexPage();
  void showLoginPage();

 private slots:
  void onlineStateChanged(bool isOnline);
  void networkConnectionStateChanged(bool isOnline);
  // A probe asked for by onlineStateChanged, the hard check or the start.
  void onProbeResult(bool reachable);

 private:
  void setConnectionState(VConnectionState state);

  QScopedPointer<VGlobalPrivate> d;
};

#endif
