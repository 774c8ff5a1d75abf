#include "net/THttpResponse.h"

#include <cstring>

#include "util/TTextUtil.h"

namespace {

struct ReasonRow {
  int code;
  const char* text;
};

constexpr ReasonRow kReasons[] = {
    {100, "Continue"},
    {101, "Switching Protocols"},
    {200, "OK"},
    {201, "Created"},
    {202, "Accepted"},
    {203, "Non-Authoritative Information"},
    {204, "No Content"},
    {205, "Reset Content"},
    {206, "Partial Content"},
    {300, "Multiple Choices"},
    {301, "Moved Permanently"},
    {302, "Found"},
    {303, "See Other"},
    {304, "Not Modified"},
    {305, "Use Proxy"},
    {307, "Temporary Redirect"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {402, "Payment Required"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {406, "Not Acceptable"},
    {407, "Proxy Authentication Required"},
    {408, "Request Timeout"},
    {409, "Conflict"},
    {410, "Gone"},
    {411, "Length Required"},
    {412, "Precondition Failed"},
    {413, "Request Entity Too Large"},
    {414, "Request-URI Too Long"},
    {415, "Unsupported Media Type"},
    {416, "Requested Range Not Satisfiable"},
    {417, "Expectation Failed"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {504, "Gateway Timeout"},
    {505, "HTTP Version Not Supported"},
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads one line ending in CR LF from [pos, end): the line without CR LF, and pos moved
// behind it. False when no CR comes before the end, the CR is not followed by LF, the
// line holds a bare LF (a line break other parsers would see), or it is too long.
bool ReadLine(const char*& pos, const char* end, std::string& line) {
  const char* cr = static_cast<const char*>(std::memchr(pos, '\r', static_cast<size_t>(end - pos)));
  if (!cr || cr + 1 >= end || cr[1] != '\n') return false;
  if (static_cast<size_t>(cr - pos) > THttpResponse::kMaxLine) return false;
  if (std::memchr(pos, '\n', static_cast<size_t>(cr - pos))) return false;
  line.assign(pos, cr);
  pos = cr + 2;
  return true;
}

// "HTTP/1.<minor> <code> ...": the version word and a positive code, as a "%s %d" scan
// reads them.
bool ParseStatusLine(const std::string& line, int& minor, int& code) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  size_t wordStart = i;
  while (i < line.size() && !IsBlank(line[i])) ++i;
  std::string word = line.substr(wordStart, i - wordStart);
  while (i < line.size() && IsBlank(line[i])) ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';
  size_t digits = 0;
  long value = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9' && digits < 10) {
    value = value * 10 + (line[i++] - '0');
    ++digits;
  }
  if (word.empty() || digits == 0 || digits >= 10 || negative || value <= 0) return false;
  static const char kPrefix[] = "HTTP/1.";
  const size_t prefixLength = sizeof(kPrefix) - 1;
  if (word.compare(0, prefixLength, kPrefix) != 0 || word.size() == prefixLength) return false;
  if (word.size() - prefixLength > 4) return false;
  int m = 0;
  for (size_t k = prefixLength; k < word.size(); ++k) {
    if (word[k] < '0' || word[k] > '9') return false;
    m = m * 10 + (word[k] - '0');
  }
  minor = m;
  code = static_cast<int>(value);
  return true;
}

}  // namespace

int THttpResponse::Parse(const char* text, int length) {
  Clear();
  m_minorVersion = 1;
  m_status = 0;
  if (!text || length < 0) return -1;
  const char* pos = text;
  const char* end = text + (length == 0 ? std::strlen(text) : static_cast<size_t>(length));

  std::string line;
  if (!ReadLine(pos, end, line) || line.size() >= kMaxStatusLine) return -1;
  int minor = 0;
  int code = 0;
  if (!ParseStatusLine(line, minor, code)) return -1;
  m_minorVersion = minor;
  if (minor == 0 || minor == 1) m_status = code;

  for (;;) {
    if (pos == end) return 0;  // a header block handed over without its empty line
    if (!ReadLine(pos, end, line)) return -1;
    if (line.empty()) break;
    // Obsolete line folding: a line that starts with a blank or tab continues this one.
    while (pos < end && (*pos == ' ' || *pos == '\t')) {
      std::string more;
      if (!ReadLine(pos, end, more) || line.size() + more.size() > kMaxLine) return -1;
      line += more;
    }
    size_t colon = line.find(':');
    if (colon == std::string::npos) return -1;
    AddHeader(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
  }
  if (pos < end) SetBody(pos, static_cast<size_t>(end - pos));
  return 0;
}

const char* THttpResponse::GetReasonPhrase(int code) {
  for (const ReasonRow& row : kReasons) {
    if (row.code == code) return row.text;
  }
  return "";
}
