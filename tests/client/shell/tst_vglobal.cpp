// The global utility object: sound guard and recall windows on an injected clock,
// connection state transitions through a stub ping, flags, mentions per language,
// file classification and the rich text of the input.
#include <QDateTime>
#include <QImage>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/VCheckNetworkConnectionThread.h"
#include "shell/VConfig.h"
#include "shell/VGlobal.h"
#include "shell/VSoundPlayThread.h"
#include "shell/VTranslator.h"
#include "support/ClientTestMain.h"
#include "support/StubPing.h"

namespace {
qint64 g_now = 0;
qint64 FakeClock() { return g_now; }

VGlobal* Global() { return VGlobal::instance(); }

const qint64 kSent =
    QDateTime::fromString("2026-03-01 10:00:00", "yyyy-MM-dd hh:mm:ss").toMSecsSinceEpoch();
}  // namespace

class TestVGlobal : public QObject {
  Q_OBJECT

  StubPing::Stub m_ping;
  QTemporaryDir m_dir;
  QSignalSpy* m_played = nullptr;

 private slots:
  void initTestCase() {
    QVERIFY(m_ping.valid());
    QVERIFY(m_dir.isValid());
    ImUiInterface::instance()->initInterface();
    VConfig::instance()->setValue("LastloginAccount", "vglobal");
    VGlobal::setClock(FakeClock);
    // Made here: when the system reports no network the start probes once; its
    // answer is taken before the tests count answers of their own.
    auto* check = Global()->findChild<VCheckNetworkConnectionThread*>();
    QVERIFY(check);
    QSignalSpy startProbe(check, &VCheckNetworkConnectionThread::hardConnectionStateChanged);
    if (!Global()->isOnline()) QVERIFY(startProbe.wait(20000));
    auto* sounds = Global()->findChild<VSoundPlayThread*>();
    QVERIFY(sounds);
    m_played = new QSignalSpy(sounds, &VSoundPlayThread::play);
  }

  void cleanupTestCase() {
    delete m_played;
    VGlobal::setClock(nullptr);
  }

  void soundsArePlayedOnTheSoundThread() {
    auto* sounds = Global()->findChild<VSoundPlayThread*>();
    QSignalSpy finished(sounds, &VSoundPlayThread::finished);
    // No such resource: the player fails, on its own thread, and is freed there. It runs
    // before the tests that play real sounds: without an audio system those never end,
    // and the failure would wait behind them.
    emit sounds->play(QStringLiteral(":/sound/none.wav"));
    const auto seen = [&finished] {
      for (const QList<QVariant>& call : finished)
        if (call.at(0).toString() == QLatin1String(":/sound/none.wav")) return true;
      return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(seen(), 120000);
  }

  void soundGuard_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<qint64>("gap");
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<QStringList>("played");
    const QString message = ":/sound/message.wav";
    const QString login = ":/sound/loginSuccess.wav";
    const QString network = ":/sound/networkconnected.wav";
    QTest::newRow("1500 ms apart") << 0 << 0 << 1500LL << true << QStringList{message};
    QTest::newRow("exactly 2000 ms") << 0 << 0 << 2000LL << true << QStringList{message};
    QTest::newRow("2001 ms") << 0 << 0 << 2001LL << true << QStringList{message, message};
    QTest::newRow("2500 ms") << 0 << 0 << 2500LL << true << QStringList{message, message};
    QTest::newRow("login within the guard") << 0 << 1 << 1999LL << true << QStringList{message};
    QTest::newRow("login after it") << 0 << 1 << 2001LL << true << QStringList{message, login};
    QTest::newRow("clock went back") << 0 << 0 << -5LL << true << QStringList{message, message};
    QTest::newRow("network sound logged in")
        << 1 << 2 << 3000LL << true << QStringList{login, network};
    QTest::newRow("network sound logged out") << 1 << 2 << 3000LL << false << QStringList{login};
  }

  void soundGuard() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(qint64, gap);
    QFETCH(bool, loggedIn);
    QFETCH(QStringList, played);
    EngineDouble::SetInt("LoginState", loggedIn ? 1 : 0);
    g_now += 1000000;
    m_played->clear();
    Global()->playSound(static_cast<VGlobal::VSound>(first));
    g_now += gap;
    Global()->playSound(static_cast<VGlobal::VSound>(second));
    QStringList sources;
    for (const QList<QVariant>& call : *m_played) sources << call.at(0).toString();
    QCOMPARE(sources, played);
  }

  void switchedOffPlaysNothingAndKeepsTheTime() {
    g_now += 1000000;
    m_played->clear();
    Global()->playSound(VGlobal::MESSAGE);
    VConfig::instance()->setMessagePromptToneSwitch(false);
    g_now += 2500;
    Global()->playSound(VGlobal::MESSAGE);
    VConfig::instance()->setMessagePromptToneSwitch(true);
    // Had the silent call counted, this one would fall inside its guard.
    g_now += 100;
    Global()->playSound(VGlobal::MESSAGE);
    QCOMPARE(m_played->count(), 2);
  }

  void soundThreadEndsWithSoundsQueued() {
    auto* sounds = new VSoundPlayThread;
    QSignalSpy finished(sounds, &VSoundPlayThread::finished);
    for (int i = 0; i < 5; ++i) emit sounds->play(QStringLiteral(":/sound/none.wav"));
    // Waits for the thread; the players not yet started go with their worker.
    delete sounds;
    QVERIFY(finished.count() <= 5);
  }

  void recallWindows_data() {
    QTest::addColumn<qint64>("elapsed");
    QTest::addColumn<bool>("recallable");
    QTest::addColumn<bool>("editable");
    QTest::newRow("just sent") << 0LL << true << true;
    QTest::newRow("before sending") << -5000LL << true << true;
    QTest::newRow("exactly 120000") << 120000LL << true << true;
    QTest::newRow("120001") << 120001LL << false << true;
    QTest::newRow("exactly 360000") << 360000LL << false << true;
    QTest::newRow("360001") << 360001LL << false << false;
  }

  void recallWindows() {
    QFETCH(qint64, elapsed);
    QFETCH(bool, recallable);
    QFETCH(bool, editable);
    g_now = kSent + elapsed;
    QCOMPARE(Global()->isRecallable("2026-03-01 10:00:00"), recallable);
    QCOMPARE(Global()->isRecallMessageEditable("2026-03-01 10:00:00"), editable);
  }

  void unreadableSendTimeIsNeverRecallable() {
    g_now = kSent;
    QVERIFY(!Global()->isRecallable("yesterday"));
    QVERIFY(!Global()->isRecallMessageEditable(""));
  }

  // The system's notification and the probe it asks for, as the check thread
  // answers it: returns once an answer with the stub's word has been taken. The
  // system may send notices of its own at any time; theirs are probes with the
  // same word and change nothing further.
  bool Notice(bool systemSays, bool reachable) {
    auto* check = Global()->findChild<VCheckNetworkConnectionThread*>();
    if (!check) return false;
    QSignalSpy answered(check, &VCheckNetworkConnectionThread::hardConnectionStateChanged);
    QMetaObject::invokeMethod(Global(), "onlineStateChanged", Q_ARG(bool, systemSays));
    return QTest::qWaitFor(
        [&answered, reachable] {
          for (const QList<QVariant>& answer : answered)
            if (answer.at(0).toBool() == reachable) return true;
          return false;
        },
        20000);
  }

  void connectionStateTransitions() {
    QVERIFY(Notice(false, true));
    m_ping.set(StubPing::Mode::Unreachable);
    QVERIFY(Notice(false, false));
    QVERIFY(!Global()->isOnline());
    QCOMPARE(Global()->connectionState(), VGlobal::DISCONNECT);

    EngineDouble::SetInt("LoginState", 1);
    g_now += 1000000;
    m_played->clear();
    QSignalSpy state(Global(), &VGlobal::connectionStateChanged);
    // The probe decides, not the notification's own word.
    m_ping.set(StubPing::Mode::Reachable);
    QVERIFY(Notice(false, true));
    QCOMPARE(state.count(), 1);
    QCOMPARE(state.at(0).at(0).value<VGlobal::VConnectionState>(), VGlobal::CONNECTING);
    QCOMPARE(Global()->connectionState(), VGlobal::CONNECTING);
    QVERIFY(Global()->isOnline());
    // The confirmation every 2000 ms moves it to CONNECT with the network sound, once.
    QTRY_COMPARE_WITH_TIMEOUT(state.count(), 2, 20000);
    QCOMPARE(state.at(1).at(0).value<VGlobal::VConnectionState>(), VGlobal::CONNECT);
    QCOMPARE(Global()->connectionState(), VGlobal::CONNECT);
    QCOMPARE(m_played->count(), 1);
    QCOMPARE(m_played->at(0).at(0).toString(), QStringLiteral(":/sound/networkconnected.wav"));
    QTest::qWait(2500);
    QCOMPARE(state.count(), 2);

    // Still reachable: nothing changes.
    QVERIFY(Notice(true, true));
    QCOMPARE(state.count(), 2);
    // Lost.
    m_ping.set(StubPing::Mode::Unreachable);
    QVERIFY(Notice(true, false));
    QCOMPARE(state.count(), 3);
    QCOMPARE(Global()->connectionState(), VGlobal::DISCONNECT);
    QVERIFY(!Global()->isOnline());
    m_ping.set(StubPing::Mode::Reachable);
  }

  // The notification's probe runs off the main thread: the slot returns while the
  // probe is still waiting, and its answer arrives afterwards. A probe on the main
  // thread would have given up (2 s) before the gate opened.
  void noticeNeverWaitsForTheProbe() {
    m_ping.set(StubPing::Mode::Unreachable);
    QVERIFY(Notice(false, false));
    QVERIFY(!Global()->isOnline());
    QSignalSpy state(Global(), &VGlobal::connectionStateChanged);
    m_ping.closeGate();
    m_ping.set(StubPing::Mode::Gated);
    QMetaObject::invokeMethod(Global(), "onlineStateChanged", Q_ARG(bool, true));
    QCOMPARE(state.count(), 0);
    m_ping.openGate();
    QTRY_COMPARE_WITH_TIMEOUT(state.count() >= 1, true, 20000);
    QCOMPARE(state.at(0).at(0).value<VGlobal::VConnectionState>(), VGlobal::CONNECTING);
    QVERIFY(Global()->isOnline());
    m_ping.set(StubPing::Mode::Reachable);
    QTRY_COMPARE_WITH_TIMEOUT(Global()->connectionState(), VGlobal::CONNECT, 20000);
  }

  void activeWindowStartsHardChecks() {
    Global()->setActive(false);
    QSignalSpy active(Global(), &VGlobal::windowAcitveChanged);
    m_ping.clearCalls();
    Global()->setActive(true);
    Global()->setActive(true);
    QCOMPARE(active.count(), 1);
    QVERIFY(Global()->active());
    // Each call asks for one immediate check.
    QTRY_COMPARE_WITH_TIMEOUT(m_ping.calls().size() >= 2, true, 20000);
    Global()->setActive(false);
    QCOMPARE(active.count(), 2);
    QCOMPARE(active.at(1).at(0).toBool(), false);
  }

  void dialogAndAlertFlags() {
    QSignalSpy dialog(Global(), &VGlobal::dialogShowingChanged);
    QSignalSpy alert(Global(), &VGlobal::alertMessageShowingChanged);
    Global()->setDialogShowing(true);
    Global()->setDialogShowing(true);
    QCOMPARE(dialog.count(), 1);
    QCOMPARE(Global()->dialogShowing(), 1);
    Global()->setAlertMessageShowing(true);
    Global()->setAlertMessageShowing(true);
    QCOMPARE(alert.count(), 1);
    QCOMPARE(dialog.count(), 1);
    QCOMPARE(Global()->dialogShowing(), 0);
    Global()->setAlertMessageShowing(false);
    QCOMPARE(Global()->dialogShowing(), 1);
    Global()->setDialogShowing(false);
    QCOMPARE(Global()->dialogShowing(), 0);
    QCOMPARE(Global()->maxForwardContacts(), 10);
    QVERIFY(Global()->animationEnabled());
    QVERIFY(!Global()->currentOsIsWindows());
  }

  void kickOutShowsTheLoginPage() {
    QSignalSpy login(Global(), &VGlobal::showLoginPage);
    Global()->kickOutToLogin();
    QCOMPARE(login.count(), 1);
  }

  // Before anything stored a name for everyone.
  void allMembersNameFollowsTheLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("name");
    QTest::newRow("english") << 0 << "All";
    QTest::newRow("simplified chinese") << 1 << "所有人";
    QTest::newRow("traditional chinese") << 2 << "所有人";
    QTest::newRow("korean") << 3 << "모든";
  }

  void allMembersNameFollowsTheLanguage() {
    QFETCH(int, language);
    QFETCH(QString, name);
    VTranslator::instance()->setCurrentLanguage(static_cast<VTranslator::VLanguage>(language));
    QCOMPARE(Global()->atName(Global()->atAllMembers()), name);
    QVERIFY(!Global()->isAtAll());
  }

  void mentionBookkeeping() {
    QSignalSpy mentioned(Global(), &VGlobal::atSomebodyAccount);
    VTranslator::instance()->setCurrentLanguage(VTranslator::EN_US);
    Global()->atSomebody("u2", "Bob");
    Global()->atSomebody("u1", "Ann");
    Global()->atSomebody("u1", "Annie");
    Global()->atSomebody("AT_ALL_MEMBERS", "ignored");
    Global()->atSomebody("u3", "Bob");
    QCOMPARE(mentioned.count(), 5);
    QCOMPARE(mentioned.at(2).at(1).toString(), QStringLiteral("Annie"));
    QCOMPARE(mentioned.at(3).at(1).toString(), QStringLiteral("All"));
    // The first name stays.
    QCOMPARE(Global()->atName("u1"), QStringLiteral("Ann"));
    QCOMPARE(Global()->atName("unknown"), QStringLiteral("unknown"));
    QVERIFY(Global()->isAtAll());
    // The stored word for everyone wins over a language switch.
    VTranslator::instance()->setCurrentLanguage(VTranslator::ZH_CN);
    QCOMPARE(Global()->atName("AT_ALL_MEMBERS"), QStringLiteral("All"));
    QVERIFY(Global()->atNameContains("Ann"));
    QVERIFY(!Global()->atNameContains("Annie"));
    // The first account in account order; unknown and empty names skipped; duplicates kept.
    QCOMPARE(Global()->atSomebodyList({"Bob", "", "Zed", "Ann", "All", "Bob"}),
             QStringList({"u2", "u1", "AT_ALL_MEMBERS", "u2"}));
  }

  void pathsAndSuffixes_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("resource") << "qrc:/images/a.png"
                              << ":/images/a.png"
                              << "png";
    QTest::newRow("file url") << "file:///tmp/x.txt"
                              << "/tmp/x.txt"
                              << "txt";
    QTest::newRow("encoded file url") << "file:///tmp/a%20b.txt"
                                      << "/tmp/a b.txt"
                                      << "txt";
    QTest::newRow("two slashes") << "file://x.txt"
                                 << "file://x.txt"
                                 << "txt";
    QTest::newRow("upper case scheme") << "FILE:///a.b"
                                       << "FILE:///a.b"
                                       << "b";
    QTest::newRow("double suffix") << "/tmp/a.TAR.GZ"
                                   << "/tmp/a.TAR.GZ"
                                   << "GZ";
    QTest::newRow("no dot") << "README"
                            << "README"
                            << "README";
    QTest::newRow("trailing dot") << "name."
                                  << "name."
                                  << "";
  }

  void pathsAndSuffixes() {
    QFETCH(QString, input);
    QFETCH(QString, path);
    QFETCH(QString, suffix);
    QCOMPARE(Global()->urlToPath(input), path);
    QCOMPARE(Global()->suffixOnlyByFileName(input), suffix);
  }

  void classification_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("kinds");
    QTest::newRow("tar.gz") << "a.TAR.GZ"
                            << "zip"
                            << "zip";
    // Containment in the list texts: "mp" is in "*.mp3" and "*mp4", "ai" in "*.aiff".
    QTest::newRow("mp") << "a.mp"
                        << "audio"
                        << "audio video";
    QTest::newRow("mp4") << "a.mp4"
                         << "video"
                         << "video";
    QTest::newRow("amr") << "voice.amr"
                         << "audio"
                         << "audio";
    QTest::newRow("au") << "x.au"
                        << "audio"
                        << "audio";
    QTest::newRow("pdf upper") << "report.PDF"
                               << "pdf"
                               << "pdf";
    QTest::newRow("txt") << "notes.txt"
                         << "txt"
                         << "txt";
    QTest::newRow("docx") << "a.docx"
                          << "word"
                          << "word";
    QTest::newRow("xlsx") << "a.xlsx"
                          << "excel"
                          << "excel";
    QTest::newRow("pptx") << "a.pptx"
                          << "ppt"
                          << "ppt";
    QTest::newRow("psd") << "a.psd"
                         << "ps"
                         << "ps";
    QTest::newRow("ai") << "a.ai"
                        << "audio"
                        << "audio ai";
    QTest::newRow("key") << "a.key"
                         << "keynote"
                         << "keynote";
    QTest::newRow("pages") << "a.pages"
                           << "pages"
                           << "pages";
    QTest::newRow("numbers") << "a.numbers"
                             << "numbers"
                             << "numbers";
    QTest::newRow("unknown") << "a.xyz"
                             << "others"
                             << "";
    // An empty suffix is contained in every list.
    QTest::newRow("trailing dot") << "name."
                                  << "zip"
                                  << "zip audio video word excel ppt";
  }

  void classification() {
    QFETCH(QString, name);
    QFETCH(QString, icon);
    QFETCH(QString, kinds);
    QCOMPARE(Global()->fileIconQrc(name),
             "qrc:/images/session_page/files/file_icon_" + icon + ".png");
    const QStringList expected = kinds.split(' ', Qt::SkipEmptyParts);
    const QMap<QString, bool> found = {
        {"zip", Global()->isZip(name)},         {"audio", Global()->isAudio(name)},
        {"video", Global()->isVideo(name)},     {"word", Global()->isWordFile(name)},
        {"excel", Global()->isExcelFile(name)}, {"ppt", Global()->isPPTFile(name)},
        {"pdf", Global()->isPDF(name)},         {"ps", Global()->isPS(name)},
        {"ai", Global()->isAI(name)},           {"pages", Global()->isPages(name)},
        {"numbers", Global()->isNumbers(name)}, {"keynote", Global()->isKeynote(name)},
        {"txt", Global()->isTextFile(name)}};
    for (auto it = found.constBegin(); it != found.constEnd(); ++it)
      QVERIFY2(it.value() == expected.contains(it.key()), qPrintable(it.key()));
  }

  // The file choosers start in the user's folders, or at home while one is missing
  // (never in the working folder); asking makes no folder.
  void choosersStartInTheUsersFolders() {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    QCOMPARE(Global()->documentsFolder(), QUrl::fromLocalFile(home.path()));
    QCOMPARE(Global()->picturesFolder(), QUrl::fromLocalFile(home.path()));
    QVERIFY(!QFileInfo::exists(home.path() + "/Documents"));
    QVERIFY(QDir(home.path()).mkpath("Documents"));
    QVERIFY(QDir(home.path()).mkpath("Pictures"));
    QCOMPARE(Global()->documentsFolder(), QUrl::fromLocalFile(home.path() + "/Documents"));
    QCOMPARE(Global()->picturesFolder(), QUrl::fromLocalFile(home.path() + "/Pictures"));
    qputenv("HOME", oldHome);
  }

  void imagesAreJudgedByContent() {
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString jpeg = m_dir.filePath("photo.jpg");
    const QString disguised = m_dir.filePath("photo.png");
    QVERIFY(image.save(jpeg, "JPEG"));
    QVERIFY(image.save(disguised, "JPEG"));
    QVERIFY(Global()->isImage(jpeg));
    QVERIFY(Global()->isImage(QUrl::fromLocalFile(jpeg).toString()));
    QVERIFY(!Global()->isImage(disguised));
    QVERIFY(!Global()->isImage(m_dir.filePath("missing.jpg")));
    QCOMPARE(Global()->imageSize(jpeg), QSize(7, 5));
    QVERIFY(!Global()->imageSize(m_dir.filePath("missing.jpg")).isValid());
    QCOMPARE(Global()->format(disguised), QStringLiteral("jpg"));
    QCOMPARE(Global()->suffix(jpeg), QStringLiteral("jpg"));
    QCOMPARE(Global()->suffix(m_dir.filePath("missing.jpg")), QString());
    QVERIFY(Global()->fileExists(jpeg));
    QVERIFY(Global()->isDir(m_dir.path()));
    QVERIFY(!Global()->isDir(jpeg));
    QCOMPARE(Global()->supportImageFormat(), QStringLiteral("*.png *.jpeg *.jpg *.bmp *.gif"));
  }

  void richTextBackToPlainText_data() {
    QTest::addColumn<QString>("plain");
    QTest::newRow("one line") << "hello";
    QTest::newRow("markup characters") << "a < b & c > d \"quoted\"";
    QTest::newRow("two lines") << "first\nsecond";
    QTest::newRow("chinese and emoji") << "你好 😀";
  }

  void richTextBackToPlainText() {
    QFETCH(QString, plain);
    // The input breaks lines inside one paragraph, as Shift+Enter does.
    QTextDocument document;
    document.setHtml(plain.toHtmlEscaped().replace("\n", "<br />"));
    QCOMPARE(Global()->htmlTextToPlainText(document.toHtml()), plain);
  }

  void malformedRichTextKeepsTheWholeMessage() {
    const QString html = "<html><body><p>one <b>two</p> three &amp; four</body></html>";
    const QString plain = Global()->htmlTextToPlainText(html);
    QVERIFY2(plain.contains("one") && plain.contains("two") && plain.contains("three & four"),
             qPrintable(plain));
  }

  // Rich text pasted from elsewhere: every block ends a line, as it showed there.
  void pastedRichTextKeepsItsLines_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("plain");
    const QString browserHead =
        R"(<meta http-equiv="content-type" content="text/html; charset=utf-8">)";
    QTest::newRow("paragraphs") << browserHead + "<p>first</p><p>second</p>"
                                << "first\nsecond";
    QTest::newRow("divs") << "<div>one</div><div>two</div><div>three</div>"
                          << "one\ntwo\nthree";
    QTest::newRow("line breaks") << "a<br>b<br/>c"
                                 << "a\nb\nc";
    QTest::newRow("list") << "<ul><li>x</li><li>y</li></ul>"
                          << "x\ny";
    QTest::newRow("whole document")
        << "<html><body>\n<!--StartFragment--><p>Hi &amp; bye</p>\n<p>next</p>"
           "<!--EndFragment-->\n</body></html>"
        << "Hi & bye\nnext";
    QTest::newRow("inline markup") << "<span>a</span> <b>b</b>"
                                   << "a b";
    QTest::newRow("kept spaces") << "<span style=\"white-space:pre-wrap\">a  b</span>"
                                 << "a  b";
    QTest::newRow("plain") << "just text"
                           << "just text";
    QTest::newRow("empty") << ""
                           << "";
  }

  void pastedRichTextKeepsItsLines() {
    QFETCH(QString, html);
    QFETCH(QString, plain);
    QCOMPARE(Global()->richTextToPlainText(html), plain);
  }
};

TESMO_CLIENT_TEST_MAIN(TestVGlobal)
#include "tst_vglobal.moc"
