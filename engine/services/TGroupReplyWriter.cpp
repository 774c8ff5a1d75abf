#include "services/TGroupReplyWriter.h"

#include "util/TJsonText.h"

TGroupReplyWriter::TGroupReplyWriter(const std::string& status)
    : m_fields(JsonTextStringField("cmd", status)) {}

void TGroupReplyWriter::Text(const std::string& key, const std::string& value) {
  m_fields += JsonTextStringField(key, value);
}

void TGroupReplyWriter::Int(const std::string& key, int64_t value) {
  m_fields += JsonTextIntField(key, value);
}

void TGroupReplyWriter::List(const std::string& key, const std::vector<std::string>& objects) {
  m_fields += ListField(key, objects);
}

std::string TGroupReplyWriter::ListField(const std::string& key,
                                         const std::vector<std::string>& objects) {
  std::string field = JsonTextKey(key) + "[";
  for (size_t i = 0; i < objects.size(); ++i) field += (i ? "," : "") + objects[i];
  return field + "],";
}

std::string TGroupReplyWriter::Finish() const {
  std::string result = m_fields;
  if (!result.empty() && result.back() == ',') result.pop_back();
  return "{\n" + JsonTextIntField("code", 1) + JsonTextStringField("msg", "OK") +
         JsonTextKey("result") + "{" + result + "}}";
}

TGroupReplyWriter::Object& TGroupReplyWriter::Object::Text(const std::string& key,
                                                           const std::string& value) {
  m_fields += JsonTextStringField(key, value);
  return *this;
}

TGroupReplyWriter::Object& TGroupReplyWriter::Object::Int(const std::string& key, int64_t value) {
  m_fields += JsonTextIntField(key, value);
  return *this;
}

std::string TGroupReplyWriter::Object::Close() const {
  return m_fields.empty() ? "{}" : JsonTextCloseObject(m_fields);
}
