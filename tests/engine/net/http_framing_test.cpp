// Reply framing through the real socket path: Exchange against the loopback server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#include "base/TStopFlag.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpChunkDecoder.h"
#include "net/THttpClient.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string out(n, '\0');
  for (char& c : out) c = static_cast<char>(gen() & 0xff);
  return out;
}

// Runs one GET of path through client; on success returns true and the body (the bytes
// behind the header block) in body.
bool Get(THttpBaseClient& client, const FakeHttpServer& server, const std::string& path,
         std::string& body, int* status = nullptr) {
  TServerRecord record{"127.0.0.1", server.Port()};
  const int got = client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, path, ""));
  if (got <= 0) {
    EXPECT_EQ(client.GetReceivedLength(), 0);
    return false;
  }
  EXPECT_EQ(got, client.GetReceivedLength());
  const char* buffer = client.GetBuffer();
  EXPECT_EQ(buffer[got], '\0');
  const std::string reply(buffer, static_cast<size_t>(got));
  const size_t end = reply.find("\r\n\r\n");
  EXPECT_NE(end, std::string::npos);
  if (end == std::string::npos) return false;
  body = reply.substr(end + 4);
  if (status) *status = std::atoi(reply.c_str() + 9);
  return true;
}

// The size of the header block that Wire() writes for this reply.
size_t HeaderSize(const FakeReply& reply) {
  const std::string wire = reply.Wire();
  return wire.find("\r\n\r\n") + 4;
}

struct Row {
  const char* name;
  FakeReply reply;
  bool ok;
  std::string body;  // expected body on success
  int idleSeconds = 30;
};

std::vector<Row> FramingRows() {
  std::vector<Row> rows;
  const std::string big = RandomBytes(60000, 1);
  const std::string text = "The quick brown fox jumps over the lazy dog.";
  auto add = [&rows](const char* name, FakeReply reply, bool ok, std::string body, int idle = 30) {
    rows.push_back(Row{name, std::move(reply), ok, body, idle});
  };

  FakeReply r = FakeReply::Text(200, text);
  r.pieceSize = 1;
  r.pauseMs = 1;
  add("length, one byte per write", r, true, text);

  add("length 0", FakeReply::Text(200, ""), true, "");

  r = FakeReply::Text(200, "");
  r.holdOpen = true;
  add("length 0, peer keeps the connection", r, true, "", 5);

  r = FakeReply::Text(200, text);
  r.holdOpen = true;
  add("length n, peer keeps the connection", r, true, text, 5);

  r = FakeReply::Text(200, big);
  r.writeSplits = {100, 5000, 5001, 30000};
  add("length, 60000 bytes in pieces", r, true, big);

  r = FakeReply::Text(200, text);
  r.framing = FakeReply::Framing::kChunked;
  r.chunkSplits = {1, 2, 10, 30};
  r.pieceSize = 1;
  r.pauseMs = 1;
  add("chunked, size lines split across reads", r, true, text);

  r = FakeReply::Text(200, big);
  r.framing = FakeReply::Framing::kChunked;
  r.chunkSplits = {20000, 20001, 45000};  // chunks of 0x4e20, 1, 0x61a7 and 0x3a98 bytes
  r.writeSplits = {150, 152, 10000, 20160};
  add("chunked, chunks over 10240 bytes", r, true, big);

  r = FakeReply::Text(200, "");
  r.framing = FakeReply::Framing::kChunked;
  add("chunked, size 0 at once", r, true, "");

  add("chunked with extensions and a trailer",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                     "5;name=value\r\nhello\r\n0006\r\n world\r\n0\r\nX-Trailer: 1\r\n\r\n"),
      true, "hello world");

  add("chunked wins over a length",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n"
                     "5\r\nhello\r\n0\r\n\r\n"),
      true, "hello");

  // Only chunked framing is undone; any other transfer coding would pass its raw bytes
  // on as the body.
  add("transfer coding gzip is refused",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\nConnection: close\r\n\r\n" +
                     FakeReply::Gzip(text)),
      false, "");
  add("gzip under chunked is refused",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
                     "5\r\nhello\r\n0\r\n\r\n"),
      false, "");
  add("chunked that is not the last coding is refused",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\n\r\n"
                     "5\r\nhello\r\n0\r\n\r\n"),
      false, "");
  add("chunked twice is refused",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, chunked\r\n\r\n"
                     "5\r\nhello\r\n0\r\n\r\n"),
      false, "");
  add("identity then chunked is chunked",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: identity, Chunked\r\n\r\n"
                     "5\r\nhello\r\n0\r\n\r\n"),
      true, "hello");
  add("identity alone leaves the length",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\nContent-Length: 5\r\n\r\n"
                     "hello"),
      true, "hello");

  add("\"chunked\" only in the body is not framing",
      FakeReply::Text(200, "5\r\nchunked\r\n0\r\n\r\n"), true, "5\r\nchunked\r\n0\r\n\r\n");

  r = FakeReply::Text(200, "1\r\nchunked body\r\n0\r\n\r\n");
  r.framing = FakeReply::Framing::kClose;
  add("no framing, \"chunked\" in the body, read to close", r, true,
      "1\r\nchunked body\r\n0\r\n\r\n");

  r = FakeReply::Text(200, big);
  r.framing = FakeReply::Framing::kClose;
  r.writeSplits = {10, 11, 20000};
  add("no framing: read to close", r, true, big);

  r = FakeReply::Text(200, text);
  r.framing = FakeReply::Framing::kClose;
  r.holdOpen = true;
  add("no framing and the peer never closes: idle time-out", r, false, "", 2);

  r = FakeReply::Text(204, "");
  r.framing = FakeReply::Framing::kClose;
  r.holdOpen = true;
  add("204 has no body", r, true, "", 5);

  r = FakeReply::Text(304, "");
  r.framing = FakeReply::Framing::kClose;
  r.holdOpen = true;
  add("304 has no body", r, true, "", 5);

  add("interim 100 Continue is skipped",
      FakeReply::Raw("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
      true, "ok");

  add("HTTP/1.0 reply to close",
      FakeReply::Raw("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nold server"), true,
      "old server");

  r = FakeReply::Text(200, text);
  r.gzip = true;
  add("gzip body stays as sent", r, true, FakeReply::Gzip(text));

  r = FakeReply::Text(200, text);
  r.closeAfter = static_cast<long>(r.Wire().size()) - 5;
  add("length, peer closes early", r, false, "");

  r = FakeReply::Text(200, big);
  r.framing = FakeReply::Framing::kChunked;
  r.chunkSplits = {30000};
  r.closeAfter = 40000;
  add("chunked, peer closes early", r, false, "");

  add("chunk size not hexadecimal",
      FakeReply::Raw(
          "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n"),
      false, "");
  add("chunk size over 32 bits",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1000000005\r\nhello\r\n"
                     "0\r\n\r\n"),
      false, "");
  add("negative chunk size",
      FakeReply::Raw(
          "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\nhello\r\n0\r\n\r\n"),
      false, "");
  add("chunk size line without end",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                     std::string(200, '1')),
      false, "");
  add("chunk data without CR LF behind",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhelloXX0\r\n\r\n"),
      false, "");
  add("content length not a number",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 12abc\r\n\r\nhello"), false, "");
  add("content length negative",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nhello"), false, "");
  // Framed two ways: which length the peer meant cannot be told, so neither is taken.
  add("two different lengths, the first shorter",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 5\r\n\r\nhello"),
      false, "");
  add("two different lengths, the first longer",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 2\r\n\r\nhello"),
      false, "");
  add("two different lengths beside chunked",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n"
                     "content-length: 9\r\n\r\n5\r\nhello\r\n0\r\n\r\n"),
      false, "");
  add("the same length twice",
      FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Length: 5\r\ncontent-length:  05 \r\n\r\nhello"),
      true, "hello");

  r = FakeReply::Text(200, "x");
  r.headers.emplace_back("X-Padding", std::string(1100, 'p'));
  add("header block over 1023 bytes", r, false, "");

  // Replies at and just over the limit (header and body together).
  FakeReply probe = FakeReply::Text(200, std::string(200000, 'a'));
  const size_t header = HeaderSize(probe);
  r = FakeReply::Text(200, RandomBytes(THttpBaseClient::kMaxReply - header, 2));
  add("length, exactly at the buffer limit", r, true, r.body);
  r = FakeReply::Text(200, std::string(THttpBaseClient::kMaxReply - header + 1, 'b'));
  add("length, one byte over the buffer limit", r, false, "");
  r = FakeReply::Text(200, std::string(300000, 'c'));
  r.framing = FakeReply::Framing::kClose;
  add("read to close, over the buffer limit", r, false, "");
  r = FakeReply::Text(200, std::string(300000, 'd'));
  r.framing = FakeReply::Framing::kChunked;
  r.chunkSplits = {100000, 200000};
  add("chunked, over the buffer limit", r, false, "");
  r = FakeReply::Text(200, std::string(2000000, 'e'));
  r.framing = FakeReply::Framing::kChunked;
  add("chunked, one chunk far over the buffer limit", r, false, "");
  return rows;
}

TEST(HttpFraming, ExchangeTable) {
  std::vector<Row> rows = FramingRows();
  FakeHttpServer server;
  for (size_t i = 0; i < rows.size(); ++i) server.Route("/row" + std::to_string(i), rows[i].reply);
  ASSERT_TRUE(server.Start());
  THttpClient client;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.name);
    client.SetIdleTimeout(row.idleSeconds);
    std::string body;
    const auto start = Clock::now();
    const bool ok = Get(client, server, "/row" + std::to_string(i), body);
    EXPECT_EQ(ok, row.ok);
    if (ok && row.ok) {
      EXPECT_EQ(body.size(), row.body.size());
      EXPECT_TRUE(body == row.body);
    }
    // Nothing waits for the idle time-out unless the reply leaves no other way.
    if (row.ok) {
      EXPECT_LT(Clock::now() - start, std::chrono::seconds(row.idleSeconds));
    }
  }
}

// A reply without a usable header block comes back as received, for the caller to judge;
// its Location, if any, is never followed.
TEST(HttpFraming, HandsBackRepliesWithoutAUsableHeader) {
  FakeHttpServer server;
  server.Route("/target", FakeReply::Text(200, "moved here"));
  ASSERT_TRUE(server.Start());
  const std::string location = "Location: " + server.Url("/target") + "\r\n";
  FakeReply cut = FakeReply::Text(200, "The quick brown fox");
  cut.closeAfter = 10;
  struct Row {
    const char* name;
    FakeReply reply;
    std::string expected;  // the whole reply handed back, or at least this start of it
    bool exact;
  };
  const std::vector<Row> rows = {
      {"peer closes inside the status line", cut, cut.Wire().substr(0, 10), true},
      {"peer closes before the header end",
       FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"),
       "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n", true},
      {"status line garbage", FakeReply::Raw("HTTQ/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"),
       "HTTQ/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", true},
      {"HTTP/2 status line", FakeReply::Raw("HTTP/2 200 OK\r\nContent-Length: 2\r\n\r\nok"),
       "HTTP/2 200 OK\r\nContent-Length: 2\r\n\r\n", false},
      {"header line without colon", FakeReply::Raw("HTTP/1.1 200 OK\r\nbroken\r\n\r\n"),
       "HTTP/1.1 200 OK\r\nbroken\r\n\r\n", true},
      {"302 whose header does not parse",
       FakeReply::Raw("HTTP/1.1 302 Found\r\n" + location + "broken\r\n\r\n"),
       "HTTP/1.1 302 Found\r\n" + location + "broken\r\n\r\n", true},
      {"302 cut before the header end", FakeReply::Raw("HTTP/1.1 302 Found\r\n" + location),
       "HTTP/1.1 302 Found\r\n" + location, true},
  };
  for (size_t i = 0; i < rows.size(); ++i) server.Route("/row" + std::to_string(i), rows[i].reply);
  THttpClient client;
  client.SetIdleTimeout(5);
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE(row.name);
    const size_t requestsBefore = server.RequestCount();
    TServerRecord record{"127.0.0.1", server.Port()};
    const std::string path = "/row" + std::to_string(i);
    const int got = client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, path, ""));
    ASSERT_GT(got, 0);
    EXPECT_EQ(client.GetReceivedLength(), got);
    EXPECT_EQ(client.GetBuffer()[got], '\0');
    const std::string reply(client.GetBuffer(), static_cast<size_t>(got));
    if (row.exact) {
      EXPECT_EQ(reply, row.expected);
    } else {
      EXPECT_EQ(reply.compare(0, row.expected.size(), row.expected), 0);
      EXPECT_EQ(row.reply.Wire().compare(0, reply.size(), reply), 0);
    }
    EXPECT_EQ(server.RequestCount(), requestsBefore + 1);  // no redirect followed
  }
  // Nothing at all before the close is still a failure.
  FakeReply silent = FakeReply::Text(200, "x");
  silent.closeAfter = 0;
  server.Route("/silent", silent);
  TServerRecord record{"127.0.0.1", server.Port()};
  EXPECT_EQ(client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/silent", "")), 0);
  EXPECT_EQ(client.GetReceivedLength(), 0);
}

TEST(HttpFraming, ReceivedLengthIsSetOnEverySuccessPath) {
  FakeHttpServer server;
  server.Route("/big", FakeReply::Text(200, std::string(5000, 'x')));
  server.Route("/empty", FakeReply::Text(200, ""));
  FakeReply chunkedEmpty = FakeReply::Text(200, "");
  chunkedEmpty.framing = FakeReply::Framing::kChunked;
  server.Route("/chunked-empty", chunkedEmpty);
  server.Route("/nocontent", FakeReply::Text(204, ""));
  ASSERT_TRUE(server.Start());
  THttpClient client;
  // A long reply first, so that a stale length would show.
  for (const char* path : {"/big", "/empty", "/big", "/chunked-empty", "/big", "/nocontent"}) {
    SCOPED_TRACE(path);
    TServerRecord record{"127.0.0.1", server.Port()};
    const int got = client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, path, ""));
    ASSERT_GT(got, 0);
    EXPECT_EQ(client.GetReceivedLength(), got);
    EXPECT_EQ(static_cast<int>(std::strlen(client.GetBuffer())), got);
    const std::string reply(client.GetBuffer(), static_cast<size_t>(got));
    const size_t end = reply.find("\r\n\r\n");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(reply.size() - end - 4, std::string(path) == "/big" ? 5000u : 0u);
  }
}

TEST(HttpFraming, SendsTheRequestTextAsGiven) {
  FakeHttpServer server;
  server.Handle("/echo", [](const FakeRequest& r) { return FakeReply::Text(200, r.body); });
  ASSERT_TRUE(server.Start());
  THttpClient client;
  TServerRecord record{"127.0.0.1", server.Port()};
  const std::string body(30000, 'q');
  const std::string request =
      THttpBaseClient::BuildPostRequest(&record, "/echo?a=1", "application/json", body, "tk");
  ASSERT_GT(client.Exchange(&record, request), 0);
  ASSERT_EQ(server.RequestCount(), 1u);
  const FakeRequest seen = server.LastRequest();
  EXPECT_EQ(seen.raw, request);
  EXPECT_EQ(seen.requestLine, "POST /echo?a=1 HTTP/1.1");
  EXPECT_EQ(seen.Header("TS-IM-TOKEN"), "tk");
  EXPECT_EQ(seen.Param("a"), "1");
  EXPECT_EQ(seen.body, body);
}

TEST(HttpFraming, FailsWithoutUsableRequestOrServer) {
  FakeHttpServer server;
  server.Route("/", FakeReply::Text(200, "x"));
  ASSERT_TRUE(server.Start());
  THttpClient client;
  TServerRecord record{"127.0.0.1", server.Port()};
  EXPECT_EQ(client.Exchange(nullptr, THttpBaseClient::BuildGetRequest(&record, "/", "")), 0);
  EXPECT_EQ(client.Exchange(&record, "GET / HTTP/1.1\r\nHost: x\r\n"), 0);  // no empty line
  EXPECT_EQ(client.Exchange(&record, ""), 0);
  EXPECT_EQ(server.ConnectionCount(), 0);
  // Nothing listens on a port just released.
  int freePort;
  {
    FakeHttpServer gone;
    ASSERT_TRUE(gone.Start());
    freePort = gone.Port();
  }
  TServerRecord closed{"127.0.0.1", freePort};
  EXPECT_EQ(client.Exchange(&closed, THttpBaseClient::BuildGetRequest(&closed, "/", "")), 0);
  EXPECT_EQ(client.GetReceivedLength(), 0);
}

TEST(HttpFraming, DelayedReplyWithinTheIdleTimeOutArrives) {
  FakeHttpServer server;
  FakeReply slow = FakeReply::Text(200, "late");
  slow.delayMs = 1500;
  slow.writeSplits = {20};
  slow.pauseMs = 1500;
  server.Route("/slow", slow);
  ASSERT_TRUE(server.Start());
  THttpClient client;
  client.SetIdleTimeout(5);
  std::string body;
  ASSERT_TRUE(Get(client, server, "/slow", body));
  EXPECT_EQ(body, "late");
}

TEST(HttpFraming, StalledReplyEndsAtTheIdleTimeOut) {
  FakeHttpServer server;
  FakeReply stall;
  stall.stall = true;
  server.Route("/stall", stall);
  FakeReply half = FakeReply::Text(200, std::string(100, 'h'));
  half.writeSplits = {60};
  half.pauseMs = 60000;  // the rest comes long after the client gave up
  server.Route("/half", half);
  ASSERT_TRUE(server.Start());
  THttpClient client;
  client.SetIdleTimeout(2);
  for (const char* path : {"/stall", "/half"}) {
    SCOPED_TRACE(path);
    std::string body;
    const auto start = Clock::now();
    EXPECT_FALSE(Get(client, server, path, body));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    EXPECT_LT(waited, std::chrono::seconds(20));
  }
}

// A peer that sends a byte before every idle time-out never lets the idle timer
// fire: the reply deadline ends the exchange, in the header or in the body, and the
// download's header alike. A reply that keeps to the deadline still arrives.
TEST(HttpFraming, TricklingReplyEndsAtTheReplyDeadline) {
  FakeHttpServer server;
  FakeReply trickle = FakeReply::Text(200, std::string(60, 't'));
  trickle.pieceSize = 1;
  trickle.pauseMs = 250;  // about 30 s for the whole reply
  server.Route("/trickle", trickle);
  FakeReply bodyTrickle = trickle;
  bodyTrickle.pieceSize = 0;
  bodyTrickle.writeSplits.clear();
  const size_t header = HeaderSize(bodyTrickle);
  for (size_t at = header; at < header + 60; ++at) bodyTrickle.writeSplits.push_back(at);
  server.Route("/body-trickle", bodyTrickle);
  FakeReply brisk = FakeReply::Text(200, "brisk");
  brisk.pieceSize = 1;
  brisk.pauseMs = 5;
  server.Route("/brisk", brisk);
  ASSERT_TRUE(server.Start());
  THttpClient client;
  client.SetIdleTimeout(2);
  client.SetReplyDeadline(3000);
  EXPECT_EQ(client.GetReplyDeadline(), 3000);
  for (const char* path : {"/trickle", "/body-trickle"}) {
    SCOPED_TRACE(path);
    std::string body;
    const auto start = Clock::now();
    EXPECT_FALSE(Get(client, server, path, body));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(2900));
    EXPECT_LT(waited, std::chrono::seconds(20));
  }
  {
    // The download's header block is held in memory as well.
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    TServerRecord record{"127.0.0.1", server.Port()};
    const auto start = Clock::now();
    EXPECT_EQ(client.ExchangeToFile(&record, "/trickle", file, nullptr), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
    std::fclose(file);
  }
  std::string body;
  ASSERT_TRUE(Get(client, server, "/brisk", body));
  EXPECT_EQ(body, "brisk");
  // Every client starts with a minute.
  EXPECT_EQ(THttpClient().GetReplyDeadline(), THttpBaseClient::kDefaultReplyDeadlineMs);
  EXPECT_EQ(THttpBaseClient::kDefaultReplyDeadlineMs, 60000);
}

TEST(HttpFraming, EngineStopEndsAWaitingExchange) {
  FakeHttpServer server;
  FakeReply stall;
  stall.stall = true;
  server.Route("/stall", stall);
  ASSERT_TRUE(server.Start());
  THttpClient client;  // idle time-out 30 s
  std::thread stopper([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SetEngineStopping(true);
  });
  std::string body;
  const auto start = Clock::now();
  EXPECT_FALSE(Get(client, server, "/stall", body));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(15));
  stopper.join();
  SetEngineStopping(false);
}

}  // namespace

namespace {

TEST(HttpFraming, ChunkSizeLineTable) {
  struct Row {
    const char* line;
    bool ok;
    uint64_t size;
  } rows[] = {
      {"0", true, 0},
      {"", true, 0},  // an empty line ends the body
      {"a", true, 10},
      {"FF", true, 255},
      {"2800", true, 10240},
      {"ffffffff", true, 0xffffffffu},
      {"00000000ffffffff", true, 0xffffffffu},  // leading zeros are not significant
      {"100000000", false, 0},                  // over 32 bits
      {"1a;name=value", true, 26},
      {"1a ; name", true, 26},
      {" 5", true, 5},
      {"-5", false, 0},
      {"+5", false, 0},
      {"0x10", false, 0},
      {"5 6", false, 0},
      {"g", false, 0},
      {";ext", false, 0},
  };
  for (const Row& row : rows) {
    uint64_t size = 12345;
    const bool ok =
        THttpChunkDecoder::ParseSizeLine(row.line, static_cast<int>(strlen(row.line)), size);
    EXPECT_EQ(ok, row.ok) << row.line;
    if (ok) {
      EXPECT_EQ(size, row.size) << row.line;
    }
  }
}

}  // namespace
