// The resource census: every picture, sound and file that the QML names is in the
// resources, each folder holds the files the interface expects, and the files
// have the formats and sizes the screens are laid out for.
#include <ZXing/DecodeHints.h>
#include <ZXing/ImageView.h>
#include <ZXing/ReadBarcode.h>

#include <QDataStream>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>
#include <QtTest>

#include "support/ClientTestMain.h"

namespace {
QStringList ResourceFiles(const QString& folder, bool recursive = false) {
  QStringList files;
  QDirIterator it(folder, QDir::Files,
                  recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

class TestResources : public QObject {
  Q_OBJECT

 private slots:
  // Every complete "qrc:/..." or "images/..." reference in the QML and scripts.
  void everyReferenceExists() {
    const QRegularExpression reference(QStringLiteral(
        "(?:qrc:/?|[\"'](?=images/))([A-Za-z0-9_./-]+\\.(?:png|gif|ico|jpg|wav|qml|js|vcf|conf))"));
    int checked = 0;
    for (const QString& file : ResourceFiles(QStringLiteral(":/qml"), true)) {
      if (!file.endsWith(QLatin1String(".qml")) && !file.endsWith(QLatin1String(".js"))) continue;
      const QString text = QString::fromUtf8(ReadAll(file));
      auto matches = reference.globalMatch(text);
      while (matches.hasNext()) {
        const QString path = QStringLiteral(":/") + matches.next().captured(1);
        QVERIFY2(QFile::exists(path), qPrintable(file + " names a missing " + path));
        ++checked;
      }
    }
    QVERIFY(checked > 40);
  }

  void folderCounts_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("count");
    QTest::newRow("root") << ":/" << 2;
    QTest::newRow("i18n") << ":/i18n" << 4;
    QTest::newRow("images") << ":/images" << 15;
    QTest::newRow("contact_page") << ":/images/contact_page" << 5;
    QTest::newRow("index_page") << ":/images/index_page" << 28;
    QTest::newRow("login_page") << ":/images/login_page" << 9;
    QTest::newRow("receive") << ":/images/receive" << 5;
    QTest::newRow("send") << ":/images/send" << 5;
    QTest::newRow("screenshot") << ":/images/screenshot" << 3;
    QTest::newRow("session_page") << ":/images/session_page" << 64;
    QTest::newRow("files") << ":/images/session_page/files" << 14;
    QTest::newRow("emoji") << ":/images/emoji" << 60;
    QTest::newRow("emoji_q") << ":/images/emoji/emoji_q" << 171;
    QTest::newRow("stickers") << ":/images/emoji/emoji_south_korea" << 70;
    QTest::newRow("sound") << ":/sound" << 3;
    QTest::newRow("vCard") << ":/res/vCard" << 1;
    QTest::newRow("settings") << ":/qml/settings" << 2;
    QTest::newRow("translator") << ":/qml/translator" << 2;
    QTest::newRow("screenshot qml") << ":/qml/screenshot" << 7;
  }

  void folderCounts() {
    QFETCH(QString, folder);
    QFETCH(int, count);
    QStringList files = ResourceFiles(folder);
    // Qt's own resources (its style sheets, fonts, and so on) live under ":/qt-project.org".
    QCOMPARE(files.size(), count);
  }

  void namedFilesExist() {
    const QStringList expected = {":/tesmo_chat.ico",
                                  ":/qtquickcontrols2.conf",
                                  ":/images/tesmo_chat_transparent.ico",
                                  ":/images/default_portrait.png",
                                  ":/images/warning.png",
                                  ":/images/close_win_pc.png",
                                  ":/images/index_page/chat_normal.png",
                                  ":/images/index_page/assistant_pressed.png",
                                  ":/images/index_page/loading.gif",
                                  ":/images/index_page/mac_to_normal_hover.png",
                                  ":/images/login_page/login_bg_02.png",
                                  ":/images/send/vidio_3.png",
                                  ":/images/session_page/audio_play_receive.png",
                                  ":/images/session_page/founding_member.png",
                                  ":/images/session_page/files/file_icon_others.png",
                                  ":/images/emoji/emoji_zhoumei.png",
                                  ":/images/emoji/emoji_q/q_000.png",
                                  ":/images/emoji/emoji_q/q_170.png",
                                  ":/images/emoji/emoji_south_korea/emotion_gif_001.png",
                                  ":/images/emoji/emoji_south_korea/emotion_gif_070.png",
                                  ":/sound/message.wav",
                                  ":/sound/loginSuccess.wav",
                                  ":/sound/networkconnected.wav",
                                  ":/res/vCard/contacts.vcf",
                                  ":/qml/VSplashPage.qml",
                                  ":/qml/settings/qmldir",
                                  ":/qml/translator/qmldir",
                                  ":/i18n/TesmoChat_ko_kr.qm"};
    for (const QString& path : expected) QVERIFY2(QFile::exists(path), qPrintable(path));
  }

  void moduleFilesDeclareTheSingletons() {
    QCOMPARE(ReadAll(":/qml/settings/qmldir").trimmed(),
             QByteArray("singleton VSettings 1.0 VSettings.qml"));
    QCOMPARE(ReadAll(":/qml/translator/qmldir").trimmed(), QByteArray("singleton VTr 1.0 VTr.qml"));
    QVERIFY(ReadAll(":/qml/commons/qmldir").contains("\nVRoundImage 1.0 VRoundImage.qml\n"));
    QCOMPARE(ReadAll(":/qtquickcontrols2.conf").trimmed(), QByteArray("[Controls]\nStyle=Imagine"));
  }

  void pictureSizes_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::newRow("emoji") << ":/images/emoji" << QList<QSize>{{64, 64}};
    QTest::newRow("numbered") << ":/images/emoji/emoji_q" << QList<QSize>{{56, 56}, {66, 66}};
    QTest::newRow("stickers") << ":/images/emoji/emoji_south_korea"
                              << QList<QSize>{{96, 96}, {192, 192}};
  }

  void pictureSizes() {
    QFETCH(QString, folder);
    QFETCH(QList<QSize>, sizes);
    for (const QString& file : ResourceFiles(folder)) {
      QImageReader reader(file);
      QVERIFY2(reader.canRead(), qPrintable(file));
      QVERIFY2(sizes.contains(reader.size()), qPrintable(file));
    }
  }

  void fixedPictureSizes() {
    const struct {
      const char* path;
      QSize size;
    } pictures[] = {{":/images/min_win_pc.png", {10, 10}},
                    {":/images/index_page/mac_close_normal.png", {12, 12}},
                    {":/images/session_page/add_session.png", {27, 22}},
                    {":/images/default_portrait.png", {200, 200}},
                    {":/images/session_page/founding_member.png", {146, 148}},
                    {":/images/session_page/founding_member_head.png", {70, 86}},
                    {":/images/session_page/official_indicator_media.png", {15, 15}}};
    for (const auto& picture : pictures) QCOMPARE(QImageReader(picture.path).size(), picture.size);
  }

  // Animated ones are recognised by their content, whatever their name.
  void animatedPictures() {
    for (const char* path : {":/images/emoji/emoji_q/q_063.png", ":/images/emoji/emoji_q/q_064.png",
                             ":/images/index_page/loading.gif"}) {
      QImageReader reader(path);
      QCOMPARE(reader.format(), QByteArray("gif"));
      QVERIFY2(reader.imageCount() > 1, path);
      QVERIFY(!reader.read().isNull());
    }
    QCOMPARE(QImageReader(":/images/emoji/emoji_q/q_062.png").format(), QByteArray("png"));
  }

  void soundsArePcmWav() {
    for (const char* path :
         {":/sound/message.wav", ":/sound/loginSuccess.wav", ":/sound/networkconnected.wav"}) {
      const QByteArray wav = ReadAll(path);
      QVERIFY2(wav.size() > 44, path);
      QVERIFY(wav.startsWith("RIFF") && wav.mid(8, 8) == "WAVEfmt ");
      const auto* bytes = reinterpret_cast<const uchar*>(wav.constData());
      QCOMPARE(qFromLittleEndian<quint16>(bytes + 20), quint16(1));  // PCM
      QCOMPARE(qFromLittleEndian<quint16>(bytes + 22), quint16(2));
      QCOMPARE(qFromLittleEndian<quint32>(bytes + 24), quint32(48000));
      QCOMPARE(qFromLittleEndian<quint16>(bytes + 34), quint16(16));
      QCOMPARE(wav.mid(36, 4), QByteArray("data"));
      const double seconds = qFromLittleEndian<quint32>(bytes + 40) / (48000.0 * 4);
      QVERIFY2(seconds >= 2.0 && seconds <= 2.6, path);
    }
  }

  // The download dialog shows it at 170 by 170: it scans there to an address of the
  // app's download page.
  void downloadQrPictureDecodes() {
    QImageReader reader(QStringLiteral(":/images/erweima.png"));
    QCOMPARE(reader.size(), QSize(170, 170));
    const QImage gray = reader.read().convertToFormat(QImage::Format_Grayscale8);
    QVERIFY(!gray.isNull());
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::Result result = ZXing::ReadBarcode({gray.constBits(), gray.width(), gray.height(),
                                                     ZXing::ImageFormat::Lum, gray.bytesPerLine()},
                                                    hints);
    QVERIFY(result.isValid());
    const QString text = QString::fromStdString(result.text());
    QVERIFY2(text.startsWith(QLatin1String("https://")) && text.contains(QLatin1String("/down/")),
             qPrintable(text));
  }

  void vCardTemplate() {
    const QByteArray text = ReadAll(":/res/vCard/contacts.vcf");
    const QRegularExpression card(
        QStringLiteral("BEGIN:VCARD\r\nVERSION:2.1\r\nTEL;CELL:\\+\\d+\r\nEND:VCARD\r\n"));
    auto matches = card.globalMatch(QString::fromLatin1(text));
    int cards = 0;
    while (matches.hasNext()) {
      matches.next();
      ++cards;
    }
    QCOMPARE(cards, 2);
    QCOMPARE(text.count("BEGIN:VCARD"), 2);
  }
};

TESMO_CLIENT_TEST_MAIN(TestResources)

#include "tst_resources.moc"
