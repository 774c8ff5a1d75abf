// Argument and reply texts: the JSON helpers and the argument list over any text.
#include <string>

#include "FuzzTarget.h"
#include "util/TArgList.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"

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
  // Any text written as a JSON string reads back as the same bytes, whether it is
  // UTF-8 or not: what the engine received goes back out unchanged.
  const Json::Value quoted = TJsonHelper::Parse("{" + JsonTextStringField("k", text) + "\"z\":0}");
  FUZZ_CHECK(quoted.isObject());
  FUZZ_CHECK(TJsonHelper::GetString(quoted, "k") == text);
  return 0;
}
