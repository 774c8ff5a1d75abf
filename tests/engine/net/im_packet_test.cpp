// IM packets: the writer's exact texts, what Parse refuses, the automatic response,
// and the text-level helpers (kind, key, response from text).
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "net/TIMChannel.h"
#include "net/TIMPacket.h"

namespace {

TEST(IMPacket, WriterGoldenTexts) {
  TIMPacket full;
  full.SetId("1234567890@10.0.0.2");
  full.SetTransId("t1");
  full.SetFrom("me@s");
  full.SetTo("you@s");
  full.SetMethod(TIMPacket::kRegister);
  full.SetClient(1);
  full.SetRoute("r0");
  full.SetRecroute("r1");
  full.SetContentType("im");
  full.AddParam("userid", "42");
  full.AddParam("name", "A \"quoted\"\\name\n");

  TIMPacket bare;
  bare.SetId("i");
  bare.SetTransId("t");
  bare.SetFrom("f");

  TIMPacket response = bare;
  response.SetCode(200);
  response.SetMethod(TIMPacket::kCall);

  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  };
  const Row rows[] = {
      {"full request", full.ToRequest(),
       "{\"request\": 1,\"id\": \"1234567890@10.0.0.2\",\"transid\": \"t1\",\"from\": \"me@s\","
       "\"client\": 1,\"to\": \"you@s\",\"method\": \"register\",\"route\": \"r0\","
       "\"recroute\": \"r1\",\"contenttype\": \"im\",\"params\": {\"userid\": \"42\","
       "\"name\": \"A \\\"quoted\\\"\\\\name\\n\"}}"},
      {"bare request", bare.ToRequest(),
       "{\"request\": 1,\"id\": \"i\",\"transid\": \"t\",\"from\": \"f\",\"method\": \"\"}"},
      {"response", response.ToResponse(),
       "{\"response\": 200,\"id\": \"i\",\"transid\": \"t\",\"from\": \"f\",\"method\": \"call\"}"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, row.text) << row.name;
  }
}

TEST(IMPacket, ParseReadsEveryField) {
  TIMPacket p;
  ASSERT_EQ(1, p.Parse("{\"response\": 7,\"id\": \"a\",\"transid\": \"b\",\"from\": \"c\","
                       "\"to\": \"d\",\"method\": \"message\",\"client\": 3,\"route\": \"r\","
                       "\"recroute\": \"rr\",\"contenttype\": \"sys\","
                       "\"params\": {\"msgtype\": \"kickout\",\"n\": 5,\"b\": true}}"));
  EXPECT_EQ(TIMPacket::kResponse, p.GetKind());
  EXPECT_EQ(7, p.GetCode());
  EXPECT_EQ("a", p.GetId());
  EXPECT_EQ("b", p.GetTransId());
  EXPECT_EQ("c", p.GetFrom());
  EXPECT_EQ("d", p.GetTo());
  EXPECT_EQ(TIMPacket::kMessage, p.GetMethod());
  EXPECT_EQ(3, p.GetClient());
  EXPECT_EQ("r", p.GetRoute());
  EXPECT_EQ("rr", p.GetRecroute());
  EXPECT_EQ("sys", p.GetContentType());
  EXPECT_EQ("kickout", p.GetParam("msgtype"));
  EXPECT_EQ("5", p.GetParam("n"));
  EXPECT_EQ("1", p.GetParam("b"));
  EXPECT_EQ("", p.GetParam("absent"));
  EXPECT_EQ("", p.GetParam("MSGTYPE"));

  // What the writer writes, the reader reads back.
  TIMPacket again;
  ASSERT_EQ(1, again.Parse(p.ToRequest()));
  EXPECT_EQ(TIMPacket::kRequest, again.GetKind());
  EXPECT_EQ(p.ToRequest(), again.ToRequest());
}

TEST(IMPacket, ParseFailureTable) {
  const std::string ok = "\"id\": \"a\",\"transid\": \"b\",\"from\": \"c\",\"to\": \"d\"";
  struct Row {
    const char* name;
    std::string text;
  };
  const Row rows[] = {
      {"not JSON", "hello, world"},
      {"cut short", "{\"request\": 1,\"id\": \"a\""},
      {"null", "null"},
      {"array", "[1,2]"},
      {"neither request nor response", "{" + ok + ",\"method\": \"message\"}"},
      {"no id",
       "{\"request\": 1,\"transid\": \"b\",\"from\": \"c\",\"to\": \"d\","
       "\"method\": \"message\"}"},
      {"empty transid",
       "{\"request\": 1,\"id\": \"a\",\"transid\": \"\",\"from\": \"c\","
       "\"to\": \"d\",\"method\": \"message\"}"},
      {"no from",
       "{\"request\": 1,\"id\": \"a\",\"transid\": \"b\",\"to\": \"d\","
       "\"method\": \"message\"}"},
      {"empty to",
       "{\"request\": 1,\"id\": \"a\",\"transid\": \"b\",\"from\": \"c\","
       "\"to\": \"\",\"method\": \"message\"}"},
      {"no method", "{\"request\": 1," + ok + "}"},
      {"empty method", "{\"request\": 1," + ok + ",\"method\": \"\"}"},
      {"unknown method", "{\"request\": 1," + ok + ",\"method\": \"subscribe\"}"},
      {"method in capitals", "{\"request\": 1," + ok + ",\"method\": \"Message\"}"},
  };
  for (const Row& row : rows) {
    TIMPacket p;
    EXPECT_EQ(0, p.Parse(row.text)) << row.name;
  }
  TIMPacket p;
  EXPECT_EQ(1, p.Parse("{\"request\": 1," + ok + ",\"method\": \"options\"}"));
}

TEST(IMPacket, AutomaticResponseFields) {
  TIMPacket received;
  ASSERT_EQ(1, received.Parse("{\"request\": 1,\"id\": \"p1\",\"transid\": \"t9\","
                              "\"from\": \"srv@s\",\"client\": 2,\"to\": \"me@s\","
                              "\"method\": \"message\",\"route\": \"in\",\"recroute\": \"back\","
                              "\"contenttype\": \"im\",\"params\": {\"msgtype\": \"msg\"}}"));
  const std::string text = received.MakeResponse(1, "");
  EXPECT_EQ(
      "{\"response\": 1,\"id\": \"p1\",\"transid\": \"t9\",\"from\": \"srv@s\","
      "\"to\": \"me@s\",\"method\": \"message\",\"route\": \"back\"}",
      text);
  TIMPacket response;
  ASSERT_EQ(1, response.Parse(text));
  EXPECT_EQ(TIMPacket::kResponse, response.GetKind());
  EXPECT_EQ(1, response.GetCode());
  EXPECT_EQ("back", response.GetRoute());
  EXPECT_EQ("", response.GetRecroute());
  EXPECT_EQ(0, response.GetClient());
  EXPECT_EQ("", response.GetContentType());
  EXPECT_TRUE(response.ParamNames().empty());
  EXPECT_EQ(TIMChannel::PacketKey(text), TIMChannel::PacketKey(received.ToRequest()));

  // A given recroute is written; the code is taken as given.
  EXPECT_NE(std::string::npos, received.MakeResponse(486, "via").find("\"response\": 486,"));
  EXPECT_NE(std::string::npos, received.MakeResponse(486, "via").find("\"recroute\": \"via\""));
}

TEST(IMPacket, NewIdIsTenDigitsAndSuffix) {
  TIMPacket p;
  p.NewId("192.168.1.5");
  const std::string id = p.GetId();
  ASSERT_EQ(10u + 1u + 11u, id.size()) << id;
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(id[i]))) << id;
  EXPECT_EQ("@192.168.1.5", id.substr(10));
  p.NewId("");
  EXPECT_EQ(10u, p.GetId().size());
}

TEST(IMPacket, TextKindAndKeyTable) {
  struct Row {
    std::string text;
    int kind;
    int code;
    std::string key;
  };
  const Row rows[] = {
      {"{\"request\": 1,\"id\": \"a\",\"from\": \"b\",\"to\": \"c\"}", 1, 0, "\"a\"\"b\""},
      {"{\"response\": 404,\"id\":\"a\" ,\"from\":  \"b\",\"x\": 1}", 2, 404, "\"a\"\"b\""},
      {"{\"response\":-3,\"from\": \"b\",\"id\": 12,\"z\": 0}", 2, -3, "12\"b\""},
      // The last member has no "," behind it, so its part of the key is empty.
      {"{\"request\": 1,\"id\": \"a\",\"from\": \"b\"}", 1, 0, ""},
      {"{\"request\": 1,\"from\": \"b\",\"to\": \"c\"}", 1, 0, ""},
      {"{\"hello\": 1,\"id\": \"a\",\"from\": \"b\",\"x\": 2}", 0, 0, "\"a\"\"b\""},
      {"not a packet at all", 0, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    int code = 99;
    EXPECT_EQ(row.kind, TIMChannel::TextKind(row.text, &code));
    EXPECT_EQ(row.code, code);
    EXPECT_EQ(row.key, TIMChannel::PacketKey(row.text));
  }
}

TEST(IMPacket, ResponseFromTextTable) {
  struct Row {
    std::string request;
    int code;
    std::string expected;
  };
  const Row rows[] = {
      {"{\"request\": 1,\"id\": \"a\",\"from\": \"b\"}", 0,
       "{\"response\":0,\"id\": \"a\",\"from\": \"b\"}"},
      {"{\"request\": 1,\"id\": \"a\",\"from\": \"b\",\"recroute\": \"x\",\"p\": 1}", 200,
       "{\"response\":200,\"id\": \"a\",\"from\": \"b\",\"route\": \"x\",\"p\": 1}"},
      // Without a "," behind the value it is kept as it stands.
      {"{\"request\": 1}", 5, "{\"response\": 1}"},
      {"{\"response\": 1,\"id\": \"a\"}", 5, ""},
      {"", 5, ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expected, TIMChannel::ResponseFromText(row.request, row.code)) << row.request;
  }
}

}  // namespace
