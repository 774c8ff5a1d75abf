#include "util/TJsonText.h"

#include <json/json.h>

#include "util/TTextUtil.h"

std::string JsonTextKey(const std::string& key) { return "\"" + key + "\": "; }

std::string JsonTextIntField(const std::string& key, int64_t value) {
  return JsonTextKey(key) + std::to_string(value) + ",";
}

std::string JsonTextStringField(const std::string& key, const std::string& text) {
  return JsonTextKey(key) + JsonQuote(text) + ",";
}

std::string JsonQuote(const std::string& text) {
  try {
    return Json::valueToQuotedString(text.c_str());
  } catch (...) {
    return "\"\"";
  }
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
