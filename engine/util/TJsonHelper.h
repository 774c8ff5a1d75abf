// Reads fields of parsed JSON without ever throwing: a missing member, a wrong type or
// a number past the target's range gives an empty or clamped value, never an exception.
#ifndef TESMO_UTIL_TJSONHELPER_H
#define TESMO_UTIL_TJSONHELPER_H

#include <json/json.h>

#include <cstdint>
#include <string>

class TJsonHelper {
 public:
  TJsonHelper() = default;

  // The parsed value; null when the text does not parse.
  static Json::Value Parse(const std::string& text);
  // True when value is an object that has the member.
  static bool HasMember(const Json::Value& value, const std::string& key);
  // The member itself, without a copy; null when absent or value is no object.
  static const Json::Value* FindMember(const Json::Value& value, const std::string& key);
  // A copy of the member; null when absent.
  static Json::Value GetValue(const Json::Value& value, const std::string& key);
  // Text of the member: strings as they are, integers in decimal (64-bit kept whole),
  // booleans as 1 or 0, reals with "%f"; absent, null, arrays and objects give "".
  static std::string GetString(const Json::Value& value, const std::string& key);
  // atoi of GetString (booleans 1 or 0), clamped to the int range.
  static int GetInt(const Json::Value& value, const std::string& key);
  // The member as a 64-bit integer: ids and millisecond times keep their full value.
  static int64_t GetInt64(const Json::Value& value, const std::string& key);

  // A server reply that was accepted: the parsed object when the text is a JSON object
  // whose "code" is 1, else null.
  static Json::Value ParseAccepted(const std::string& text);
  // The value written out in the library's indented form (UTF-8 kept as it is); "" when
  // it cannot be written.
  static std::string ToStyledText(const Json::Value& value);

  // The conversions above applied to a value itself rather than to a member.
  static std::string ValueToString(const Json::Value& value);
  static int64_t ValueToInt64(const Json::Value& value);
};

#endif
