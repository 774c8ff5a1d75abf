// Argument texts: JSON object members written as fragments ("key": value,) and read
// back into parallel lists of keys and values.
#ifndef TESMO_UTIL_TARGLIST_H
#define TESMO_UTIL_TARGLIST_H

#include <string>
#include <vector>

// "key": "escaped value",
std::string MakeStringArgument(const std::string& key, const std::string& value);
// "key": 123,
std::string MakeIntArgument(const std::string& key, int value);

class TArgList {
 public:
  TArgList() = default;

  // Fills the lists from a JSON object text or an argument text, members in sorted key
  // order; bad JSON leaves them empty. Values are texts as TJsonHelper::GetString
  // gives them (true is "1", arrays and objects "").
  void Parse(const std::string& text);
  // The value of the first entry whose key equals key; "" when there is none.
  std::string Find(const std::string& key) const;
  // atoi of Find (clamped to the int range); 0 when absent.
  int GetInt(const std::string& key) const;
  // 1 when the key is present, else 0.
  int FindKey(const std::string& key) const;
  // The key or value at index; "" for an index out of range.
  std::string KeyAt(int index) const;
  std::string ValueAt(int index) const;
  int Count() const { return static_cast<int>(m_keys.size()); }

 private:
  std::vector<std::string> m_keys;
  std::vector<std::string> m_values;
};

#endif
