// The four translation files: the same keys everywhere, the lookups the screens
// rely on (Chinese sources, disambiguations, corrected names), and no text in the
// QML that the files lack (a mistyped source would show untranslated).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include "support/ClientTestMain.h"

namespace {
const char* const kLanguages[] = {"en_us", "zh_cn", "zh_tw", "ko_kr"};

using Key = QPair<QString, QString>;  // context, source

QMap<Key, QString> ReadTs(const QString& fileName) {
  QMap<Key, QString> entries;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return entries;
  QXmlStreamReader xml(&file);
  QString context, source;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("source")) {
      source = xml.readElementText();
    } else if (xml.name() == QLatin1String("translation")) {
      entries.insert({context, source}, xml.readElementText());
    }
  }
  return entries;
}

QString TsFile(const char* language) {
  return QStringLiteral(TESMO_CLIENT_SOURCE_DIR "/i18n/TesmoChat_%1.ts")
      .arg(QLatin1String(language));
}
}  // namespace

class TestTranslations : public QObject {
  Q_OBJECT

 private slots:
  void filesCarryTheSameKeys() {
    const QMap<Key, QString> english = ReadTs(TsFile("en_us"));
    QCOMPARE(english.size(), 547);
    QMap<QString, int> perContext;
    for (const Key& key : english.keys()) ++perContext[key.first];
    QCOMPARE(perContext.value("VTr"), 197);
    QCOMPARE(perContext.value("VCountriesAndRegionsModel"), 190);
    QCOMPARE(perContext.value("VEmojiListModel"), 60);
    QCOMPARE(perContext.value("VTranslationSwitchPopupWindow"), 26);
    QCOMPARE(perContext.value("VLoginPage"), 16);
    QCOMPARE(perContext.size(), 28);
    for (const char* language : kLanguages) {
      const QMap<Key, QString> entries = ReadTs(TsFile(language));
      QCOMPARE(entries.keys(), english.keys());
      for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        QVERIFY2(!it.value().isEmpty(), qPrintable(it.key().first + ": " + it.key().second));
    }
  }

  void lookups_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("disambiguation");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* tag, const char* language, const char* context,
                        const char* source, const char* disambiguation, const char* text) {
      QTest::newRow(tag) << QString::fromUtf8(language) << QString::fromUtf8(context)
                         << QString::fromUtf8(source) << QString::fromUtf8(disambiguation)
                         << QString::fromUtf8(text);
    };
    row("en exit", "en_us", "VTr", "Exit", "退出", "Sign out");
    // The tray's and the settings popup's entry ends the program: it does not sign out.
    row("en quit", "en_us", "VTr", "Quit", "退出", "Quit");
    row("zh quit", "zh_cn", "VTr", "Quit", "退出", "退出");
    row("en send tip", "en_us", "VTr", "%1 to send, %2 to wrap.", "%1 发送，%2 换行",
        "%1 Send,%2 Newline");
    row("en chinese source", "en_us", "VLoginPage", "登  录", "", "Login");
    row("en code button", "en_us", "VSendVerificationCode", "获取验证码", "", "Generate code");
    row("en terms title", "en_us", "VUsingTermsContent", "使用条款", "", "Terms of Use");
    row("en scan on one line", "en_us", "VLoginPage", "Mobile Scan\nQR code login", "",
        "Mobile Scan QR code login");
    row("en connecting", "en_us", "VConnectStatusBar", "Network is connecting...", "",
        "Connecting...");
    row("en kingdom", "en_us", "VCountriesAndRegionsModel", "United Kiongdom", "",
        "United Kingdom");
    row("en kampuchea", "en_us", "VCountriesAndRegionsModel", "Kampuchea(Cambodia)", "",
        "Kampuchea");
    row("en samoa", "en_us", "VCountriesAndRegionsModel", "Samoa Eastern", "",
        "Eastern Samoa(American)");
    row("en emoji caption", "en_us", "VEmojiListModel", "beating", "", "beating");
    row("zh finished", "zh_cn", "VTr", "Finished", "完  成", "完 成");
    row("zh country", "zh_cn", "VCountriesAndRegionsModel", "Hongkong, China", "", "中国香港");
    row("zh sorry", "zh_cn", "VEmojiListModel", "sorry", "", "sorry");
    row("zh chinese source", "zh_cn", "VLoginPage", "登  录", "", "登  录");
    row("zh language", "zh_cn", "VTranslationSwitchPopupWindow", "Japanese", "", "日语");
    row("tw as zh", "zh_tw", "VTr", "Cancel", "取消", "取消");
    row("tw country in english", "zh_tw", "VCountriesAndRegionsModel", "China", "", "China");
    row("tw kampuchea", "zh_tw", "VCountriesAndRegionsModel", "Kampuchea(Cambodia)", "",
        "Kampuchea");
    row("ko login", "ko_kr", "VLoginPage", "登  录", "", "Login");
    row("ko login heading", "ko_kr", "VLoginPage", "Login", "", "Login");
    row("ko kampuchea", "ko_kr", "VCountriesAndRegionsModel", "Kampuchea(Cambodia)", "",
        "Kampuchea(Cambodia)");
    row("ko saint lucia", "ko_kr", "VCountriesAndRegionsModel", "Saint Lueia", "", "Saint Luei");
    row("ko as zh", "ko_kr", "VTr", "Finished", "完  成", "完 成");
    row("missing entry", "en_us", "VTr", "No such text", "", "");
  }

  void lookups() {
    QFETCH(QString, language);
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, disambiguation);
    QFETCH(QString, text);
    QTranslator translator;
    QVERIFY(
        translator.load(QStringLiteral("TesmoChat_%1.qm").arg(language), QStringLiteral(":/i18n")));
    const QByteArray disambiguationUtf8 = disambiguation.toUtf8();
    QCOMPARE(
        translator.translate(context.toUtf8().constData(), source.toUtf8().constData(),
                             disambiguation.isEmpty() ? nullptr : disambiguationUtf8.constData()),
        text);
  }

  // lupdate over the QML finds nothing that the files lack; a context whose QML file
  // exists carries exactly what that file asks for.
  void qmlTextsMatchTheFiles() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ts = dir.filePath(QStringLiteral("found.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(TESMO_LUPDATE),
                  {QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("-extensions"), QStringLiteral("qml,js"),
                   QStringLiteral(TESMO_CLIENT_SOURCE_DIR "/qml"), QStringLiteral("-ts"), ts});
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
    const QList<Key> found = ReadTs(ts).keys();
    QVERIFY(!found.isEmpty());
    const QMap<Key, QString> shipped = ReadTs(TsFile("en_us"));
    QSet<QString> qmlContexts;
    QDirIterator it(QStringLiteral(TESMO_CLIENT_SOURCE_DIR "/qml"), {QStringLiteral("*.qml")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) qmlContexts.insert(QFileInfo(it.next()).completeBaseName());
    for (const Key& key : found)
      QVERIFY2(shipped.contains(key), qPrintable(key.first + ": " + key.second));
    for (const Key& key : shipped.keys()) {
      if (qmlContexts.contains(key.first))
        QVERIFY2(found.contains(key), qPrintable("unused: " + key.first + ": " + key.second));
    }
  }
};

TESMO_CLIENT_TEST_MAIN(TestTranslations)

#include "tst_translations.moc"
