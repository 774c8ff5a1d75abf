// History download replies: read into records and stored into a scratch account
// database. Whatever the reply, nothing crashes, a stored page stored again adds no
// row, no message is stored twice, and each stored row reads back as JSON.
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "FuzzTarget.h"
#include "TAPIInterface.h"
#include "db/TDBManager.h"
#include "services/THistorySync.h"
#include "util/TJsonHelper.h"

namespace {

TAPIInterface& Engine() {
  static TAPIInterface* api = [] {
    auto* a = new TAPIInterface;  // lives as long as the process
    char folder[] = "/tmp/tesmo-fuzz-history-XXXXXX";
    const char* dir = mkdtemp(folder);
    const std::string path = std::string(dir ? dir : "/tmp") + "/history.db";
    unlink(path.c_str());
    a->SetDatabase(path.c_str());
    return a;
  }();
  return *api;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDBManager* db = Engine().GetDatabaseManager();
  FUZZ_CHECK(db != nullptr);
  db->Exec("delete from nq_message");
  db->Exec("delete from nq_messagenew");

  const std::string reply(reinterpret_cast<const char*>(data), size);
  for (int seeflag = 0; seeflag < 2; ++seeflag) {
    THistoryPage page;
    if (!THistorySync::ReadHistory(reply, seeflag, &page)) {
      FUZZ_CHECK(page.records.empty() && page.revokes.empty());
      continue;
    }
    THistorySync::StoreHistoryBatch(page.records, page.conversations);
    const long long rows = db->QueryInt("select count(*) from nq_message", -1);
    FUZZ_CHECK(THistorySync::StoreHistoryBatch(page.records, page.conversations) == 0);
    FUZZ_CHECK(db->QueryInt("select count(*) from nq_message", -1) == rows);
    FUZZ_CHECK(db->QueryInt("select count(*) from (select 1 from nq_message group by msgid, "
                            "case when totype=1 then touser else '' end having count(*)>1)",
                            -1) == 0);
    const long long newest = db->QueryInt("select max(id) from nq_message", 0);
    if (newest > 0) {
      const std::string json = THistorySync::BuildMessageJson(static_cast<int>(newest));
      FUZZ_CHECK(TJsonHelper::Parse(json).isObject());
    }
  }
  return 0;
}
