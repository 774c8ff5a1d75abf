#ifndef TESMO_UTIL_TLOGFILE_H
#define TESMO_UTIL_TLOGFILE_H

#include <cstdio>
#include <memory>

#include "base/TBaseMutex.h"

// Log writer. The engine writes no log files: Open only records that a log was
// asked for and leaves the writer closed, so every write returns at once. A stream
// given through Attach (diagnostics) is written under the writer's own mutex.
class TLogFile {
 public:
  TLogFile() = default;
  ~TLogFile();
  TLogFile(const TLogFile&) = delete;
  TLogFile& operator=(const TLogFile&) = delete;

  bool IsOpen() const { return m_stream != nullptr; }
  void Open(const char* path);
  void Attach(FILE* stream);
  void Close();
  void WriteLine(const char* text);
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  static int FPrintf(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

 private:
  FILE* m_stream = nullptr;
  std::unique_ptr<TBaseMutex> m_mutex;
};

#endif
