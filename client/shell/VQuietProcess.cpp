#include "shell/VQuietProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QByteArray>
#include <QDebug>
#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

long long MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Reaps the child if it has ended; true with its status then.
bool Reaped(pid_t pid, int& status) {
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno == EINTR) continue;
    return false;
  }
}

// Waits until the child ends or the deadline passes; true when it was reaped.
bool WaitUntil(pid_t pid, long long deadlineMs, int& status) {
#ifdef SYS_pidfd_open
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  const int pidfd = -1;
#endif
  bool reaped = Reaped(pid, status);
  while (!reaped) {
    const long long left = deadlineMs - MonotonicMs();
    if (left <= 0) break;
    if (pidfd >= 0) {
      pollfd watch{pidfd, POLLIN, 0};
      // Readable once the child has ended.
      poll(&watch, 1, static_cast<int>(left));
    } else {
      // Kernels without pidfd: look again every few milliseconds.
      timespec pause{0, 5 * 1000 * 1000};
      nanosleep(&pause, nullptr);
    }
    reaped = Reaped(pid, status);
  }
  if (pidfd >= 0) close(pidfd);
  return reaped;
}

}  // namespace

int VQuietProcess::run(const QString& program, const QStringList& arguments, int timeoutMs) {
  const QByteArray file = program.toLocal8Bit();
  std::vector<QByteArray> storage;
  storage.reserve(static_cast<size_t>(arguments.size()) + 1);
  storage.push_back(file);
  for (const QString& argument : arguments) storage.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& each : storage) argv.push_back(each.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // The helper starts with no signal blocked or ignored by this process.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGCHLD);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = -1;
  const int started = posix_spawnp(&pid, file.constData(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) {
    qWarning() << "cannot start" << program << ":" << strerror(started);
    return -1;
  }

  int status = 0;
  if (!WaitUntil(pid, MonotonicMs() + timeoutMs, status)) {
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    qDebug() << program << "did not end within" << timeoutMs << "ms";
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
