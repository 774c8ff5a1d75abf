// The open conversation under a stream of received texts: the program's chat page
// over the real managers and the real engine, logged in to the local server (a
// child process), receives N texts from a friend one after the other, each shown at
// the end of the view before the next is pushed. In the same run a bare Qt Quick
// ListView over a ListModel appends the same N plain-text rows the same way.
// Measured: memory retained per message (the resident set as it stands and once
// free heap pages went back to the system, and the heap in use over all arenas,
// each after the script collector ran), the GUI thread's CPU time per message, and
// the program's memory after it opens another conversation.
//
// Usage: conversation_scale_bench [--messages N (2000)] [--warmup W (50)]
//        [--order bare-first|program-first]
//        [--log FILE (/dev/null): the program's and the engine's diagnostics]
// Run it through bench/conversation_scale.sh (a virtual X server of 1366x768).
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTimer>
#include <QtWebEngine>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include "app/ImCreateClassManager.h"
#include "app/VStartup.h"
#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupManager.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "shell/ImLoginManager.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VExitCleanup.h"
#include "tools/LocalServerProcess.h"

namespace {

const char kMe[] = "100001@tesmo.local";
const char kFriend[] = "100002@tesmo.local";  // receives nothing scripted back
const char kOther[] = "100003@tesmo.local";   // the conversation opened afterwards
const char kPhone[] = "13800000001";
const char kCode[] = "123456";
constexpr int kWaitMs = 60000;
constexpr int kSettleMs = 1500;
// When a shown message brings no new frame (nothing left to draw), it counts as
// shown after this long.
constexpr int kNoFrameMs = 150;

FILE* g_out = stdout;

QString MessageText(int i) {
  return QStringLiteral("Message %1 from Bob: the quick brown fox jumps over the lazy dog").arg(i);
}

// Runs the event loop, blocking while there is nothing to do (a busy loop would be
// counted as the GUI thread's work), until the condition holds or the time is up.
template <typename Condition>
bool WaitFor(Condition condition, int ms = kWaitMs) {
  QDeadlineTimer deadline(ms);
  QTimer tick;  // wakes the loop to look at the deadline
  tick.start(250);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void Idle(int ms) {
  QDeadlineTimer deadline(ms);
  WaitFor([&] { return deadline.hasExpired(); }, ms + 1000);
}

qint64 ThreadCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

qint64 ProcessCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Memory {
  double rssKiB = 0;
  double trimmedKiB = 0;  // the resident set once free heap pages went back (malloc_trim)
  double heapKiB = 0;     // in use on the heap, every thread's arena and mmapped blocks
};

double FieldKiB(const QString& path, const QByteArray& key) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toDouble();
  }
  return 0;
}

// The heap in use from malloc_info's totals over all arenas: what the arenas hold
// from the system, less their free chunks, plus the blocks mmapped of their own.
double HeapInUseKiB() {
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  if (!out) return 0;
  malloc_info(0, out);
  fclose(out);
  const QByteArray xml(text, int(size));
  free(text);
  // The totals follow the last arena.
  const QByteArray totals = xml.mid(xml.lastIndexOf("</heap>"));
  const auto value = [&totals](const QByteArray& tag) {
    const int at = totals.indexOf(tag);
    if (at < 0) return 0.0;
    const int start = totals.indexOf("size=\"", at) + 6;
    return totals.mid(start, totals.indexOf('"', start) - start).toDouble();
  };
  const double inUse = value("<system type=\"current\"") - value("<total type=\"fast\"") -
                       value("<total type=\"rest\"") + value("<total type=\"mmap\"");
  return inUse / 1024.0;
}

// Before a phase the free heap pages go back first, so that what a phase adds is
// measured from a clean start; after it, the resident set is read as it stands and
// again once they went back.
Memory ReadMemory(bool trimFirst) {
  Memory m;
  if (trimFirst) malloc_trim(0);
  m.rssKiB = FieldKiB(QStringLiteral("/proc/self/status"), "VmRSS:");
  m.heapKiB = HeapInUseKiB();
  malloc_trim(0);
  m.trimmedKiB = FieldKiB(QStringLiteral("/proc/self/status"), "VmRSS:");
  return m;
}

// Lets timers, deferred deletions and the script collector run, then reads the memory.
Memory Settled(QQmlEngine& engine, bool trimFirst = false) {
  Idle(kSettleMs);
  for (int i = 0; i < 3; ++i) {
    engine.collectGarbage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Idle(200);
  }
  return ReadMemory(trimFirst);
}

// Says when the newest row of a view is shown: the model holds it, the view stands
// at its end with the row's delegate made, and a frame was drawn after that.
class ShownWatch : public QObject {
  Q_OBJECT

 public:
  ShownWatch(QQuickWindow* window, QQuickItem* view) : m_view(view) {
    connect(window, &QQuickWindow::frameSwapped, this, &ShownWatch::onFrame, Qt::QueuedConnection);
    connect(view, SIGNAL(countChanged()), this, SLOT(check()));
    connect(view, SIGNAL(contentYChanged()), this, SLOT(check()));
    connect(view, SIGNAL(contentHeightChanged()), this, SLOT(check()));
    m_fallback.setSingleShot(true);
    m_fallback.setInterval(kNoFrameMs);
    connect(&m_fallback, &QTimer::timeout, this, [this] {
      if (m_met) release();
    });
  }

  // Whether the newest row holds what was asked for; done runs once it is shown.
  void expect(std::function<bool()> arrived, std::function<void()> done) {
    m_arrived = std::move(arrived);
    m_met = false;
    m_done = std::move(done);
    check();
  }

  int count() const { return m_view->property("count").toInt(); }
  long frames() const { return m_frames; }

  int delegates() const {
    auto* content = m_view->property("contentItem").value<QQuickItem*>();
    return content ? content->childItems().size() : 0;
  }

 private slots:
  void onFrame() {
    ++m_frames;
    check();
  }

  void check() {
    if (!m_done) return;
    if (!m_met) {
      const int n = count();
      if (n == 0 || !m_arrived() || !m_view->property("atYEnd").toBool()) return;
      QQuickItem* last = nullptr;
      QMetaObject::invokeMethod(m_view, "itemAtIndex", Q_RETURN_ARG(QQuickItem*, last),
                                Q_ARG(int, n - 1));
      if (!last) return;
      m_met = true;
      m_frameAtMet = m_frames;
      m_fallback.start();
      return;
    }
    if (m_frames > m_frameAtMet) release();
  }

 private:
  void release() {
    m_fallback.stop();
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    m_met = false;
    if (done) done();
  }

  QQuickItem* m_view;
  QTimer m_fallback;
  std::function<bool()> m_arrived;
  bool m_met = false;
  long m_frames = 0;
  long m_frameAtMet = 0;
  std::function<void()> m_done;
};

struct PhaseResult {
  Memory before;
  Memory after;
  double guiCpuMs = 0;
  double processCpuMs = 0;
  double wallMs = 0;
  int rows = 0;
  int delegates = 0;
  long frames = 0;
  bool ok = false;
};

// Requests n rows one after the other (request(i) runs on a thread of its own),
// each once the previous one is shown; the CPU and wall time go into r when given.
bool Deliver(ShownWatch& watch, int n, const std::function<void(int)>& request,
             const std::function<bool(int)>& arrived, PhaseResult* r = nullptr) {
  QSemaphore shown;
  std::atomic<bool> stop{false};
  std::atomic<int> sent{0};
  const qint64 cpu0 = ThreadCpuNs();
  const qint64 proc0 = ProcessCpuNs();
  QElapsedTimer wall;
  wall.start();
  std::thread pusher([&] {
    for (int i = 0; i < n && !stop; ++i) {
      request(i);
      sent = i + 1;
      // Wakes the GUI thread's loop to start watching for the row.
      QMetaObject::invokeMethod(
          qApp, [] {}, Qt::QueuedConnection);
      while (!shown.tryAcquire(1, 100)) {
        if (stop) return;
      }
    }
  });
  int done = 0;
  int expected = -1;
  const bool ok = WaitFor(
      [&] {
        if (sent > done && expected != done) {
          expected = done;
          const int i = done;
          watch.expect([&arrived, i] { return arrived(i); },
                       [&] {
                         ++done;
                         shown.release();
                       });
        }
        return done == n;
      },
      kWaitMs * 10);
  const qint64 cpu1 = ThreadCpuNs();
  const qint64 proc1 = ProcessCpuNs();
  stop = true;
  pusher.join();
  if (r) {
    r->wallMs = wall.elapsed();
    r->guiCpuMs = double(cpu1 - cpu0) / 1e6;
    r->processCpuMs = double(proc1 - proc0) / 1e6;
  }
  if (!ok) fprintf(g_out, "  stalled after %d of %d messages\n", done, n);
  return ok;
}

// With TESMO_BENCH_PERF_CTL naming the control fifo of "perf record --control
// fifo:CTL -D -1", a profile covers the program's messages only (the bare view's
// with TESMO_BENCH_PERF_BARE set).
void Profile(const char* command, bool bare) {
  const QByteArray fifo = qgetenv("TESMO_BENCH_PERF_CTL");
  if (fifo.isEmpty() || bare != qEnvironmentVariableIsSet("TESMO_BENCH_PERF_BARE")) return;
  QFile control(QString::fromLocal8Bit(fifo));
  if (control.open(QIODevice::WriteOnly)) control.write(QByteArray(command) + '\n');
}

// With TESMO_BENCH_MAPS naming a folder, the process's memory map at each reading
// (to see which mappings grew).
void DumpMaps(const char* name) {
  const QString folder = qEnvironmentVariable("TESMO_BENCH_MAPS");
  if (folder.isEmpty()) return;
  QFile maps(QStringLiteral("/proc/self/smaps"));
  QFile copy(folder + QLatin1Char('/') + QLatin1String(name));
  if (maps.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly)) copy.write(maps.readAll());
}

PhaseResult RunMessages(QQmlEngine& engine, ShownWatch& watch, int n, bool bare,
                        const std::function<void(int)>& request,
                        const std::function<bool(int)>& arrived) {
  PhaseResult r;
  r.before = Settled(engine, true);
  DumpMaps(bare ? "bare-before" : "program-before");
  Profile("enable", bare);
  const long frames = watch.frames();
  r.ok = Deliver(watch, n, request, arrived, &r);
  r.frames = watch.frames() - frames;
  Profile("disable", bare);
  r.after = Settled(engine);
  DumpMaps(bare ? "bare-after" : "program-after");
  r.rows = watch.count();
  r.delegates = watch.delegates();
  return r;
}

void PrintMemory(const char* label, const Memory& m) {
  fprintf(
      g_out,
      "  %-34s RSS %7.1f MiB (%7.1f MiB with free heap pages returned), heap in use %6.1f MiB\n",
      label, m.rssKiB / 1024, m.trimmedKiB / 1024, m.heapKiB / 1024);
}

struct PerMessage {
  double rssKiB, trimmedKiB, heapKiB, guiCpuMs;
};

PerMessage Report(const char* name, const PhaseResult& r, int n) {
  fprintf(g_out, "%s\n", name);
  PrintMemory("before the messages:", r.before);
  PrintMemory("after them:", r.after);
  const PerMessage per{(r.after.rssKiB - r.before.rssKiB) / n,
                       (r.after.trimmedKiB - r.before.trimmedKiB) / n,
                       (r.after.heapKiB - r.before.heapKiB) / n, r.guiCpuMs / n};
  fprintf(g_out,
          "  retained per message: RSS %.2f KiB (%.2f KiB with free heap pages returned), heap "
          "%.2f KiB\n",
          per.rssKiB, per.trimmedKiB, per.heapKiB);
  fprintf(g_out, "  GUI thread CPU per message: %.3f ms (process %.3f ms, wall %.1f ms)\n",
          per.guiCpuMs, r.processCpuMs / n, r.wallMs / n);
  fprintf(g_out, "  rows in the model: %d, items in the view: %d, frames per message: %.1f%s\n",
          r.rows, r.delegates, double(r.frames) / n, r.ok ? "" : "  (STALLED)");
  return per;
}

QObject* Create(QQmlEngine& engine, const QUrl& url) {
  QQmlComponent component(&engine, url);
  QObject* object = component.create();
  if (!object) fprintf(g_out, "%s\n", qPrintable(component.errorString()));
  return object;
}

class Bench {
 public:
  Bench(const QString& home, int n, int warmup, bool bareFirst)
      : m_home(home), m_n(n), m_warmup(warmup), m_bareFirst(bareFirst) {}

  int run() {
    const std::string state = (m_home + QStringLiteral("/state")).toStdString();
    if (!m_server.Start({"--world", TESMO_BENCH_WORLD, "--state", state})) {
      fprintf(g_out, "local server: %s\n", (m_server.Output() + m_server.Errors()).c_str());
      return 1;
    }
    qputenv("TESMO_SERVER", m_server.Value("TESMO_SERVER").c_str());
    qputenv("TESMO_CA_FILE", m_server.Value("TESMO_CA_FILE").c_str());
    m_managers = VStartup::setupEngine(m_engine);
    m_managers->createPostClass();
    if (!login()) return 1;
    fprintf(g_out, "%d messages after %d to warm up; GUI thread CPU and memory per message\n\n",
            m_n, m_warmup);
    int rc = 0;
    if (m_bareFirst) {
      rc = bare();
      if (rc == 0) rc = program();
    } else {
      rc = program();
      if (rc == 0) rc = bare();
    }
    if (rc == 0) summary();
    return rc;
  }

  void finish() {
    ImUiInterface::instance()->releaseInterface();
    m_managers.clear();
    m_server.Stop();
  }

 private:
  bool login() {
    QList<int> reports;
    const QMetaObject::Connection listening =
        QObject::connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify,
                         [&reports](const UIMessage* msg) { reports << msg->m_Method; });
    ImLoginManager* login = ImLoginManager::instance();
    bool done = false, ok = false;
    const QMetaObject::Connection success =
        QObject::connect(login, &ImLoginManager::loginSuccess, [&] { done = ok = true; });
    const QMetaObject::Connection failure =
        QObject::connect(login, &ImLoginManager::loginFailure, [&] { done = true; });
    login->login(QString::fromLatin1(kPhone), QStringLiteral("+86"), QString::fromLatin1(kCode));
    const bool loggedIn = WaitFor([&] { return done; }) && ok;
    const bool synchronised = loggedIn && WaitFor([&] { return reports.contains(100013); });
    QObject::disconnect(success);
    QObject::disconnect(failure);
    QObject::disconnect(listening);
    if (!synchronised) fprintf(g_out, loggedIn ? "no history synchronisation\n" : "login failed\n");
    return synchronised;
  }

  static int rowOf(const QString& account) {
    ImSessionListManager* list = ImSessionListManager::instance();
    for (int i = 0; i < list->itemCount(); ++i)
      if (list->getSessionAccount(i) == account) return i;
    return -1;
  }

  bool open(QObject* page, const QString& account) {
    const int row = rowOf(account);
    if (row < 0) return false;
    QMetaObject::invokeMethod(page, "openRow", Q_ARG(QVariant, row));
    return WaitFor([&] {
      return ImSessionManager::instance()->currentSessionId() == account &&
             !page->property("isCurrentAccountLoading").toBool();
    });
  }

  int program() {
    QObject* root = Create(m_engine, QUrl(QStringLiteral("qrc:/bench/ConversationHost.qml")));
    auto* window = qobject_cast<QQuickWindow*>(root);
    if (!window) return 1;
    QObject* page = root->property("page").value<QObject*>();
    ImContactsManager::instance()->initData();
    ImGroupManager::instance()->initData();
    ImSessionListManager::instance()->initData();
    if (!WaitFor([] {
          return rowOf(QLatin1String(kFriend)) >= 0 && rowOf(QLatin1String(kOther)) >= 0;
        })) {
      fprintf(g_out, "the conversation list lacks the friends\n");
      return 1;
    }
    if (!open(page, QLatin1String(kFriend))) {
      fprintf(g_out, "could not open the conversation\n");
      return 1;
    }
    auto* view = page->property("messageView").value<QQuickItem*>();
    ShownWatch watch(window, view);
    const auto push = [this](int i) {
      m_server.Command(std::string("push ") + kMe + " " + kFriend + " " +
                       MessageText(i).toStdString());
    };
    // The newest row is the text pushed last (the model keeps a bounded number of rows).
    const auto arrived = [](int i) {
      ImSessionManager* messages = ImSessionManager::instance();
      const auto* last = qobject_cast<const ImMsgEntity*>(messages->get(messages->itemCount() - 1));
      return last && last->content() == MessageText(i);
    };
    const Memory opened = Settled(m_engine);
    if (!Deliver(
            watch, m_warmup, [&](int i) { push(-1 - i); }, [&](int i) { return arrived(-1 - i); }))
      return 1;
    const PhaseResult r = RunMessages(m_engine, watch, m_n, false, push, arrived);
    m_program = Report("TesmoChat: the chat page over the managers and the engine", r, m_n);
    if (!open(page, QLatin1String(kOther))) {
      fprintf(g_out, "could not open the other conversation\n");
      return 1;
    }
    const Memory switched = Settled(m_engine);
    PrintMemory("after opening another one:", switched);
    m_switchRatio = switched.rssKiB / r.before.rssKiB;
    fprintf(g_out, "  after the switch / before the messages: RSS %.3f, heap %.3f\n", m_switchRatio,
            switched.heapKiB / r.before.heapKiB);
    PrintMemory("(when opened, before the warm-up:", opened);
    fprintf(g_out, "  after the switch / when opened: RSS %.3f, heap %.3f)\n\n",
            switched.rssKiB / opened.rssKiB, switched.heapKiB / opened.heapKiB);
    if (!r.ok) return 1;
    delete root;
    Idle(500);
    return 0;
  }

  int bare() {
    QObject* root = Create(m_engine, QUrl(QStringLiteral("qrc:/bench/BareList.qml")));
    auto* window = qobject_cast<QQuickWindow*>(root);
    if (!window) return 1;
    auto* view = root->property("view").value<QQuickItem*>();
    ShownWatch watch(window, view);
    if (!WaitFor([&] { return window->isExposed(); })) return 1;
    const auto add = [root](int i) {
      QMetaObject::invokeMethod(
          root,
          [root, i] { QMetaObject::invokeMethod(root, "add", Q_ARG(QVariant, MessageText(i))); },
          Qt::QueuedConnection);
    };
    const int base = watch.count();
    const auto arrived = [&watch, base](int i) { return watch.count() >= base + i + 1; };
    if (!Deliver(watch, m_warmup, add, arrived)) return 1;
    const PhaseResult r =
        RunMessages(m_engine, watch, m_n, true, add, [&](int i) { return arrived(m_warmup + i); });
    m_bare = Report("Bare ListView over a ListModel of plain-text rows", r, m_n);
    fprintf(g_out, "\n");
    delete root;
    Idle(500);
    return r.ok ? 0 : 1;
  }

  void summary() {
    fprintf(g_out, "Ratios to the bare view (targets: memory 2x, CPU 3x; switch within 10 %%)\n");
    fprintf(g_out,
            "  retained per message: RSS %.2fx (%.2fx with free heap pages returned), heap %.2fx\n",
            m_program.rssKiB / m_bare.rssKiB, m_program.trimmedKiB / m_bare.trimmedKiB,
            m_program.heapKiB / m_bare.heapKiB);
    fprintf(g_out, "  GUI thread CPU per message: %.2fx\n", m_program.guiCpuMs / m_bare.guiCpuMs);
    fprintf(g_out, "  RSS after the switch: %+.1f %% of before the messages\n",
            (m_switchRatio - 1) * 100);
  }

  QString m_home;
  int m_n;
  int m_warmup;
  bool m_bareFirst;
  LocalServerProcess m_server;
  QQmlEngine m_engine;
  QSharedPointer<ImCreateClassManager> m_managers;
  PerMessage m_program{};
  PerMessage m_bare{};
  double m_switchRatio = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  int n = 2000;
  int warmup = 50;
  bool bareFirst = true;
  QString log = QStringLiteral("/dev/null");
  for (int i = 1; i + 1 < argc; i += 2) {
    const QString option = QString::fromLocal8Bit(argv[i]);
    const QString value = QString::fromLocal8Bit(argv[i + 1]);
    if (option == QLatin1String("--messages")) n = value.toInt();
    if (option == QLatin1String("--warmup")) warmup = value.toInt();
    if (option == QLatin1String("--order")) bareFirst = value != QLatin1String("program-first");
    if (option == QLatin1String("--log")) log = value;
  }
  if (n <= 0 || warmup < 0) return 2;
  // The figures go to standard output; the program's and the engine's diagnostics
  // (debug lines as the program writes them) to the log.
  g_out = fdopen(dup(STDOUT_FILENO), "w");
  setvbuf(g_out, nullptr, _IOLBF, 0);
  if (!freopen(log.toLocal8Bit().constData(), "a", stdout) ||
      !freopen(log.toLocal8Bit().constData(), "a", stderr))
    return 2;

  QTemporaryDir home;
  if (!home.isValid()) return 2;
  qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
  qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
  VStartup::setProcessAttributes();
  QtWebEngine::initialize();
  QApplication app(argc, argv);
  QFont font;
  VStartup::setupApplication(font);
  int rc;
  {
    Bench bench(home.path(), n, warmup, bareFirst);
    rc = bench.run();
    bench.finish();
  }
  VExitCleanup::runAll();
  return rc;
}

#include "conversation_scale_bench.moc"
