// Texts that arrive enciphered: the string cipher and the configuration strings of the
// downloaded configuration file.
#include <string>

#include "FuzzTarget.h"
#include "util/TConfigKey.h"
#include "util/TConfigString.h"
#include "util/TStringCipher.h"
#include "util/TTextUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  DecryptString(text);
  std::string plain = "untouched";
  const int result = DecryptConfigString(BuiltInConfigKey(), text, plain);
  if (result != kConfigOk) FUZZ_CHECK(plain.empty());
  // Whatever the cipher writes, it reads back (less the blanks and control bytes at
  // the ends, which decryption trims along with the padding).
  const std::string cut = text.substr(0, 40);
  if (cut.find('\0') == std::string::npos) {
    const std::string sealed = EncryptString(cut);
    if (!sealed.empty()) FUZZ_CHECK(DecryptString(sealed) == Trim(cut));
  }
  return 0;
}
