#include "util/TReplyRecord.h"

#include <climits>
#include <cstdlib>

#include "util/TJsonHelper.h"

TReplyRecord::TReplyRecord(const std::string& text) {
  Json::Value root = TJsonHelper::Parse(text);
  if (root.isNull()) return;
  code = TJsonHelper::GetInt(root, "code");
  msg = TJsonHelper::GetString(root, "msg");
  Json::Value result = TJsonHelper::GetValue(root, "result");
  if (result.isObject()) {
    for (const std::string& name : result.getMemberNames()) {
      keys.push_back(name);
      values.push_back(TJsonHelper::GetString(result, name));
    }
  }
  ok = 1;
}

std::string TReplyRecord::GetString(const std::string& name) const {
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == name) return values[i];
  }
  return std::string();
}

int TReplyRecord::GetInt(const std::string& name) const {
  // strtoll saturates where atoi would overflow; the result is then clamped.
  long long n = strtoll(GetString(name).c_str(), nullptr, 10);
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

bool TReplyRecord::Has(const std::string& name) const {
  for (const std::string& key : keys) {
    if (key == name) return true;
  }
  return false;
}
