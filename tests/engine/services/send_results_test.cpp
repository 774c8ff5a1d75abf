// What every kind of failure answers, end to end, and that the stored row always
// says the same: sent only with answer 0, failed with every other answer.
#include <gtest/gtest.h>

#include <string>

#include "engine/services/send_test_env.h"
#include "services/TMessageText.h"

namespace {

using sendtest::kPeer;
using Answer = FakeImHttpPaths::Answer;
using SendResultsTest = sendtest::SendEnv;

TEST_F(SendResultsTest, ServerAnswersTable) {
  struct Row {
    const char* what;
    FakeImHttpPaths::Script script;
    int result;
    const char* sendstate;
  } rows[] = {
      {"accepted", {Answer::kAccept, 0}, 0, "1"},
      {"reply is not JSON", {Answer::kNotJson, 0}, kSendBadReply, "0"},
      {"code -3", {Answer::kCode, -3}, -3, "0"},
      {"code 0", {Answer::kCode, 0}, kSendCodeZero, "0"},
      {"code 1 without msgid", {Answer::kNoMsgid, 0}, kSendBadReply, "0"},
      {"code 1 without time", {Answer::kNoTime, 0}, kSendBadReply, "0"},
      {"code 1 without result", {Answer::kNoResult, 0}, kSendBadReply, "0"},
      {"code 1, msgid not a number", {Answer::kTextMsgid, 0}, kSendBadReply, "0"},
      {"HTTP 500", {Answer::kHttpStatus, 500}, 6, "0"},
      {"connection closed", {Answer::kCloseAtOnce, 0}, 2, "0"},
  };
  size_t n = 0;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    im.ScriptNext(r.script);
    int id = api.SendMsgIM(kPeer, 0, r.what, "{}");
    ASSERT_GT(id, 0);
    RecordedReport reply = Reply(_REQUEST_HTTP_SENDMSGIM, id);
    EXPECT_EQ(reply.a, r.result);
    EXPECT_EQ(Column(id, "sendstate"), r.sendstate);
    EXPECT_EQ(Column(id, "msgid") != "0", r.result == 0);
    EXPECT_EQ(im.Messages().size(), ++n);
  }
}

TEST_F(SendResultsTest, UploadFailureAnswers11AndPostsNothing) {
  store.SetTrackerFault(FakeFileStore::TrackerFault::kRefuse);
  const std::string path = File("a.txt", "data");
  int id = api.SendMsgFile(kPeer, 3, path.c_str(), "{}");
  ASSERT_GT(id, 0);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGFILE, id).a, kSendNoMessage);
  EXPECT_EQ(Column(id, "sendstate"), "0");
  EXPECT_EQ(Column(id, "content"), "");
  EXPECT_TRUE(im.Messages().empty());
}

TEST_F(SendResultsTest, FileMessageWithoutAUsableFileIsNeverPosted) {
  for (const std::string& path : {std::string(), dir.File("missing.txt"), File("empty.txt", "")}) {
    SCOPED_TRACE(path);
    int id = api.SendMsgFile(kPeer, 3, path.c_str(), "{}");
    ASSERT_GT(id, 0);
    EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGFILE, id).a, kSendNoMessage);
    EXPECT_EQ(Column(id, "sendstate"), "0");
  }
  EXPECT_TRUE(im.Messages().empty());
  EXPECT_TRUE(store.Uploads().empty());
}

TEST_F(SendResultsTest, ResendOfAnUnknownIdAnswers11UnderThatId) {
  EXPECT_EQ(api.RepeatSendMsg(555, ""), 555);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, 555).a, kSendNoMessage);
  EXPECT_TRUE(im.Messages().empty());
}

TEST_F(SendResultsTest, NothingStoredAnswers11UnderId0) {
  ASSERT_EQ(api.DBExecSql("drop table nq_message"), 1);
  EXPECT_EQ(api.SendMsgIM(kPeer, 0, "lost?", "{}"), 0);
  RecordedReport reply = Reply(_REQUEST_HTTP_SENDMSGIM, 0);
  EXPECT_EQ(reply.a, kSendNoMessage);
  EXPECT_TRUE(im.Messages().empty());
}

}  // namespace
