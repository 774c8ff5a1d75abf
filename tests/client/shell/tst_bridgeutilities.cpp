// The bridge's shared helpers: JSON maps, database shortcuts, files and texts.
#include <QDateTime>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "double/EngineDouble.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "support/ClientTestMain.h"

namespace {
bool Touch(const QString& path, const QByteArray& content = "x") {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

int CountCalls(const std::string& name) {
  int count = 0;
  for (const std::string& called : EngineDouble::CallNames()) count += called == name;
  return count;
}
}  // namespace

class TestBridgeUtilities : public QObject {
  Q_OBJECT

  ImUiInterface* ui() { return ImUiInterface::instance(); }
  QTemporaryDir m_dir;

 private slots:
  void initTestCase() { QVERIFY(m_dir.isValid()); }

  void convJsonToVariantMap_data() {
    QTest::addColumn<QString>("json");
    QTest::addColumn<QVariantMap>("expected");
    QVariantMap nested;
    nested.insert("a", 1);
    nested.insert("b", QVariantMap{{"c", QVariantList{1, "two"}}});
    QTest::newRow("empty") << "" << QVariantMap();
    QTest::newRow("object") << "{\"a\":1,\"b\":{\"c\":[1,\"two\"]}}" << nested;
    QTest::newRow("array") << "[1,2]" << QVariantMap();
    QTest::newRow("text") << "\"text\"" << QVariantMap();
    QTest::newRow("broken") << "{\"a\":" << QVariantMap();
    QTest::newRow("trailing garbage") << "{\"a\":1} x" << QVariantMap();
    QTest::newRow("utf-8") << QString::fromUtf8("{\"nick\":\"\xe5\xbc\xa0\xe4\xb8\x89\"}")
                           << QVariantMap{{"nick", QString::fromUtf8("\xe5\xbc\xa0\xe4\xb8\x89")}};
  }

  void convJsonToVariantMap() {
    QFETCH(QString, json);
    QFETCH(QVariantMap, expected);
    const QVariantMap map = ui()->convJsonToVariantMap(json);
    QCOMPARE(QJsonDocument::fromVariant(map).toJson(),
             QJsonDocument::fromVariant(expected).toJson());
  }

  void databaseShortcutsWithoutDatabase() {
    EngineDouble::Reset();
    QVERIFY(!ui()->dbExecSql("create table t(a)"));
    QCOMPARE(ui()->getDataCount("select * from nq_message"), 0);
    // An empty statement is not even asked.
    QCOMPARE(ui()->getDataCount(""), 0);
    QCOMPARE(CountCalls("DBSelectSql"), 1);
    QCOMPARE(CountCalls("DBRelease"), 1);
  }

  void databaseShortcutsWithDatabase() {
    ui()->initInterface();
    QCOMPARE(ui()->SetDatabase(":memory:"), 2);
    EngineDouble::Reset();
    // The engine's own tables are there from the start.
    QVERIFY(!ui()->dbExecSql("create table nq_contact(account text, name text)"));
    QVERIFY(
        ui()->dbExecSql(QString::fromUtf8("insert into nq_contact(userid,account,name) "
                                          "values(1,'1','a'),(2,'2','\xe5\xbc\xa0'),(3,'3','c')")));
    QVERIFY(!ui()->dbExecSql("insert into no_such_table values(1)"));
    QCOMPARE(ui()->getDataCount("select * from nq_contact"), 3);
    QCOMPARE(
        ui()->getDataCount(QString::fromUtf8("select * from nq_contact where name='\xe5\xbc\xa0'")),
        1);
    QCOMPARE(ui()->getDataCount("select * from nq_contact where account='9'"), 0);
    QCOMPARE(ui()->getDataCount("select broken sql"), 0);
    // Every record set is released, the failed one (handle 0) included.
    QCOMPARE(CountCalls("DBSelectSql"), 4);
    QCOMPARE(CountCalls("DBRelease"), 4);
  }

  // The double's database carries the engine's schema: every nq_ table with the
  // columns added by upgrades, and the message indexes.
  void databaseHasTheEngineSchema() {
    ui()->initInterface();
    QTemporaryDir dir;
    QCOMPARE(ui()->SetDatabase(dir.filePath("account.db").toUtf8().constData()), 2);
    for (const char* table : {"nq_saveinfo", "nq_messagenew", "nq_message", "nq_group",
                              "nq_groupuser", "nq_contact", "nq_redlist", "nq_remark"}) {
      QCOMPARE(ui()->getDataCount(QStringLiteral("select name from sqlite_master where "
                                                 "type='table' and name='%1'")
                                      .arg(table)),
               1);
    }
    QVERIFY(
        ui()->dbExecSql("insert into nq_message(msgtype,fromuser,touser,totype,content,"
                        "sendtime,revokeflag,fwflag) values(0,'a','b',0,'hi',"
                        "'2026-01-01 10:00:00',0,0)"));
    QCOMPARE(ui()->getDataCount("select id from nq_message indexed by msg_fromuser "
                                "where fromuser='a' and totype=0 and deleted=0"),
             1);
  }

  void distinct_data() {
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("free name") << QStringList() << "free.txt"
                               << "free.txt";
    QTest::newRow("taken") << QStringList{"photo.jpg"} << "photo.jpg"
                           << "photo_1.jpg";
    QTest::newRow("taken twice") << QStringList{"doc.pdf", "doc_1.pdf"} << "doc.pdf"
                                 << "doc_2.pdf";
    QTest::newRow("two dots") << QStringList{"a.tar.gz"} << "a.tar.gz"
                              << "a_1.gz";
    QTest::newRow("no suffix") << QStringList{"readme"} << "readme"
                               << "readme_1.";
  }

  void distinct() {
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString& file : existing) QVERIFY(Touch(dir.filePath(file)));
    const QString path = dir.filePath(name);
    const QString result = ui()->distinct(path);
    if (existing.isEmpty()) {
      QCOMPARE(result, path);
    } else {
      QCOMPARE(result, QFileInfo(dir.path()).absoluteFilePath() + "/" + expected);
      QVERIFY(!QFileInfo::exists(result));
    }
  }

  void getSizeStr_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("expected");
    const qint64 k = 1024;
    QTest::newRow("zero") << qint64(0) << "0B";
    QTest::newRow("negative") << qint64(-5) << "-5B";
    QTest::newRow("1023") << qint64(1023) << "1023B";
    QTest::newRow("1024 stays") << k << "1024B";
    QTest::newRow("1025") << k + 1 << "1KB";
    QTest::newRow("1536") << k + 512 << "1KB";
    QTest::newRow("1 MB stays KB") << k * k << "1024KB";
    QTest::newRow("5 MB") << 5 * k * k << "5MB";
    QTest::newRow("3 GB") << 3 * k * k * k << "3GB";
    QTest::newRow("2 TB") << 2 * k * k * k * k << "2TB";
    QTest::newRow("TB is the last unit") << 3 * k * k * k * k * k << "3072TB";
  }

  void getSizeStr() {
    QFETCH(qint64, size);
    QFETCH(QString, expected);
    QCOMPARE(ui()->getSizeStr(size), expected);
  }

  void getPeerAccount_data() {
    QTest::addColumn<QString>("fromuser");
    QTest::addColumn<QString>("touser");
    QTest::addColumn<QString>("expected");
    QTest::newRow("received") << "peer"
                              << "me"
                              << "peer";
    QTest::newRow("sent") << "me"
                          << "peer"
                          << "peer";
    QTest::newRow("group message") << "someone"
                                   << "g1@group"
                                   << "g1@group";
    QTest::newRow("neither is me") << "x"
                                   << "y"
                                   << "y";
  }

  void getPeerAccount() {
    QFETCH(QString, fromuser);
    QFETCH(QString, touser);
    QFETCH(QString, expected);
    VConfig::instance()->setValue("LastloginAccount", "8613800000000");
    VConfig::instance()->setValue("MY_ACCOUNT", "me");
    QCOMPARE(ui()->getPeerAccount(fromuser, touser), expected);
  }

  void getImageSize_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asUrl");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("png") << "png"
                         << "a.png" << false << QSize(30, 20);
    QTest::newRow("jpeg") << "jpg"
                          << "b.jpg" << false << QSize(30, 20);
    QTest::newRow("jpeg named png") << "jpg"
                                    << "c.png" << false << QSize(30, 20);
    QTest::newRow("bmp") << "bmp"
                         << "d.bmp" << false << QSize(30, 20);
    QTest::newRow("file url") << "png"
                              << "e.png" << true << QSize(30, 20);
    QTest::newRow("missing") << ""
                             << "none.png" << false << QSize();
    QTest::newRow("not an image") << "text"
                                  << "f.png" << false << QSize();
  }

  void getImageSize() {
    QFETCH(QString, format);
    QFETCH(QString, name);
    QFETCH(bool, asUrl);
    QFETCH(QSize, expected);
    const QString path = m_dir.filePath(name);
    if (format == "text") {
      QVERIFY(Touch(path, "not a picture"));
    } else if (!format.isEmpty()) {
      QImage image(30, 20, QImage::Format_RGB32);
      image.fill(Qt::red);
      QVERIFY(image.save(path, format.toLatin1()));
    }
    const QString given = asUrl ? QUrl::fromLocalFile(path).toString() : path;
    QCOMPARE(ui()->getImageSize(given), expected);
  }

  // A photo stored sideways is measured as it is shown.
  void getImageSizeAppliesJpegOrientation() {
    const QString path = m_dir.filePath("turned.jpg");
    QImageWriter writer(path, "jpg");
    if (!writer.supportsOption(QImageIOHandler::ImageTransformation))
      QSKIP("this Qt cannot store a JPEG orientation");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QImage image(40, 10, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(writer.write(image));
    QCOMPARE(ui()->getImageSize(path), QSize(10, 40));
  }

  void fileNameAndSize() {
    const QString path = m_dir.filePath("sized.bin");
    QVERIFY(Touch(path, QByteArray(1234, 'z')));
    QCOMPARE(ui()->getFileName(path), QStringLiteral("sized.bin"));
    QCOMPARE(ui()->getFileSize(path), qint64(1234));
    QCOMPARE(ui()->getFileName(m_dir.filePath("missing.bin")), QString());
    QCOMPARE(ui()->getFileSize(m_dir.filePath("missing.bin")), qint64(0));
  }

  void checkFileExists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asUrl");
    QTest::addColumn<bool>("create");
    QTest::newRow("plain path") << "here.txt" << false << true;
    QTest::newRow("file url") << "url.txt" << true << true;
    QTest::newRow("file url with blank") << "a b.txt" << true << true;
    QTest::newRow("missing") << "gone.txt" << false << false;
    QTest::newRow("missing url") << "gone2.txt" << true << false;
  }

  void checkFileExists() {
    QFETCH(QString, name);
    QFETCH(bool, asUrl);
    QFETCH(bool, create);
    const QString path = m_dir.filePath(name);
    if (create) QVERIFY(Touch(path));
    const QString given = asUrl ? QUrl::fromLocalFile(path).toString() : path;
    QCOMPARE(ui()->checkFileExists(given), create);
  }

  void removeFilePrefix_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");
    QTest::newRow("absolute url") << "file:///tmp/a.txt"
                                  << "/tmp/a.txt";
    QTest::newRow("encoded blank") << "file:///tmp/a%20b.txt"
                                   << "/tmp/a b.txt";
    QTest::newRow("plain absolute") << "/tmp/a.txt"
                                    << "/tmp/a.txt";
    QTest::newRow("relative") << "dir/a.txt"
                              << "dir/a.txt";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("other scheme") << "qrc:/images/a.png"
                                  << "qrc:/images/a.png";
  }

  void removeFilePrefix() {
    QFETCH(QString, given);
    QFETCH(QString, expected);
    QCOMPARE(ui()->removeFilePrefix(given), expected);
  }

  void removeFileAndMakePath() {
    const QString file = m_dir.filePath("doomed.txt");
    QVERIFY(Touch(file));
    QVERIFY(ui()->removeFile(file));
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!ui()->removeFile(file));

    const QString nested = m_dir.filePath("data/8613800000000/Images/");
    QVERIFY(ui()->makePath(nested));
    QVERIFY(QFileInfo(nested).isDir());
    QVERIFY(ui()->makePath(nested));
    const QString blocker = m_dir.filePath("plainfile");
    QVERIFY(Touch(blocker));
    QVERIFY(!ui()->makePath(blocker + "/sub"));
  }

  void convertFilePathAndTimes() {
    QCOMPARE(ui()->convertFilePath("/tmp/x.amr", "mp3"), QStringLiteral("/tmp/x.amr"));
    QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d$")
                .match(ui()->getCurrentTime())
                .hasMatch());
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    bool ok = false;
    const qint64 stamp = ui()->getCurrentMSecs().toLongLong(&ok);
    QVERIFY(ok);
    QVERIFY(stamp >= before && stamp <= QDateTime::currentMSecsSinceEpoch());
  }
};

TESMO_CLIENT_TEST_MAIN(TestBridgeUtilities)
#include "tst_bridgeutilities.moc"
