// The engine core's work on the account database: session values and the
// configuration load.
#include "core/TEngineCore.h"

void TEngineCore::SetSaveInfoValue(const std::string& key, const std::string& value) {
  (void)key;
  (void)value;
}

void TEngineCore::LoadConfig() {}
