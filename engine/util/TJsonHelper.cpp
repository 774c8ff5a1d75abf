#include "util/TJsonHelper.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The member when value is an object holding it, else nullptr. jsoncpp asserts (throws)
// when a non-object is asked for a member, so the type is checked first.
const Json::Value* Member(const Json::Value& value, const std::string& key) {
  if (!value.isObject()) return nullptr;
  try {
    return value.find(key.data(), key.data() + key.size());
  } catch (...) {
    return nullptr;
  }
}

int64_t ParseInt64(const std::string& text) {
  errno = 0;
  long long n = strtoll(text.c_str(), nullptr, 10);  // saturates on overflow
  return static_cast<int64_t>(n);
}

int ClampToInt(int64_t n) {
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

}  // namespace

Json::Value TJsonHelper::Parse(const std::string& text) {
  try {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = true;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
      return Json::Value();
    }
    return root;
  } catch (...) {
    return Json::Value();
  }
}

Json::Value TJsonHelper::ParseAccepted(const std::string& text) {
  Json::Value root = Parse(text);
  if (!root.isObject() || GetInt(root, "code") != 1) return Json::Value();
  return root;
}

std::string TJsonHelper::ToStyledText(const Json::Value& value) {
  try {
    Json::StreamWriterBuilder builder;
    builder["emitUTF8"] = true;
    return Json::writeString(builder, value);
  } catch (...) {
    return std::string();
  }
}

bool TJsonHelper::HasMember(const Json::Value& value, const std::string& key) {
  return Member(value, key) != nullptr;
}

const Json::Value* TJsonHelper::FindMember(const Json::Value& value, const std::string& key) {
  return Member(value, key);
}

Json::Value TJsonHelper::GetValue(const Json::Value& value, const std::string& key) {
  const Json::Value* member = Member(value, key);
  return member ? *member : Json::Value();
}

std::string TJsonHelper::ValueToString(const Json::Value& value) {
  char buf[64];
  try {
    switch (value.type()) {
      case Json::stringValue:
        return value.asString();
      case Json::intValue:
        snprintf(buf, sizeof(buf), "%lld", static_cast<long long>(value.asLargestInt()));
        return buf;
      case Json::uintValue:
        snprintf(buf, sizeof(buf), "%llu", static_cast<unsigned long long>(value.asLargestUInt()));
        return buf;
      case Json::booleanValue:
        return value.asBool() ? "1" : "0";
      case Json::realValue:
        snprintf(buf, sizeof(buf), "%f", value.asDouble());
        return buf;
      default:
        return std::string();
    }
  } catch (...) {
    return std::string();
  }
}

int64_t TJsonHelper::ValueToInt64(const Json::Value& value) {
  try {
    switch (value.type()) {
      case Json::intValue:
        return value.asLargestInt();
      case Json::uintValue: {
        Json::LargestUInt u = value.asLargestUInt();
        return u > static_cast<Json::LargestUInt>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(u);
      }
      case Json::booleanValue:
        return value.asBool() ? 1 : 0;
      case Json::realValue: {
        double d = value.asDouble();
        if (!(d == d)) return 0;
        if (d >= 9.2e18) return INT64_MAX;
        if (d <= -9.2e18) return INT64_MIN;
        return static_cast<int64_t>(d);
      }
      case Json::stringValue:
        return ParseInt64(value.asString());
      default:
        return 0;
    }
  } catch (...) {
    return 0;
  }
}

std::string TJsonHelper::GetString(const Json::Value& value, const std::string& key) {
  const Json::Value* member = Member(value, key);
  return member ? ValueToString(*member) : std::string();
}

int TJsonHelper::GetInt(const Json::Value& value, const std::string& key) {
  const Json::Value* member = Member(value, key);
  if (!member) return 0;
  if (member->isBool()) return member->asBool() ? 1 : 0;
  return ClampToInt(ParseInt64(ValueToString(*member)));
}

int64_t TJsonHelper::GetInt64(const Json::Value& value, const std::string& key) {
  const Json::Value* member = Member(value, key);
  return member ? ValueToInt64(*member) : 0;
}
