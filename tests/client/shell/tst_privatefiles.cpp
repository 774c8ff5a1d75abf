// The program's data, settings and cache are the user's alone, whatever the umask:
// an account's folders and database as a login makes them, the settings file, and
// what an earlier run left with wider rights, tightened at start.
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VPrivateFiles.h"
#include "support/ClientTestMain.h"
#include "support/ReportDelivery.h"

namespace {
QString DataBase() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

// The permission bits, or -1 for a path that is not there (links not followed).
int Mode(const QString& path) {
  struct stat st {};
  if (lstat(QFile::encodeName(path).constData(), &st) != 0) return -1;
  return int(st.st_mode & 07777);
}

void MakeLoose(const QString& path, bool folder) {
  if (folder) {
    QVERIFY(QDir().mkpath(path));
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0755) == 0);
  } else {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("earlier run");
    file.close();
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0644) == 0);
  }
}
}  // namespace

class TestPrivateFiles : public QObject {
  Q_OBJECT

  mode_t m_umask = 0;

 private slots:
  void initTestCase() {
    // A usual umask: without care, folders would be 0755 and files 0644.
    m_umask = umask(022);
    ImUiInterface::instance()->initInterface();
    ImLoginManager::instance();
  }

  void cleanupTestCase() { umask(m_umask); }

  void loginMakesTheAccountPrivate_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("byQr");
    QTest::newRow("phone") << "13800000011" << false;
    QTest::newRow("scanned code") << "qrprivate9" << true;
  }

  void loginMakesTheAccountPrivate() {
    QFETCH(QString, account);
    QFETCH(bool, byQr);
    EngineDouble::Reset();
    if (byQr)
      ImLoginManager::instance()->QRLogin(account);
    else
      ImLoginManager::instance()->login(account, "+86", "1234");
    const QString folder = DataBase() + "/data/" + account;
    for (const QString& made :
         {DataBase(), DataBase() + "/data", folder, folder + "/Portraits", folder + "/Audio",
          folder + "/Video", folder + "/Documents", folder + "/Images"})
      QCOMPARE(Mode(made), 0700);
    QCOMPARE(Mode(folder + "/tesChat.db"), 0600);
  }

  void loginTightensAnExistingDatabase() {
    const QString folder = DataBase() + "/data/13800000012";
    MakeLoose(folder, true);
    MakeLoose(folder + "/tesChat.db", false);
    ImLoginManager::instance()->login("13800000012", "+86", "1");
    QCOMPARE(Mode(folder + "/tesChat.db"), 0600);
    QFile kept(folder + "/tesChat.db");
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("earlier run"));
  }

  // Written whole on every sync, the file keeps the rights it was made with.
  void settingsAreTheUsersAlone() {
    VConfig::instance()->setValue(QStringLiteral("MY_NAME"), QStringLiteral("someone"));
    VConfig::flush();
    VConfig::instance()->setValue(QStringLiteral("MY_NAME"), QStringLiteral("someone else"));
    VConfig::flush();
    const QString file =
        QSettings(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat")).fileName();
    QVERIFY(QFile::exists(file));
    QCOMPARE(Mode(file), 0600);
    QCOMPARE(Mode(QFileInfo(file).absolutePath()), 0700);
  }

  void startTightensWhatEarlierRunsLeft() {
    const QString settingsFolder =
        QFileInfo(QSettings(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat")).fileName())
            .absolutePath();
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QStringList folders = {DataBase(),
                                 DataBase() + "/data/13900000001",
                                 DataBase() + "/data/13900000001/Images",
                                 settingsFolder,
                                 cache,
                                 cache + "/qmlcache"};
    const QStringList files = {DataBase() + "/app.cfg", DataBase() + "/data/13900000001/tesChat.db",
                               DataBase() + "/data/13900000001/Images/picture.png",
                               settingsFolder + "/Tesmo Chat.conf.lock",
                               cache + "/qmlcache/x.qmlc"};
    for (const QString& folder : folders) MakeLoose(folder, true);
    for (const QString& file : files) MakeLoose(file, false);
    // A link inside may point anywhere: neither it nor what it names is touched.
    QTemporaryDir outside;
    const QString foreign = outside.filePath("foreign.txt");
    MakeLoose(foreign, false);
    QVERIFY(QFile::link(foreign, DataBase() + "/data/13900000001/link"));

    VPrivateFiles::protectProgramFolders();
    // At once for the folders themselves, which closes everything below them.
    for (const QString& folder : {DataBase(), settingsFolder, cache}) QCOMPARE(Mode(folder), 0700);
    for (const QString& folder : folders) QTRY_COMPARE_WITH_TIMEOUT(Mode(folder), 0700, 20000);
    for (const QString& file : files) QTRY_COMPARE_WITH_TIMEOUT(Mode(file), 0600, 20000);
    QCOMPARE(Mode(foreign), 0644);
  }

  // The crash dumps' folder is made before any login: with its parents, private.
  void everyFolderMadeIsPrivate() {
    const QString organisation = QFileInfo(DataBase()).absolutePath();
    QVERIFY(QDir(organisation).removeRecursively());
    QVERIFY(VPrivateFiles::makeFolder(DataBase()));
    QCOMPARE(Mode(DataBase()), 0700);
    QCOMPARE(Mode(organisation), 0700);
    // A path through a file cannot be made.
    MakeLoose(DataBase() + "/file", false);
    QVERIFY(!VPrivateFiles::makeFolder(DataBase() + "/file/sub"));
  }
};

TESMO_CLIENT_TEST_MAIN(TestPrivateFiles)
#include "tst_privatefiles.moc"
