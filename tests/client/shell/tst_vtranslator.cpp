// Languages: loading the embedded translations, refusing values outside the four,
// a file that cannot be loaded, and the hint tables.
#include <QSettings>
#include <QtTest>

#include "shell/VConfig.h"
#include "shell/VTranslator.h"
#include "support/ClientTestMain.h"

// The embedded translations' registration, generated with the resources.
int qInitResources_i18n();
int qCleanupResources_i18n();

namespace {
QString LoginButton() { return QCoreApplication::translate("VLoginPage", "登  录"); }
QString PhoneLabel() { return QCoreApplication::translate("VLoginPage", "Mobile number"); }

int StoredLanguage() {
  return VConfig::instance()->value(QStringLiteral("CurrentLanguage"), -100).toInt();
}
}  // namespace

class TestVTranslator : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { VConfig::instance()->setValue("LastloginAccount", "translator"); }

  void everyLanguageLoadsItsFile_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("loginButton");
    QTest::addColumn<QString>("phoneLabel");
    QTest::newRow("english") << 0 << "Login"
                             << "Phone number";
    QTest::newRow("simplified chinese") << 1 << "登  录"
                                        << "手机号码";
    QTest::newRow("traditional chinese") << 2 << "登  录"
                                         << "手机号码";
    QTest::newRow("korean") << 3 << "Login"
                            << "手机号码";
    QTest::newRow("english after korean") << 0 << "Login"
                                          << "Phone number";
    QTest::newRow("chinese after english") << 1 << "登  录"
                                           << "手机号码";
  }

  void everyLanguageLoadsItsFile() {
    QFETCH(int, language);
    QFETCH(QString, loginButton);
    QFETCH(QString, phoneLabel);
    VTranslator* translator = VTranslator::instance();
    QSignalSpy changed(translator, &VTranslator::currentLanguageChanged);
    translator->setCurrentLanguage(static_cast<VTranslator::VLanguage>(language));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(int(translator->language()), language);
    QCOMPARE(int(VTranslator::currentLanguage()), language);
    QCOMPARE(StoredLanguage(), language);
    QCOMPARE(LoginButton(), loginButton);
    QCOMPARE(PhoneLabel(), phoneLabel);
    QCOMPARE(translator->i18n(), QString());
  }

  void sameLanguageAgainReloadsAndSignals() {
    VTranslator* translator = VTranslator::instance();
    translator->setCurrentLanguage(VTranslator::EN_US);
    VConfig::instance()->setValue("CurrentLanguage", 2);
    QSignalSpy changed(translator, &VTranslator::currentLanguageChanged);
    translator->setCurrentLanguage(VTranslator::EN_US);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(StoredLanguage(), 0);
    QCOMPARE(LoginButton(), QStringLiteral("Login"));
  }

  void valuesOutsideTheFourChangeNothing_data() {
    QTest::addColumn<int>("value");
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
    QTest::newRow("large") << 1000;
  }

  void valuesOutsideTheFourChangeNothing() {
    QFETCH(int, value);
    VTranslator* translator = VTranslator::instance();
    translator->setCurrentLanguage(VTranslator::KO_KR);
    QSignalSpy changed(translator, &VTranslator::currentLanguageChanged);
    translator->setCurrentLanguage(static_cast<VTranslator::VLanguage>(value));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(int(translator->language()), 3);
    QCOMPARE(StoredLanguage(), 3);
    QCOMPARE(LoginButton(), QStringLiteral("Login"));
  }

  void unloadableFileChangesNothing() {
    VTranslator* translator = VTranslator::instance();
    translator->setCurrentLanguage(VTranslator::EN_US);
    QSignalSpy changed(translator, &VTranslator::currentLanguageChanged);
    QVERIFY(qCleanupResources_i18n());
    QVERIFY(!QFile::exists(":/i18n/TesmoChat_zh_cn.qm"));
    translator->setCurrentLanguage(VTranslator::ZH_CN);
    qInitResources_i18n();
    QCOMPARE(changed.count(), 0);
    QCOMPARE(int(translator->language()), 0);
    QCOMPARE(StoredLanguage(), 0);
    // The English translation is still installed.
    QCOMPARE(LoginButton(), QStringLiteral("Login"));
    QCOMPARE(PhoneLabel(), QStringLiteral("Phone number"));
  }

  // Qt's own dialogs (the file dialogs, standard buttons) speak the chosen language
  // too, and English again after it.
  void qtTextsFollowTheLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("lookIn");
    QTest::addColumn<QString>("cancel");
    QTest::newRow("simplified chinese") << 1 << "查找范围："
                                        << "取消";
    QTest::newRow("traditional chinese") << 2 << "尋找於："
                                         << "取消";
    QTest::newRow("korean") << 3 << "다음에서 찾기:"
                            << "취소";
    QTest::newRow("english") << 0 << "Look in:"
                             << "Cancel";
  }

  void qtTextsFollowTheLanguage() {
    QFETCH(int, language);
    QFETCH(QString, lookIn);
    QFETCH(QString, cancel);
    VTranslator::instance()->setCurrentLanguage(static_cast<VTranslator::VLanguage>(language));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), lookIn);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
    // The program's own texts are still there.
    QCOMPARE(LoginButton(),
             language == 0 || language == 3 ? QStringLiteral("Login") : QStringLiteral("登  录"));
  }

  void hintTexts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("english") << 0 << "hint_cjqtz"
                             << "Start a group chat";
    QTest::newRow("english leading space") << 0 << "hint_syljp"
                                           << " using screenshots";
    QTest::newRow("english last") << 0 << "hint_nchlytxx"
                                  << "You have recalled a message";
    QTest::newRow("chinese") << 1 << "hint_cjqtz"
                             << "发起了群聊";
    QTest::newRow("chinese leading space") << 1 << "hint_chlytxx"
                                           << " 撤回了一条消息";
    // These two read the simplified Chinese, as their translation files do.
    QTest::newRow("traditional chinese") << 2 << "hint_cjqtz"
                                         << "发起了群聊";
    QTest::newRow("traditional chinese leading space") << 2 << "hint_chlytxx"
                                                       << " 撤回了一条消息";
    QTest::newRow("korean") << 3 << "hint_nchlytxx"
                            << "你撤回了一条消息";
    QTest::newRow("korean red envelope") << 3 << "hint_sdhbqzsjsck"
                                         << "[TesmoChat红包]";
    QTest::newRow("korean unknown key") << 3 << "hint_none"
                                        << "";
    QTest::newRow("unknown key") << 0 << "hint_none"
                                 << "";
  }

  void hintTexts() {
    QFETCH(int, language);
    QFETCH(QString, key);
    QFETCH(QString, text);
    VTranslator::instance()->setCurrentLanguage(static_cast<VTranslator::VLanguage>(language));
    QCOMPARE(VTranslator::instance()->getString(key), text);
  }
};

TESMO_CLIENT_TEST_MAIN(TestVTranslator)
#include "tst_vtranslator.moc"
