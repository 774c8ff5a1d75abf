// Facade: argument texts, digests, ids, the string cipher and configuration strings.
// Everything runs at once on the caller's thread.
#include <openssl/err.h>

#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"
#include "util/TArgList.h"
#include "util/TConfigKey.h"
#include "util/TConfigString.h"
#include "util/TDigest.h"
#include "util/TJsonText.h"
#include "util/TPasswordHash.h"
#include "util/TStringCipher.h"
#include "util/TTextCodec.h"
#include "util/TTransId.h"

namespace {

constexpr size_t kIdBufferSize = 128;

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

char* Ring(const std::string& text) {
  return text.empty() ? TStringQueue::EmptyText() : ThreadResultRing().Push(text);
}

// Runs a codec on outside text of any size: an allocation that fails answers like
// bad input ("" or 0) instead of leaving the facade as an exception.
template <typename Result, typename Work>
Result Guarded(Result failed, Work work) {
  try {
    return work();
  } catch (...) {
    return failed;
  }
}

template <typename Work>
char* GuardedText(Work work) {
  return Guarded<char*>(TStringQueue::EmptyText(), work);
}

}  // namespace

char* TAPIInterface::ArgumentToJson(const char* args) {
  return GuardedText([&] { return Ring(JsonTextCloseObject(Text(args))); });
}

char* TAPIInterface::EncodeArgument(const char* key, const char* value) {
  return GuardedText([&] { return Ring(MakeStringArgument(Text(key), Text(value))); });
}

char* TAPIInterface::EncodeIntArgument(const char* key, int value) {
  return GuardedText([&] { return Ring(MakeIntArgument(Text(key), value)); });
}

char* TAPIInterface::DecodeArgument(const char* args, const char* key) {
  return GuardedText([&] {
    TArgList list;
    list.Parse(Text(args));
    return Ring(list.Find(Text(key)));
  });
}

int TAPIInterface::DecodeIntArgument(const char* args, const char* key) {
  return Guarded(0, [&] {
    TArgList list;
    list.Parse(Text(args));
    return list.GetInt(Text(key));
  });
}

char* TAPIInterface::Md5Encode(const char* text) {
  thread_local char buffer[kIdBufferSize];
  buffer[0] = '\0';
  return Guarded<char*>(
      buffer, [&] { return FillResultBuffer(buffer, sizeof(buffer), Md5Hex(Text(text))); });
}

char* TAPIInterface::NewTransID(const char* text) {
  thread_local char buffer[kIdBufferSize];
  buffer[0] = '\0';
  return Guarded<char*>(
      buffer, [&] { return FillResultBuffer(buffer, sizeof(buffer), MakeTransId(Text(text))); });
}

char* TAPIInterface::EncodePassword(const char* text, const char* account, int type) {
  if (!TEngineCore::Instance()) return TStringQueue::EmptyText();
  return GuardedText([&] { return Ring(HashPassword(Text(text), Text(account), type)); });
}

char* TAPIInterface::EncryptString(const char* text) {
  return GuardedText([&] { return Ring(::EncryptString(Text(text))); });
}

char* TAPIInterface::DecryptString(const char* text) {
  return GuardedText([&] { return Ring(::DecryptString(Text(text))); });
}

char* TAPIInterface::GetAppCfgString(const char* text) {
  if (!TEngineCore::Instance() || !text) return TStringQueue::EmptyText();
  return GuardedText([&] {
    OPENSSL_init_crypto(OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr);
    std::string plain;
    int result = DecryptConfigString(BuiltInConfigKey(), text, plain);
    if (result != kConfigOk) {
      // The code only: decrypted texts are never printed.
      ConsolePrintf("decrypt error: %d\n", result);
      return TStringQueue::EmptyText();
    }
    return Ring(plain);
  });
}
