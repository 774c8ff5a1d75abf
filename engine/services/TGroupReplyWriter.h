// The answers the group command processor writes for the program in place of the
// server's: {"code": 1, "msg": "OK", "result": {"cmd": status, fields..., lists...}}.
#ifndef TESMO_SERVICES_TGROUPREPLYWRITER_H
#define TESMO_SERVICES_TGROUPREPLYWRITER_H

#include <cstdint>
#include <string>
#include <vector>

class TGroupReplyWriter {
 public:
  // status is the result's "cmd": "OK", or the error word of a local failure.
  explicit TGroupReplyWriter(const std::string& status);

  void Text(const std::string& key, const std::string& value);
  void Int(const std::string& key, int64_t value);
  // key: [object, object, ...]; each object is a text made by Object.
  void List(const std::string& key, const std::vector<std::string>& objects);
  std::string Finish() const;

  // "key": [object,...], as a field of a request body or an answer.
  static std::string ListField(const std::string& key, const std::vector<std::string>& objects);

  // Collects the fields of one list entry.
  class Object {
   public:
    Object& Text(const std::string& key, const std::string& value);
    Object& Int(const std::string& key, int64_t value);
    std::string Close() const;

   private:
    std::string m_fields;
  };

 private:
  std::string m_fields;
};

#endif
