#include "shell/VPrivateFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QThreadPool>

namespace {
constexpr mode_t kFolderMode = S_IRWXU;
constexpr mode_t kFileMode = S_IRUSR | S_IWUSR;
constexpr mode_t kOthers = S_IRWXG | S_IRWXO;

// lstat and chmod, not following links: a link inside the data could point anywhere.
bool RestrictPath(const QByteArray& path) {
  struct stat st {};
  if (lstat(path.constData(), &st) != 0) return false;
  if (S_ISLNK(st.st_mode)) return true;
  if ((st.st_mode & kOthers) == 0) return true;
  return chmod(path.constData(), st.st_mode & ~kOthers & 07777) == 0;
}

// The settings file's folder: the organisation's folder in the configuration home.
QString SettingsFolder() {
  const QSettings settings(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
  return QFileInfo(settings.fileName()).absolutePath();
}
}  // namespace

QStringList VPrivateFiles::programFolders() {
  QStringList folders;
  for (const QString& folder :
       {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), SettingsFolder(),
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation)}) {
    if (!folder.isEmpty()) folders << folder;
  }
  return folders;
}

bool VPrivateFiles::makeFolder(const QString& path) {
  if (path.isEmpty()) return false;
  // The folders that do not exist yet, from the outermost in.
  QStringList missing;
  QString folder = QDir::cleanPath(QDir(path).absolutePath());
  while (!QFileInfo::exists(folder)) {
    missing.prepend(folder);
    const QString parent = QFileInfo(folder).path();
    if (parent == folder) break;
    folder = parent;
  }
  bool made = true;
  for (const QString& step : missing) {
    const QByteArray name = QFile::encodeName(step);
    // Made private from the start: never a moment with wider rights.
    if (mkdir(name.constData(), kFolderMode) == 0) {
      // Whatever the umask took away.
      chmod(name.constData(), kFolderMode);
    } else if (errno != EEXIST) {
      made = false;
      break;
    }
  }
  if (!made) qWarning() << Q_FUNC_INFO << "cannot make" << path;
  return made && QFileInfo(path).isDir();
}

bool VPrivateFiles::restrict(const QString& path) { return RestrictPath(QFile::encodeName(path)); }

bool VPrivateFiles::prepareFile(const QString& path) {
  if (path.isEmpty()) return false;
  makeFolder(QFileInfo(path).absolutePath());
  const QByteArray name = QFile::encodeName(path);
  const int fd = open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  return errno == EEXIST && RestrictPath(name);
}

void VPrivateFiles::restrictTree(const QString& folder) {
  if (!QFileInfo(folder).isDir()) return;
  restrict(folder);
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) restrict(it.next());
}

void VPrivateFiles::protectProgramFolders() {
  const QStringList folders = programFolders();
  for (const QString& folder : folders) {
    makeFolder(folder);
    // Closed to others at once: nothing inside can be reached past this folder.
    restrict(folder);
  }
  QThreadPool::globalInstance()->start([folders] {
    for (const QString& folder : folders) restrictTree(folder);
  });
}

void VPrivateFiles::protectProgramFoldersNow() {
  for (const QString& folder : programFolders()) {
    makeFolder(folder);
    restrictTree(folder);
  }
}
