#ifndef TESMO_CORE_TSTRINGQUEUE_H
#define TESMO_CORE_TSTRINGQUEUE_H

#include <cstddef>
#include <deque>
#include <string>

#include "base/TBaseMutex.h"

// Ring of the last N returned texts. A pointer handed out stays valid until N
// further non-empty texts have been pushed; the empty text is a static one.
class TStringQueue {
 public:
  explicit TStringQueue(size_t capacity);
  ~TStringQueue();
  TStringQueue(const TStringQueue&) = delete;
  TStringQueue& operator=(const TStringQueue&) = delete;

  char* Push(const char* text);
  char* Push(const std::string& text);
  size_t Count();

  static char* EmptyText();

 private:
  char* PushBytes(const char* data, size_t length);

  size_t m_capacity;
  std::deque<char*> m_entries;
  TBaseMutex m_mutex;
};

// The calling thread's result ring of the facade (capacity 32): each thread keeps
// its own, so another thread's results never free this thread's texts.
TStringQueue& ThreadResultRing();

// Copies text into a per-method, per-thread buffer of n bytes (cut to n-1).
char* FillResultBuffer(char* buffer, size_t n, const std::string& text);

#endif
