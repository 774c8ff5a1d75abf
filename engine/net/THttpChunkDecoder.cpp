#include "net/THttpChunkDecoder.h"

#include <algorithm>
#include <cstring>
#include <utility>

THttpChunkDecoder::THttpChunkDecoder(char* buffer, int limit, int bodyStart, int used,
                                     int readChunk, Reader reader, FILE* file)
    : m_buffer(buffer),
      m_limit(limit),
      m_out(bodyStart),
      m_in(bodyStart),
      m_used(used),
      m_readChunk(readChunk),
      m_reader(std::move(reader)),
      m_file(file) {}

bool THttpChunkDecoder::ParseSizeLine(const char* line, int length, uint64_t& size) {
  int i = 0;
  while (i < length && (line[i] == ' ' || line[i] == '\t')) ++i;
  uint64_t value = 0;
  int digits = 0;
  int significant = 0;
  for (; i < length; ++i) {
    const char c = line[i];
    const int v = (c >= '0' && c <= '9')   ? c - '0'
                  : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                  : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                           : -1;
    if (v < 0) break;
    ++digits;
    if (value != 0 || v != 0) ++significant;
    if (significant > kMaxSizeDigits) return false;
    value = value * 16 + static_cast<uint64_t>(v);
  }
  while (i < length && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < length && (line[i] != ';' || digits == 0)) return false;
  size = value;
  return true;
}

bool THttpChunkDecoder::Run() {
  for (;;) {
    int lineEnd;
    while ((lineEnd = FindLineEnd()) < 0) {
      if (m_used - m_in > kMaxSizeLine + 1 || !Fill()) return false;
    }
    if (lineEnd - m_in > kMaxSizeLine) return false;
    uint64_t size = 0;
    if (!ParseSizeLine(m_buffer + m_in, lineEnd - m_in, size)) return false;
    m_in = lineEnd + 2;
    // The trailer section, if any, is not needed: the connection closes after the reply.
    if (size == 0) return true;
    if (!m_file && size > static_cast<uint64_t>(m_limit - m_out)) return false;
    uint64_t remaining = size;
    while (remaining > 0) {
      if (m_in == m_used && !Fill()) return false;
      const int take =
          static_cast<int>(std::min<uint64_t>(remaining, static_cast<uint64_t>(m_used - m_in)));
      if (!Emit(take)) return false;
      remaining -= static_cast<uint64_t>(take);
    }
    while (m_used - m_in < 2) {
      if (!Fill()) return false;
    }
    if (m_buffer[m_in] != '\r' || m_buffer[m_in + 1] != '\n') return false;
    m_in += 2;
  }
}

int THttpChunkDecoder::FindLineEnd() const {
  for (int i = m_in; i + 1 < m_used; ++i) {
    if (m_buffer[i] == '\r' && m_buffer[i + 1] == '\n') return i;
  }
  return -1;
}

bool THttpChunkDecoder::Fill() {
  const int pending = m_used - m_in;
  if (m_in > m_out) {
    std::memmove(m_buffer + m_out, m_buffer + m_in, static_cast<size_t>(pending));
    m_in = m_out;
    m_used = m_out + pending;
  }
  const int room = m_limit - m_used;
  if (room <= 0) return false;
  const int n = m_reader(m_buffer + m_used, std::min(m_readChunk, room));
  if (n <= 0) return false;
  m_used += n;
  return true;
}

bool THttpChunkDecoder::Emit(int count) {
  if (m_file) {
    if (std::fwrite(m_buffer + m_in, 1, static_cast<size_t>(count), m_file) !=
        static_cast<size_t>(count)) {
      return false;
    }
  } else {
    std::memmove(m_buffer + m_out, m_buffer + m_in, static_cast<size_t>(count));
    m_out += count;
  }
  m_in += count;
  return true;
}
