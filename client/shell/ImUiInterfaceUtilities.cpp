// Small stateless helpers of the engine bridge that the managers share.
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VGlobal.h"
#include "shell/VPrivateFiles.h"

QVariantMap ImUiInterface::convJsonToVariantMap(const QString& json) {
  // Not logged: it runs for every push and would copy each message's text to the log.
  if (json.isEmpty()) return QVariantMap();
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return QVariantMap();
  return document.object().toVariantMap();
}

bool ImUiInterface::dbExecSql(const QString& sql) {
  return DBExecSql(sql.toUtf8().constData()) != 0;
}

int ImUiInterface::getDataCount(const QString& sql) {
  qDebug() << Q_FUNC_INFO << "sql = " << sql;
  if (sql.isEmpty()) return 0;
  const long set = DBSelectSql(sql.toUtf8().constData());
  const int count = set ? DBGetRecordCount(set) : 0;
  DBRelease(set);
  qDebug() << Q_FUNC_INFO << "count = " << count;
  return count;
}

QString ImUiInterface::distinct(const QString& path) {
  qDebug() << Q_FUNC_INFO << "file = " << path;
  const QFileInfo info(path);
  if (!info.exists()) return path;
  const QString baseName = info.baseName();
  const QString suffix = info.suffix();
  const QString folder = info.absolutePath();
  qDebug() << Q_FUNC_INFO << "sBaseName = " << baseName;
  qDebug() << Q_FUNC_INFO << "sSuffix = " << suffix;
  qDebug() << Q_FUNC_INFO << "sAbsolutePath = " << folder;
  QString candidate;
  for (int n = 1;; ++n) {
    candidate = folder + QLatin1Char('/') + baseName + QLatin1Char('_') + QString::number(n) +
                QLatin1Char('.') + suffix;
    if (!QFileInfo::exists(candidate)) break;
  }
  qDebug() << Q_FUNC_INFO << "sPath = " << candidate;
  return candidate;
}

QString ImUiInterface::getSizeStr(qint64 size) {
  static const char* const kUnits[] = {"B", "KB", "MB", "GB", "TB"};
  constexpr int kLastUnit = 4;
  qint64 value = size;
  int unit = 0;
  QString text = QString::number(value) + QLatin1String(kUnits[unit]);
  while (value > 1024 && unit < kLastUnit) {
    value = static_cast<qint64>(static_cast<double>(value) * (1.0 / 1024.0));
    ++unit;
    text = QString::number(value) + QLatin1String(kUnits[unit]);
  }
  qDebug() << Q_FUNC_INFO << text;
  return text;
}

QString ImUiInterface::getPeerAccount(const QString& fromuser, const QString& touser) {
  // Runs several times for every message, so it logs nothing.
  return peerOf(fromuser, touser,
                VConfig::instance()->value(QStringLiteral("MY_ACCOUNT")).toString());
}

QSize ImUiInterface::getImageSize(const QString& path) {
  if (!checkFileExists(path)) return QSize();
  // Read the file the existence test found, also when it was given as a URL.
  const QString local = removeFilePrefix(path);
  const QString format = VGlobal::instance()->format(local);
  QImageReader reader(local, format.toLatin1());
  if (format == QLatin1String("jpeg") || format == QLatin1String("jpg")) {
    // Photos carry their orientation; the shown size is the turned one.
    reader.setAutoTransform(true);
    return reader.read().size();
  }
  return reader.size();
}

QString ImUiInterface::getFileName(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    qDebug() << Q_FUNC_INFO << "file not exists !!!";
    return QString();
  }
  return info.fileName();
}

qint64 ImUiInterface::getFileSize(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) {
    qDebug() << Q_FUNC_INFO << "file not exists !!!";
    return 0;
  }
  return info.size();
}

bool ImUiInterface::checkFileExists(const QString& path) {
  const bool exists = QFileInfo::exists(removeFilePrefix(path));
  qDebug() << path << " <<<< checkFileExists bExists = " << exists;
  return exists;
}

bool ImUiInterface::removeFile(const QString& path) {
  qDebug() << Q_FUNC_INFO << path;
  bool removed = false;
  if (QFileInfo::exists(path)) {
    qDebug() << Q_FUNC_INFO << "file exists!";
    removed = QFile::remove(path);
  }
  qDebug() << Q_FUNC_INFO << "removed = " << removed;
  return removed;
}

QString ImUiInterface::removeFilePrefix(const QString& path) {
  // A file URL becomes its local path; stripping "file:///" by hand would turn
  // "/home/..." into a relative "home/...".
  if (path.startsWith(QLatin1String("file:"), Qt::CaseSensitive)) {
    const QUrl url(path);
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return path;
}

QString ImUiInterface::convertFilePath(const QString& path, const QString& suffix) {
  Q_UNUSED(suffix);
  return path;
}

bool ImUiInterface::makePath(const QString& path) {
  // Account folders are named by the phone number: paths stay out of the output.
  QDir dir(path);
  if (dir.exists()) return true;
  // Every folder it makes holds account data: the user's alone.
  const bool made = VPrivateFiles::makeFolder(dir.absolutePath());
  qDebug() << Q_FUNC_INFO << (made ? "made a folder" : "fail to make a folder");
  return made;
}

QString ImUiInterface::getCurrentTime() {
  return QTime::currentTime().toString(QStringLiteral("hh:mm:ss:zzz"));
}

QString ImUiInterface::getCurrentMSecs() {
  return QString::number(QDateTime::currentMSecsSinceEpoch());
}
