// The mention chip: "@" and the stored name in an 18-pixel font on a light chip,
// 5 pixels of background on each side, no picture for an empty account.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QtTest>

#include "shell/VGlobal.h"
#include "shell/VMentionedNameImageProvider.h"
#include "shell/VTranslator.h"
#include "support/ClientTestMain.h"

namespace {
QFont ChipFont() {
  QFont font = QApplication::font();
  font.setPixelSize(18);
  return font;
}
}  // namespace

class TestMentionedNameImageProvider : public QObject {
  Q_OBJECT

  VMentionedNameImageProvider m_provider;

 private slots:
  void initTestCase() {
    QCOMPARE(m_provider.imageType(), QQmlImageProviderBase::Pixmap);
    VGlobal::instance()->atSomebody(QStringLiteral("a1"), QStringLiteral("Ann Lee"));
    VGlobal::instance()->atSomebody(QStringLiteral("w2"), QStringLiteral("W"));
    VGlobal::instance()->atSomebody(QStringLiteral("w3"), QStringLiteral("WWWWWWWWWW"));
  }

  void chipSize_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("shown");
    QTest::newRow("stored name with a blank") << "a1"
                                              << "@Ann Lee";
    QTest::newRow("one letter") << "w2"
                                << "@W";
    QTest::newRow("ten letters") << "w3"
                                 << "@WWWWWWWWWW";
    QTest::newRow("unknown account shows itself") << "u9@x"
                                                  << "@u9@x";
  }

  void chipSize() {
    QFETCH(QString, account);
    QFETCH(QString, shown);
    const QFontMetrics metrics(ChipFont());
    QSize size;
    const QPixmap chip = m_provider.requestPixmap(account, &size, QSize(1, 1));
    QVERIFY(!chip.isNull());
    QCOMPARE(size, chip.size());
    QCOMPARE(chip.width(), metrics.horizontalAdvance(shown) + 10);
    // The height follows the font only.
    QCOMPARE(chip.height(), metrics.height());
  }

  void drawsTextOnTheChipColour() {
    const QImage chip = m_provider.requestPixmap(QStringLiteral("w3"), nullptr, QSize()).toImage();
    QVERIFY(!chip.isNull());
    // The padding keeps the background; the text is drawn in the dark colour.
    for (int y = 0; y < chip.height(); ++y) {
      QCOMPARE(QColor(chip.pixel(0, y)), QColor(245, 246, 247));
      QCOMPARE(QColor(chip.pixel(chip.width() - 1, y)), QColor(245, 246, 247));
    }
    bool darkest = false;
    for (int y = 0; y < chip.height() && !darkest; ++y)
      for (int x = 0; x < chip.width() && !darkest; ++x)
        darkest = QColor(chip.pixel(x, y)) == QColor(51, 51, 51);
    QVERIFY(darkest);
  }

  void emptyAccountGivesNothing() {
    QSize size(7, 7);
    QVERIFY(m_provider.requestPixmap(QString(), &size, QSize()).isNull());
    QCOMPARE(size, QSize(7, 7));
  }

  void sameIdDrawsTheSamePicture() {
    const QImage first = m_provider.requestPixmap(QStringLiteral("a1"), nullptr, QSize()).toImage();
    const QImage second =
        m_provider.requestPixmap(QStringLiteral("a1"), nullptr, QSize()).toImage();
    QCOMPARE(first, second);
  }

  void everybodyInTheInterfaceLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("shown");
    QTest::newRow("English") << int(VTranslator::EN_US) << "@All";
    QTest::newRow("Chinese") << int(VTranslator::ZH_CN) << QString::fromUtf8("@所有人");
  }

  void everybodyInTheInterfaceLanguage() {
    QFETCH(int, language);
    QFETCH(QString, shown);
    VTranslator::instance()->setCurrentLanguage(static_cast<VTranslator::VLanguage>(language));
    const QString all = VGlobal::instance()->atAllMembers();
    QSize size;
    m_provider.requestPixmap(all, &size, QSize());
    QCOMPARE(size.width(), QFontMetrics(ChipFont()).horizontalAdvance(shown) + 10);
  }
};

TESMO_CLIENT_TEST_MAIN(TestMentionedNameImageProvider)

#include "tst_vmentionednameimageprovider.moc"
