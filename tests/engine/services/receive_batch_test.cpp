// Pushes that arrive back to back are stored in one transaction: every announced
// row is already committed (another connection reads it when its 100008 comes), a
// system push is announced only after the chat pushes before it, and another
// thread's transactions never mix with the open batch.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "db/TDBManager.h"
#include "engine/net/PushTestEnv.h"

namespace {

using pushtest::kOwn;

std::string g_databasePath;
std::atomic<int> g_announced{0};
std::atomic<int> g_notYetCommitted{0};

// Counts 100008 reports whose row another connection cannot read yet.
void CheckingCallback(int method, int status, int dialogID, int timer, const char* text) {
  if (method == _EVENT_COME_IMMESSAGE) {
    ++g_announced;
    sqlite3* reader = nullptr;
    int rows = 0;
    if (sqlite3_open_v2(g_databasePath.c_str(), &reader, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
      // A reader may meet a checkpoint in progress: wait for it, as the program does.
      sqlite3_busy_timeout(reader, 10000);
      sqlite3_stmt* query = nullptr;
      if (sqlite3_prepare_v2(reader, "select count(*) from nq_message where id=?", -1, &query,
                             nullptr) == SQLITE_OK) {
        sqlite3_bind_int(query, 1, dialogID);
        if (sqlite3_step(query) == SQLITE_ROW) rows = sqlite3_column_int(query, 0);
      }
      sqlite3_finalize(query);
    }
    sqlite3_close(reader);
    if (rows != 1) ++g_notYetCommitted;
  }
  CallbackRecorder::Callback(method, status, dialogID, timer, text);
}

class ReceiveBatchTest : public pushtest::PushEnv {
 protected:
  void SetUp() override {
    PushEnv::SetUp();
    for (const char* id : {"31", "32", "33"}) users.AddUser(pushtest::User(id));
    LogIn();
  }
  // count chat pushes from three peers and a group, as fast as the server sends.
  void Flood(int count, long long firstMsgid) {
    const std::vector<std::string> from = {"31@d.test", "32@d.test", "33@d.test"};
    for (int i = 0; i < count; ++i) {
      const std::string& sender = from[i % from.size()];
      if (i % 4 == 3) {
        Push(Chat(sender, "71@group.d.test", "msg", firstMsgid + i, "g" + std::to_string(i),
                  {{"fromgroup", "71@group.d.test"}}));
      } else {
        Push(Chat(sender, kOwn, "msg", firstMsgid + i, "m" + std::to_string(i)));
      }
    }
    // A flood overruns the socket's buffer now and then: resend what was not
    // answered, as the server does, until everything was.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (im.Server().UnackedCount() > 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      im.Server().ResendUnacked();
    }
    ASSERT_EQ(im.Server().UnackedCount(), 0u);
  }
};

TEST_F(ReceiveBatchTest, AnnouncedRowsAreCommittedAndASystemPushComesAfterThem) {
  constexpr int kPushes = 600;
  g_databasePath = dir.File("tesChat.db");
  g_announced = 0;
  g_notYetCommitted = 0;
  api.SetCallBack(&CheckingCallback);
  Flood(kPushes, 5000);
  // The system push behind the flood is announced after every message before it.
  Push(FakeIMServer::SysPacket(kOwn, "jlhb", {{"content", "after the flood"}}));
  ASSERT_TRUE(WaitForText(_EVENT_COME_JLHB, "after the flood"));
  EXPECT_EQ(g_announced.load(), kPushes);
  EXPECT_EQ(g_notYetCommitted.load(), 0);
  EXPECT_EQ(Rows("msgid>=5000"), kPushes);
  EXPECT_EQ(SelectOne("select count(*) from (select msgid from nq_message group by msgid "
                      "having count(*)>1)"),
            "0");
  // Each conversation row points at its newest message: all came in the same second,
  // so the one stored last (a push resent after a drop may come late).
  for (const char* conversation : {"71@group.d.test", "31@d.test", "32@d.test", "33@d.test"}) {
    SCOPED_TRACE(conversation);
    const std::string c = conversation;
    EXPECT_EQ(SelectOne("select msgid from nq_messagenew where account='" + c + "'"),
              SelectOne("select max(id) from nq_message where touser='" + c + "' or (fromuser='" +
                        c + "' and totype=0)"));
  }
  api.SetCallBack(&CallbackRecorder::Callback);
}

TEST_F(ReceiveBatchTest, AnotherThreadsTransactionsNeverMixWithStoredPushes) {
  constexpr int kPushes = 1500;
  TDBManager* db = api.GetDatabaseManager();
  ASSERT_NE(db, nullptr);
  std::atomic<bool> stop{false};
  int attempts = 0;
  int committed = 0;
  // Transactions of their own, written all the while the pushes are stored.
  std::thread writer([&] {
    while (!stop) {
      const std::string key = "'W" + std::to_string(attempts++) + "'";
      committed +=
          db->ExecBatch({"insert into nq_saveinfo(type,key,content) values(9," + key + ",'a')",
                         "update nq_saveinfo set content='b' where type=9 and key=" + key});
    }
  });
  Flood(kPushes, 9000);
  Sync();
  stop = true;
  writer.join();
  EXPECT_GT(attempts, 0);
  EXPECT_EQ(committed, attempts);
  EXPECT_EQ(SelectOne("select count(*) from nq_saveinfo where type=9 and content='b'"),
            std::to_string(attempts));
  EXPECT_EQ(Rows("msgid>=9000"), kPushes);
  EXPECT_EQ(Count(_EVENT_COME_IMMESSAGE), static_cast<size_t>(kPushes));
}

}  // namespace
