// The settings store: where each key lands before and after an account is
// remembered, the getters' defaults and the signals.
#include <sys/stat.h>

#include <QSettings>
#include <QtTest>

#include "shell/VConfig.h"
#include "support/ClientTestMain.h"

namespace {
// The store as a second reader sees it; shares the program's data in-process.
QVariant Raw(const QString& path) {
  QSettings raw(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
  return raw.value(path);
}

void ClearStore() {
  QSettings raw(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
  raw.clear();
  raw.sync();
  VConfig::instance()->setValue(QStringLiteral("LastloginAccount"), QString());
}

const char* const kSignals[] = {"currentAccountChanged()",
                                "currentUserIDChanged()",
                                "currentUserNameChanged()",
                                "currentUserLogoChanged()",
                                "currentUserBigLogoChanged()",
                                "currentUserSummaryChanged()",
                                "champflagChanged()",
                                "autoMoveToTopChanged()",
                                "desktopNotificationVisibleChanged(bool)",
                                "versionChanged()"};
}  // namespace

class TestVConfig : public QObject {
  Q_OBJECT

  VConfig* config() { return VConfig::instance(); }

 private slots:
  // The account remembered by an earlier run is the current one from the start.
  void initTestCase() {
    {
      QSettings raw(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
      raw.setValue(QStringLiteral("SETTINGS_ACCOUNTS_GROUP/LastloginAccount"), "stored");
      raw.setValue(QStringLiteral("stored/MY_NAME"), "Stored Name");
      raw.sync();
    }
    QCOMPARE(config()->currentUserName(), QStringLiteral("Stored Name"));
    QCOMPARE(config()->value("LastloginAccount"), QVariant("stored"));
  }

  void init() { ClearStore(); }

  void keyLandsInTheCurrentAccountGroup_data() {
    QTest::addColumn<QString>("key");
    for (const char* key : {"MY_ACCOUNT", "MY_USERID", "MY_NAME", "MY_LOGO", "MY_BIGLOGO",
                            "MY_SUMMARY", "MY_CHAMPFLAG", "MessagePromptToneSwitch",
                            "Auto_Move_To_Top", "DESKTOP_NOTIFICATION_VISIBLE", "CurrentLanguage",
                            "SYNC_CONTACTS_LIST", "SYNC_GROUPS_LIST", "CURRENT_SESSION_ID",
                            "LastLoginCountryCode", "lastStartSendVerificationCodeTime",
                            "noMorePromptsNextTimeSyncToImageClicked", "lastloginaccount"})
      QTest::newRow(key) << QString::fromLatin1(key);
  }

  void keyLandsInTheCurrentAccountGroup() {
    QFETCH(QString, key);
    // No account remembered yet: the top level.
    config()->setValue(key, "before");
    QCOMPARE(Raw(key), QVariant("before"));
    QCOMPARE(config()->value(key), QVariant("before"));

    config()->setValue("LastloginAccount", "8613800000001");
    QCOMPARE(Raw("SETTINGS_ACCOUNTS_GROUP/LastloginAccount"), QVariant("8613800000001"));
    QCOMPARE(config()->value(key), QVariant());
    QCOMPARE(config()->value(key, "fallback"), QVariant("fallback"));
    config()->setValue(key, "after");
    QCOMPARE(Raw("8613800000001/" + key), QVariant("after"));
    QCOMPARE(Raw(key), QVariant("before"));
    QCOMPARE(config()->value(key), QVariant("after"));

    // Another account has its own group.
    config()->setValue("LastloginAccount", "8613800000002");
    QCOMPARE(config()->value(key), QVariant());
    config()->setValue("LastloginAccount", "8613800000001");
    QCOMPARE(config()->value(key), QVariant("after"));
  }

  void lastLoginAccountAndExplicitGroups() {
    config()->setValue("LastloginAccount", "acct");
    QCOMPARE(Raw("SETTINGS_ACCOUNTS_GROUP/LastloginAccount"), QVariant("acct"));
    QCOMPARE(Raw("acct/LastloginAccount"), QVariant());
    QCOMPARE(config()->value("LastloginAccount"), QVariant("acct"));

    // Explicit groups: the top level for the crash flag and the version.
    config()->setValue("HasCrashDumpFile", QString(), true);
    QCOMPARE(Raw("HasCrashDumpFile"), QVariant(true));
    QCOMPARE(config()->value("HasCrashDumpFile", QString(), false).toBool(), true);
    QCOMPARE(config()->value("Version", QString(), "default1"), QVariant("default1"));
    config()->setValue("Version", QString(), "2.1.0");
    QCOMPARE(config()->version(), QStringLiteral("2.1.0"));
    QCOMPARE(config()->property("version").toString(), QStringLiteral("2.1.0"));
    // Explicit-group writes do not move the current account.
    config()->setValue("LastloginAccount", "SETTINGS_ACCOUNTS_GROUP", "other");
    QCOMPARE(Raw("SETTINGS_ACCOUNTS_GROUP/LastloginAccount"), QVariant("other"));
    config()->setValue("MY_NAME", "still acct");
    QCOMPARE(Raw("acct/MY_NAME"), QVariant("still acct"));
  }

  void getUserLogoReadsTheGivenAccount() {
    config()->setValue("LastloginAccount", "x");
    config()->setValue("MY_LOGO", "http://127.0.0.1/x.png");
    config()->setValue("LastloginAccount", "y");
    config()->setValue("MY_LOGO", "http://127.0.0.1/y.png");
    QCOMPARE(config()->getUserLogo("x"), QStringLiteral("http://127.0.0.1/x.png"));
    QCOMPARE(config()->getUserLogo("y"), QStringLiteral("http://127.0.0.1/y.png"));
    QCOMPARE(config()->getUserLogo("z"), QString());
    QCOMPARE(config()->currentUserLogo(), QStringLiteral("http://127.0.0.1/y.png"));
  }

  void defaultsOfAFreshAccount() {
    config()->setValue("LastloginAccount", "fresh");
    QCOMPARE(config()->currentAccount(), QString());
    QCOMPARE(config()->currentUserID(), QString());
    QCOMPARE(config()->currentUserName(), QString());
    QCOMPARE(config()->currentUserLogo(), QString());
    QCOMPARE(config()->currentUserBigLogo(), QString());
    QCOMPARE(config()->currentUserSummary(), QString());
    QCOMPARE(config()->champflag(), 0);
    QCOMPARE(config()->messagePromptToneSwitch(), true);
    QCOMPARE(config()->autoMoveToTop(), true);
    QCOMPARE(config()->desktopNotificationVisible(), true);
    QCOMPARE(config()->version(), QString());
    // Stored values come back through the usual conversions.
    config()->setValue("MY_CHAMPFLAG", "3");
    QCOMPARE(config()->champflag(), 3);
    config()->setMessagePromptToneSwitch(false);
    QCOMPARE(config()->messagePromptToneSwitch(), false);
    QCOMPARE(Raw("fresh/MessagePromptToneSwitch").toBool(), false);
  }

  // Each write of a profile key signals, changed or not; other keys (also one
  // that differs only in case) signal nothing.
  void profileKeysSignalOnEveryWrite_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QString>("property");
    QTest::newRow("account") << "MY_ACCOUNT"
                             << "currentAccountChanged()"
                             << "currentAccount";
    QTest::newRow("user id") << "MY_USERID"
                             << "currentUserIDChanged()"
                             << "currentUserID";
    QTest::newRow("name") << "MY_NAME"
                          << "currentUserNameChanged()"
                          << "currentUserName";
    QTest::newRow("logo") << "MY_LOGO"
                          << "currentUserLogoChanged()"
                          << "currentUserLogo";
    QTest::newRow("big logo") << "MY_BIGLOGO"
                              << "currentUserBigLogoChanged()"
                              << "currentUserBigLogo";
    QTest::newRow("summary") << "MY_SUMMARY"
                             << "currentUserSummaryChanged()"
                             << "currentUserSummary";
    QTest::newRow("champion") << "MY_CHAMPFLAG"
                              << "champflagChanged()"
                              << "champflag";
    QTest::newRow("lower case") << "my_name"
                                << ""
                                << "";
    QTest::newRow("other key") << "LastLoginCountryCode"
                               << ""
                               << "";
  }

  void profileKeysSignalOnEveryWrite() {
    QFETCH(QString, key);
    QFETCH(QString, signal);
    QFETCH(QString, property);
    config()->setValue("LastloginAccount", "signals");
    QList<QSignalSpy*> spies;
    for (const char* name : kSignals)
      spies.append(new QSignalSpy(config(), QByteArray("2") + name));
    config()->setValue(key, "1");
    config()->setValue(key, "1");
    for (int i = 0; i < spies.size(); ++i) {
      const bool expected = signal == QLatin1String(kSignals[i]);
      QCOMPARE(spies[i]->count(), expected ? 2 : 0);
    }
    if (!property.isEmpty())
      QCOMPARE(config()->property(property.toLatin1()).toString(), QStringLiteral("1"));
    qDeleteAll(spies);
  }

  void desktopNotificationSignalsOnlyOnChange() {
    config()->setValue("LastloginAccount", "notify");
    QSignalSpy spy(config(), &VConfig::desktopNotificationVisibleChanged);
    config()->setDesktopNotificationVisible(true);
    QCOMPARE(spy.count(), 0);
    config()->setDesktopNotificationVisible(false);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toBool(), false);
    config()->setDesktopNotificationVisible(false);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(config()->desktopNotificationVisible(), false);
    QCOMPARE(Raw("notify/DESKTOP_NOTIFICATION_VISIBLE").toBool(), false);
  }

  void autoMoveToTopSignalsOnEveryWrite() {
    config()->setValue("LastloginAccount", "move");
    QSignalSpy spy(config(), &VConfig::autoMoveToTopChanged);
    config()->setAutoMoveToTop(true);
    config()->setAutoMoveToTop(true);
    QCOMPARE(spy.count(), 2);
    config()->setProperty("autoMoveToTop", false);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(config()->autoMoveToTop(), false);
  }

  // Writing what is stored already leaves the file as it is (it is rewritten
  // through a new file, so a rewrite shows as a new inode); a new value is written.
  void sameValueLeavesTheFileAlone() {
    const QString path = QSettings(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat")).fileName();
    auto inode = [&path] {
      struct stat info {};
      return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : ino_t(0);
    };
    const QVariantList values{2, true, false, QStringLiteral("text"), QString(),
                              QStringList{"a", "b"}, QByteArray("\x01\x02")};
    for (int i = 0; i < values.size(); ++i)
      config()->setValue(QStringLiteral("Same%1").arg(i), QStringLiteral("grp"), values.at(i));
    VConfig::flush();
    const ino_t written = inode();
    QVERIFY(written != 0);
    // As a later start sees them: read back from the file.
    QSettings(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat")).sync();
    for (int i = 0; i < values.size(); ++i)
      config()->setValue(QStringLiteral("Same%1").arg(i), QStringLiteral("grp"), values.at(i));
    VConfig::flush();
    QCOMPARE(inode(), written);
    // A value of another type or text is a change.
    config()->setValue(QStringLiteral("Same0"), QStringLiteral("grp"), QStringLiteral("2.0"));
    VConfig::flush();
    QVERIFY(inode() != written);
    QCOMPARE(config()->value(QStringLiteral("Same0"), QStringLiteral("grp"), QVariant()),
             QVariant(QStringLiteral("2.0")));
    config()->setValue(QStringLiteral("Same1"), QStringLiteral("grp"), false);
    QCOMPARE(config()->value(QStringLiteral("Same1"), QStringLiteral("grp"), QVariant()).toBool(),
             false);
  }

  void valuesReachTheSettingsFile() {
    config()->setValue("LastloginAccount", "disk");
    config()->setValue("MY_NAME", QString::fromUtf8("\xe5\xbc\xa0\xe4\xb8\x89"));
    QSettings raw(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
    raw.sync();
    QVERIFY(raw.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
    QSettings reread(raw.fileName(), QSettings::IniFormat);
    QCOMPARE(reread.value("disk/MY_NAME").toString(),
             QString::fromUtf8("\xe5\xbc\xa0\xe4\xb8\x89"));
  }
};

TESMO_CLIENT_TEST_MAIN(TestVConfig)
#include "tst_vconfig.moc"
