#include "shell/VFileSaveDialog.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QSaveFile>

#include "shell/VScreenImage.h"
#include "shell/VStartFolder.h"

namespace {

constexpr qint64 kCopyPiece = 1 << 16;

// Copies source over target in one step: the bytes go to a temporary file beside the
// target, which replaces it only when complete. A failed copy leaves the old target.
bool ReplaceByCopy(const QString& source, const QString& target) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) return false;
  QSaveFile out(target);
  // The target may be read-only: what replaces it is written fresh and renamed.
  out.setDirectWriteFallback(false);
  if (!out.open(QIODevice::WriteOnly)) return false;
  QByteArray piece;
  while (!(piece = in.read(kCopyPiece)).isEmpty()) {
    if (out.write(piece) != piece.size()) {
      out.cancelWriting();
      return false;
    }
  }
  if (in.error() != QFileDevice::NoError) {
    out.cancelWriting();
    return false;
  }
  if (!out.commit()) return false;
  // A copy of a resource is read-only; the user's file must not be.
  QFile::setPermissions(
      target, QFile::permissions(target) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  return true;
}

// "JPEG(*.jpg;*.jpeg)": the patterns of a filter, which may be parted by spaces
// or, as on some desktops, by semicolons.
QStringList FilterPatterns(const QString& filter) {
  const int open = filter.lastIndexOf(QLatin1Char('('));
  const int close = filter.lastIndexOf(QLatin1Char(')'));
  const QString inside =
      open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter;
  return inside.split(QRegularExpression(QStringLiteral("[ ;]+")), Qt::SkipEmptyParts);
}

// Qt's own dialog reads only spaces between a filter's patterns.
QString WithSpacedPatterns(const QString& filter) {
  const int open = filter.lastIndexOf(QLatin1Char('('));
  if (open < 0 || !filter.endsWith(QLatin1Char(')'))) return filter;
  return filter.left(open + 1) + FilterPatterns(filter).join(QLatin1Char(' ')) + QLatin1Char(')');
}

}  // namespace

QStringList VFileSaveDialog::suffixesOfFilter(const QString& filter) {
  static const QRegularExpression plain(QStringLiteral("^\\*\\.([A-Za-z0-9]+)$"));
  QStringList suffixes;
  for (const QString& pattern : FilterPatterns(filter)) {
    const QRegularExpressionMatch match = plain.match(pattern);
    if (match.hasMatch()) suffixes << match.captured(1);
  }
  return suffixes;
}

QString VFileSaveDialog::suffixOfFilter(const QString& filter) {
  const QStringList suffixes = suffixesOfFilter(filter);
  return suffixes.isEmpty() ? QString() : suffixes.first();
}

QUrl VFileSaveDialog::withFilterSuffix(const QUrl& chosen, const QString& filter) {
  if (!chosen.isLocalFile()) return chosen;
  const QString path = chosen.toLocalFile();
  const QFileInfo info(path);
  const QStringList suffixes = suffixesOfFilter(filter);
  if (suffixes.isEmpty() || info.fileName().isEmpty()) return chosen;
  // "shot 1.5" has the suffix "5", which names no format of the filter: only a
  // suffix of the filter's own may stand.
  if (suffixes.contains(info.suffix(), Qt::CaseInsensitive)) return chosen;
  return QUrl::fromLocalFile(path + QLatin1Char('.') + suffixes.first());
}

VFileSaveDialog::VFileSaveDialog(QQuickItem* parent) : QQuickItem(parent) {}

VFileSaveDialog::~VFileSaveDialog() {
  if (m_dialog) {
    m_dialog->hide();
    delete m_dialog;
  }
}

bool VFileSaveDialog::valid() const {
  // The dialog is a widget: it needs the widgets application the program runs.
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void VFileSaveDialog::setFilename(const QString& filename) {
  if (m_filename == filename) return;
  m_filename = filename;
  emit filenameChanged();
}

void VFileSaveDialog::setTitle(const QString& title) {
  if (m_title == title) return;
  m_title = title;
  emit titleChanged();
}

void VFileSaveDialog::setNameFilters(const QStringList& nameFilters) {
  if (m_nameFilters == nameFilters) return;
  m_nameFilters = nameFilters;
  emit nameFiltersChanged();
}

void VFileSaveDialog::open() {
  if (!valid()) return;
  // First, so that QML can still set the proposed name.
  emit aboutToOpen();
  if (!m_dialog) {
    m_dialog = new QFileDialog;
    connect(m_dialog, &QFileDialog::accepted, this, &VFileSaveDialog::accept);
    connect(m_dialog, &QFileDialog::rejected, this, &VFileSaveDialog::reject);
  }
  m_dialog->setFileMode(QFileDialog::AnyFile);
  m_dialog->setAcceptMode(QFileDialog::AcceptSave);
  m_dialog->setWindowTitle(m_title);
  QStringList filters;
  for (const QString& filter : qAsConst(m_nameFilters)) filters << WithSpacedPatterns(filter);
  m_dialog->setNameFilters(filters);
  // A bare proposed name starts in the pictures or documents folder, not in the
  // working folder.
  const QString folder =
      VStartFolder::path(VStartFolder::forNameFilters(m_nameFilters), /*make=*/true);
  m_dialog->setDirectory(folder);
  m_dialog->selectFile(m_filename.isEmpty() || QDir::isAbsolutePath(m_filename)
                           ? m_filename
                           : QDir(folder).filePath(m_filename));
  m_dialog->setWindowModality(Qt::WindowModal);
  m_dialog->setWindowFlags(m_title.isEmpty() ? Qt::Dialog : Qt::Dialog | Qt::WindowTitleHint);
  // A widget cannot have a Qt Quick window as parent; the platform window can.
  if (QQuickWindow* parentWindow = window()) {
    m_dialog->winId();
    if (QWindow* handle = m_dialog->windowHandle()) handle->setTransientParent(parentWindow);
  }
  m_dialog->show();
  m_visible = m_dialog->isVisible();
}

void VFileSaveDialog::close() {
  if (!m_dialog) return;
  emit aboutToClose();
  m_dialog->hide();
  m_visible = false;
}

QList<QUrl> VFileSaveDialog::selectedUrls() const {
  return m_dialog ? m_dialog->selectedUrls() : QList<QUrl>();
}

QString VFileSaveDialog::selectedNameFilter() const {
  return m_dialog ? m_dialog->selectedNameFilter() : QString();
}

void VFileSaveDialog::accept() {
  if (m_dialog) m_dialog->hide();
  m_visible = false;
  const QList<QUrl> chosen = selectedUrls();
  // A name typed without a suffix takes the chosen filter's: the pictures are
  // written in the format their suffix names, and a bare name names none.
  const QUrl url =
      chosen.isEmpty() ? QUrl() : withFilterSuffix(chosen.first(), selectedNameFilter());
  if (!url.isEmpty() && url != m_fileUrl) {
    m_fileUrl = url;
    emit fileUrlChanged();
  }
  emit accepted();
}

void VFileSaveDialog::reject() {
  if (m_dialog) m_dialog->hide();
  m_visible = false;
  emit rejected();
}

QString VFileSaveDialog::toPath(const QString& pathOrUrl) {
  if (pathOrUrl.startsWith(QLatin1String("qrc:"))) return QLatin1Char(':') + QUrl(pathOrUrl).path();
  if (pathOrUrl.startsWith(QLatin1String("file:"))) {
    const QUrl url(pathOrUrl);
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return pathOrUrl;
}

bool VFileSaveDialog::saveAs(const QString& sourcePath, const QString& targetPath) {
  bool ok = false;
  if (!sourcePath.isEmpty() && !targetPath.isEmpty()) {
    const QString source = toPath(sourcePath);
    const QString target = toPath(targetPath);
    const QFileInfo sourceInfo(source);
    if (sourceInfo.exists() && sourceInfo.isFile()) {
      const QFileInfo targetInfo(target);
      // Saving a file onto itself keeps it as it is.
      if (targetInfo.exists() && sourceInfo.canonicalFilePath() == targetInfo.canonicalFilePath())
        ok = true;
      else
        ok = ReplaceByCopy(source, target);
    }
    qDebug() << Q_FUNC_INFO << source << "->" << target << ok;
  }
  emit saveAsResult(ok);
  return ok;
}

void VFileSaveDialog::saveAsScreenCapture(const QString& targetPath) {
  bool ok = false;
  if (!targetPath.isEmpty()) {
    const QImage image = VScreenImage::capturedImage();
    const QString target = toPath(targetPath);
    const QByteArray format = QFileInfo(target).suffix().toLower().toLatin1();
    // The suffix must name a format we can write; Qt would otherwise guess.
    if (!image.isNull() && QImageWriter::supportedImageFormats().contains(format))
      ok = image.save(target, format.constData(), -1);
    qDebug() << Q_FUNC_INFO << target << ok;
  }
  emit saveAsScreenCaptureResult(ok);
}

void VFileSaveDialog::saveVCardFile(const QString& savePath) {
  const bool ok = !savePath.isEmpty() && saveAs(vCardTemplatePath(), savePath);
  emit saveVCardFileResult(ok);
}
