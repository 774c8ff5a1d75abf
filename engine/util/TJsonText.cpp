#include "util/TJsonText.h"

#include "util/TTextUtil.h"

std::string JsonTextKey(const std::string& key) { return "\"" + key + "\": "; }

std::string JsonTextIntField(const std::string& key, int64_t value) {
  return JsonTextKey(key) + std::to_string(value) + ",";
}

std::string JsonTextStringField(const std::string& key, const std::string& text) {
  return JsonTextKey(key) + JsonQuote(text) + ",";
}

std::string JsonQuote(const std::string& text) {
  // Only what JSON requires is escaped; every other byte, UTF-8 or not, is written as
  // it is. Decoding UTF-8 into \u escapes would alter text that is not valid UTF-8
  // (a lead byte swallows the bytes after it), and a text the engine received (an IM
  // packet's id, above all) must go back out byte for byte to be recognised.
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 0x0f];
        } else {
          out += c;
        }
      }
    }
  }
  out += '"';
  return out;
}

std::string JsonTextCloseObject(const std::string& fields) {
  if (fields.empty()) return std::string();
  if (fields[0] == '{') return fields;
  size_t len = fields.size();
  if (fields[len - 1] == ',') --len;
  return "{" + fields.substr(0, len) + "}";
}

std::string JsonTextStripBraces(const std::string& text) {
  std::string t = Trim(text);
  if (t.size() >= 2 && t.front() == '{' && t.back() == '}') return t.substr(1, t.size() - 2);
  return t;
}
