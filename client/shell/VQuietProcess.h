#ifndef TESMO_CLIENT_SHELL_VQUIETPROCESS_H
#define TESMO_CLIENT_SHELL_VQUIETPROCESS_H

#include <QString>
#include <QStringList>

// Runs a short helper program (found on PATH) with no input and its output
// discarded, and waits for it. Started with posix_spawn: unlike a fork, it copies
// none of this large, many-threaded process's memory map, so the other threads
// (the one drawing the windows above all) take no copy-on-write faults while the
// helper starts, however often it runs.
namespace VQuietProcess {

// The program's exit code; -1 when it could not be started, was ended by a
// signal, or had not ended within timeoutMs (it is killed and reaped then).
int run(const QString& program, const QStringList& arguments, int timeoutMs);

}  // namespace VQuietProcess

#endif
