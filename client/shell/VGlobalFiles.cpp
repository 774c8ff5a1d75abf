// VGlobal's file and text helpers: classification, icons, image sizes, revealing a
// file, and the message input's rich text back to plain text.
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeType>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>
#include <QXmlStreamReader>

#include "shell/VGlobal.h"
#include "shell/VGlobalPrivate.h"
#include "shell/VStartFolder.h"

namespace {
const QString kImageSuffixes = QStringLiteral("*.png *.jpeg *.jpg *.bmp *.gif");
const QString kArchiveSuffixes = QStringLiteral("*.7z *.zip *.rar *.cab *.iso *.gz *.bz2 *.tar");
const QString kWordSuffixes = QStringLiteral("*.doc *.docx *.docm *.dotx *.dotm");
const QString kExcelSuffixes = QStringLiteral("*.xls *.xlsx *.xlsm *.xltx *.xltm *.xlsb *.xlam");
const QString kPptSuffixes = QStringLiteral("*.ppt *.pptx *.pptm *.ppsx *.potx *.potm *.ppam");
// Containment tests on these texts also accept "amr", "au" and "mp4", written
// "*amr", ".au" and "*mp4".
const QString kAudioSuffixes = QStringLiteral(
    "*.mp3 *.wma *.wav *.raw *.ogg *.oga *.mogg *.aa *.aac *.aax *.act *.aiff *amr *.ape .au "
    "*.m4a *.m4b *.m4p");
const QString kVideoSuffixes = QStringLiteral(
    "*.wmv *.asf *.asx *.avi *.mpg *.rm *.rmvb *.mov *.m4v *.mkv *.dat *.vob *.flv *.3gp *mp4");
const QString kIconFolder = QStringLiteral("qrc:/images/session_page/files/");

QString Lower(const VGlobal* global, const QString& fileName) {
  return global->suffixOnlyByFileName(fileName).toLower();
}

QString StripTrailingLineEnds(QString text) {
  while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
  return text;
}

// Removes the first line break when it does not open the text.
void RemoveLineBreakAt(QString& text, int index, const char* label) {
  qDebug() << label << index;
  if (index > 0) text.remove(index, 1);
}
}  // namespace

QString VGlobal::urlToPath(const QString& url) const {
  QString path = url;
  if (path.startsWith(QStringLiteral("qrc:/"))) path.remove(0, 3);
  // A local-file URL becomes its absolute path (cutting "file:///" would leave a
  // relative one here).
  if (path.startsWith(QStringLiteral("file:///"))) path = QUrl(path).toLocalFile();
  return path;
}

QString VGlobal::suffix(const QString& fileName) const {
  const QFileInfo info(urlToPath(fileName));
  return info.exists() ? info.suffix() : QString();
}

QString VGlobal::suffixOnlyByFileName(const QString& fileName) const {
  return fileName.split(QLatin1Char('.')).last();
}

QString VGlobal::format(const QString& fileName) const {
  const QString byContent =
      d->mimeDatabase.mimeTypeForFile(fileName, QMimeDatabase::MatchContent).preferredSuffix();
  if (!byContent.isEmpty()) return byContent;
  return d->mimeDatabase.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).preferredSuffix();
}

QString VGlobal::mimeType(const QString& fileName) const {
  const QMimeType byContent =
      d->mimeDatabase.mimeTypeForFile(fileName, QMimeDatabase::MatchContent);
  if (!byContent.preferredSuffix().isEmpty()) return byContent.name();
  return d->mimeDatabase.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).name();
}

bool VGlobal::fileExists(const QString& fileName) const {
  return QFileInfo::exists(urlToPath(fileName));
}

bool VGlobal::isDir(const QString& fileName) const {
  const bool dir = QFileInfo(urlToPath(fileName)).isDir();
  qDebug() << Q_FUNC_INFO << fileName << dir;
  return dir;
}

QSize VGlobal::imageSize(const QString& fileName) const {
  const QString path = urlToPath(fileName);
  d->imageReader.setFormat(format(path).toLatin1());
  d->imageReader.setFileName(path);
  return d->imageReader.size();
}

bool VGlobal::isImage(const QString& fileName) const {
  // The MIME database names JPEG "jpg" or "jpeg" depending on its version: both
  // sides are compared as "jpeg".
  const auto normalized = [](QString suffix) {
    suffix = suffix.toLower();
    return suffix == QLatin1String("jpg") ? QStringLiteral("jpeg") : suffix;
  };
  const QString ownSuffix = normalized(suffix(fileName));
  const QString realFormat = normalized(format(urlToPath(fileName)));
  qDebug() << Q_FUNC_INFO << ownSuffix << realFormat;
  // The file must exist; a name that claims an image type is not enough.
  return !ownSuffix.isEmpty() && ownSuffix == realFormat && kImageSuffixes.contains(ownSuffix);
}

bool VGlobal::isTextFile(const QString& fileName) const {
  if (Lower(this, fileName) == QLatin1String("txt")) return true;
  const QString type = mimeType(urlToPath(fileName));
  qDebug() << Q_FUNC_INFO << type;
  return type == QLatin1String("text/plain");
}

bool VGlobal::isZip(const QString& fileName) const {
  return kArchiveSuffixes.contains(Lower(this, fileName));
}
bool VGlobal::isAudio(const QString& fileName) const {
  return kAudioSuffixes.contains(Lower(this, fileName));
}
bool VGlobal::isVideo(const QString& fileName) const {
  return kVideoSuffixes.contains(Lower(this, fileName));
}
bool VGlobal::isWordFile(const QString& fileName) const {
  return kWordSuffixes.contains(Lower(this, fileName));
}
bool VGlobal::isExcelFile(const QString& fileName) const {
  return kExcelSuffixes.contains(Lower(this, fileName));
}
bool VGlobal::isPPTFile(const QString& fileName) const {
  return kPptSuffixes.contains(Lower(this, fileName));
}
bool VGlobal::isPDF(const QString& fileName) const {
  return Lower(this, fileName) == QLatin1String("pdf");
}
bool VGlobal::isPS(const QString& fileName) const {
  return Lower(this, fileName) == QLatin1String("psd");
}
bool VGlobal::isAI(const QString& fileName) const {
  return Lower(this, fileName) == QLatin1String("ai");
}
bool VGlobal::isPages(const QString& fileName) const {
  return Lower(this, fileName) == QLatin1String("pages");
}
bool VGlobal::isNumbers(const QString& fileName) const {
  return Lower(this, fileName) == QLatin1String("numbers");
}
bool VGlobal::isKeynote(const QString& fileName) const {
  return Lower(this, fileName) == QLatin1String("key");
}

QString VGlobal::fileIconQrc(const QString& fileName) const {
  using Test = bool (VGlobal::*)(const QString&) const;
  static const struct {
    Test test;
    const char* icon;
  } kIcons[] = {
      {&VGlobal::isTextFile, "file_icon_txt.png"},
      {&VGlobal::isZip, "file_icon_zip.png"},
      {&VGlobal::isAudio, "file_icon_audio.png"},
      {&VGlobal::isVideo, "file_icon_video.png"},
      {&VGlobal::isWordFile, "file_icon_word.png"},
      {&VGlobal::isExcelFile, "file_icon_excel.png"},
      {&VGlobal::isPPTFile, "file_icon_ppt.png"},
      {&VGlobal::isPDF, "file_icon_pdf.png"},
      {&VGlobal::isPages, "file_icon_pages.png"},
      {&VGlobal::isNumbers, "file_icon_numbers.png"},
      {&VGlobal::isKeynote, "file_icon_keynote.png"},
      {&VGlobal::isPS, "file_icon_ps.png"},
      {&VGlobal::isAI, "file_icon_ai.png"},
  };
  for (const auto& row : kIcons)
    if ((this->*row.test)(fileName)) return kIconFolder + QLatin1String(row.icon);
  return kIconFolder + QStringLiteral("file_icon_others.png");
}

QString VGlobal::supportImageFormat() const { return kImageSuffixes; }

void VGlobal::showFileInFolder(const QString& path) const {
  // No common command reveals a selected file on Linux desktops: the default
  // handler opens the folder that holds it.
  const QFileInfo info(urlToPath(path));
  const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
  qDebug() << Q_FUNC_INFO << folder;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
    qWarning() << Q_FUNC_INFO << "cannot open" << folder;
}

QString VGlobal::htmlTextToPlainText(const QString& htmlText) const {
  QString text = htmlText;
  text.remove(QRegularExpression(QStringLiteral("<head>(.*)</head>"),
                                 QRegularExpression::DotMatchesEverythingOption));
  RemoveLineBreakAt(text, text.indexOf(QLatin1Char('\n')), "first \\n index: ");
  RemoveLineBreakAt(text, text.indexOf(QLatin1Char('\n')), "second \\n index: ");
  RemoveLineBreakAt(text, text.lastIndexOf(QLatin1Char('\n')), "last \\n index: ");
  text.replace(QStringLiteral("<br />"), QStringLiteral("\n"));

  QString output;
  QXmlStreamReader reader(text);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isCharacters()) output += reader.text();
  }
  if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
    // Cutting the message at the first odd token would send half of it: the rich
    // text's own plain form keeps all of it.
    qWarning() << Q_FUNC_INFO << "malformed input:" << reader.errorString();
    QTextDocument document;
    document.setHtml(htmlText);
    output = document.toPlainText();
  }
  return StripTrailingLineEnds(output);
}

QString VGlobal::richTextToPlainText(const QString& html) const {
  // The rich-text reader knows which elements end a block, which an XML reading
  // of the markup cannot tell from the inline ones.
  QTextDocument document;
  document.setHtml(html);
  QString text = document.toPlainText();
  text.remove(QChar::ObjectReplacementCharacter);
  return text;
}

QUrl VGlobal::documentsFolder() const {
  return QUrl::fromLocalFile(VStartFolder::path(VStartFolder::Documents, /*make=*/false));
}

QUrl VGlobal::picturesFolder() const {
  return QUrl::fromLocalFile(VStartFolder::path(VStartFolder::Pictures, /*make=*/false));
}
