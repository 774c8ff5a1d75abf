// The conversation list and the open conversation over the real engine against the
// local server: the list after the login's background download, a text sent to the
// scripted friend and its reply, a push to another conversation, paging back
// through the history, recalling the sent text, a picture and a file sent through
// the upload to the server's file store, and a picture, a file, a voice and a video
// message received, downloaded into the account's folders and shown again from the
// database, and a group recall by an outsider that stays refused after a reopen.
#include <QBuffer>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QtTest>

#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "shell/ImLoginManager.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"
#include "support/LocalServerStart.h"
#include "support/StubPing.h"
#include "tools/LocalServerProcess.h"
#include "tools/MediaSamples.h"

namespace {
constexpr int kWaitMs = 30000;
constexpr int kHistorySyncFinished = 100013;
const char kWorld[] = TESMO_TEST_DATA_DIR "/localserver-conversations.json";
const QString kFriend = QStringLiteral("200002@test.local");
const QString kSecond = QStringLiteral("200003@test.local");
const QString kGroup = QStringLiteral("400001@group.test.local");
const QString kSent = QStringLiteral("ping through the real engine");
// The friend's older history: "old 01" .. "old 45", one a minute.
constexpr int kHistoryCount = 45;

ImSessionListManager* List() { return ImSessionListManager::instance(); }
ImSessionManager* Chat() { return ImSessionManager::instance(); }

ImMsgEntity* ChatRow(int row) { return qobject_cast<ImMsgEntity*>(Chat()->get(row)); }
ImMsgEntity* LastChatRow() { return ChatRow(Chat()->itemCount() - 1); }
QString LastChatText() {
  const ImMsgEntity* row = LastChatRow();
  return row ? row->content() : QString();
}

int Unread(const QString& account) {
  const ImMsgEntity* row = List()->getSession(account);
  return row ? row->unReadMsgCount() : -1;
}

QString Old(int n) { return QStringLiteral("old %1").arg(n, 2, 10, QLatin1Char('0')); }

// The stored row of a message of the friend's conversation, as the history reads it.
QVariantMap StoredRow(int id) {
  for (const QVariantMap& row : Chat()->queryMessages(kFriend, 0, 0, 10))
    if (row.value(QStringLiteral("id")).toInt() == id) return row;
  return {};
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Fetch(const QString& url) {
  QNetworkAccessManager net;
  QNetworkReply* reply = net.get(QNetworkRequest(QUrl(url)));
  QSignalSpy finished(reply, &QNetworkReply::finished);
  if (!finished.wait(kWaitMs)) return {};
  const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : "";
  reply->deleteLater();
  return body;
}
}  // namespace

class TestConversationEndToEnd : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  StubPing::Stub m_ping;
  LocalServerProcess m_server;
  int m_syncStatus = -1;
  int m_sentId = 0;
  int m_firstPage = 0;
  QList<int> m_received;  // local ids of the received file messages

 private slots:
  void initTestCase() {
    // The network probe never answers, as on networks that drop echo requests.
    QVERIFY(m_ping.valid());
    m_ping.set(StubPing::Mode::Unreachable);
    StartLocalServer(m_server, kWorld, m_dir);
    if (QTest::currentTestFailed()) return;
    // Both managers exist before the login, as in the program, so that they hear
    // the end of the background download.
    List();
    Chat();
    connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
            [this](const UIMessage* msg) {
              if (msg && msg->m_Method == kHistorySyncFinished) m_syncStatus = msg->m_Status;
            });
  }

  void cleanupTestCase() {
    ImUiInterface::instance()->releaseInterface();
    QCOMPARE(m_server.Stop(), 0);
  }

  void listAfterLogin() {
    QSignalSpy success(ImLoginManager::instance(), &ImLoginManager::loginSuccess);
    QSignalSpy failure(ImLoginManager::instance(), &ImLoginManager::loginFailure);
    ImLoginManager::instance()->login("13900000001", "+86", "111222");
    QTRY_COMPARE_WITH_TIMEOUT(success.count() + failure.count(), 1, kWaitMs);
    QCOMPARE(success.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(m_syncStatus != -1, kWaitMs);
    QCOMPARE(m_syncStatus, 0);
    // Newest conversation first, each shown by its newest message.
    QTRY_COMPARE_WITH_TIMEOUT(List()->itemCount(), 3, kWaitMs);
    QCOMPARE(List()->getSessionAccount(0), kSecond);
    QCOMPARE(List()->getSessionAccount(1), kGroup);
    QCOMPARE(List()->getSessionAccount(2), kFriend);
    QCOMPARE(List()->getSessionTotype(1), 1);
    QCOMPARE(List()->getSession(kSecond)->content(), QStringLiteral("second says hi"));
    QCOMPARE(List()->getSession(kGroup)->content(), QStringLiteral("group hello"));
    QCOMPARE(List()->getSession(kFriend)->content(), Old(kHistoryCount));
  }

  void openedConversationIsRead() {
    Chat()->entrySession(kSecond, 0);
    QCOMPARE(Chat()->currentSessionId(), kSecond);
    QCOMPARE(Chat()->itemCount(), 1);
    QCOMPARE(LastChatText(), QStringLiteral("second says hi"));
    QTRY_COMPARE_WITH_TIMEOUT(Unread(kSecond), 0, kWaitMs);
  }

  void openShowsNewestPage() {
    Chat()->entrySession(kFriend, 0);
    QCOMPARE(Chat()->currentSessionId(), kFriend);
    // The login downloads only the newest messages of a conversation: the page
    // ends at the newest, oldest first, without gaps.
    m_firstPage = Chat()->itemCount();
    QVERIFY(m_firstPage > 1);
    QVERIFY(m_firstPage <= ImSessionManager::kPageSize);
    for (int row = 0; row < m_firstPage; ++row)
      QCOMPARE(ChatRow(row)->content(), Old(kHistoryCount - m_firstPage + 1 + row));
    QCOMPARE(LastChatRow()->fromuser(), kFriend);
    QTRY_COMPARE_WITH_TIMEOUT(Unread(kFriend), 0, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(Chat()->unReadMsgCount(), 0, kWaitMs);
  }

  void sendEndsSent() {
    Chat()->sendTextMsg(kFriend, kSent);
    QCOMPARE(Chat()->itemCount(), m_firstPage + 1);
    ImMsgEntity* sent = LastChatRow();
    QCOMPARE(sent->content(), kSent);
    QCOMPARE(sent->sendflag(), 1);
    QVERIFY(sent->id() > 0);
    m_sentId = sent->id();
    QTRY_COMPARE_WITH_TIMEOUT(sent->sendstate(), 1, kWaitMs);
    // The sent text leads the list at once.
    QCOMPARE(List()->getSessionAccount(0), kFriend);
    QCOMPARE(List()->getSession(kFriend)->content(), kSent);
  }

  void replyShowsInOpenChat() {
    const QString reply = QStringLiteral("echo: ") + kSent;
    QTRY_COMPARE_WITH_TIMEOUT(LastChatText(), reply, kWaitMs);
    QCOMPARE(Chat()->itemCount(), m_firstPage + 2);
    QCOMPARE(LastChatRow()->fromuser(), kFriend);
    QCOMPARE(LastChatRow()->sendflag(), 0);
    QCOMPARE(List()->getSessionAccount(0), kFriend);
    QCOMPARE(List()->getSession(kFriend)->content(), reply);
    // Unread until the page sees that the user can read it, then read.
    QTRY_COMPARE_WITH_TIMEOUT(Unread(kFriend), 1, kWaitMs);
    List()->resetUnReadMsgCount(kFriend);
    QCOMPARE(Unread(kFriend), 0);
  }

  void pushToOtherConversationCountsUnread() {
    const std::string answer =
        m_server.Command("push 200001@test.local " + kSecond.toStdString() + " are you there");
    QVERIFY2(answer.rfind("pushed", 0) == 0, answer.c_str());
    QTRY_COMPARE_WITH_TIMEOUT(List()->getSessionAccount(0), kSecond, kWaitMs);
    QCOMPARE(List()->getSession(kSecond)->content(), QStringLiteral("are you there"));
    QTRY_COMPARE_WITH_TIMEOUT(Unread(kSecond), 1, kWaitMs);
    // Counts are answered in order: the friend's, asked for earlier, is final.
    QCOMPARE(Unread(kFriend), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Chat()->unReadMsgCount(), 1, kWaitMs);
    QCOMPARE(List()->getAllUnReadMsgCount(), 1);
    // The open chat is untouched.
    QCOMPARE(Chat()->itemCount(), m_firstPage + 2);
    QCOMPARE(List()->getSessionAccount(1), kFriend);
  }

  void pagesBackThroughHistory() {
    // A network change reported by the system makes the probe fail: the engine's
    // session is still up, so the older messages come from the server, a page at a
    // time.
    QMetaObject::invokeMethod(VGlobal::instance(), "onlineStateChanged", Q_ARG(bool, true));
    QTRY_VERIFY_WITH_TIMEOUT(!VGlobal::instance()->isOnline(), kWaitMs);
    const int total = kHistoryCount + 2;
    for (int page = 0; page < 4 && Chat()->itemCount() < total; ++page) {
      const int before = Chat()->itemCount();
      Chat()->loadMoreMsg();
      QTRY_VERIFY_WITH_TIMEOUT(Chat()->itemCount() > before || Chat()->noMoreMsg(), kWaitMs);
    }
    QCOMPARE(Chat()->itemCount(), total);
    QCOMPARE(ChatRow(0)->content(), Old(1));
    for (int n = 1; n <= kHistoryCount; ++n) QCOMPARE(ChatRow(n - 1)->content(), Old(n));
    QCOMPARE(LastChatText(), QStringLiteral("echo: ") + kSent);
    // Nothing older: paging ends without duplicating a row.
    Chat()->loadMoreMsg();
    QTRY_VERIFY_WITH_TIMEOUT(Chat()->noMoreMsg(), kWaitMs);
    QCOMPARE(Chat()->itemCount(), total);
  }

  void recallSentText() {
    QVERIFY(m_sentId > 0);
    ImMsgEntity* sent = Chat()->getMsgEntity(m_sentId);
    QVERIFY(sent);
    QSignalSpy recalled(Chat(), &ImSessionManager::recallMsgNotify);
    Chat()->recallMsg(m_sentId);
    QTRY_COMPARE_WITH_TIMEOUT(recalled.count(), 1, kWaitMs);
    QCOMPARE(recalled.at(0).at(0).toInt(), 0);
    QCOMPARE(sent->revokeflag(), 1);
  }

  void sendFileUploadsAndEndsSent_data() {
    QTest::addColumn<int>("msgtype");
    QTest::addColumn<QString>("name");
    QTest::newRow("picture") << 2 << QStringLiteral("dot.png");
    QTest::newRow("file") << 3 << QStringLiteral("notes.txt");
  }

  void sendFileUploadsAndEndsSent() {
    QFETCH(int, msgtype);
    QFETCH(QString, name);
    const QString path = m_dir.filePath(name);
    if (msgtype == 2) {
      QImage image(4, 3, QImage::Format_RGB32);
      image.fill(Qt::red);
      QVERIFY(image.save(path, "PNG"));
    } else {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("meeting notes\n");
    }
    QFile local(path);
    QVERIFY(local.open(QIODevice::ReadOnly));
    const QByteArray bytes = local.readAll();

    const int before = Chat()->itemCount();
    if (msgtype == 2)
      Chat()->sendPicMsg(kFriend, path);
    else
      Chat()->sendFileMsg(kFriend, path);
    QCOMPARE(Chat()->itemCount(), before + 1);
    ImMsgEntity* sent = LastChatRow();
    QCOMPARE(sent->msgtype(), msgtype);
    QCOMPARE(sent->sendflag(), 1);
    QCOMPARE(sent->localpath(), path);
    QVERIFY(sent->id() > 0);
    const int id = sent->id();
    QTRY_COMPARE_WITH_TIMEOUT(sent->sendstate(), 1, kWaitMs);

    // The stored row keeps the local file and takes the store's URL of the upload,
    // which serves the bytes that were sent.
    const QVariantMap row = StoredRow(id);
    QCOMPARE(row.value(QStringLiteral("sendstate")).toInt(), 1);
    QCOMPARE(row.value(QStringLiteral("localpath")).toString(), path);
    const QString url = row.value(QStringLiteral("fileurl")).toString();
    QVERIFY2(url.startsWith(QStringLiteral("http://127.0.0.1:")), qPrintable(url));
    // The shown row has the address as soon as it reads sent.
    QCOMPARE(sent->fileurl(), url);
    QCOMPARE(Fetch(url), bytes);
  }

  // A message of each file kind from the friend, into the open conversation: shown
  // with its name and size, its file placed in the account's folder for the kind
  // (pictures and voice by themselves, files and videos on request), the path
  // recorded in the database, and the list row showing it.
  void receiveFileIntoOpenChat_data() {
    QTest::addColumn<int>("msgtype");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("fetchedByItself");
    QImage image(48, 36, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    QByteArray video;
    for (int i = 0; i < 120000; ++i) video.append(static_cast<char>(i % 251));
    QTest::newRow("picture") << 2 << QStringLiteral("pic") << QStringLiteral("photo.png") << png
                             << true;
    QTest::newRow("file") << 3 << QStringLiteral("file") << QStringLiteral("minutes.txt")
                          << QByteArray("minutes\n") << false;
    QTest::newRow("voice") << 4 << QStringLiteral("audio") << QStringLiteral("memo.wav")
                           << QByteArray::fromStdString(media_samples::WavSample(8000, 12000))
                           << true;
    QTest::newRow("video") << 5 << QStringLiteral("video") << QStringLiteral("clip.mp4") << video
                           << false;
    // A quote in the name must neither break nor change the statement storing the path.
    QTest::newRow("quoted name") << 3 << QStringLiteral("file")
                                 << QStringLiteral("it's 100% #1.txt") << QByteArray("quoted")
                                 << false;
  }

  void receiveFileIntoOpenChat() {
    QFETCH(int, msgtype);
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, fetchedByItself);
    QCOMPARE(Chat()->currentSessionId(), kFriend);
    // The server names the file by its own name.
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("incoming")));
    const QString source = m_dir.filePath(QStringLiteral("incoming/") + name);
    {
      QFile file(source);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(bytes);
    }
    const int before = Chat()->itemCount();
    const std::string answer =
        m_server.Command("pushfile 200001@test.local " + kFriend.toStdString() + " " +
                         kind.toStdString() + " " + source.toStdString());
    QVERIFY2(answer.rfind("pushed", 0) == 0, answer.c_str());
    QTRY_COMPARE_WITH_TIMEOUT(Chat()->itemCount(), before + 1, kWaitMs);
    ImMsgEntity* got = LastChatRow();
    QCOMPARE(got->msgtype(), msgtype);
    QCOMPARE(got->fromuser(), kFriend);
    QCOMPARE(got->sendflag(), 0);
    QCOMPARE(got->fileName(), name);
    QCOMPARE(got->fileSize(), ImUiInterface::instance()->getSizeStr(bytes.size()));
    QVERIFY2(got->fileurl().startsWith(QStringLiteral("http://127.0.0.1:")),
             qPrintable(got->fileurl()));
    if (msgtype == 2) {
      QCOMPARE(got->width(), 48);
      QCOMPARE(got->height(), 36);
    }
    if (msgtype == 4) QCOMPARE(got->seconds(), 2);
    // The file's place: the kind's folder of the account, a name of this message.
    const QString folder = ImLoginManager::instance()->getLocalDataPath(msgtype);
    QVERIFY(!folder.isEmpty());
    const QString path = got->localpath();
    QCOMPARE(QFileInfo(path).absolutePath(),
             QFileInfo(folder + QStringLiteral("x")).absolutePath());
    QVERIFY2(QFileInfo(path).fileName().startsWith(QString::number(got->id()) + QLatin1Char('_')),
             qPrintable(path));
    QCOMPARE(StoredRow(got->id()).value(QStringLiteral("localpath")).toString(), path);
    // The list shows it at the top.
    QCOMPARE(List()->getSessionAccount(0), kFriend);
    QCOMPARE(List()->getSession(kFriend)->msgtype(), msgtype);
    // Unread until the page sees that the user can read it.
    QTRY_COMPARE_WITH_TIMEOUT(Unread(kFriend), 1, kWaitMs);
    List()->resetUnReadMsgCount(kFriend);
    QCOMPARE(Unread(kFriend), 0);

    if (!fetchedByItself) {
      QCOMPARE(got->downloadState(), 0);
      QVERIFY(!QFile::exists(path));
      Chat()->downloadFile(got->id(), got->fileurl(), QUrl::fromLocalFile(path).toString());
    }
    QTRY_COMPARE_WITH_TIMEOUT(got->downloadState(), 1, kWaitMs);
    QCOMPARE(got->progress(), 1000);
    QCOMPARE(ReadFile(path), bytes);
    m_received.append(got->id());
  }

  // Opened again, the conversation reads the received files from the database: in
  // place, downloaded, nothing fetched twice.
  void receivedFilesShowAgainFromTheDatabase() {
    QCOMPARE(m_received.size(), 5);
    Chat()->entrySession(kFriend, 0);
    for (int id : m_received) {
      ImMsgEntity* item = Chat()->getMsgEntity(id);
      QVERIFY2(item, qPrintable(QString::number(id)));
      QCOMPARE(item->downloadState(), 1);
      QCOMPARE(item->progress(), 1000);
      QVERIFY(QFile::exists(item->localpath()));
      QCOMPARE(StoredRow(id).value(QStringLiteral("localpath")).toString(), item->localpath());
      QVERIFY(!item->fileName().isEmpty());
    }
  }

  // A picture to a conversation that is not open: counted unread, its place
  // recorded; opening the conversation fetches it.
  void receivePictureIntoClosedConversation() {
    QCOMPARE(Chat()->currentSessionId(), kFriend);
    const QString source = m_dir.filePath(QStringLiteral("from-second.png"));
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    QVERIFY(image.save(source, "PNG"));
    const int unread = Unread(kSecond);
    const int before = Chat()->itemCount();
    const std::string answer = m_server.Command(
        "pushfile 200001@test.local " + kSecond.toStdString() + " pic " + source.toStdString());
    QVERIFY2(answer.rfind("pushed", 0) == 0, answer.c_str());
    QTRY_COMPARE_WITH_TIMEOUT(List()->getSessionAccount(0), kSecond, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(Unread(kSecond), unread + 1, kWaitMs);
    QCOMPARE(List()->getSession(kSecond)->msgtype(), 2);
    QCOMPARE(Chat()->itemCount(), before);

    Chat()->entrySession(kSecond, 0);
    ImMsgEntity* picture = LastChatRow();
    QVERIFY(picture);
    QCOMPARE(picture->msgtype(), 2);
    QCOMPARE(picture->fileName(), QStringLiteral("from-second.png"));
    QCOMPARE(picture->width(), 7);
    QVERIFY(picture->localpath().startsWith(ImLoginManager::instance()->getLocalDataPath(2)));
    QTRY_COMPARE_WITH_TIMEOUT(picture->downloadState(), 1, kWaitMs);
    QCOMPARE(ReadFile(picture->localpath()), ReadFile(source));
    QTRY_COMPARE_WITH_TIMEOUT(Unread(kSecond), 0, kWaitMs);
  }

  // A voice message from a member into the open group: shown there, fetched by itself.
  void receiveVoiceIntoOpenGroup() {
    Chat()->entrySession(kGroup, 1);
    QCOMPARE(Chat()->currentSessionType(), 1);
    const QByteArray wav = QByteArray::fromStdString(media_samples::WavSample(8000, 20000));
    const QString source = m_dir.filePath(QStringLiteral("group memo.wav"));
    {
      QFile file(source);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(wav);
    }
    const int before = Chat()->itemCount();
    const std::string answer =
        m_server.Command("pushfile " + kGroup.toStdString() + " " + kFriend.toStdString() +
                         " audio " + source.toStdString());
    QVERIFY2(answer.rfind("pushed", 0) == 0, answer.c_str());
    QTRY_COMPARE_WITH_TIMEOUT(Chat()->itemCount(), before + 1, kWaitMs);
    ImMsgEntity* voice = LastChatRow();
    QCOMPARE(voice->msgtype(), 4);
    QCOMPARE(voice->totype(), 1);
    QCOMPARE(voice->fromuser(), kFriend);
    QCOMPARE(voice->seconds(), 3);
    QVERIFY(voice->localpath().startsWith(ImLoginManager::instance()->getLocalDataPath(4)));
    QTRY_COMPARE_WITH_TIMEOUT(voice->downloadState(), 1, kWaitMs);
    QCOMPARE(ReadFile(voice->localpath()), wav);
    QCOMPARE(List()->getSessionAccount(0), kGroup);
    QCOMPARE(List()->getSession(kGroup)->msgtype(), 4);
  }

  // Someone who is not in the group "recalls" a member's message: whatever the
  // engine stored for it, the message stays shown, live and in the reopened chat,
  // and no recall notice is shown.
  void refusedGroupRecallStaysShownAfterReopen() {
    Chat()->entrySession(kGroup, 1);
    const ImMsgEntity* voice = LastChatRow();
    QVERIFY(voice && voice->msgtype() == 4);
    const int id = voice->id();
    QVERIFY(voice->msgid() > 0);
    std::string answer =
        m_server.Command("revoke " + kGroup.toStdString() + " " + kSecond.toStdString() + " " +
                         std::to_string(voice->msgid()));
    QVERIFY2(answer.rfind("revoked", 0) == 0, answer.c_str());
    // A text after it: once it is shown, the recall has been handled.
    const QString after = QStringLiteral("after the recall");
    answer = m_server.Command("push " + kGroup.toStdString() + " " + kFriend.toStdString() + " " +
                              after.toStdString());
    QVERIFY2(answer.rfind("pushed", 0) == 0, answer.c_str());
    QTRY_COMPARE_WITH_TIMEOUT(LastChatText(), after, kWaitMs);
    const auto shown = [id] {
      const ImMsgEntity* row = Chat()->getMsgEntity(id);
      return row && row->revokeflag() == 0;
    };
    const auto notices = [] {
      int count = 0;
      for (int row = 0; row < Chat()->itemCount(); ++row) count += ChatRow(row)->msgtype() == 9;
      return count;
    };
    QVERIFY(shown());
    QCOMPARE(notices(), 0);
    Chat()->entrySession(kFriend, 0);
    Chat()->entrySession(kGroup, 1);
    QVERIFY2(shown(), "the reopened chat shows the message");
    QCOMPARE(notices(), 0);
    QCOMPARE(LastChatText(), after);
  }
};

TESMO_CLIENT_TEST_MAIN(TestConversationEndToEnd)
#include "tst_conversationendtoend.moc"
