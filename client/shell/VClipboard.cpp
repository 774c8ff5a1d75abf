#include "shell/VClipboard.h"

#include <QClipboard>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>

#include "shell/VExitCleanup.h"

namespace {

// Names taken within one millisecond get a counter; past this many the save fails.
constexpr int kMaxNameTries = 1000;

}  // namespace

VClipboard::VClipboard() : m_clipboard(QGuiApplication::clipboard()) {}

VClipboard* VClipboard::instance() {
  static VClipboard* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new VClipboard; });
}

QString VClipboard::tempFolder() {
  // Under the user's own cache, never a predictable name in the shared temporary
  // folder where another user could plant or read files.
  const QString folder =
      QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/tmp");
  QDir().mkpath(folder);
  QFile::setPermissions(folder,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return folder;
}

const QMimeData* VClipboard::current() const {
  return m_clipboard ? m_clipboard->mimeData(QClipboard::Clipboard) : nullptr;
}

QMimeData* VClipboard::copyOfCurrent() const {
  auto* data = new QMimeData;
  if (const QMimeData* now = current()) {
    for (const QString& format : now->formats()) data->setData(format, now->data(format));
  }
  return data;
}

void VClipboard::setHtml(const QString& html) {
  if (!m_clipboard) return;
  QMimeData* data = copyOfCurrent();
  data->setHtml(html);
  m_clipboard->setMimeData(data, QClipboard::Clipboard);
}

bool VClipboard::hasHtml() const {
  const QMimeData* data = current();
  return data && data->hasHtml();
}

QString VClipboard::html() const {
  const QMimeData* data = current();
  return data ? data->html() : QString();
}

void VClipboard::setText(const QString& text) {
  if (!m_clipboard) return;
  m_clipboard->setText(text, QClipboard::Clipboard);
  if (m_clipboard->supportsSelection()) m_clipboard->setText(text, QClipboard::Selection);
}

bool VClipboard::hasText() const {
  const QMimeData* data = current();
  return data && data->hasText();
}

QString VClipboard::text() const {
  return m_clipboard ? m_clipboard->text(QClipboard::Clipboard) : QString();
}

void VClipboard::setImage(const QImage& image) {
  if (!m_clipboard) return;
  m_clipboard->setImage(image, QClipboard::Clipboard);
  if (m_clipboard->supportsSelection()) m_clipboard->setImage(image, QClipboard::Selection);
}

void VClipboard::setImagePath(const QString& imagePath) { setImage(QImage(imagePath)); }

bool VClipboard::hasImage() const {
  const QMimeData* data = current();
  return data && data->hasImage();
}

QImage VClipboard::image() const {
  return m_clipboard ? m_clipboard->image(QClipboard::Clipboard) : QImage();
}

void VClipboard::setFile(const QString& fileName) {
  if (!m_clipboard) return;
  QMimeData* data = copyOfCurrent();
  data->setUrls({QUrl::fromLocalFile(fileName)});
  m_clipboard->setMimeData(data, QClipboard::Clipboard);
}

bool VClipboard::hasUrls() const {
  const QMimeData* data = current();
  return data && data->hasUrls();
}

QList<QUrl> VClipboard::urls() const {
  const QMimeData* data = current();
  return data ? data->urls() : QList<QUrl>();
}

QString VClipboard::saveClipboardImageToTempDir() {
  return hasImage() ? saveImageToTempDir(image()) : QString();
}

QString VClipboard::saveImageToTempDir(const QImage& image) {
  qDebug() << Q_FUNC_INFO << "image valid:" << !image.isNull();
  if (image.isNull()) return QString();
  const QString stem = tempFolder() + QLatin1Char('/') + tempImagePrefix() +
                       QString::number(QDateTime::currentMSecsSinceEpoch());
  const QString dot = QStringLiteral(".") + tempImageSuffix();
  // Two saves in one millisecond must not share a file: the name is created only
  // when nobody has it yet, else the next counter is tried.
  for (int n = 0; n < kMaxNameTries; ++n) {
    const QString path = n == 0 ? stem + dot : stem + QLatin1Char('_') + QString::number(n) + dot;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      if (file.exists()) continue;
      break;
    }
    const bool saved = image.save(&file, tempImageSuffix().toLatin1().constData(), -1);
    file.close();
    qDebug() << Q_FUNC_INFO << "saved:" << saved << path;
    if (saved) return path;
    file.remove();
    break;
  }
  return QString();
}

void VClipboard::deleteTempImages() {
  QDir folder(tempFolder());
  const QStringList names =
      folder.entryList({tempImagePrefix() + QStringLiteral("*.") + tempImageSuffix()}, QDir::Files);
  for (const QString& name : names) folder.remove(name);
}
