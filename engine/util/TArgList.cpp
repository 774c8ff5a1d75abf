#include "util/TArgList.h"

#include <climits>
#include <cstdlib>

#include "util/TJsonHelper.h"
#include "util/TJsonText.h"

std::string MakeStringArgument(const std::string& key, const std::string& value) {
  return JsonTextStringField(key, value);
}

std::string MakeIntArgument(const std::string& key, int value) {
  return JsonTextIntField(key, value);
}

void TArgList::Parse(const std::string& text) {
  m_keys.clear();
  m_values.clear();
  if (text.empty()) return;
  Json::Value root = TJsonHelper::Parse(JsonTextCloseObject(text));
  if (!root.isObject()) return;
  try {
    for (const std::string& name : root.getMemberNames()) {
      m_keys.push_back(name);
      m_values.push_back(TJsonHelper::GetString(root, name));
    }
  } catch (...) {
    m_keys.clear();
    m_values.clear();
  }
}

std::string TArgList::Find(const std::string& key) const {
  for (size_t i = 0; i < m_keys.size(); ++i) {
    if (m_keys[i] == key) return m_values[i];
  }
  return std::string();
}

int TArgList::GetInt(const std::string& key) const {
  long long n = strtoll(Find(key).c_str(), nullptr, 10);
  return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

int TArgList::FindKey(const std::string& key) const {
  for (const std::string& k : m_keys) {
    if (k == key) return 1;
  }
  return 0;
}

std::string TArgList::KeyAt(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_keys.size()) return std::string();
  return m_keys[static_cast<size_t>(index)];
}

std::string TArgList::ValueAt(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_values.size()) return std::string();
  return m_values[static_cast<size_t>(index)];
}
