#ifndef TESMO_CLIENT_SHELL_VCLIPBOARD_H
#define TESMO_CLIENT_SHELL_VCLIPBOARD_H

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class QClipboard;
class QMimeData;

// The system clipboard as the QML pages use it ("vClipboard"), and the program's
// temporary pictures: pasted or captured images written as JPEG files, from where
// the message sender picks them up, deleted in bulk when the main window opens.
class VClipboard : public QObject {
  Q_OBJECT

 public:
  static VClipboard* instance();

  // The private folder of this user's temporary pictures (created on demand,
  // readable by the owner only).
  static QString tempFolder();
  static QString tempImagePrefix() { return QStringLiteral("TesmoChat_tmp_"); }
  static QString tempImageSuffix() { return QStringLiteral("jpg"); }

 public slots:
  void setHtml(const QString& html);
  bool hasHtml() const;
  QString html() const;
  void setText(const QString& text);
  bool hasText() const;
  QString text() const;
  void setImage(const QImage& image);
  void setImagePath(const QString& imagePath);
  bool hasImage() const;
  QImage image() const;
  void setFile(const QString& fileName);
  bool hasUrls() const;
  QList<QUrl> urls() const;
  QString saveClipboardImageToTempDir();
  QString saveImageToTempDir(const QImage& image);
  void deleteTempImages();

 private:
  VClipboard();

  const QMimeData* current() const;
  // A copy of every format on the clipboard now, for setHtml and setFile to add to.
  QMimeData* copyOfCurrent() const;

  QClipboard* m_clipboard;
};

#endif
