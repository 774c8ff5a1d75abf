#include "core/TStringQueue.h"

#include <cstdlib>
#include <cstring>

#include "base/TAutoLock.h"

namespace {
char g_emptyText[1] = {'\0'};
constexpr size_t kResultRingCapacity = 32;
}  // namespace

TStringQueue::TStringQueue(size_t capacity) : m_capacity(capacity ? capacity : 1) {}

TStringQueue::~TStringQueue() {
  for (char* p : m_entries) free(p);
}

char* TStringQueue::EmptyText() { return g_emptyText; }

char* TStringQueue::Push(const char* text) {
  if (!text || !*text) return EmptyText();
  return PushBytes(text, strlen(text));
}

char* TStringQueue::Push(const std::string& text) {
  if (text.empty()) return EmptyText();
  // Stops at an inner zero byte, as a C text would.
  return PushBytes(text.c_str(), strlen(text.c_str()));
}

char* TStringQueue::PushBytes(const char* data, size_t length) {
  if (length == 0) return EmptyText();
  char* copy = static_cast<char*>(malloc(length + 1));
  if (!copy) return EmptyText();
  memcpy(copy, data, length);
  copy[length] = '\0';
  TAutoLock lock(m_mutex);
  if (m_entries.size() >= m_capacity) {
    free(m_entries.front());
    m_entries.pop_front();
  }
  m_entries.push_back(copy);
  return copy;
}

size_t TStringQueue::Count() {
  TAutoLock lock(m_mutex);
  return m_entries.size();
}

TStringQueue& ThreadResultRing() {
  thread_local TStringQueue ring(kResultRingCapacity);
  return ring;
}

char* FillResultBuffer(char* buffer, size_t n, const std::string& text) {
  if (n == 0) return TStringQueue::EmptyText();
  size_t len = strnlen(text.c_str(), text.size());
  if (len > n - 1) len = n - 1;
  memcpy(buffer, text.data(), len);
  buffer[len] = '\0';
  return buffer;
}
