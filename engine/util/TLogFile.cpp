#include "util/TLogFile.h"

#include <cstdarg>

#include "base/TAutoLock.h"
#include "platform/clock.h"

TLogFile::~TLogFile() { Close(); }

void TLogFile::Open(const char* path) {
  (void)path;
  m_stream = nullptr;
}

void TLogFile::Attach(FILE* stream) {
  if (!m_mutex) m_mutex = std::make_unique<TBaseMutex>();
  m_stream = stream;
}

void TLogFile::Close() {
  if (m_stream) {
    fclose(m_stream);
    m_stream = nullptr;
  }
  m_mutex.reset();
}

void TLogFile::WriteLine(const char* text) {
  if (!m_stream || !m_mutex) return;
  TAutoLock lock(m_mutex.get());
  std::tm tm = tesmo::LocalTimeNow();
  FPrintf(m_stream, "[%04d-%02d-%02d %02d:%02d:%02d.%u] :%s\n", tm.tm_year + 1900, tm.tm_mon + 1,
          tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<unsigned>(tesmo::TickCountMs()),
          text ? text : "");
  fflush(m_stream);
}

void TLogFile::Printf(const char* format, ...) {
  if (!m_stream) return;
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
