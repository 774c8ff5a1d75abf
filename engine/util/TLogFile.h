#ifndef TESMO_UTIL_TLOGFILE_H
#define TESMO_UTIL_TLOGFILE_H

#include <atomic>
#include <cstdio>

#include "base/TBaseMutex.h"

// Log writer. The engine writes no log files: Open only records that a log was
// asked for and leaves the writer closed, so every write returns at once. A stream
// given through Attach (diagnostics) is written under the writer's own mutex.
// Open, Attach and Close may run while other threads write: the stream is read
// atomically and changed, written and closed only under the mutex.
class TLogFile {
 public:
  TLogFile() = default;
  ~TLogFile();
  TLogFile(const TLogFile&) = delete;
  TLogFile& operator=(const TLogFile&) = delete;

  bool IsOpen() const { return m_stream.load(std::memory_order_acquire) != nullptr; }
  void Open(const char* path);
  void Attach(FILE* stream);
  void Close();
  void WriteLine(const char* text);
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  static int FPrintf(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

 private:
  std::atomic<FILE*> m_stream{nullptr};
  // Made with the writer and kept until it ends: a writer thread may hold it while
  // another thread closes the stream.
  TBaseMutex m_mutex;
};

#endif
