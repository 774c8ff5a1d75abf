#include "shell/VStartFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>
#include <QStandardPaths>

QString VStartFolder::path(Kind kind, bool make) {
  const QString folder = QStandardPaths::writableLocation(
      kind == Pictures ? QStandardPaths::PicturesLocation : QStandardPaths::DocumentsLocation);
  if (!folder.isEmpty() && (QFileInfo(folder).isDir() || (make && QDir().mkpath(folder))))
    return folder;
  return QDir::homePath();
}

VStartFolder::Kind VStartFolder::forNameFilters(const QStringList& nameFilters) {
  static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
  const QList<QByteArray> formats = QImageWriter::supportedImageFormats();
  int pictures = 0;
  for (const QString& filter : nameFilters) {
    auto matches = pattern.globalMatch(filter);
    if (!matches.hasNext()) return Documents;
    while (matches.hasNext()) {
      if (!formats.contains(matches.next().captured(1).toLower().toLatin1())) return Documents;
      ++pictures;
    }
  }
  return pictures > 0 ? Pictures : Documents;
}
