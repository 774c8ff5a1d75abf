// Hostile texts in every text parameter the store pastes into SQL: each is stored
// and found as given, and the database is intact afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"
#include "services/TMessageStore.h"

using storetest::FacadeTest;
using storetest::Quote;

namespace {

std::vector<std::string> Payloads() {
  return {
      "'",
      "''",
      "a'b",
      "'); drop table nq_message; --",
      "x' or '1'='1",
      "'; delete from nq_remark; select '",
      "12'); update nq_saveinfo set Content='owned'; --@tesmo.x",
      "\\'",
      "\"",
      "%s%d%n%x",
      "ünï'cödé",
      "--",
      "/*",
      std::string(3000, '\'') + "') ; drop table nq_contact; --",  // long: no fixed buffers
  };
}

}  // namespace

using StoreInjectionTest = FacadeTest;

TEST_F(StoreInjectionTest, EveryTextParameterIsEscaped) {
  ASSERT_TRUE(Exec("insert into nq_remark(account,name) values('sentinel','keep me')"));
  TDBManager* db = api->GetDatabaseManager();
  ASSERT_NE(db, nullptr);
  int n = 0;
  for (const std::string& p : Payloads()) {
    SCOPED_TRACE("payload #" + std::to_string(n));
    // nq_saveinfo: key and value.
    EXPECT_EQ(db->SetSaveInfo(1, p, p), 1);
    EXPECT_EQ(db->SetSaveInfo(1, p, p + "2"), 1);
    EXPECT_EQ(db->GetSaveInfo(1, p), p + "2");

    // A conversation keyed, filled and timed by the payload.
    int id = InsertMessage(p, "1@tesmo.x", 0, p, "2024-01-01 00:00:00");
    int id2 = InsertMessage(p, "1@tesmo.x", 0, "second", "2024-01-01 00:00:01", 0, 700 + n);
    EXPECT_EQ(TMessageStore::UpsertConversation(p, id, 0, p, p), 1);
    EXPECT_EQ(TMessageStore::UpsertConversation(p, id2, 0, "second", p), 1);
    EXPECT_EQ(SelectOne("select content from nq_messagenew where account=" + Quote(p)), "second");
    EXPECT_EQ(SelectOne("select crtime from nq_messagenew where account=" + Quote(p)), p);

    EXPECT_EQ(TMessageStore::MarkConversationSeen(p, 0), 1);
    EXPECT_EQ(TMessageStore::MarkConversationSeen(p, id), 1);
    EXPECT_EQ(SelectOne("select count(*) from nq_message where seeflag=1 and fromuser=" + Quote(p)),
              "2");
    EXPECT_EQ(TMessageStore::MarkRevokedByMsgId(700 + n, p, p), id2);
    EXPECT_EQ(TMessageStore::MarkRevokedByMsgId(700 + n, p + "group.", p), 0);

    ASSERT_TRUE(Exec("update nq_message set atflag=1 where id=" + std::to_string(id)));
    ASSERT_TRUE(
        Exec("update nq_message set touser=" + Quote(p) + " where id=" + std::to_string(id)));
    EXPECT_EQ(api->SearchAtMsg(p.c_str(), 1), 1);
    EXPECT_EQ(api->ClearAtFlag(p.c_str()), 1);
    EXPECT_EQ(api->SearchAtMsg(p.c_str(), 1), 0);

    // Deleting the latest rebuilds the row from the previous message's texts.
    ASSERT_TRUE(Exec("update nq_message set touser='1@tesmo.x' where id=" + std::to_string(id)));
    EXPECT_EQ(api->DeleteMessage(id2), 1);
    EXPECT_EQ(SelectOne("select content from nq_messagenew where account=" + Quote(p)), p);

    // Contact look-ups never reach SQL but must not mix payloads up either.
    EXPECT_EQ(api->ExistUser(p), 0);
    ++n;
  }

  // The account-id migration over hostile conversation keys.
  ASSERT_TRUE(Exec("update nq_messagenew set accountid=0"));
  ASSERT_TRUE(Exec("update nq_saveinfo set Content='' where key='INITACCCOUNTID'"));
  EXPECT_GE(TEngineCore::Instance()->MigrateAccountIds(), 1);
  EXPECT_EQ(SelectOne("select accountid from nq_messagenew where account=" +
                      Quote("12'); update nq_saveinfo set Content='owned'; --@tesmo.x")),
            "12");

  // Intact: every table, the sentinel row, no value overwritten, and a sound file.
  EXPECT_EQ(SelectOne("select count(*) from sqlite_master where type='table' and name like 'nq_%'"),
            "8");
  EXPECT_EQ(SelectOne("select name from nq_remark where account='sentinel'"), "keep me");
  EXPECT_EQ(SelectOne("select count(*) from nq_saveinfo where Content='owned'"), "0");
  EXPECT_EQ(SelectOne("select count(*) from nq_messagenew"), std::to_string(Payloads().size()));
  EXPECT_EQ(SelectOne("select * from pragma_integrity_check"), "ok");
}
