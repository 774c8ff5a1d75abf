#include "shell/VCrashDump.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VPrivateFiles.h"
#include "shell/VProcessValues.h"
#include "shell/VSignalStack.h"

namespace {
const int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kMaxFrames = 64;
constexpr size_t kPathCapacity = 4096;

// Filled before any crash, read by the handler: no allocation, no locks there.
char g_dumpPath[kPathCapacity];
char g_version[128];
bool g_uploading = false;
struct sigaction g_previous[sizeof(kFatalSignals) / sizeof(kFatalSignals[0])];
bool g_installed = false;

void Write(int fd, const char* text) {
  size_t length = strlen(text);
  while (length > 0) {
    const ssize_t written = write(fd, text, length);
    if (written <= 0) return;
    text += written;
    length -= static_cast<size_t>(written);
  }
}

// Decimal or hexadecimal without the C library's formatting.
void WriteNumber(int fd, unsigned long long value, unsigned base) {
  char digits[32];
  int at = static_cast<int>(sizeof(digits)) - 1;
  digits[at] = '\0';
  do {
    const unsigned digit = static_cast<unsigned>(value % base);
    digits[--at] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    value /= base;
  } while (value > 0 && at > 0);
  if (base == 16) Write(fd, "0x");
  Write(fd, digits + at);
}

void CopyFile(int fd, const char* path) {
  const int source = open(path, O_RDONLY | O_CLOEXEC);
  if (source < 0) return;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(source, buffer, sizeof(buffer));
    if (got <= 0) break;
    ssize_t done = 0;
    while (done < got) {
      const ssize_t written = write(fd, buffer + done, static_cast<size_t>(got - done));
      if (written <= 0) break;
      done += written;
    }
  }
  close(source);
}

// Only async-signal-safe calls from here on (backtrace was warmed up at install).
void OnFatalSignal(int number, siginfo_t* info, void*) {
  const int fd = open(g_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd >= 0) {
    Write(fd, "TesmoChat crash dump\nversion: ");
    Write(fd, g_version);
    Write(fd, "\nsignal: ");
    WriteNumber(fd, static_cast<unsigned>(number), 10);
    Write(fd, "\ncode: ");
    WriteNumber(fd, static_cast<unsigned>(info ? info->si_code : 0), 10);
    Write(fd, "\naddress: ");
    WriteNumber(fd, reinterpret_cast<unsigned long long>(info ? info->si_addr : nullptr), 16);
    Write(fd, "\npid: ");
    WriteNumber(fd, static_cast<unsigned long long>(getpid()), 10);
    Write(fd, "\n\nbacktrace:\n");
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    backtrace_symbols_fd(frames, count, fd);
    Write(fd, "\nmodules:\n");
    CopyFile(fd, "/proc/self/maps");
    close(fd);
  }
  // The handler was installed to run once; the default action ends the process
  // with the signal, so parents and the system still see the crash.
  signal(number, SIG_DFL);
  raise(number);
}

// The "Version" setting, or "default1" before any version was stored.
QString DumpVersion() {
  const QString version =
      VConfig::instance()->value(VProcessValues::versionKey(), QString(), QVariant()).toString();
  return version.isEmpty() ? QStringLiteral("default1") : version;
}

void ComputeDumpPath() {
  const QByteArray versionBytes = DumpVersion().toUtf8();
  const size_t versionLength =
      qMin(static_cast<size_t>(versionBytes.size()), sizeof(g_version) - 1);
  memcpy(g_version, versionBytes.constData(), versionLength);
  g_version[versionLength] = '\0';
  const QByteArray path = QFile::encodeName(VCrashDump::dumpFilePath());
  const size_t pathLength = qMin(static_cast<size_t>(path.size()), kPathCapacity - 1);
  memcpy(g_dumpPath, path.constData(), pathLength);
  g_dumpPath[pathLength] = '\0';
}
}  // namespace

QString VCrashDump::dumpFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString VCrashDump::dumpFilePath() {
  QString version = DumpVersion();
  // The version comes from the settings: only its base name may name the file.
  version.replace(QLatin1Char('/'), QLatin1Char('_'));
  const QString name = QStringLiteral("CrashDumpFile_") + version + QStringLiteral(".dmp");
  // The user's own data folder: the program's folder is not writable once installed,
  // and a dump holds memory addresses and the paths of the user's files.
  const QString folder = dumpFolder();
  const QString path = folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
  if (static_cast<size_t>(QFile::encodeName(path).size()) >= kPathCapacity)
    return QStringLiteral("CrashDumpFile_default1.dmp");
  return path;
}

bool VCrashDump::hasCrashDumpFile() {
  return VConfig::instance()->value(VProcessValues::crashFlagKey(), QString(), false).toBool();
}

void VCrashDump::setHasCrashDumpFile(bool has) {
  VConfig::instance()->setValue(VProcessValues::crashFlagKey(), QString(), has);
}

void VCrashDump::install() {
  ComputeDumpPath();
  // The handler only creates the file: the folder must be there before any crash.
  if (!dumpFolder().isEmpty()) VPrivateFiles::makeFolder(dumpFolder());
  if (QFileInfo::exists(QFile::decodeName(g_dumpPath))) setHasCrashDumpFile(true);
  if (g_installed) return;
  // backtrace loads its unwinder on first use, which may allocate: not in the handler.
  void* warmUp[1];
  backtrace(warmUp, 1);
  // Room for the handler after a stack overflow; threads started later get their
  // own when they start.
  VSignalStack::ensureForThisThread();
  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < sizeof(kFatalSignals) / sizeof(kFatalSignals[0]); ++i)
    sigaction(kFatalSignals[i], &action, &g_previous[i]);
  g_installed = true;
}

void VCrashDump::uninstall() {
  if (!g_installed) return;
  for (size_t i = 0; i < sizeof(kFatalSignals) / sizeof(kFatalSignals[0]); ++i)
    sigaction(kFatalSignals[i], &g_previous[i], nullptr);
  g_installed = false;
}

void VCrashDump::uploadCrashDump() {
  const QString path = dumpFilePath();
  qDebug() << Q_FUNC_INFO << path;
  if (g_uploading || !hasCrashDumpFile() || !QFileInfo::exists(path)) return;
  g_uploading = true;
  ImUiInterface::instance()->UploadDumpFile(kUploadDialogId, path.toUtf8().constData());
}

void VCrashDump::onCrashDumpUploaded(int status) {
  qDebug() << Q_FUNC_INFO << status;
  g_uploading = false;
  // A failed upload keeps the dump for the next login.
  if (status != 0) return;
  const QString path = dumpFilePath();
  if (QFileInfo::exists(path)) QFile::remove(path);
  setHasCrashDumpFile(false);
}
