#include "services/TServiceDatabase.h"

#include "db/SqlText.h"
#include "db/TAccountScope.h"
#include "services/TFacadeLink.h"
#include "services/TServiceContext.h"
#include "util/TJsonText.h"
#include "util/TTextCodec.h"

TDBManager* ServiceDatabase() {
  if (TAccountScope::IsStale()) return nullptr;
  if (TServiceContext* core = TServiceContext::Instance()) return core->GetDatabase();
  TFacadeLink* facade = TFacadeLink::Current();
  return facade ? facade->GetDatabaseManager() : nullptr;
}

TContactCache* ServiceContactCache() {
  if (TAccountScope::IsStale()) return nullptr;
  TServiceContext* core = TServiceContext::Instance();
  return core ? core->GetContactCache() : nullptr;
}

bool AcceptSqlId(const std::string& id, const char* where) {
  if (SqlIsDecimalId(id)) return true;
  ConsolePrintf("%s: refused id %s\n", where, JsonQuote(id).c_str());
  return false;
}
