// Argument and reply texts: the JSON helpers and the argument list over any text.
#include <string>

#include "FuzzTarget.h"
#include "util/TArgList.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"

namespace {

// Texts cross the engine as UTF-8; only well-formed ones (no overlong forms, no
// surrogates, nothing past U+10FFFF) must survive quoting unchanged.
bool IsUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (c < 0x80) {
      n = 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      const unsigned char b = static_cast<unsigned char>(s[i + k]);
      if (k == 1 ? (b < lo || b > hi) : (b >> 6) != 2) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TArgList args;
  args.Parse(text);
  for (int i = 0; i < args.Count(); ++i) {
    FUZZ_CHECK(args.FindKey(args.KeyAt(i)) == 1);
    args.GetInt(args.KeyAt(i));
  }
  const Json::Value value = TJsonHelper::Parse(text);
  if (value.isObject()) {
    for (const std::string& key : value.getMemberNames()) {
      TJsonHelper::GetString(value, key);
      TJsonHelper::GetInt(value, key);
      TJsonHelper::GetInt64(value, key);
    }
  }
  // Any UTF-8 text written as a JSON string reads back unchanged.
  const Json::Value quoted = TJsonHelper::Parse("{" + JsonTextStringField("k", text) + "\"z\":0}");
  if (text.find('\0') == std::string::npos && IsUtf8(text)) {
    FUZZ_CHECK(quoted.isObject());
    FUZZ_CHECK(TJsonHelper::GetString(quoted, "k") == text);
  }
  return 0;
}
