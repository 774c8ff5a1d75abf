// The open conversation's sending side and its engine reports, against the engine
// test double and a database of the engine's schema.
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QUrl>

#include "SessionFixture.h"
#include "conversations/ImSessionListManager.h"
#include "shell/ImLoginManager.h"
#include "shell/VGlobal.h"
#include "shell/VTranslator.h"
#include "support/ClientTestMain.h"

using namespace SessionFixture;

class TestImSessionManager : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;

  QJsonObject RemarkOf(const QVariantMap& map) {
    return QJsonDocument::fromJson(map.value("remark").toString().toUtf8()).object();
  }

  // A message report of the engine for a received message.
  QString Received(int id, const QString& from, const QString& to, int totype, int msgtype,
                   const QString& content, const QVariantMap& remark = QVariantMap(),
                   int atflag = 0) {
    QVariantMap map{{"id", id},
                    {"fromuser", from},
                    {"touser", to},
                    {"totype", totype},
                    {"msgtype", msgtype},
                    {"content", content},
                    {"sendflag", 0},
                    {"atflag", atflag},
                    {"sendtime", Time(id)},
                    {"fromgroup", totype == 1 ? to : QString()}};
    if (!remark.isEmpty()) map.insert("remark", Json(remark));
    return Json(map);
  }

 private slots:
  void initTestCase() { VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US); }

  void init() {
    Start(m_dir);
    // The chat page stands on screen unless a test hides it.
    manager()->setChatPageShown(true);
    manager()->entrySession(kPeer, 0);
  }

  void textSendStoresTheRowAndShowsItAtOnce() {
    const QVariantMap first = manager()->buildTextMsg(kPeer, "hello");
    manager()->updateDataToView(first);
    const int id = first.value("id").toInt();
    QVERIFY(id > 0);
    QCOMPARE(Field(id, "sendflag"), QString("1"));
    QCOMPARE(Field(id, "sendstate"), QString("2"));
    QCOMPARE(Field(id, "content"), QString("hello"));
    QCOMPARE(first.value("sendflag").toInt(), 1);
    QCOMPARE(first.value("sendstate").toInt(), 2);
    QCOMPARE(first.value("msgtype").toInt(), 0);
    QCOMPARE(first.value("revokeflag").toInt(), 0);
    QCOMPARE(first.value("totype").toInt(), 0);
    QCOMPARE(first.value("fromName").toString(), QString("Me: "));
    QCOMPARE(first.value("showTime").toBool(), true);
    for (const char* key : {"localpath", "fileName", "downloadState"})
      QVERIFY2(!first.contains(key), key);
    const QJsonObject remark = RemarkOf(first);
    QCOMPARE(remark.value("from").toObject().value("nick").toString(), QString("Me"));
    QCOMPARE(remark.value("to").toObject(), QJsonObject());
    QCOMPARE(remark.value("atAll").toBool(true), false);
    QCOMPARE(remark.value("atUsers").toArray(), QJsonArray());
    QCOMPARE(ViewIds(), QList<int>{id});

    // Later messages carry no time label; the list's row follows the newest one.
    const QVariantMap second = manager()->buildTextMsg(kPeer, "again");
    QVERIFY(!second.contains("showTime"));
    manager()->updateDataToView(second);
    QCOMPARE(ImSessionListManager::instance()->getSession(kPeer)->content(), QString("again"));
  }

  void mentionsKeepTheirOrder() {
    const QVariantMap map =
        manager()->buildTextMsg(kGroup, "@a @b", 1, false, QStringList{"b@x", "a@x"});
    const QJsonArray users = RemarkOf(map).value("atUsers").toArray();
    QCOMPARE(users.size(), 2);
    QCOMPARE(users.at(0).toObject().value("id").toString(), QString("b@x"));
    QCOMPARE(users.at(1).toObject().value("id").toString(), QString("a@x"));
    QCOMPARE(RemarkOf(map).value("atAll").toBool(true), false);
  }

  void pictureToAGroupGoesFromWhereItLies() {
    const QString path = m_dir.filePath("pic #1.png");
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(path));
    manager()->entrySession(kGroup, 1);
    const QVariantMap map = manager()->buildPicMsg(kGroup, QUrl::fromLocalFile(path).toString(), 1);
    QCOMPARE(CountCalls("SendMsgFile"), 1);
    QString call;
    for (const std::string& made : EngineDouble::Calls())
      if (made.rfind("SendMsgFile(", 0) == 0) call = QString::fromStdString(made);
    QVERIFY2(call.startsWith("SendMsgFile(" + kGroup + ",2," + path + ","), qPrintable(call));
    QCOMPARE(map.value("content").toString(), path);
    QCOMPARE(map.value("localpath").toString(), path);
    QCOMPARE(map.value("fileName").toString(), QString("pic #1.png"));
    QCOMPARE(map.value("downloadState").toInt(), 1);
    QCOMPARE(map.value("totype").toInt(), 1);
    QCOMPARE(map.value("width").toInt(), 3);
    QCOMPARE(RemarkOf(map).value("height").toInt(), 2);
    QCOMPARE(Field(map.value("id").toInt(), "totype"), QString("1"));
    // The conversation list files it under the group, not under a person.
    manager()->updateDataToView(map);
    QVERIFY(ImSessionListManager::instance()->getSession(kGroup));
  }

  void missingPictureReportsAnUnknownSize() {
    const QVariantMap map = manager()->buildPicMsg(kPeer, m_dir.filePath("gone.png"));
    QCOMPARE(map.value("width").toInt(), -1);
    QCOMPARE(map.value("fileName").toString(), QString());
  }

  void addDataToViewIgnoresOtherConversationsAndDuplicates() {
    const QVariantMap mine = manager()->buildTextMsg(kPeer, "x");
    manager()->addDataToView(mine);
    manager()->addDataToView(mine);
    QVariantMap other = mine;
    other.insert("id", mine.value("id").toInt() + 100);
    other.insert("touser", "3000@tesmo.x");
    manager()->addDataToView(other);
    manager()->addDataToView(QVariantMap());
    QCOMPARE(ViewIds(), QList<int>{mine.value("id").toInt()});
  }

  void resendOfAnUnshownMessageStillAsksTheEngine() {
    manager()->repeatSendMsg(4242);
    QCOMPARE(CountCalls("RepeatSendMsg"), 1);
    const QVariantMap map = manager()->buildTextMsg(kPeer, "x");
    manager()->addDataToView(map);
    Notify(200201, 5, map.value("id").toInt());
    ImMsgEntity* item = manager()->getMsgEntity(map.value("id").toInt());
    QCOMPARE(item->sendstate(), 0);
    manager()->repeatSendMsg(item->id());
    QCOMPARE(item->sendstate(), 2);
  }

  // Download and translation answers are matched by their own dialog ids: another
  // manager's answer whose dialog id equals a message id changes nothing.
  void downloadAndTranslationRepliesNeverCross() {
    const QVariantMap map = manager()->buildTextMsg(kPeer, "bonjour");
    manager()->addDataToView(map);
    const int id = map.value("id").toInt();
    ImMsgEntity* item = manager()->getMsgEntity(id);

    manager()->downloadFile(id, "http://127.0.0.1/f",
                            QUrl::fromLocalFile(m_dir.filePath("f#1")).toString());
    const int download = LastDialogOf("DownloadFile");
    QVERIFY(download > 0 && download != id);
    QVERIFY(LastCallOf("DownloadFile").contains(m_dir.filePath("f#1")));
    QCOMPARE(item->downloadState(), 2);
    Notify(200104, 0, id);  // someone else's download
    Notify(100003, 7, id);
    QCOMPARE(item->downloadState(), 2);
    QCOMPARE(item->progress(), 0);
    Notify(100003, 500, download);
    QCOMPARE(item->progress(), 500);
    Notify(200104, 3, download);
    QCOMPARE(item->downloadState(), 3);

    manager()->translate(id, "auto", "en", "bonjour");
    const int translation = LastDialogOf("SendPost");
    QVERIFY(translation > 0 && translation != id && translation != download);
    const QString answer = R"({"result":{"text":"hello"}})";
    Notify(200102, 0, id, answer);  // another manager's post
    QCOMPARE(item->translation(), QString());
    Notify(200102, 0, translation, "not json");
    QCOMPARE(item->translation(), QString());
    manager()->translate(id, "auto", "en", "bonjour");
    Notify(200102, 0, LastDialogOf("SendPost"), answer);
    QCOMPARE(item->translation(), QString("hello"));
  }

  void reportTable_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");
    for (bool loaded : {true, false}) {
      const char* tag = loaded ? "loaded" : "not loaded";
      QTest::addRow("upload progress, %s", tag)
          << 100002 << 300 << loaded << "progress" << QVariant(loaded ? 300 : 0);
      QTest::addRow("text sent, %s", tag)
          << 200201 << 0 << loaded << "sendstate" << QVariant(loaded ? 1 : 2);
      QTest::addRow("text failed, %s", tag)
          << 200201 << 9 << loaded << "sendstate" << QVariant(loaded ? 0 : 2);
      QTest::addRow("file sent, %s", tag)
          << 200202 << 0 << loaded << "sendstate" << QVariant(loaded ? 1 : 2);
      QTest::addRow("recalled, %s", tag)
          << 200204 << 0 << loaded << "revokeflag" << QVariant(loaded ? 1 : 0);
      QTest::addRow("recall refused, %s", tag)
          << 200204 << 11 << loaded << "revokeflag" << QVariant(0);
      QTest::addRow("unknown code, %s", tag) << 123456 << 0 << loaded << "sendstate" << QVariant(2);
    }
  }

  void reportTable() {
    QFETCH(int, code);
    QFETCH(int, status);
    QFETCH(bool, loaded);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    const QVariantMap map = manager()->buildTextMsg(kPeer, "x");
    manager()->updateDataToView(map);
    const int id = map.value("id").toInt();
    ImMsgEntity* item = manager()->getMsgEntity(id);
    // A report about a message that is not shown finds no item.
    QSignalSpy recall(manager(), &ImSessionManager::recallMsgNotify);
    Notify(code, status, loaded ? id : id + 1000);
    QCOMPARE(item->property(property.toLatin1()), expected);
    QCOMPARE(recall.count(), code == 200204 ? 1 : 0);
    if (code == 200204) {
      QCOMPARE(recall.at(0).at(0).toInt(), status);
      // The conversation row reads revoked on success, also when the item is not shown.
      QCOMPARE(ImSessionListManager::instance()->getSession(kPeer)->revokeflag(),
               status == 0 ? 1 : 0);
    }
  }

  // The row previews the newest message: recalling an older one leaves it as it is;
  // recalling the newest makes it read as the user's own recall.
  void recallUpdatesTheRowOnlyForTheNewestMessage() {
    const QVariantMap older = manager()->buildTextMsg(kPeer, "older");
    manager()->updateDataToView(older);
    const QVariantMap newest = manager()->buildTextMsg(kPeer, "newest");
    manager()->updateDataToView(newest);
    QVERIFY(ui()->dbExecSql(QStringLiteral("insert or replace into nq_messagenew(account,msgid) "
                                           "values('%1',%2)")
                                .arg(kPeer)
                                .arg(newest.value("id").toInt())));
    ImMsgEntity* row = ImSessionListManager::instance()->getSession(kPeer);
    QVERIFY(row);
    row->setSendflag(0);
    Notify(200204, 0, older.value("id").toInt());
    QCOMPARE(row->revokeflag(), 0);
    QCOMPARE(row->content(), QString("newest"));
    Notify(200204, 0, newest.value("id").toInt());
    QCOMPARE(row->revokeflag(), 1);
    QCOMPARE(row->sendflag(), 1);
  }

  // The send report names no address: the shown row takes the one the engine
  // stored with the sent file, and nothing else.
  void sentFileRowTakesTheStoredAddress_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    const QString url = "http://127.0.0.1:8080/group1/M00/00/00/notes.txt";
    QTest::newRow("file sent") << 200202 << 0 << url << url;
    QTest::newRow("https") << 200202 << 0 << "https://files.test/a.bin"
                           << "https://files.test/a.bin";
    QTest::newRow("file failed") << 200202 << 7 << url << QString();
    QTest::newRow("still the local path") << 200202 << 0 << "/tmp/notes.txt" << QString();
    QTest::newRow("text report") << 200201 << 0 << url << QString();
  }

  void sentFileRowTakesTheStoredAddress() {
    QFETCH(int, code);
    QFETCH(int, status);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath("notes.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("notes");
    file.close();
    manager()->sendFileMsg(kPeer, QUrl::fromLocalFile(path).toString());
    const int id = ViewIds().last();
    ImMsgEntity* item = manager()->getMsgEntity(id);
    QVERIFY(item);
    QCOMPARE(item->fileurl(), QString());
    // What the engine writes once the upload and the send went through.
    QVERIFY(ui()->dbExecSql(
        QString("UPDATE nq_message SET content='%1' WHERE id=%2").arg(stored).arg(id)));
    Notify(code, status, id, R"({"code":1,"msgid":77,"time":"2026-03-01 10:00:00"})");
    QCOMPARE(item->fileurl(), expected);
    QCOMPARE(item->sendstate(), status == 0 ? 1 : 0);
    QCOMPARE(item->localpath(), path);
  }

  void historyAnswersAndStoredHistory() {
    QSignalSpy finished(manager(), &ImSessionManager::downloadHistoryFinished);
    QSignalSpy reload(manager(), &ImSessionManager::needReloadMsg);
    EngineDouble::SetInt("LoginState", 1);
    manager()->onFinishLoadAtMessage();
    for (int status : {0, 4}) {
      EngineDouble::SetReply(200206, status, "");
      manager()->loadMoreMsg();
      QTRY_COMPARE(finished.count(), status == 0 ? 1 : 2);
    }
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(finished.at(1).at(0).toBool(), false);
    // An answer to no request of this manager is not its answer.
    Notify(200206, 0, 1);
    QCOMPARE(finished.count(), 2);
    EngineDouble::SetInt("LoginState", 0);
    Notify(100011, 0, 0, "3000@tesmo.x");
    QCOMPARE(reload.count(), 0);
    Notify(100011, 0, 0, kPeer);
    QCOMPARE(reload.count(), 1);
  }

  void newMessageOfTheOpenConversation() {
    VGlobal::instance()->setActive(true);
    QSignalSpy end(manager(), &ImSessionManager::listViewToEnd);
    QSignalSpy alert(VGlobal::instance(), &VGlobal::messagesReceivedAlert);
    const int id = Insert({kPeer, kMe, 0, 10});
    Notify(100008, 0, 0,
           Received(id, kPeer, kMe, 0, 0, "hi", {{"from", QVariantMap{{"nick", "Ann"}}}}));
    QCOMPARE(ViewIds(), QList<int>{id});
    QCOMPARE(end.count(), 1);
    QCOMPARE(alert.count(), 0);
    QCOMPARE(manager()->getMsgEntity(id)->name(), QString("Ann"));
    QCOMPARE(ImSessionListManager::instance()->getSession(kPeer)->fromName(), QString("Ann: "));
    // Shown, but read only once the page sees the user can see it; a message of
    // another conversation alerts.
    QVERIFY(Field(id, "seeflag") != QString("1"));
    const int elsewhere = Insert({"7@x", kMe, 0, 11});
    Notify(100008, 0, 0, Received(elsewhere, "7@x", kMe, 0, 0, "psst"));
    QVERIFY(Field(elsewhere, "seeflag") != QString("1"));
    QCOMPARE(alert.count(), 1);
    // With the window not active the open conversation's message alerts too.
    VGlobal::instance()->setActive(false);
    const int unseen = Insert({kPeer, kMe, 0, 12});
    Notify(100008, 0, 0, Received(unseen, kPeer, kMe, 0, 0, "are you there"));
    QVERIFY(manager()->getMsgEntity(unseen));
    QVERIFY(Field(unseen, "seeflag") != QString("1"));
    QCOMPARE(alert.count(), 2);
    VGlobal::instance()->setActive(true);

    // The own message echoed from another device reads sent.
    QVariantMap own{{"id", id + 1}, {"fromuser", kMe},   {"touser", kPeer}, {"totype", 0},
                    {"msgtype", 0}, {"content", "mine"}, {"sendflag", 1},   {"sendstate", 2}};
    Notify(100008, 0, 0, Json(own));
    QCOMPARE(manager()->getMsgEntity(id + 1)->sendstate(), 1);
    // Other statuses are not messages.
    Notify(100008, 2, 0, Received(id + 100, kPeer, kMe, 0, 0, "x"));
    QVERIFY(!manager()->getMsgEntity(id + 100));
  }

  // The sound and the alert are for what the user cannot see: a message of another
  // conversation, or of the open one while the window is not active or another tab
  // hides the chat page. Nothing here marks a message read: the page does, once seen.
  void newMessageAlertsUnlessSeen_data() {
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("sendflag");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("alerts");
    QTest::newRow("open, seen") << true << true << true << 0 << 0 << 0;
    QTest::newRow("open, another tab current") << true << true << false << 0 << 0 << 1;
    QTest::newRow("open, window not active") << true << false << true << 0 << 0 << 1;
    QTest::newRow("open, both") << true << false << false << 0 << 0 << 1;
    QTest::newRow("open, another tab, own from elsewhere") << true << true << false << 1 << 0 << 0;
    QTest::newRow("open, another tab, history") << true << true << false << 0 << 1 << 0;
    QTest::newRow("another conversation") << false << true << true << 0 << 0 << 1;
    QTest::newRow("another conversation, history") << false << true << true << 0 << 1 << 0;
  }

  void newMessageAlertsUnlessSeen() {
    QFETCH(bool, open);
    QFETCH(bool, active);
    QFETCH(bool, shown);
    QFETCH(int, sendflag);
    QFETCH(int, status);
    QFETCH(int, alerts);
    VGlobal::instance()->setActive(active);
    manager()->setChatPageShown(shown);
    QSignalSpy alert(VGlobal::instance(), &VGlobal::messagesReceivedAlert);
    const QString peer = open ? kPeer : QStringLiteral("7@x");
    const int id = Insert({sendflag ? kMe : peer, sendflag ? peer : kMe, 0, 10, sendflag});
    QVariantMap map{{"id", id},
                    {"fromuser", sendflag ? kMe : peer},
                    {"touser", sendflag ? peer : kMe},
                    {"totype", 0},
                    {"msgtype", 0},
                    {"content", "hi"},
                    {"sendflag", sendflag},
                    {"sendtime", Time(10)}};
    Notify(100008, status, 0, Json(map));
    VGlobal::instance()->setActive(true);
    QCOMPARE(alert.count(), alerts);
    QCOMPARE(manager()->getMsgEntity(id) != nullptr, open);
    QVERIFY(Field(id, "seeflag") != QString("1"));
  }

  void mutedGroupsStaySilent() {
    QSignalSpy alert(VGlobal::instance(), &VGlobal::messagesReceivedAlert);
    const QString muted = "88@group.tesmo.x";
    EngineDouble::SetText("GetBlackList", (muted + ",9@x").toStdString());
    Notify(100008, 0, 0, Received(501, "5@x", muted, 1, 0, "psst"));
    QCOMPARE(alert.count(), 0);
    QVERIFY(ImSessionListManager::instance()->getSession(muted));
    // History batches never alert; a live message of an unmuted conversation does.
    Notify(100008, 1, 0, Received(502, "5@x", kGroup, 1, 0, "old"));
    QCOMPARE(alert.count(), 0);
    Notify(100008, 0, 0, Received(503, "5@x", kGroup, 1, 0, "new"));
    QCOMPARE(alert.count(), 1);
    // A group message relayed from another group is dropped.
    QVariantMap relayed{{"id", 504},     {"fromuser", "5@x"},   {"touser", "99@group.x"},
                        {"totype", 1},   {"fromgroup", kGroup}, {"msgtype", 0},
                        {"content", "x"}};
    Notify(100008, 0, 0, Json(relayed));
    QVERIFY(!ImSessionListManager::instance()->getSession("99@group.x"));
  }

  // Only its sender takes a message back, or in a group its owner or a manager;
  // a notice naming another message is dropped whole: the message and its file
  // stay, and no notice is shown.
  void recallRights_data() {
    QTest::addColumn<int>("totype");
    QTest::addColumn<QString>("author");
    QTest::addColumn<QString>("recaller");
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("taken");
    const QString ann = "5@x";
    const QString bob = "6@x";
    QTest::newRow("person, own message") << 0 << kPeer << kPeer << 0 << true;
    QTest::newRow("person, the user's message") << 0 << kMe << kPeer << 0 << false;
    QTest::newRow("user from another device") << 0 << kMe << kMe << 0 << true;
    QTest::newRow("group, own message") << 1 << ann << ann << 3 << true;
    QTest::newRow("group member, another's") << 1 << ann << bob << 3 << false;
    QTest::newRow("group member, the user's") << 1 << kMe << bob << 3 << false;
    QTest::newRow("group manager, another's") << 1 << ann << bob << 2 << true;
    QTest::newRow("group owner, the user's") << 1 << kMe << bob << 1 << true;
  }

  void recallRights() {
    QFETCH(int, totype);
    QFETCH(QString, author);
    QFETCH(QString, recaller);
    QFETCH(int, role);
    QFETCH(bool, taken);
    const QString key = totype == 1 ? kGroup : kPeer;
    manager()->entrySession(key, totype);
    if (totype == 1) {
      QVERIFY(ui()->dbExecSql(
          QStringLiteral("insert into nq_groupuser(groupid,account,role) values('%1','%2',%3)")
              .arg(kGroup, recaller)
              .arg(role)));
    }
    // A received file already downloaded into the account folder.
    const QString to = totype == 1 ? kGroup : (author == kMe ? kPeer : kMe);
    const int shown = Insert({author, to, totype, 10, author == kMe ? 1 : 0, 0, 3});
    const QString path = ImLoginManager::instance()->getLocalDataPath(3) + "kept.txt";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("update nq_message set localpath='%1' where id=%2").arg(path).arg(shown)));
    manager()->entrySession(key, totype);
    QCOMPARE(ViewIds(), QList<int>{shown});
    const bool own = recaller == kMe;
    const int notice = Insert({recaller, own ? kPeer : (totype == 1 ? kGroup : kMe), totype, 11,
                               own ? 1 : 0, 0, 9, QString::number(shown)});
    QVariantMap map{{"id", notice},
                    {"fromuser", recaller},
                    {"touser", own ? kPeer : to},
                    {"totype", totype},
                    {"msgtype", 9},
                    {"content", QString::number(shown)},
                    {"sendflag", own ? 1 : 0},
                    {"sendtime", Time(11)},
                    {"fromgroup", totype == 1 ? kGroup : QString()},
                    {"remark", Json({{"from", QVariantMap{{"nick", "R"}}}})}};
    if (totype == 1) map.insert("touser", kGroup);
    // Marked as an engine that does not check the rights marks it.
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("update nq_message set revokeflag=1 where id=%1").arg(shown)));
    Notify(100008, 0, 0, Json(map));
    const QList<int> live = taken ? QList<int>{notice} : QList<int>{shown};
    QCOMPARE(ViewIds(), live);
    QCOMPARE(QFile::exists(path), !taken || author == kMe);
    QFile::remove(path);
    // Reopened (as after a restart), the chat shows what it showed live; the
    // double only records the deletion the engine would store.
    if (LastDialogOf("DeleteMessage") == shown) {
      QVERIFY(ui()->dbExecSql(
          QStringLiteral("update nq_message set deleted=1 where id=%1").arg(shown)));
    }
    manager()->entrySession(key, totype);
    QCOMPARE(ViewIds(), live);
    if (!taken) QCOMPARE(manager()->getMsgEntity(shown)->revokeflag(), 0);
  }

  // The row of the recalled message reads as a recall, for the user who recalled it
  // (the engine's notice is the conversation's newest by then) and for the peer
  // (the notice may come in the second of the message and leave the row on it).
  void recalledRowsReadAsRecalls() {
    ImSessionListManager* sessions = ImSessionListManager::instance();
    const QVariantMap sent = manager()->buildTextMsg(kPeer, "oops");
    manager()->updateDataToView(sent);
    const int id = sent.value("id").toInt();
    // What the engine stores once the server took the recall.
    const int notice = Insert({kMe, kPeer, 0, 20, 1, 0, 9, QString::number(id)});
    QVERIFY(
        ui()->dbExecSql(QStringLiteral("update nq_message set revokeflag=1 where id=%1").arg(id)));
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("insert or replace into nq_messagenew(account,msgid) values('%1',%2)")
            .arg(kPeer)
            .arg(notice)));
    Notify(200204, 0, id);
    ImMsgEntity* row = sessions->getSession(kPeer);
    QCOMPARE(row->revokeflag(), 1);
    QCOMPARE(row->sendflag(), 1);

    // The peer's message and its recall in one second: the list table still names
    // the message.
    const QString carl = "8@x";
    const int message = Insert({carl, kMe, 0, 30, 0, 0, 0, "secret"});
    Notify(100008, 0, 0, Received(message, carl, kMe, 0, 0, "secret"));
    QVERIFY(ui()->dbExecSql(
        QStringLiteral("insert or replace into nq_messagenew(account,msgid) values('%1',%2)")
            .arg(carl)
            .arg(message)));
    ImMsgEntity* carlRow = sessions->getSession(carl);
    QCOMPARE(carlRow->content(), QString("secret"));
    const int recall = Insert({carl, kMe, 0, 30, 0, 0, 9, QString::number(message)});
    QVariantMap map{{"id", recall},
                    {"fromuser", carl},
                    {"touser", kMe},
                    {"totype", 0},
                    {"msgtype", 9},
                    {"content", QString::number(message)},
                    {"sendflag", 0},
                    {"sendtime", Time(30)},
                    {"remark", Json({{"from", QVariantMap{{"nick", "Carl"}}}})}};
    Notify(100008, 0, 0, Json(map));
    QCOMPARE(carlRow->revokeflag(), 1);
    QCOMPARE(carlRow->sendflag(), 0);
  }

  void recallNoticeRemovesTheLoadedMessage() {
    const int shown = Insert({kPeer, kMe, 0, 10});
    Notify(100008, 0, 0, Received(shown, kPeer, kMe, 0, 0, "oops"));
    QCOMPARE(ViewIds(), QList<int>{shown});
    const int notice = Insert({kPeer, kMe, 0, 11, 0, 0, 9});
    Notify(100008, 0, 0,
           Received(notice, kPeer, kMe, 0, 9, QString::number(shown),
                    {{"from", QVariantMap{{"nick", "Ann"}}}}));
    QCOMPARE(ViewIds(), QList<int>{notice});
    QCOMPARE(manager()->getMsgEntity(notice)->content(), QString("Ann'") + "ve recalled a message");
  }

  // A peer's recall names the recalled row by its local id: the open chat shows
  // the sender's name, found as a reopened chat finds it, and never the number.
  void recallNoticeNamesTheSender_data() {
    QTest::addColumn<QString>("cached");
    QTest::addColumn<QString>("nick");
    QTest::addColumn<QString>("name");
    QTest::newRow("remark only") << ""
                                 << "Ann"
                                 << "Ann";
    QTest::newRow("no remark, engine cache") << "Cached"
                                             << ""
                                             << "Cached";
    QTest::newRow("cache before remark") << "Cached"
                                         << "Ann"
                                         << "Cached";
    QTest::newRow("nobody known") << ""
                                  << ""
                                  << "";
  }

  void recallNoticeNamesTheSender() {
    QFETCH(QString, cached);
    QFETCH(QString, nick);
    QFETCH(QString, name);
    if (!cached.isEmpty())
      EngineDouble::SetText("GetUserInfo:" + kPeer.toStdString() + ":0", cached.toStdString());
    const int shown = Insert({kPeer, kMe, 0, 10});
    Notify(100008, 0, 0, Received(shown, kPeer, kMe, 0, 0, "oops"));
    QVariantMap remark;
    if (!nick.isEmpty()) remark.insert("from", QVariantMap{{"nick", nick}});
    const int notice = Insert({kPeer, kMe, 0, 11, 0, 0, 9, QString::number(shown),
                               remark.isEmpty() ? QString() : Json(remark)});
    Notify(100008, 0, 0, Received(notice, kPeer, kMe, 0, 9, QString::number(shown), remark));
    QCOMPARE(ViewIds(), QList<int>{notice});
    const QString live = manager()->getMsgEntity(notice)->content();
    QCOMPARE(live, name + "'ve recalled a message");
    QVERIFY(!live.contains(QString::number(shown)));
    // Reopened, the same line.
    manager()->entrySession(kPeer, 0);
    QCOMPARE(manager()->getMsgEntity(notice)->content(), live);
  }

  // A group notice with nothing to say adds no row to the chat, leaves the
  // conversation's preview and place alone, makes no sound, counts as nothing
  // unread, and stays out of the reopened chat; one with a line is shown.
  void silentNoticesLeaveChatAndListAlone_data() {
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("line");
    QTest::newRow("introduction") << R"({"notify":"set","nick":"Bob","info":"I"})"
                                  << "";
    QTest::newRow("picture") << R"({"notify":"set","nick":"Bob","logo":"l.png"})"
                             << "";
    QTest::newRow("join type") << R"({"notify":"set","nick":"Bob","type":1})"
                               << "";
    QTest::newRow("invite") << R"({"notify":"invite","nick":"Bob"})"
                            << "";
    QTest::newRow("no switch") << R"({"notify":"groupban","nick":"Bob"})"
                               << "";
    QTest::newRow("renamed") << R"({"notify":"set","nick":"Bob","groupname":"G2"})"
                             << "Bob Modify the group name to G2";
  }

  void silentNoticesLeaveChatAndListAlone() {
    QFETCH(QString, notice);
    QFETCH(QString, line);
    ImSessionListManager* sessions = ImSessionListManager::instance();
    manager()->entrySession(kGroup, 1);
    VGlobal::instance()->setActive(false);
    QSignalSpy alert(VGlobal::instance(), &VGlobal::messagesReceivedAlert);
    const int text = Insert({"5@x", kGroup, 1, 10, 0, 0, 0, "hello"});
    Notify(100008, 0, 0, Received(text, "5@x", kGroup, 1, 0, "hello"));
    const int other = Insert({kPeer, kMe, 0, 11, 0, 0, 0, "psst"});
    Notify(100008, 0, 0, Received(other, kPeer, kMe, 0, 0, "psst"));
    QCOMPARE(sessions->getSessionAccount(0), kPeer);
    const int alerts = alert.count();

    const int id = Insert({"5@x", kGroup, 1, 12, 0, 0, 6, notice});
    Notify(100008, 0, 0, Received(id, "5@x", kGroup, 1, 6, notice));
    VGlobal::instance()->setActive(true);
    const bool silent = line.isEmpty();
    const QList<int> shown = silent ? QList<int>{text} : QList<int>({text, id});
    QCOMPARE(ViewIds(), shown);
    QCOMPARE(sessions->getSession(kGroup)->content(), silent ? QString("hello") : line);
    QCOMPARE(sessions->getSessionAccount(0), silent ? kPeer : kGroup);
    QCOMPARE(alert.count(), silent ? alerts : alerts + 1);
    QCOMPARE(Field(id, "seeflag") == "1", silent);
    manager()->entrySession(kGroup, 1);
    QCOMPARE(ViewIds(), shown);
  }

  // The open chat's notice, recall and red envelope rows follow a switch of the
  // interface language, whether they were read from history or arrived since.
  void languageSwitchRewritesTheOpenChat() {
    manager()->entrySession(kGroup, 1);
    const QString leave = R"({"notify":"leave","nick":"Bob"})";
    const int stored = Insert({"5@x", kGroup, 1, 10, 0, 0, 6, leave});
    const int red = Insert({"5@x", kGroup, 1, 11, 0, 0, 7});
    manager()->entrySession(kGroup, 1);
    const QString create = R"({"notify":"create","nick":"Ann"})";
    const int live = Insert({"5@x", kGroup, 1, 12, 0, 0, 6, create});
    Notify(100008, 0, 0, Received(live, "5@x", kGroup, 1, 6, create));
    const int recalled = Insert({"5@x", kGroup, 1, 13});
    Notify(100008, 0, 0, Received(recalled, "5@x", kGroup, 1, 0, "oops"));
    const int recall = Insert({"5@x", kGroup, 1, 14, 0, 0, 9, QString::number(recalled)});
    Notify(100008, 0, 0,
           Received(recall, "5@x", kGroup, 1, 9, QString::number(recalled),
                    {{"from", QVariantMap{{"nick", "Ann"}}}}));
    QCOMPARE(ViewIds(), QList<int>({stored, red, live, recall}));
    QCOMPARE(ImSessionListManager::instance()->getSession(kGroup)->id(), recall);

    VTranslator::instance()->setCurrentLanguage(VTranslator::ZH_CN);
    QCOMPARE(manager()->getMsgEntity(stored)->content(), QString::fromUtf8(u8"Bob离开了该群"));
    QCOMPARE(manager()->getMsgEntity(red)->content(), QString::fromUtf8(u8"[TesmoChat红包]"));
    QCOMPARE(manager()->getMsgEntity(live)->content(), QString::fromUtf8(u8"Ann发起了群聊"));
    QCOMPARE(manager()->getMsgEntity(recall)->content(), QString::fromUtf8(u8"Ann 撤回了一条消息"));
    VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US);
    QCOMPARE(manager()->getMsgEntity(stored)->content(), QString("Bob Left the group"));
    QCOMPARE(manager()->getMsgEntity(recall)->content(), QString("Ann've recalled a message"));
  }

  void dissolvedGroupIsReportedOnce() {
    QSignalSpy destroyed(manager(), &ImSessionManager::destroyGroupNotify);
    const QString notice = Json({{"notify", "destroy"}, {"nick", "Bob"}});
    Notify(100008, 0, 0, Received(601, "5@x", kGroup, 1, 6, notice));
    QCOMPARE(destroyed.count(), 1);
    QCOMPARE(destroyed.at(0).at(0).toString(), kGroup);
    Notify(100008, 0, 0, Received(602, kPeer, kMe, 0, 0, "next"));
    // A notice text made elsewhere (the conversation list) does not count either.
    manager()->getGroupNotifyContent(notice);
    Notify(100008, 0, 0, Received(603, kPeer, kMe, 0, 0, "after"));
    QCOMPARE(destroyed.count(), 1);
  }

  // The sender's file name never chooses where the file lands.
  void hostileFileNamesStayInTheAccountFolder_data() {
    QTest::addColumn<QString>("filename");
    QTest::newRow("parent") << "../../x";
    QTest::newRow("absolute") << "/etc/passwd";
    QTest::newRow("folder") << "a/b";
    QTest::newRow("backslashes") << "..\\..\\win.ini";
    QTest::newRow("dots only") << "..";
    QTest::newRow("empty") << "";
    QTest::newRow("quote") << "it's.txt";
    QTest::newRow("control characters") << QString("a\nb\x01.txt");
    QTest::newRow("very long") << QString(5000, 'n') + ".pdf";
  }

  void hostileFileNamesStayInTheAccountFolder() {
    QFETCH(QString, filename);
    const QString folder = ImLoginManager::instance()->getLocalDataPath(3);
    QVERIFY(!folder.isEmpty());
    QStringList paths;
    for (int i = 0; i < 2; ++i) {
      const int id = Insert({kPeer, kMe, 0, 20 + i, 0, 0, 3, "http://127.0.0.1/f"});
      Notify(100008, 0, 0,
             Received(id, kPeer, kMe, 0, 3, "http://127.0.0.1/f",
                      {{"filename", filename}, {"filesize", 10}}));
      const QString path = manager()->getMsgEntity(id)->localpath();
      QCOMPARE(Field(id, "localpath"), path);
      QVERIFY2(path.startsWith(folder), qPrintable(path));
      const QString name = path.mid(folder.size());
      QVERIFY2(!name.contains('/') && !name.contains('\\') && !name.startsWith('.'),
               qPrintable(name));
      QVERIFY(name.size() <= 140);
      for (const QChar c : name) QVERIFY(c.unicode() >= 0x20);
      paths << path;
    }
    // Two messages with one name never share a file.
    QVERIFY(paths.at(0) != paths.at(1));
    // Removing such a received file only ever touches the account folder.
    manager()->removeMsg(manager()->getMsgEntity(ViewIds().first())->id());
  }

  void onlyWebFilesAreFetchedByThemselves() {
    const int web = Insert({kPeer, kMe, 0, 30, 0, 0, 2});
    Notify(100008, 0, 0,
           Received(web, kPeer, kMe, 0, 2, "https://127.0.0.1/p.jpg", {{"filename", "p.jpg"}}));
    QCOMPARE(CountCalls("DownloadFile"), 1);
    const int local = Insert({kPeer, kMe, 0, 31, 0, 0, 2});
    Notify(100008, 0, 0,
           Received(local, kPeer, kMe, 0, 2, "file:///etc/passwd", {{"filename", "p.jpg"}}));
    QCOMPARE(CountCalls("DownloadFile"), 1);
  }

  // A message announced again (the newest of a conversation, after a later start's
  // history download) keeps the file it already has: no second path, no second
  // download. One not placed yet gets its path as any new message.
  void announcedAgainKeepsItsPlacedFile_data() {
    QTest::addColumn<int>("msgtype");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("placed");
    for (int msgtype : {2, 3, 4}) {
      for (int status : {0, 1}) {
        QTest::addRow("type %d, status %d, placed", msgtype, status) << msgtype << status << true;
        QTest::addRow("type %d, status %d, not placed", msgtype, status)
            << msgtype << status << false;
      }
    }
  }

  void announcedAgainKeepsItsPlacedFile() {
    QFETCH(int, msgtype);
    QFETCH(int, status);
    QFETCH(bool, placed);
    const QString url = "https://127.0.0.1/f.bin";
    const int id = Insert({kPeer, kMe, 0, 40, 0, 0, msgtype, url});
    const QString folder = ImLoginManager::instance()->getLocalDataPath(msgtype);
    const QString kept = folder + QString::number(id) + "_f.bin";
    if (placed) {
      QFile file(kept);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("placed");
      file.close();
      QVERIFY(ui()->dbExecSql(
          QStringLiteral("update nq_message set localpath='%1' where id=%2").arg(kept).arg(id)));
    }
    const int downloads = CountCalls("DownloadFile");
    Notify(100008, status, 0, Received(id, kPeer, kMe, 0, msgtype, url, {{"filename", "f.bin"}}));
    ImMsgEntity* item = manager()->getMsgEntity(id);
    QVERIFY(item);
    QCOMPARE(Field(id, "localpath"), item->localpath());
    if (placed) {
      QCOMPARE(item->localpath(), kept);
      QCOMPARE(item->downloadState(), 1);
      QCOMPARE(item->progress(), 1000);
      QCOMPARE(CountCalls("DownloadFile"), downloads);
    } else {
      QVERIFY(item->localpath().startsWith(folder));
      QCOMPARE(item->downloadState(), msgtype == 3 ? 0 : 2);
      QCOMPARE(CountCalls("DownloadFile"), downloads + (msgtype == 3 ? 0 : 1));
    }
    QCOMPARE(item->fileName(), QString("f.bin"));
  }

  void mentionsAreKeptForTheJump() {
    QSignalSpy at(manager(), &ImSessionManager::atMsgNotify);
    Notify(100008, 0, 0,
           Received(701, "5@x", kGroup, 1, 0, "@me",
                    {{"from", QVariantMap{{"nick", "Cy"}, {"logo", "L"}}}}, 1));
    QCOMPARE(at.count(), 1);
    QCOMPARE(at.at(0), (QVariantList{kGroup, "Cy", "L", 1}));
  }

  void forwardingMakesOneMessagePerTarget() {
    const QVariantMap source = manager()->buildTextMsg(kPeer, "fw me");
    manager()->updateDataToView(source);
    const int id = source.value("id").toInt();
    const QStringList targets{"a@x", "b@x", kPeer};
    manager()->transmitMsg(targets, id, 0, "fw me", 0);
    QTRY_COMPARE(CountCalls("FwSendMsg"), 3);
    QTRY_COMPARE(manager()->itemCount(), 2);
    const auto* copy = qobject_cast<ImMsgEntity*>(manager()->get(1));
    QVERIFY(copy->id() > id);
    QCOMPARE(copy->touser(), kPeer);
    QCOMPARE(copy->showTime(), false);
    QCOMPARE(copy->content(), QString("fw me"));
    QCOMPARE(Field(copy->id(), "touser"), kPeer);
    QTRY_VERIFY(ImSessionListManager::instance()->getSession("a@x"));
    QTRY_VERIFY(ImSessionListManager::instance()->getSession("b@x"));

    // A source row that is gone makes no phantom message.
    QVERIFY(ui()->dbExecSql(QStringLiteral("delete from nq_message where id=%1").arg(id)));
    manager()->transmitMsg({"c@x", kPeer}, id, 0, "fw me", 0);
    QTRY_COMPARE(CountCalls("FwSendMsg"), 5);
    QTest::qWait(200);
    QCOMPARE(manager()->itemCount(), 2);
    QVERIFY(!manager()->getMsgEntity(0));
    QVERIFY(!ImSessionListManager::instance()->getSession("c@x"));
    // Nothing is forwarded from an item that is not shown.
    manager()->transmitMsg({"d@x"}, 987654, 0, "x", 0);
    QTest::qWait(200);
    QCOMPARE(CountCalls("FwSendMsg"), 5);
  }

  void syncSendsOneTextPerTarget() {
    manager()->sendSyncTextMsg({"s1@x", "s2@x"}, "sync", 0);
    QTRY_COMPARE(CountCalls("SendMsgIM"), 2);
    QTRY_VERIFY(ImSessionListManager::instance()->getSession("s2@x"));
    QCOMPARE(ImSessionListManager::instance()->getSession("s1@x")->content(), QString("sync"));
    manager()->sendSyncTextMsg({}, "none", 0);
    QTest::qWait(100);
    QCOMPARE(CountCalls("SendMsgIM"), 2);
  }
};

TESMO_CLIENT_TEST_MAIN(TestImSessionManager)
#include "tst_imsessionmanager.moc"
