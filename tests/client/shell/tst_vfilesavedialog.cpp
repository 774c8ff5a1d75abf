// Saving after the save dialog: copies, screen captures and the contacts template.
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/VFileSaveDialog.h"
#include "shell/VScreenImage.h"
#include "support/ClientTestMain.h"

namespace {

// The user's choice without a dialog on screen.
class ChoosingDialog : public VFileSaveDialog {
 public:
  QList<QUrl> chosen;
  QString filter;

 protected:
  QList<QUrl> selectedUrls() const override { return chosen; }
  QString selectedNameFilter() const override { return filter; }
};

// The save dialog on screen, when one shows.
QFileDialog* ShownFileDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QFileDialog*>(widget))
      if (dialog->isVisible()) return dialog;
  return nullptr;
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

class TestVFileSaveDialog : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  QString Path(const QString& name) const { return m_dir.filePath(name); }

 private slots:
  void saveAsTable() {
    Write(Path("source.txt"), "new bytes");
    Write(Path("old.txt"), "old bytes");
    Write(Path("readonly.txt"), "locked");
    QFile::setPermissions(Path("readonly.txt"), QFileDevice::ReadOwner);
    struct Row {
      const char* name;
      QString source;
      QString target;
      bool ok;
      QByteArray expected;  // what the target holds afterwards
    };
    const QString sourceUrl = QUrl::fromLocalFile(Path("source.txt")).toString();
    const Row rows[] = {
        {"new file", Path("source.txt"), Path("copy.txt"), true, "new bytes"},
        {"URLs on both sides", sourceUrl, QUrl::fromLocalFile(Path("url copy#1.txt")).toString(),
         true, "new bytes"},
        {"existing file replaced", Path("source.txt"), Path("old.txt"), true, "new bytes"},
        {"read-only target replaced", Path("source.txt"), Path("readonly.txt"), true, "new bytes"},
        {"onto itself", Path("source.txt"), sourceUrl, true, "new bytes"},
        {"missing source keeps the target", Path("missing.txt"), Path("copy.txt"), false,
         "new bytes"},
        {"folder as source", m_dir.path(), Path("folder.txt"), false, "<missing>"},
        {"target folder missing", Path("source.txt"), Path("no/such/x.txt"), false, "<missing>"},
        {"empty source", QString(), Path("empty1.txt"), false, "<missing>"},
        {"empty target", Path("source.txt"), QString(), false, ""},
    };
    VFileSaveDialog dialog;
    for (const Row& row : rows) {
      QSignalSpy result(&dialog, &VFileSaveDialog::saveAsResult);
      QCOMPARE(dialog.saveAs(row.source, row.target), row.ok);
      QCOMPARE(result.count(), 1);
      QCOMPARE(result.first().first().toBool(), row.ok);
      if (!row.target.isEmpty()) {
        const QString local =
            row.target.startsWith("file:") ? QUrl(row.target).toLocalFile() : row.target;
        QCOMPARE(Read(local), row.expected);
      }
    }
    QVERIFY(QFileInfo(Path("readonly.txt")).isWritable());
    // Nothing but the files named above is left in the folder (no temporary copies).
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).size(), 5);
  }

  void screenCaptureIsWrittenInTheFormatOfItsSuffix() {
    QImage screen(40, 30, QImage::Format_RGB32);
    screen.fill(qRgb(0, 0, 255));
    VScreenImage::setScreenImage(screen);
    VScreenImage item;
    QVERIFY(item.capture(QRect(0, 0, 20, 10)));
    VFileSaveDialog dialog;
    QSignalSpy result(&dialog, &VFileSaveDialog::saveAsScreenCaptureResult);
    dialog.saveAsScreenCapture(QUrl::fromLocalFile(Path("shot.bmp")).toString());
    dialog.saveAsScreenCapture(Path("shot.png"));
    dialog.saveAsScreenCapture(Path("shot.nosuchformat"));
    dialog.saveAsScreenCapture(QString());
    QCOMPARE(result.count(), 4);
    QCOMPARE(result.at(0).first().toBool(), true);
    QCOMPARE(result.at(1).first().toBool(), true);
    QCOMPARE(result.at(2).first().toBool(), false);
    QCOMPARE(result.at(3).first().toBool(), false);
    QCOMPARE(Read(Path("shot.bmp")).left(2), QByteArray("BM"));
    QCOMPARE(QImage(Path("shot.png")).size(), QSize(20, 10));
    QVERIFY(!QFileInfo::exists(Path("shot.nosuchformat")));
  }

  void vCardTemplateIsCopiedUnchanged() {
    if (!QFile::exists(VFileSaveDialog::vCardTemplatePath())) QSKIP("no contacts template");
    VFileSaveDialog dialog;
    QSignalSpy copy(&dialog, &VFileSaveDialog::saveAsResult);
    QSignalSpy vcard(&dialog, &VFileSaveDialog::saveVCardFileResult);
    dialog.saveVCardFile(QUrl::fromLocalFile(Path("contacts.vcf")).toString());
    dialog.saveVCardFile(QString());
    QCOMPARE(Read(Path("contacts.vcf")), Read(VFileSaveDialog::vCardTemplatePath()));
    QCOMPARE(copy.count(), 1);
    QCOMPARE(vcard.count(), 2);
    QCOMPARE(vcard.at(0).first().toBool(), true);
    QCOMPARE(vcard.at(1).first().toBool(), false);
    QVERIFY(QFileInfo(Path("contacts.vcf")).isWritable());
  }

  void acceptingTwiceWithTheSameFile() {
    ChoosingDialog dialog;
    QSignalSpy changed(&dialog, &VFileSaveDialog::fileUrlChanged);
    QSignalSpy accepted(&dialog, &VFileSaveDialog::accepted);
    dialog.chosen = {QUrl::fromLocalFile(Path("a.txt"))};
    dialog.accept();
    dialog.accept();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(accepted.count(), 2);
    QCOMPARE(dialog.fileUrl(), QUrl::fromLocalFile(Path("a.txt")));
    dialog.chosen.clear();
    dialog.accept();
    QCOMPARE(dialog.fileUrl(), QUrl::fromLocalFile(Path("a.txt")));
  }

  // A name whose suffix is not one of the chosen filter's takes the filter's first
  // (a dotted name such as "shot 1.5" has the suffix "5"); a filter without a plain
  // suffix adds nothing.
  void chosenNameTakesTheFilterSuffix_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("saved");
    QTest::newRow("png") << "shot"
                         << "PNG(*.png)"
                         << "shot.png";
    QTest::newRow("bmp") << "shot"
                         << "BMP(*.bmp)"
                         << "shot.bmp";
    QTest::newRow("semicolons") << "shot"
                                << "JPEG(*.jpg;*.jpeg)"
                                << "shot.jpg";
    QTest::newRow("spaces") << "shot"
                            << "JPEG (*.jpg *.jpeg)"
                            << "shot.jpg";
    QTest::newRow("right suffix kept") << "shot.png"
                                       << "PNG(*.png)"
                                       << "shot.png";
    QTest::newRow("second suffix of the filter kept") << "shot.jpeg"
                                                      << "JPEG(*.jpg;*.jpeg)"
                                                      << "shot.jpeg";
    QTest::newRow("upper case suffix kept") << "shot.PNG"
                                            << "PNG(*.png)"
                                            << "shot.PNG";
    QTest::newRow("wrong suffix") << "shot.bmp"
                                  << "PNG(*.png)"
                                  << "shot.bmp.png";
    QTest::newRow("dotted name") << "shot 1.5"
                                 << "PNG(*.png)"
                                 << "shot 1.5.png";
    QTest::newRow("dotted name, upper case filter") << "shot 1.5"
                                                    << "BMP(*.BMP)"
                                                    << "shot 1.5.BMP";
    QTest::newRow("hidden file") << ".shot"
                                 << "PNG(*.png)"
                                 << ".shot.png";
    QTest::newRow("hidden file with its suffix") << ".shot.png"
                                                 << "PNG(*.png)"
                                                 << ".shot.png";
    QTest::newRow("dotted folder") << "a.b/shot"
                                   << "PNG(*.png)"
                                   << "a.b/shot.png";
    QTest::newRow("all files") << "notes"
                               << "All files (*)"
                               << "notes";
    QTest::newRow("no filter") << "notes"
                               << ""
                               << "notes";
    QTest::newRow("vcards") << "contacts"
                            << "vCards (*.vcf)"
                            << "contacts.vcf";
  }

  void chosenNameTakesTheFilterSuffix() {
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, saved);
    ChoosingDialog dialog;
    dialog.chosen = {QUrl::fromLocalFile(Path(typed))};
    dialog.filter = filter;
    dialog.accept();
    QCOMPARE(dialog.fileUrl(), QUrl::fromLocalFile(Path(saved)));
  }

  // The screenshot's way through Qt's own dialog: the proposed name, the BMP
  // filter chosen, and the capture lands as a BMP file of that name.
  void screenshotSavedUnderTheProposedName() {
    QImage screen(40, 30, QImage::Format_RGB32);
    screen.fill(qRgb(0, 128, 0));
    VScreenImage::setScreenImage(screen);
    VScreenImage item;
    QVERIFY(item.capture(QRect(0, 0, 20, 10)));
    VFileSaveDialog dialog;
    dialog.setNameFilters({"PNG(*.png)", "BMP(*.bmp)", "JPEG(*.jpg;*.jpeg)"});
    dialog.setFilename(Path("TesmoChat_20240102030405006"));
    QSignalSpy saved(&dialog, &VFileSaveDialog::saveAsScreenCaptureResult);
    connect(&dialog, &VFileSaveDialog::accepted, &dialog,
            [&dialog] { dialog.saveAsScreenCapture(dialog.fileUrl().toString()); });
    dialog.open();
    QFileDialog* shown = ShownFileDialog();
    QVERIFY(shown);
    QCOMPARE(shown->nameFilters().last(), QStringLiteral("JPEG(*.jpg *.jpeg)"));
    shown->selectNameFilter(QStringLiteral("BMP(*.bmp)"));
    // The proposed name stands in the name field; Return takes it.
    auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    QCOMPARE(name->text(), QStringLiteral("TesmoChat_20240102030405006"));
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(saved.count(), 1);
    QCOMPARE(saved.first().first().toBool(), true);
    QCOMPARE(dialog.fileUrl(), QUrl::fromLocalFile(Path("TesmoChat_20240102030405006.bmp")));
    QCOMPARE(Read(Path("TesmoChat_20240102030405006.bmp")).left(2), QByteArray("BM"));
  }

  void settersSignalOnlyOnChange() {
    VFileSaveDialog dialog;
    QVERIFY(dialog.valid());
    QSignalSpy name(&dialog, &VFileSaveDialog::filenameChanged);
    QSignalSpy filters(&dialog, &VFileSaveDialog::nameFiltersChanged);
    dialog.setFilename("x");
    dialog.setFilename("x");
    dialog.setNameFilters({"PNG(*.png)"});
    dialog.setNameFilters({"PNG(*.png)"});
    dialog.setNameFilters({"PNG(*.png)", "BMP(*.bmp)"});
    QCOMPARE(name.count(), 1);
    QCOMPARE(filters.count(), 2);
  }

  // The dialog starts in the pictures folder for pictures and in the documents folder
  // otherwise, made when missing, never in the working folder; the proposed name is
  // placed there.
  void startsInThePicturesOrDocumentsFolder_data() {
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("folder");
    QTest::newRow("screen capture")
        << QStringList{"PNG(*.png)", "BMP(*.bmp)", "JPEG(*.jpg;*.jpeg)"} << "Pictures";
    QTest::newRow("contacts template") << QStringList{"vCards (*.vcf)"} << "Documents";
    QTest::newRow("any file") << QStringList{"All files (*)"} << "Documents";
    QTest::newRow("no filter") << QStringList{} << "Documents";
    QTest::newRow("pictures and more")
        << QStringList{"PNG(*.png)", "vCards (*.vcf)"} << "Documents";
  }

  void startsInThePicturesOrDocumentsFolder() {
    QFETCH(QStringList, filters);
    QFETCH(QString, folder);
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    {
      QQuickItem parent;
      VFileSaveDialog dialog(&parent);
      dialog.setNameFilters(filters);
      dialog.setFilename(QStringLiteral("TesmoChat_20240101120000000"));
      dialog.open();
      QFileDialog* shown = nullptr;
      for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* fileDialog = qobject_cast<QFileDialog*>(widget))
          if (fileDialog->isVisible()) shown = fileDialog;
      QVERIFY(shown);
      QCOMPARE(shown->directory().absolutePath(), home.path() + "/" + folder);
      QVERIFY(QFileInfo(home.path() + "/" + folder).isDir());
      QCOMPARE(shown->selectedFiles(),
               QStringList{home.path() + "/" + folder + "/TesmoChat_20240101120000000"});
      dialog.close();
    }
    qputenv("HOME", oldHome);
  }
};

TESMO_CLIENT_TEST_MAIN(TestVFileSaveDialog)
#include "tst_vfilesavedialog.moc"
