#ifndef TESMO_TESTS_CLIENT_STUBPING_H
#define TESMO_TESTS_CLIENT_STUBPING_H

// A stand-in for the system's ping, first on PATH: it records its arguments and
// answers as the test says, so no probe ever leaves the machine.

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtGlobal>

namespace StubPing {

// Gated: reachable once the gate is opened, until then the probe keeps running.
enum class Mode { Reachable, Unreachable, Hang, Hosts, Gated };

class Stub {
 public:
  Stub() {
    const QString script = m_dir.filePath(QStringLiteral("ping"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(
        "#!/bin/sh\n"
        "printf '%s\\n' \"$*\" >> \"$STUB_PING_LOG\"\n"
        "for last in \"$@\"; do :; done\n"
        "case \"$STUB_PING_MODE\" in\n"
        "  hang) exec sleep 60 ;;\n"
        "  fail) exit 1 ;;\n"
        "  hosts) case \" $STUB_PING_HOSTS \" in *\" $last \"*) exit 0 ;; esac; exit 1 ;;\n"
        "  gated) while [ ! -e \"$STUB_PING_GATE\" ]; do sleep 0.05; done; exit 0 ;;\n"
        "  *) exit 0 ;;\n"
        "esac\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", (m_dir.path() + QStringLiteral(":") + qEnvironmentVariable("PATH")).toUtf8());
    qputenv("STUB_PING_LOG", logPath().toUtf8());
    qputenv("STUB_PING_GATE", gatePath().toUtf8());
    set(Mode::Reachable);
  }

  bool valid() const { return m_dir.isValid(); }

  void set(Mode mode, const QString& reachableHosts = QString()) {
    static const char* const kModes[] = {"ok", "fail", "hang", "hosts", "gated"};
    qputenv("STUB_PING_MODE", kModes[static_cast<int>(mode)]);
    qputenv("STUB_PING_HOSTS", reachableHosts.toUtf8());
  }

  // Every call's arguments, one line each.
  QStringList calls() const {
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  void clearCalls() const { QFile::remove(logPath()); }

  // Gated probes wait while the gate is closed and answer reachable once it opens.
  void closeGate() const { QFile::remove(gatePath()); }
  void openGate() const {
    QFile gate(gatePath());
    gate.open(QIODevice::WriteOnly);
  }

 private:
  QString logPath() const { return m_dir.filePath(QStringLiteral("calls.log")); }
  QString gatePath() const { return m_dir.filePath(QStringLiteral("gate")); }

  QTemporaryDir m_dir;
};

}  // namespace StubPing

#endif
