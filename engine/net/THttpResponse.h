// A parsed HTTP/1.x reply: status line, header lines and the bytes after them.
#ifndef TESMO_NET_THTTPRESPONSE_H
#define TESMO_NET_THTTPRESPONSE_H

#include "net/THttpMsg.h"

class THttpResponse : public THttpMsg {
 public:
  // Longest status or header line (continuations joined), CR LF excluded.
  static constexpr size_t kMaxLine = 4095;
  // The status line must be shorter than this.
  static constexpr size_t kMaxStatusLine = 1024;

  // Parses length bytes of text (0: up to its terminating zero). 0 on success, -1 when
  // the text is null, a line has no CR LF or is too long, the status line is not
  // "HTTP/1.<minor> <code>" with a positive code, or a header line has no ":". The
  // status is kept only for HTTP/1.0 and HTTP/1.1 (a later minor version parses but
  // leaves it 0). A new parse forgets the previous one.
  int Parse(const char* text, int length = 0);

  int GetStatus() const { return m_status; }
  int GetMinorVersion() const { return m_minorVersion; }

  // Reason phrase of a status code ("Not Found"), or "" for codes outside the table.
  static const char* GetReasonPhrase(int code);

 private:
  int m_minorVersion = 1;
  int m_status = 0;
};

#endif
