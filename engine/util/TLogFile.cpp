#include "util/TLogFile.h"

#include <cstdarg>

#include "base/TAutoLock.h"
#include "platform/clock.h"

TLogFile::~TLogFile() { Close(); }

void TLogFile::Open(const char* path) {
  (void)path;
  TAutoLock lock(m_mutex);
  m_stream.store(nullptr, std::memory_order_release);
}

void TLogFile::Attach(FILE* stream) {
  TAutoLock lock(m_mutex);
  m_stream.store(stream, std::memory_order_release);
}

void TLogFile::Close() {
  TAutoLock lock(m_mutex);
  FILE* stream = m_stream.exchange(nullptr, std::memory_order_acq_rel);
  if (stream) fclose(stream);
}

void TLogFile::WriteLine(const char* text) {
  if (!IsOpen()) return;
  TAutoLock lock(m_mutex);
  FILE* stream = m_stream.load(std::memory_order_acquire);
  if (!stream) return;
  std::tm tm = tesmo::LocalTimeNow();
  FPrintf(stream, "[%04d-%02d-%02d %02d:%02d:%02d.%u] :%s\n", tm.tm_year + 1900, tm.tm_mon + 1,
          tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<unsigned>(tesmo::TickCountMs()),
          text ? text : "");
  fflush(stream);
}

void TLogFile::Printf(const char* format, ...) {
  if (!IsOpen()) return;
  char buffer[8192];
  va_list args;
  va_start(args, format);
  vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  buffer[sizeof(buffer) - 1] = '\0';
  WriteLine(buffer);
}

int TLogFile::FPrintf(FILE* stream, const char* format, ...) {
  if (!stream) return -1;
  va_list args;
  va_start(args, format);
  int n = vfprintf(stream, format, args);
  va_end(args);
  return n;
}
