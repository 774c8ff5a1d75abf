#include "shell/VTerminationSignals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDebug>
#include <QSocketNotifier>

namespace {
const int kSignals[] = {SIGTERM, SIGINT};
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[2];

void OnSignal(int number) {
  const unsigned char byte = static_cast<unsigned char>(number);
  // Nothing else is async-signal-safe enough here; a full pipe already wakes the loop.
  const ssize_t ignored = write(g_pipe[0], &byte, 1);
  (void)ignored;
}
}  // namespace

VTerminationSignals::VTerminationSignals(QObject* parent) : QObject(parent) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
    qWarning() << Q_FUNC_INFO << "no signal pipe";
    g_pipe[0] = g_pipe[1] = -1;
    return;
  }
  m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &VTerminationSignals::onReadable);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < 2; ++i) sigaction(kSignals[i], &action, &g_previous[i]);
}

VTerminationSignals::~VTerminationSignals() {
  if (g_pipe[0] < 0) return;
  for (size_t i = 0; i < 2; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
  delete m_notifier;
  close(g_pipe[0]);
  close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

void VTerminationSignals::onReadable() {
  unsigned char byte = 0;
  int last = 0;
  while (read(g_pipe[1], &byte, 1) == 1) last = byte;
  if (last == 0) return;
  qDebug() << Q_FUNC_INFO << "signal" << last;
  emit received(last);
  QCoreApplication::quit();
}
