// Rows of outgoing messages on a real account database: what a new row holds, how
// it is marked sent, failed or revoked, and that every send finds its own row while
// other threads insert.
#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/TEngineCore.h"
#include "engine/db/StoreTestSupport.h"
#include "services/TSentMessageStore.h"

namespace {

using storetest::Quote;

constexpr char kOwn[] = "1001@tesmo.x";

class SendStoreTest : public storetest::FacadeTest {
 protected:
  void SetUp() override {
    storetest::FacadeTest::SetUp();
    TEngineCore* core = TEngineCore::Instance();
    core->SetUserAccount("1001", kOwn);
    core->SetProfile("Me", "http://logo", "", "", 7, 0);
    core->SetDeviceType(2);
  }
  std::vector<std::string> Row(int id, const std::string& columns) {
    auto rows = Select("select " + columns + " from nq_message where id=" + std::to_string(id));
    return rows.empty() ? std::vector<std::string>() : rows[0];
  }
};

TEST_F(SendStoreTest, NewRowHoldsEveryColumnWithTextsAsGiven) {
  const std::string bigText(100000, 'x');
  struct Case {
    const char* what;
    std::string to;
    int msgtype;
    std::string content;
    std::string path;
    std::string remark;
    int fwflag;
    const char* accountid;
    const char* fromgroup;
    const char* totype;
  } cases[] = {
      {"text to a person", "2002@tesmo.x", 0, "it's \xF0\x9F\x98\x80 ok", "", "{\"a\": 'q'}", 0,
       "2002", "", "0"},
      {"file to a group", "3003@group.tesmo.x", 3, "", "/home/me/it's here.txt",
       "{\"filename\": \"it's here.txt\"}", 0, "3003", "3003@group.tesmo.x", "1"},
      {"forwarded copy", "4004@tesmo.x", 2, "http://files/x.png", "", "", 1, "4004", "", "0"},
      {"quote in the target", "5'005@tesmo.x", 0, "'); drop table nq_message; --", "", "", 0, "5",
       "", "0"},
      {"long text", "6006@tesmo.x", 0, bigText, "", bigText, 0, "6006", "", "0"},
  };
  std::regex timePattern(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int id = TSentMessageStore::InsertSentMessage(c.msgtype, c.to, c.content, c.path, c.remark,
                                                  c.fwflag);
    ASSERT_GT(id, 0);
    auto r = Row(id,
                 "msgid,accountid,msgtype,fromuser,fromgroup,fromver,device,touser,totype,content,"
                 "remark,localpath,fileurl,sendflag,sendstate,localsend,seeflag,atflag,sendtime,"
                 "fwflag,revokeflag");
    ASSERT_EQ(r.size(), 21u);
    std::vector<std::string> want = {"0",
                                     c.accountid,
                                     std::to_string(c.msgtype),
                                     kOwn,
                                     c.fromgroup,
                                     "7",
                                     "2",
                                     c.to,
                                     c.totype,
                                     c.content,
                                     c.remark,
                                     c.path,
                                     "",
                                     "1",
                                     "2",
                                     "1",
                                     "1",
                                     "0",
                                     r[18],
                                     std::to_string(c.fwflag),
                                     "0"};
    EXPECT_EQ(r, want);
    EXPECT_TRUE(std::regex_match(r[18], timePattern)) << r[18];
    // The conversation now points at the new row, with the plain content.
    auto conv = Select("select msgid,msgtype,content,crtime from nq_messagenew where account=" +
                       Quote(c.to));
    ASSERT_EQ(conv.size(), 1u);
    EXPECT_EQ(conv[0][0], std::to_string(id));
    EXPECT_EQ(conv[0][1], std::to_string(c.msgtype));
    EXPECT_EQ(conv[0][2], c.content);
    EXPECT_EQ(conv[0][3], r[18]);
  }
  EXPECT_EQ(SelectOne("select count(*) from nq_message"), "5");
}

TEST_F(SendStoreTest, SendingMarksTheConversationReadUpToTheNewRow) {
  int before = InsertMessage("2002@tesmo.x", kOwn, 0, "hello", "2024-01-01 00:00:00");
  int otherPeer = InsertMessage("9009@tesmo.x", kOwn, 0, "other", "2024-01-01 00:00:00");
  int group = InsertMessage("2002@tesmo.x", "8@group.tesmo.x", 1, "in a group",
                            "2024-01-01 00:00:00", 0, 0, "8@group.tesmo.x");
  int id = TSentMessageStore::InsertSentMessage(0, "2002@tesmo.x", "hi", "", "", 0);
  ASSERT_GT(id, 0);
  EXPECT_EQ(Row(before, "seeflag")[0], "1");
  EXPECT_EQ(Row(otherPeer, "seeflag")[0], "0");
  EXPECT_EQ(Row(group, "seeflag")[0], "0");
}

TEST_F(SendStoreTest, MarkSentTable) {
  struct Case {
    const char* what;
    int64_t msgid;
    std::string time;
    std::string content;
    bool unknownRow;
    int result;
  } cases[] = {
      {"text", 77, "2024-02-03 04:05:06", "", false, 1},
      {"file with its URL", 78, "2024-02-03 04:05:07", "http://files/it's.png", false, 1},
      {"quote in the time", 79, "2024-02-03'; update nq_message set sendstate=9; --", "", false, 1},
      {"large server id", 9007199254740993LL, "2024-02-03 04:05:08", "", false, 1},
      {"no msgid", 0, "2024-02-03 04:05:09", "", false, 0},
      {"no time", 80, "", "", false, 0},
      {"blank time", 81, "  ", "", false, 0},
      {"unknown row", 82, "2024-02-03 04:05:10", "", true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int id = TSentMessageStore::InsertSentMessage(0, "2002@tesmo.x", "typed", "", "", 0);
    ASSERT_GT(id, 0);
    std::string sendtime = Row(id, "sendtime")[0];
    EXPECT_EQ(
        TSentMessageStore::MarkSent(c.unknownRow ? id + 1000 : id, c.msgid, c.time, c.content),
        c.result);
    auto r = Row(id, "sendstate,msgid,sendtime,content");
    if (c.result == 1) {
      EXPECT_EQ(r[0], "1");
      EXPECT_EQ(r[1], std::to_string(c.msgid));
      EXPECT_EQ(r[2], c.time);
      EXPECT_EQ(r[3], c.content.empty() ? "typed" : c.content);
      // The conversation's latest message takes the server time.
      EXPECT_EQ(SelectOne("select crtime from nq_messagenew where account='2002@tesmo.x'"), c.time);
    } else {
      EXPECT_EQ(r, (std::vector<std::string>{"2", "0", sendtime, "typed"}));
    }
  }
  EXPECT_EQ(SelectOne("select count(*) from nq_message where sendstate=9"), "0");
}

TEST_F(SendStoreTest, FailedAndRevokedMarks) {
  int id = TSentMessageStore::InsertSentMessage(0, "2002@tesmo.x", "x", "", "", 0);
  int other = TSentMessageStore::InsertSentMessage(0, "2002@tesmo.x", "y", "", "", 0);
  EXPECT_EQ(TSentMessageStore::MarkSendFailed(id), 1);
  EXPECT_EQ(Row(id, "sendstate")[0], "0");
  EXPECT_EQ(Row(other, "sendstate")[0], "2");
  EXPECT_EQ(TSentMessageStore::MarkRevoked(other), 1);
  EXPECT_EQ(Row(other, "revokeflag")[0], "1");
  EXPECT_EQ(Row(id, "revokeflag")[0], "0");
  EXPECT_EQ(TSentMessageStore::MarkRevoked(other + 100), 0);
}

TEST_F(SendStoreTest, EverySendFindsItsOwnRowWhileOthersInsert) {
  // Another thread stores sent rows too (history, the program's own SQL), in batches;
  // a send that looked for the highest id would now and then take one of those.
  std::atomic<bool> done{false};
  std::vector<std::thread> others;
  for (int t = 0; t < 2; ++t) {
    others.emplace_back([&, t] {
      int n = 0;
      while (!done) {
        std::string batch =
            "insert into nq_message(msgtype,fromuser,touser,content,sendflag) values";
        for (int i = 0; i < 3; ++i)
          batch += std::string(i ? "," : "") + "(0,'1001@tesmo.x','7@tesmo.x','other " +
                   std::to_string(t) + "-" + std::to_string(n++) + "',1)";
        EXPECT_TRUE(Exec(batch));
      }
    });
  }
  std::set<int> ids;
  for (int i = 0; i < 50; ++i) {
    std::string content = "mine " + std::to_string(i);
    int id = TSentMessageStore::InsertSentMessage(0, "2002@tesmo.x", content, "", "", 0);
    ASSERT_GT(id, 0);
    EXPECT_TRUE(ids.insert(id).second);
    EXPECT_EQ(Row(id, "content")[0], content);
  }
  done = true;
  for (std::thread& t : others) t.join();
  EXPECT_GT(atoi(SelectOne("select count(*) from nq_message where content like 'other%'").c_str()),
            0);
}

TEST(SendStoreNoDatabaseTest, NothingIsStoredWithoutADatabase) {
  TAPIInterface api;
  api.Init();
  EXPECT_EQ(TSentMessageStore::InsertSentMessage(0, "2@tesmo.x", "x", "", "", 0), 0);
  EXPECT_EQ(TSentMessageStore::MarkSent(1, 5, "2024-01-01 00:00:00", ""), 0);
  EXPECT_EQ(TSentMessageStore::MarkSendFailed(1), 0);
  EXPECT_EQ(TSentMessageStore::MarkRevoked(1), 0);
  api.Release();
}

}  // namespace
