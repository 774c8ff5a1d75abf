// A server reply of the usual shape {"code": n, "msg": "...", "result": {...}} read
// once into plain values, so handlers ask for members by name without touching JSON.
#ifndef TESMO_UTIL_TREPLYRECORD_H
#define TESMO_UTIL_TREPLYRECORD_H

#include <string>
#include <vector>

class TReplyRecord {
 public:
  // Never throws: a text that is not JSON gives ok 0, code 0 and no members.
  explicit TReplyRecord(const std::string& text);

  int ok = 0;    // 1 when the text parsed as JSON
  int code = 0;  // "code" as an integer, 0 when absent
  std::string msg;
  // Member names of "result" and their values as texts, in parallel.
  std::vector<std::string> keys;
  std::vector<std::string> values;

  // The value of the first member named exactly name; "" when there is none.
  std::string GetString(const std::string& name) const;
  // atoi of GetString: 0 when absent or not a number.
  int GetInt(const std::string& name) const;
  // True when "result" has a member named exactly name.
  bool Has(const std::string& name) const;
};

#endif
