// The vCard parser: cards, properties and parameters of the texts users pick for
// the batch invitation, and files that cannot be read.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/vCard.h"
#include "support/ClientTestMain.h"

Q_DECLARE_METATYPE(QList<vCardParam>)

class TestVCard : public QObject {
  Q_OBJECT

 private slots:
  void templateResource() {
    bool ok = false;
    const QList<vCard> cards = vCard::fromFile(QStringLiteral(":/res/vCard/contacts.vcf"), &ok);
    QVERIFY(ok);
    QCOMPARE(cards.size(), 2);
    for (const vCard& card : cards) {
      QCOMPARE(card.properties().size(), 1);
      const vCardProperty tel = card.property(QStringLiteral("TEL"));
      QCOMPARE(tel.name(), QStringLiteral("TEL"));
      QCOMPARE(tel.values().size(), 1);
      QVERIFY(QRegularExpression(QStringLiteral("^\\+\\d+$")).match(tel.value()).hasMatch());
      QCOMPARE(tel.params(), QList<vCardParam>{vCardParam(vCardParam::Other, "CELL")});
      QVERIFY(tel.isValid());
    }
  }

  // One card whose only content line is `line`: the property it yields.
  void propertyLines_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QList<vCardParam>>("params");
    QTest::addColumn<bool>("valid");
    using P = vCardParam;
    QTest::newRow("phone without parameters")
        << QByteArray("TEL:123") << "TEL" << QStringList{"123"} << QList<P>{P(P::Other, "")}
        << false;
    QTest::newRow("cell phone") << QByteArray("TEL;CELL:+86 138 0000 0000") << "TEL"
                                << QStringList{"+86 138 0000 0000"} << QList<P>{P(P::Other, "CELL")}
                                << true;
    QTest::newRow("multiple TYPE values")
        << QByteArray("TEL;TYPE=CELL,VOICE:555") << "TEL" << QStringList{"555"}
        << QList<P>{P(P::Type, "CELL"), P(P::Type, "VOICE")} << true;
    QTest::newRow("encoding and charset")
        << QByteArray("N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5;Ann") << "N"
        << QStringList{"=E5", "Ann"}
        << QList<P>{P(P::Charset, "UTF-8"), P(P::Encoding, "QUOTED-PRINTABLE")} << true;
    QTest::newRow("values with empty parts")
        << QByteArray("N;X:a;;b") << "N" << QStringList{"a", "", "b"} << QList<P>{P(P::Other, "X")}
        << true;
    QTest::newRow("web address kept whole")
        << QByteArray("URL;WORK:http://example.org/x") << "URL"
        << QStringList{"http://example.org/x"} << QList<P>{P(P::Other, "WORK")} << true;
    QTest::newRow("UTF-8 value") << QByteArray("FN;X:\xe5\xbc\xa0\xe4\xb8\x89") << "FN"
                                 << QStringList{QString::fromUtf8("\xe5\xbc\xa0\xe4\xb8\x89")}
                                 << QList<P>{P(P::Other, "X")} << true;
  }

  void propertyLines() {
    QFETCH(QByteArray, line);
    QFETCH(QString, name);
    QFETCH(QStringList, values);
    QFETCH(QList<vCardParam>, params);
    QFETCH(bool, valid);
    const QList<vCard> cards =
        vCard::fromByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n" + line + "\r\nEND:VCARD\r\n");
    QCOMPARE(cards.size(), 1);
    QCOMPARE(cards.first().properties().size(), 1);  // the version line is no property
    const vCardProperty property = cards.first().property(name);
    QCOMPARE(property.name(), name);
    QCOMPARE(property.values(), values);
    QCOMPARE(property.params(), params);
    QCOMPARE(property.isValid(), valid);
    QCOMPARE(property.value(), values.join(';'));
  }

  // Whole texts: how many cards, and the first TEL value of each.
  void cards_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("phones");
    QTest::newRow("repeated TEL;CELL: the second replaces the first")
        << QByteArray("BEGIN:VCARD\nTEL;CELL:1\nTEL;CELL:2\nEND:VCARD\n") << QStringList{"2"};
    QTest::newRow("two TEL kinds: the first stays first")
        << QByteArray("BEGIN:VCARD\nTEL;HOME:1\nTEL;CELL:2\nEND:VCARD\n") << QStringList{"1"};
    QTest::newRow("text outside cards ignored")
        << QByteArray(
               "junk\nTEL;CELL:9\nBEGIN:VCARD\nTEL;CELL:1\nEND:VCARD\nTEL;CELL:8\nEND:VCARD\n")
        << QStringList{"1"};
    QTest::newRow("missing END drops the card")
        << QByteArray("BEGIN:VCARD\nTEL;CELL:1\nEND:VCARD\nBEGIN:VCARD\nTEL;CELL:2\n")
        << QStringList{"1"};
    QTest::newRow("no END at all") << QByteArray("BEGIN:VCARD\nTEL;CELL:1\n") << QStringList{};
    QTest::newRow("BEGIN inside a card is no property")
        << QByteArray("BEGIN:VCARD\nBEGIN:VCARD\nTEL;CELL:1\nEND:VCARD\n") << QStringList{"1"};
    QTest::newRow("blanks and CR around lines")
        << QByteArray("  BEGIN:VCARD \r\n\tTEL;CELL:1\r\n END:VCARD\r\n") << QStringList{"1"};
    QTest::newRow("card without TEL")
        << QByteArray("BEGIN:VCARD\nFN;X:Ann\nEND:VCARD\n") << QStringList{""};
    QTest::newRow("empty") << QByteArray() << QStringList{};
  }

  void cards() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, phones);
    const QList<vCard> cards = vCard::fromByteArray(text);
    QStringList read;
    for (const vCard& card : cards) read << card.property(QStringLiteral("TEL")).value();
    QCOMPARE(read, phones);
  }

  void strictLookupMatchesParameters() {
    const QList<vCard> cards =
        vCard::fromByteArray("BEGIN:VCARD\nTEL;HOME:1\nTEL;CELL:2\nEND:VCARD\n");
    const QList<vCardParam> cell{vCardParam(vCardParam::Other, "CELL")};
    QCOMPARE(cards.first().property("TEL", cell, true).value(), QStringLiteral("2"));
    QCOMPARE(cards.first().property("TEL", cell, false).value(), QStringLiteral("1"));
    QVERIFY(!cards.first().property("EMAIL").isValid());
    QCOMPARE(cards.first().property("tel").name(), QString());  // names are case-sensitive
  }

  void unreadableFiles() {
    QTemporaryDir dir;
    bool ok = true;
    QVERIFY(vCard::fromFile(dir.filePath("missing.vcf"), &ok).isEmpty());
    QVERIFY(!ok);
    ok = true;
    QVERIFY(vCard::fromFile(dir.path(), &ok).isEmpty());  // a folder
    QVERIFY(!ok);

    // A card at the very start of an oversize file is not read either.
    QFile big(dir.filePath("big.vcf"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write("BEGIN:VCARD\nTEL;CELL:1\nEND:VCARD\n");
    big.resize(vCard::kMaxFileSize + 1);
    big.close();
    ok = true;
    QVERIFY(vCard::fromFile(big.fileName(), &ok).isEmpty());
    QVERIFY(!ok);

    QVERIFY(big.resize(vCard::kMaxFileSize));
    ok = false;
    QCOMPARE(vCard::fromFile(big.fileName(), &ok).size(), 1);
    QVERIFY(ok);
  }
};

TESMO_CLIENT_TEST_MAIN(TestVCard)
#include "tst_vcard.moc"
