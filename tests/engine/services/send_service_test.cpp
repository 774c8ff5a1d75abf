// The send and recall handlers with the exchange replaced by a scripted one: what
// they post, what they answer, and that the row always says the same as the answer.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/TAccountScope.h"
#include "engine/db/StoreTestSupport.h"
#include "net/THttpRequestService.h"
#include "services/TMessageService.h"
#include "services/TMessageText.h"
#include "services/TSentMessageStore.h"

namespace {

constexpr char kOwn[] = "1001@tesmo.x";
constexpr char kPeer[] = "2002@tesmo.x";
constexpr char kGroup[] = "3003@group.tesmo.x";
constexpr char kTime[] = "2024-06-01 12:34:56";

std::string Accept(long long msgid) {
  return "{\"code\": 1, \"msg\": \"ok\", \"result\": {\"msgid\": " + std::to_string(msgid) +
         ", \"time\": \"" + kTime + "\"}}";
}

// One scripted exchange: the result, and on 0 the reply body.
struct Exchange {
  int result = 0;
  std::string reply;
};

class SendServiceTest : public storetest::FacadeTest {
 protected:
  void SetUp() override {
    storetest::FacadeTest::SetUp();
    TEngineCore* core = TEngineCore::Instance();
    core->SetUserAccount("1001", kOwn);
    core->SetProfile("Me", "http://me/logo", "", "", 7, 0);
    core->SetDeviceType(2);
    core->SetServer("IMSERVER", "127.0.0.1:9");
  }

  TMessageService Service(const Exchange& exchange) {
    return TMessageService(m_service, [this, exchange](TAPIPacket* packet, const std::string& url,
                                                       const std::string& body) {
      m_urls.push_back(url);
      m_bodies.push_back(body);
      if (exchange.result == 0) packet->s4 = exchange.reply;
      return exchange.result;
    });
  }

  std::string Column(int id, const std::string& column) {
    return SelectOne("select " + column + " from nq_message where id=" + std::to_string(id));
  }

  THttpRequestService m_service{nullptr};  // never started: what is queued stays queued
  std::vector<std::string> m_urls;
  std::vector<std::string> m_bodies;
};

TEST_F(SendServiceTest, ResultAndRowAlwaysAgree) {
  struct Row {
    const char* what;
    Exchange exchange;
    int result;
    const char* sendstate;
  } rows[] = {
      {"accepted", {0, Accept(5000000001LL)}, kSendOk, "1"},
      {"exchange failed", {2, ""}, 2, "0"},
      {"status outside 200-299", {6, ""}, 6, "0"},
      {"not JSON", {0, "<html>502</html>"}, kSendBadReply, "0"},
      {"refused", {0, "{\"code\": -3, \"msg\": \"no\"}"}, -3, "0"},
      {"code 0",
       {0, "{\"code\": 0, \"result\": {\"msgid\": 5, \"time\": \"t\"}}"},
       kSendCodeZero,
       "0"},
      {"accepted without msgid",
       {0, "{\"code\": 1, \"result\": {\"time\": \"t\"}}"},
       kSendBadReply,
       "0"},
      {"accepted without time",
       {0, "{\"code\": 1, \"result\": {\"msgid\": 5}}"},
       kSendBadReply,
       "0"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    int id = TSentMessageStore::InsertSentMessage(0, kPeer, "hello", "", "", 0);
    TAPIPacket packet;
    packet.code = _REQUEST_HTTP_SENDMSGIM;
    packet.id = id;
    packet.s1 = BuildSendArguments(id, kPeer, 0, "msg", "hello", "");
    const size_t queued = m_service.QueuedCount();
    EXPECT_EQ(Service(r.exchange).SendMessage(&packet), r.result);
    EXPECT_EQ(Column(id, "sendstate"), r.sendstate);
    EXPECT_EQ(Column(id, "msgid"), r.result == kSendOk ? "5000000001" : "0");
    // The peer check follows only a message the server took.
    EXPECT_EQ(m_service.QueuedCount(), queued + (r.result == kSendOk ? 1 : 0));
  }
}

TEST_F(SendServiceTest, WhatIsPostedAndQueued) {
  const std::string emoji = "hi \xF0\x9F\x98\x80";
  struct Row {
    const char* to;
    const char* path;
    size_t peerRequests;  // internal request 101 after the send
  } rows[] = {{kPeer, "/im/message/user/send.do", 1}, {kGroup, "/im/message/group/send.do", 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.to);
    size_t queued = m_service.QueuedCount();
    int id = TSentMessageStore::InsertSentMessage(0, r.to, emoji, "", "{\"atAll\": false}", 0);
    TAPIPacket packet;
    packet.id = id;
    packet.s1 = BuildSendArguments(id, r.to, 0, "msg", emoji, "{\"atAll\": false}");
    m_bodies.clear();
    m_urls.clear();
    ASSERT_EQ(Service({0, Accept(77)}).SendMessage(&packet), kSendOk);
    ASSERT_EQ(m_urls.size(), 1u);
    EXPECT_EQ(m_urls[0], std::string("http://127.0.0.1:9") + r.path);
    Json::Value body;
    ASSERT_TRUE(Json::Reader().parse(m_bodies[0], body));
    EXPECT_EQ(body["content"].asString(), "hi %f0%9f%98%80");
    EXPECT_EQ(body["remark"].asString(), "{\"atAll\": false}");
    EXPECT_EQ(body["type"].asString(), "msg");
    EXPECT_EQ(body["name"].asString(), "Me");
    // The row keeps the text as typed and is not given the wire text.
    EXPECT_EQ(Column(id, "content"), emoji);
    EXPECT_EQ(m_service.QueuedCount(), queued + r.peerRequests);
  }
}

TEST_F(SendServiceTest, NothingIsPostedWithoutALocalIdOrWhenTheUploadFails) {
  TAPIPacket none;
  none.s1 = BuildSendArguments(0, kPeer, 0, "msg", "x", "");
  EXPECT_EQ(Service({0, Accept(1)}).SendMessage(&none), kSendNoMessage);

  // No file store is known, so the upload fails before anything is posted.
  int id = TSentMessageStore::InsertSentMessage(3, kPeer, "", "/no/such/file.txt", "{}", 0);
  TAPIPacket file;
  file.id = id;
  file.s1 = BuildSendArguments(id, kPeer, 3, "file", "/no/such/file.txt", "{}");
  EXPECT_EQ(Service({0, Accept(1)}).SendMessage(&file), kSendNoMessage);
  EXPECT_EQ(Column(id, "sendstate"), "0");
  EXPECT_TRUE(m_urls.empty());
  EXPECT_EQ(m_service.QueuedCount(), 0u);
}

TEST_F(SendServiceTest, AcceptedButRowGoneIsAFailure) {
  TAPIPacket packet;
  packet.s1 = BuildSendArguments(424242, kPeer, 0, "msg", "x", "");
  EXPECT_EQ(Service({0, Accept(9)}).SendMessage(&packet), kSendStoreFailed);
  EXPECT_EQ(m_service.QueuedCount(), 0u);
}

TEST_F(SendServiceTest, RevokeTable) {
  struct Row {
    const char* what;
    Exchange exchange;
    int result;
    const char* revokeflag;
    const char* notices;
  } rows[] = {
      {"revoked", {0, Accept(6000000001LL)}, kSendOk, "1", "1"},
      {"exchange failed", {2, ""}, 2, "0", "0"},
      {"not JSON", {0, "oops"}, kSendBadReply, "0", "0"},
      {"refused", {0, "{\"code\": 5}"}, 5, "0", "0"},
      {"code 0", {0, "{\"code\": 0}"}, kSendCodeZero, "0", "0"},
      {"accepted without msgid",
       {0, "{\"code\": 1, \"result\": {\"time\": \"t\"}}"},
       kSendBadReply,
       "0",
       "0"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    int id = TSentMessageStore::InsertSentMessage(0, kGroup, "gone soon", "", "{\"r\": 1}", 0);
    ASSERT_EQ(TSentMessageStore::MarkSent(id, 4444, kTime, ""), 1);
    TAPIPacket packet;
    packet.code = _REQUEST_HTTP_REVOKEMSG;
    packet.id = id;
    m_bodies.clear();
    EXPECT_EQ(Service(r.exchange).RevokeMessage(&packet), r.result);
    EXPECT_EQ(Column(id, "revokeflag"), r.revokeflag);
    EXPECT_EQ(Column(id, "sendstate"), "1");
    const std::string notice =
        "from nq_message where msgtype=9 and content='" + std::to_string(id) + "'";
    EXPECT_EQ(SelectOne("select count(*) " + notice), r.notices);
    if (r.result == kSendOk) {
      EXPECT_EQ(SelectOne("select sendstate||','||msgid||','||sendtime||','||touser " + notice),
                std::string("1,6000000001,") + kTime + "," + kGroup);
    }
    ASSERT_EQ(m_bodies.size(), 1u);
    Json::Value body;
    ASSERT_TRUE(Json::Reader().parse(m_bodies[0], body));
    EXPECT_EQ(body["type"].asString(), "revoke");
    EXPECT_EQ(body["content"].asString(), "4444");
    EXPECT_EQ(body["touser"].asString(), kGroup);
    EXPECT_EQ(body["remark"].asString(), "{\"r\": 1}");
  }
  // A revoke never queues the peer check.
  EXPECT_EQ(m_service.QueuedCount(), 0u);
}

TEST_F(SendServiceTest, RevokeOfAnUnknownIdAsksNobody) {
  TAPIPacket packet;
  packet.id = 987654;
  EXPECT_EQ(Service({0, Accept(1)}).RevokeMessage(&packet), kSendNoMessage);
  packet.id = 0;
  EXPECT_EQ(Service({0, Accept(1)}).RevokeMessage(&packet), kSendNoMessage);
  EXPECT_TRUE(m_bodies.empty());
}

// A send or recall queued by a login that ended before it ran (logout, kick-out,
// another account) would go out under the login that is current by then: nothing
// is posted and the message is marked failed, while the login's own work goes out.
TEST_F(SendServiceTest, WorkOfALoginThatIsOverIsNeverPosted) {
  const TAccountScope::Stamp before = TAccountScope::Current();
  const int text = TSentMessageStore::InsertSentMessage(0, kPeer, "late", "", "", 0);
  const int sent = TSentMessageStore::InsertSentMessage(0, kGroup, "said", "", "", 0);
  ASSERT_EQ(TSentMessageStore::MarkSent(sent, 4444, kTime, ""), 1);
  TAccountScope::EndLogin();
  {
    TAccountScope scope(before);
    TAPIPacket send;
    send.code = _REQUEST_HTTP_SENDMSGIM;
    send.id = text;
    send.s1 = BuildSendArguments(text, kPeer, 0, "msg", "late", "");
    EXPECT_EQ(Service({0, Accept(7)}).SendMessage(&send), kSendLoginOver);
    TAPIPacket recall;
    recall.code = _REQUEST_HTTP_REVOKEMSG;
    recall.id = sent;
    EXPECT_EQ(Service({0, Accept(8)}).RevokeMessage(&recall), kSendLoginOver);
  }
  EXPECT_TRUE(m_bodies.empty());
  EXPECT_EQ(Column(text, "sendstate"), "0");
  EXPECT_EQ(Column(text, "msgid"), "0");
  EXPECT_EQ(Column(sent, "revokeflag"), "0");
  EXPECT_EQ(m_service.QueuedCount(), 0u);

  // The login now current sends as before.
  TAPIPacket again;
  again.code = _REQUEST_HTTP_SENDMSGIM;
  again.id = text;
  again.s1 = BuildSendArguments(text, kPeer, 0, "msg", "late", "");
  EXPECT_EQ(Service({0, Accept(9)}).SendMessage(&again), kSendOk);
  EXPECT_EQ(m_bodies.size(), 1u);
  EXPECT_EQ(Column(text, "sendstate"), "1");
}

// The program opens another account's file while a post is out: the answer is the
// row's, in its own file, written when that file is open again (not taken for a
// send that a stopped run left "sending"), and the other file is left alone.
TEST_F(SendServiceTest, AnAnswerThatComesAfterItsFileWasClosedIsWrittenThereLater) {
  const std::string other = dir.File("other.db");
  const struct {
    const char* what;
    Exchange exchange;
    const char* sendstate;
    const char* msgid;
  } rows[] = {
      {"accepted", {0, Accept(5000000007LL)}, "1", "5000000007"},
      {"refused", {0, "{\"code\": -3, \"msg\": \"no\"}"}, "0", "0"},
      {"exchange failed", {2, ""}, "0", "0"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    const int id = TSentMessageStore::InsertSentMessage(0, kPeer, "hello", "", "", 0);
    TAPIPacket packet;
    packet.code = _REQUEST_HTTP_SENDMSGIM;
    packet.id = id;
    packet.s1 = BuildSendArguments(id, kPeer, 0, "msg", "hello", "");
    TMessageService service(m_service, [&](TAPIPacket* p, const std::string&, const std::string&) {
      // The switch happens while the server holds the message.
      EXPECT_EQ(api->SetDatabase(other.c_str()), 2);
      if (r.exchange.result == 0) p->s4 = r.exchange.reply;
      return r.exchange.result;
    });
    {
      TAccountScope worker(TAccountScope::Current());
      service.SendMessage(&packet);
    }
    EXPECT_EQ(SelectOne("select count(*) from nq_message"), "0") << "the other file";
    ASSERT_EQ(api->SetDatabase(dbPath.c_str()), 2);
    EXPECT_EQ(Column(id, "sendstate"), r.sendstate);
    EXPECT_EQ(Column(id, "msgid"), r.msgid);
  }

  // A recall the server took while the other file was open.
  const int said = TSentMessageStore::InsertSentMessage(0, kGroup, "said", "", "", 0);
  ASSERT_EQ(TSentMessageStore::MarkSent(said, 4444, kTime, ""), 1);
  TMessageService recaller(m_service, [&](TAPIPacket* p, const std::string&, const std::string&) {
    EXPECT_EQ(api->SetDatabase(other.c_str()), 2);
    p->s4 = Accept(5000000009LL);
    return 0;
  });
  TAPIPacket recall;
  recall.code = _REQUEST_HTTP_REVOKEMSG;
  recall.id = said;
  {
    TAccountScope worker(TAccountScope::Current());
    recaller.RevokeMessage(&recall);
  }
  EXPECT_EQ(SelectOne("select count(*) from nq_message"), "0") << "the other file";
  ASSERT_EQ(api->SetDatabase(dbPath.c_str()), 2);
  EXPECT_EQ(Column(said, "revokeflag"), "1");
  EXPECT_EQ(SelectOne("select msgid from nq_message where msgtype=9 and content='" +
                      std::to_string(said) + "'"),
            "5000000009");
}

TEST_F(SendServiceTest, ForwardInfoComesFromTheLocalTables) {
  ASSERT_TRUE(
      Exec("insert into nq_contact(userid,account,name,logo) values(2002,'2002@tesmo.x',"
           "'Pe''er','http://peer/logo')"));
  ASSERT_TRUE(
      Exec("insert into nq_group(groupid,groupname,grouplogo) values("
           "'3003@group.tesmo.x','Traders','http://group/logo')"));
  const std::string remark =
      "{\"atAll\": false, \"from\": {\"logo\": \"a\", \"nick\": \"b\"}, \"to\": {\"logo\": "
      "\"c\", \"nick\": \"d\"}, \"width\": 4}";
  struct Row {
    const char* target;
    const char* toNick;
    const char* toLogo;
  } rows[] = {
      {kPeer, "Pe'er", "http://peer/logo"},
      {kGroup, "Traders", "http://group/logo"},
      {"9999@tesmo.x", nullptr, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.target);
    Json::Value v;
    ASSERT_TRUE(Json::Reader().parse(TMessageService::AddForwardInfo(remark, r.target), v));
    EXPECT_EQ(v["from"]["nick"].asString(), "Me");
    EXPECT_EQ(v["from"]["logo"].asString(), "http://me/logo");
    if (r.toNick) {
      EXPECT_EQ(v["to"]["nick"].asString(), r.toNick);
      EXPECT_EQ(v["to"]["logo"].asString(), r.toLogo);
    } else {
      EXPECT_EQ(v["to"], Json::Value(Json::objectValue));
    }
    EXPECT_EQ(v["width"].asInt(), 4);
  }
  EXPECT_EQ(TMessageService::AddForwardInfo("", kPeer), "");
}

}  // namespace
