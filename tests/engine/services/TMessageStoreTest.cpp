// The message store on a real account database: conversation rows, seen and
// revoke marks, deleting messages, loading one, and the once-per-id filter.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "engine/db/StoreTestSupport.h"
#include "services/TMessageIds.h"
#include "services/TMessageStore.h"

using storetest::FacadeTest;

using MessageStoreTest = FacadeTest;

TEST_F(MessageStoreTest, UpsertConversationTable) {
  const std::string t0 = "2024-05-01 10:00:00";
  // Row state before the call (none when msgid is 0), the call, and the row after.
  struct Row {
    const char* what;
    int rowMsgid;
    std::string rowTime;
    int rowDeleted;
    int id;
    std::string time;
    int wantMsgid;
    std::string wantTime;  // "now" for the local time
  } rows[] = {
      {"new conversation", 0, "", 0, 5, t0, 5, t0},
      {"older message", 5, t0, 0, 6, "2024-05-01 09:59:59", 5, t0},
      {"newer message", 5, t0, 0, 6, "2024-05-01 10:00:01", 6, "2024-05-01 10:00:01"},
      {"same second, later insert", 5, t0, 0, 6, t0, 6, t0},
      {"same second, earlier insert", 5, t0, 0, 4, t0, 5, t0},
      {"same second, same message", 5, t0, 0, 5, t0, 5, t0},
      {"newer time wins over id", 5, t0, 0, 3, "2024-05-01 10:00:01", 3, "2024-05-01 10:00:01"},
      {"no time: now, always", 5, "2999-01-01 00:00:00", 0, 2, "", 2, "now"},
      {"removed conversation comes back", 5, t0, 1, 6, "2024-05-02 00:00:00", 6,
       "2024-05-02 00:00:00"},
  };
  std::regex nowPattern(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
  int n = 0;
  for (const Row& r : rows) {
    std::string account = std::to_string(1000 + n++) + "@tesmo.x";
    if (r.rowMsgid) {
      ASSERT_TRUE(
          Exec("insert into nq_messagenew(account,msgid,msgtype,content,crtime,deleted) "
               "values('" +
               account + "'," + std::to_string(r.rowMsgid) + ",0,'old','" + r.rowTime + "'," +
               std::to_string(r.rowDeleted) + ")"));
    }
    EXPECT_EQ(TMessageStore::UpsertConversation(account, r.id, 2, "it's new", r.time), 1) << r.what;
    auto got = Select(
        "select msgid,crtime,content,deleted,accountid,msgtype from nq_messagenew "
        "where account='" +
        account + "'");
    ASSERT_EQ(got.size(), 1u) << r.what;
    EXPECT_EQ(got[0][0], std::to_string(r.wantMsgid)) << r.what;
    if (r.wantTime == "now") {
      EXPECT_TRUE(std::regex_match(got[0][1], nowPattern)) << got[0][1];
      EXPECT_NE(got[0][1], "2999-01-01 00:00:00");
    } else {
      EXPECT_EQ(got[0][1], r.wantTime) << r.what;
    }
    bool replaced = r.wantMsgid == r.id && (r.rowMsgid == 0 || r.rowMsgid != r.id);
    EXPECT_EQ(got[0][2], replaced ? "it's new" : "old") << r.what;
    if (replaced) {
      EXPECT_EQ(got[0][3], "0") << r.what;
      EXPECT_EQ(got[0][5], "2") << r.what;
    }
    if (!r.rowMsgid) {
      EXPECT_EQ(got[0][4], std::to_string(1000 + n - 1)) << r.what;
    }
  }
}

TEST_F(MessageStoreTest, MarkConversationSeenTable) {
  const std::string g = "8@group.tesmo.x";
  const std::string u = "7@tesmo.x";
  const std::string me = "1@tesmo.x";
  struct Row {
    const char* what;
    std::string peer;
    int upToIndex;         // -1: all
    std::string wantSeen;  // seeflag of the six messages in order
  } rows[] = {
      {"group, all", g, -1, "110000"},
      {"group, up to the first", g, 0, "100000"},
      {"user, all", u, -1, "001110"},
      {"user, up to the third", u, 3, "001100"},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(Exec("delete from nq_message"));
    int ids[6] = {
        InsertMessage(me, g, 1, "g1", "t"), InsertMessage(u, g, 1, "g2", "t"),
        InsertMessage(u, me, 0, "u1", "t"), InsertMessage(me, u, 0, "u2", "t"),
        InsertMessage(u, me, 0, "u3", "t"), InsertMessage("9@tesmo.x", me, 0, "other", "t"),
    };
    int upTo = r.upToIndex < 0 ? 0 : ids[r.upToIndex];
    EXPECT_EQ(TMessageStore::MarkConversationSeen(r.peer, upTo), 1);
    EXPECT_EQ(SelectOne("select group_concat(seeflag,'') from (select seeflag from nq_message "
                        "order by id)"),
              r.wantSeen)
        << r.what;
  }
}

// Marking a conversation seen writes only the rows that change: every send marks
// its conversation, and rewriting seen rows made each send cost the whole
// conversation. NULL and other values still become 1.
TEST_F(MessageStoreTest, MarkConversationSeenWritesOnlyUnseenRows) {
  const std::string u = "7@tesmo.x";
  const std::string me = "1@tesmo.x";
  for (int i = 0; i < 20; ++i) InsertMessage(u, me, 0, "old", "t");
  ASSERT_TRUE(Exec("update nq_message set seeflag=1"));
  const int unseen = InsertMessage(me, u, 0, "new", "t");
  const int odd = InsertMessage(u, me, 0, "odd", "t");
  ASSERT_TRUE(Exec("update nq_message set seeflag=null where id=" + std::to_string(odd)));
  const long long before = std::stoll(SelectOne("select total_changes()"));
  EXPECT_EQ(TMessageStore::MarkConversationSeen(u, 0), 1);
  EXPECT_EQ(std::stoll(SelectOne("select total_changes()")) - before, 2);
  EXPECT_EQ(SelectOne("select count(*) from nq_message where seeflag=1"), "22");
  (void)unseen;
}

TEST_F(MessageStoreTest, MarkRevokedByMsgId) {
  const std::string g = "8@group.tesmo.x";
  int inGroup = InsertMessage("7@tesmo.x", g, 1, "hi", "t", 0, 501);
  int elsewhere = InsertMessage("7@tesmo.x", "9@group.tesmo.x", 1, "hi", "t", 0, 502);
  int direct = InsertMessage("7@tesmo.x", "1@tesmo.x", 0, "hi", "t", 0, 503);
  EXPECT_EQ(TMessageStore::MarkRevokedByMsgId(501, g, "7@tesmo.x"), inGroup);
  EXPECT_EQ(TMessageStore::MarkRevokedByMsgId(502, g, "7@tesmo.x"), 0);  // another group's
  EXPECT_EQ(TMessageStore::MarkRevokedByMsgId(503, "1@tesmo.x", "7@tesmo.x"), direct);
  EXPECT_EQ(TMessageStore::MarkRevokedByMsgId(999, "1@tesmo.x", "7@tesmo.x"), 0);
  EXPECT_EQ(SelectOne("select group_concat(revokeflag,'') from (select revokeflag from "
                      "nq_message order by id)"),
            "101");
  (void)elsewhere;
}

TEST_F(MessageStoreTest, DeleteMessageTable) {
  const std::string u = "7@tesmo.x";
  const std::string me = "1@tesmo.x";
  const std::string g = "7@group.tesmo.x";
  struct Row {
    const char* what;
    int deleteIndex;  // which message of the conversation to delete
    bool keepsRow;    // the conversation row still exists
    int wantIndex;    // the message it points to afterwards (-1: unchanged)
  } rows[] = {
      {"latest of three: previous one-to-one message", 2, true, 1},
      {"older message: conversation untouched", 0, true, -1},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(Exec("delete from nq_message; delete from nq_messagenew"));
    int ids[3] = {
        InsertMessage(u, me, 0, "first", "2024-01-01 10:00:00", 0),
        InsertMessage(me, u, 0, "second, it's a picture", "2024-01-01 10:00:01", 2),
        InsertMessage(me, u, 0, "third", "2024-01-01 10:00:02", 0),
    };
    // The peer also wrote in a group after that: not part of this conversation.
    InsertMessage(u, g, 1, "group text", "2024-01-01 10:00:03", 0);
    ASSERT_EQ(TMessageStore::UpsertConversation(u, ids[2], 0, "third", "2024-01-01 10:00:02"), 1);
    EXPECT_EQ(api->DeleteMessage(ids[r.deleteIndex]), 1) << r.what;
    EXPECT_EQ(
        SelectOne("select deleted from nq_message where id=" + std::to_string(ids[r.deleteIndex])),
        "1");
    auto row =
        Select("select msgid,msgtype,content,crtime from nq_messagenew where account='" + u + "'");
    ASSERT_EQ(row.size(), r.keepsRow ? 1u : 0u) << r.what;
    if (r.wantIndex < 0) {
      EXPECT_EQ(row[0][0], std::to_string(ids[2])) << r.what;
      EXPECT_EQ(row[0][2], "third");
    } else {
      EXPECT_EQ(row[0][0], std::to_string(ids[r.wantIndex])) << r.what;
      EXPECT_EQ(row[0][1], "2") << r.what;  // the previous message's type and content
      EXPECT_EQ(row[0][2], "second, it's a picture") << r.what;
      EXPECT_EQ(row[0][3], "2024-01-01 10:00:01") << r.what;
    }
  }

  // Deleting down to nothing removes the conversation row.
  ASSERT_TRUE(Exec("delete from nq_message; delete from nq_messagenew"));
  int only = InsertMessage(u, me, 0, "only", "2024-01-01 10:00:00");
  InsertMessage(u, g, 1, "group text", "2024-01-01 10:00:03");
  ASSERT_EQ(TMessageStore::UpsertConversation(u, only, 0, "only", "2024-01-01 10:00:00"), 1);
  EXPECT_EQ(api->DeleteMessage(only), 1);
  EXPECT_EQ(SelectOne("select count(*) from nq_messagenew where account='" + u + "'"), "0");

  // A group conversation falls back to its own previous group message.
  int g1 = InsertMessage(u, g, 1, "g one", "2024-01-01 11:00:00");
  int g2 = InsertMessage(me, g, 1, "g two", "2024-01-01 11:00:01");
  ASSERT_EQ(TMessageStore::UpsertConversation(g, g2, 0, "g two", "2024-01-01 11:00:01"), 1);
  EXPECT_EQ(api->DeleteMessage(g2), 1);
  EXPECT_EQ(SelectOne("select msgid||'|'||content from nq_messagenew where account='" + g + "'"),
            std::to_string(g1) + "|g one");

  // Unknown ids are not reported as deleted.
  EXPECT_EQ(api->DeleteMessage(99999), 0);
  EXPECT_EQ(api->DeleteMessage(0), 0);
  EXPECT_EQ(api->DeleteMessage(-3), 0);
}

TEST_F(MessageStoreTest, LoadMessage) {
  ASSERT_TRUE(
      Exec("insert into nq_message(msgid,msgtype,touser,content,remark,localpath,fwflag)"
           " values(4000000000,3,'7@tesmo.x','c''t','{\"r\":1}','/tmp/f',1)"));
  int id = atoi(SelectOne("select max(id) from nq_message").c_str());
  TMsgRecord rec;
  ASSERT_EQ(TMessageStore::LoadMessage(id, &rec), 1);
  EXPECT_EQ(rec.touser, "7@tesmo.x");
  EXPECT_EQ(rec.msgtype, 3);
  EXPECT_EQ(rec.content, "c't");
  EXPECT_EQ(rec.remark, "{\"r\":1}");
  EXPECT_EQ(rec.localpath, "/tmp/f");
  EXPECT_EQ(rec.fwflag, 1);
  EXPECT_EQ(rec.msgid, 4000000000LL);
  EXPECT_EQ(TMessageStore::LoadMessage(id + 1, &rec), 0);
  EXPECT_EQ(TMessageStore::LoadMessage(id, nullptr), 0);
  rec.Clear();
  EXPECT_TRUE(rec.touser.empty() && rec.content.empty() && rec.remark.empty() &&
              rec.localpath.empty());
  EXPECT_EQ(rec.msgtype, 0);
  EXPECT_EQ(rec.fwflag, 0);
  EXPECT_EQ(rec.msgid, 0);
}

TEST_F(MessageStoreTest, AtFlagExports) {
  const std::string peer = "8@group.tesmo.x";
  ASSERT_TRUE(Exec("insert into nq_message(touser,atflag) values('" + peer + "',1),('" + peer +
                   "',2),('other',1)"));
  EXPECT_EQ(api->SearchAtMsg(peer.c_str(), 1), 1);
  EXPECT_EQ(api->SearchAtMsg(peer.c_str(), 2), 1);
  EXPECT_EQ(api->SearchAtMsg("nobody", 1), 0);
  EXPECT_EQ(api->ClearAtFlag(peer.c_str()), 1);
  EXPECT_EQ(api->SearchAtMsg(peer.c_str(), 1), 0);
  EXPECT_EQ(api->SearchAtMsg("other", 1), 1);
  EXPECT_EQ(api->ClearAtFlag(nullptr), 1);
  EXPECT_EQ(api->SearchAtMsg(nullptr, 1), 0);
}

TEST_F(MessageStoreTest, NewMessageIdsAreForgottenWithTheDatabase) {
  EXPECT_EQ(IsNewMessageId(41), 1);
  EXPECT_EQ(IsNewMessageId(41), 0);
  EXPECT_EQ(IsNewMessageId(0), 1);
  EXPECT_EQ(IsNewMessageId(0), 1);
  EXPECT_EQ(IsNewMessageId(-4), 1);
  EXPECT_EQ(IsNewMessageId(-4), 0);
  // Same database: still remembered.
  ASSERT_EQ(api->SetDatabase(dbPath.c_str()), 1);
  EXPECT_EQ(IsNewMessageId(41), 0);
  // Another account's database numbers its messages from 1 again.
  std::string other = dir.File("other.db");
  ASSERT_EQ(api->SetDatabase(other.c_str()), 2);
  EXPECT_EQ(IsNewMessageId(41), 1);
  EXPECT_EQ(IsNewMessageId(41), 0);
}
