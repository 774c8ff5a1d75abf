#include "util/TTextCodec.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Bytes that the lead byte b says follow it (0 for ASCII and continuation bytes).
size_t FollowerCount(unsigned char b) {
  if ((b & 0xf0) == 0xf0) return 3;
  if ((b & 0xf0) == 0xe0) return 2;
  if ((b & 0xe0) == 0xc0) return 1;
  return 0;
}

bool HasEscapedText(const std::string& text) {
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    if (text[i] != '%') continue;
    char a = text[i + 1], b = text[i + 2];
    if (a == '2' && b == '5') return true;
    if ((a == 'f' || a == 'F') && HexDigitValue(b) >= 0) return true;
  }
  return false;
}

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ByteToHex(unsigned char byte) {
  static const char kHex[] = "0123456789abcdef";
  return std::string{kHex[byte >> 4], kHex[byte & 15]};
}

std::string EscapeEmoji(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const size_t follow = FollowerCount(b);
    if (follow > 0 && text.size() - i - 1 < follow) {
      ++i;  // a lead byte cut off by the end of the text
      continue;
    }
    if (follow == 3) {
      // Every byte of the sequence is escaped, whatever it holds, so the unescape
      // restores it exactly; the lead keeps its own value ("%f0" for every emoji).
      for (size_t k = 0; k < 4; ++k) {
        out += '%';
        out += ByteToHex(static_cast<unsigned char>(text[i + k]));
      }
      i += 4;
      continue;
    }
    if (b == '%') {
      out += "%25";
    } else {
      out += static_cast<char>(b);
    }
    ++i;
  }
  return out;
}

std::string UnescapeEmoji(const std::string& text) {
  if (!HasEscapedText(text)) return text;
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int hi = HexDigitValue(text[i + 1]), lo = HexDigitValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string Utf8ToAnsi(const std::string& text) { return text; }

void ConsolePrintf(const char* format, ...) {
  if (!format) return;
  va_list args;
  va_start(args, format);
  vfprintf(stdout, format, args);
  va_end(args);
  fflush(stdout);
}
