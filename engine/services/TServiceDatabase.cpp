#include "services/TServiceDatabase.h"

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/SqlText.h"
#include "util/TJsonText.h"
#include "util/TTextCodec.h"

TDBManager* ServiceDatabase() {
  if (TEngineCore* core = TEngineCore::Instance()) return core->GetDatabase();
  TAPIInterface* facade = TAPIInterface::Instance();
  return facade ? facade->GetDatabaseManager() : nullptr;
}

TContactCache* ServiceContactCache() {
  TEngineCore* core = TEngineCore::Instance();
  return core ? core->GetContactCache() : nullptr;
}

bool AcceptSqlId(const std::string& id, const char* where) {
  if (SqlIsDecimalId(id)) return true;
  ConsolePrintf("%s: refused id %s\n", where, JsonQuote(id).c_str());
  return false;
}
