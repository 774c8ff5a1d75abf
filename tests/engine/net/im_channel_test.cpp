// The IM channel against the loopback IM server: automatic responses, repeated
// packets, hostile datagrams, short texts and tracing, and resends end to end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/TStopFlag.h"
#include "im_channel_rig.h"
#include "net/TIMPacket.h"

namespace {

using Record = FakeIMServer::Record;

std::vector<Record> ReceivedOfKind(const FakeIMServer& server, int kind) {
  std::vector<Record> out;
  for (const Record& r : server.Received()) {
    if (r.kind == kind) out.push_back(r);
  }
  return out;
}

std::string Member(const Record& r, const char* name) {
  return r.json.isMember(name) ? r.json[name].asString() : std::string("<absent>");
}

std::string EngineRequest(const std::string& id) {
  TIMPacket p;
  p.SetId(id);
  p.SetTransId("tr-" + id);
  p.SetFrom("me@s");
  p.SetTo("srv@s");
  p.SetMethod(TIMPacket::kMessage);
  p.AddParam("n", id);
  return p.ToRequest();
}

TEST(IMChannel, EveryParsedPacketGetsAnAutomaticResponse) {
  ChannelRig rig;
  struct Row {
    const char* name;
    std::string text;
    bool answered;
  };
  const Row rows[] = {
      {"request with recroute",
       FakeIMServer::RequestText("p1", "srv@s", "me@s", "message", "im", {{"msgtype", "msg"}},
                                 "back"),
       true},
      {"response",
       "{\"response\":200,\"id\":\"p2\",\"transid\":\"t\",\"from\":\"srv@s\",\"to\":\"me@s\","
       "\"method\":\"call\"}",
       true},
      {"unknown method (fails Parse, still delivered)",
       FakeIMServer::RequestText("p3", "srv@s", "me@s", "subscribe", "im", {}), false},
      // The server matches the answer by the id and from it sent, byte for byte.
      {"texts that are not valid UTF-8",
       "{\"request\":1,\"id\":\"a\xe0" "bcd@s\",\"transid\":\"t\xff\",\"from\":\"srv\xc3@s\","
       "\"to\":\"me\xed\xa0\x80@s\",\"method\":\"message\",\"recroute\":\"r\xf0" "ab\","
       "\"params\":{\"msgtype\":\"msg\"}}",
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    rig.server.ClearRecords();
    const size_t unacked = rig.server.UnackedCount();
    rig.server.Push(row.text);
    ASSERT_TRUE(rig.WaitDelivered(row.text));
    ASSERT_TRUE(rig.Fence());
    ASSERT_TRUE(rig.Settle());
    const std::vector<Record> responses = ReceivedOfKind(rig.server, FakeIMServer::kResponse);
    if (!row.answered) {
      EXPECT_TRUE(responses.empty());
      continue;
    }
    EXPECT_EQ(unacked, rig.server.UnackedCount());
    ASSERT_EQ(1u, responses.size());
    const Record& r = responses[0];
    const Json::Value& sent = FakeIMServer::Inspect(row.text).json;
    EXPECT_EQ(1, r.code);
    for (const char* name : {"id", "transid", "from", "to", "method"}) {
      EXPECT_EQ(sent[name].asString(), Member(r, name)) << name;
    }
    EXPECT_EQ(sent.isMember("recroute") ? sent["recroute"].asString() : "<absent>",
              Member(r, "route"));
    for (const char* name : {"recroute", "client", "contenttype", "params"}) {
      EXPECT_FALSE(r.json.isMember(name)) << name;
    }
  }
  EXPECT_EQ(4u, rig.Delivered().size());
}

TEST(IMChannel, RepeatedPacketDeliveredOnceAndAnsweredAgain) {
  ChannelRig rig;
  const std::string push = FakeIMServer::ChatPacket("srv@s", "me@s", "msg", {{"content", "hello"}});
  rig.server.Push(push, 2);
  ASSERT_TRUE(rig.Fence());
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(std::vector<std::string>{push}, rig.Delivered());
  // Each copy gets the automatic response (code 1); the repeat is also answered
  // with the code recorded for its key, 0 while the engine has sent none.
  std::vector<int> codes;
  for (const Record& r : ReceivedOfKind(rig.server, FakeIMServer::kResponse)) {
    codes.push_back(r.code);
  }
  EXPECT_EQ((std::vector<int>{1, 1, 0}), codes);
  EXPECT_EQ(1u, rig.channel->GetStats().duplicates);

  // Once the engine answers with a code of its own, repeats are answered with it.
  const Record request = FakeIMServer::Inspect(push);
  EXPECT_EQ(1, rig.Send(FakeIMServer::ResponseText(request.json, 486)));
  ASSERT_TRUE(rig.Settle());
  rig.server.ClearRecords();
  rig.server.Push(push);
  ASSERT_TRUE(rig.Fence());
  ASSERT_TRUE(rig.Settle());
  codes.clear();
  for (const Record& r : ReceivedOfKind(rig.server, FakeIMServer::kResponse)) {
    codes.push_back(r.code);
    EXPECT_EQ(request.key, r.key);
  }
  EXPECT_EQ((std::vector<int>{1, 486}), codes);
  EXPECT_EQ(1u, rig.Delivered().size());
}

TEST(IMChannel, RepeatsAreDeliveredWhenResendIsOff) {
  ChannelRig rig(0);
  const std::string push = FakeIMServer::ChatPacket("srv@s", "me@s", "msg", {});
  rig.server.Push(push, 2);
  ASSERT_TRUE(rig.Fence());
  EXPECT_EQ((std::vector<std::string>{push, push}), rig.Delivered());
  EXPECT_EQ(nullptr, rig.channel->ResendControl());
}

TEST(IMChannel, DatagramFromAnotherPortIsIgnored) {
  ChannelRig rig;
  const std::string forged = FakeIMServer::SysPacket("me@s", "kickout", {{"regsterid", "x"}});
  testing::internal::CaptureStdout();
  rig.server.SendFromForeignPort(FakeIMServer::Frame(forged));
  ASSERT_TRUE(
      rig.server.WaitFor([&] { return rig.channel->Transport()->ForeignDropCount() == 1; }));
  // The drop is counted before it is logged; the receive thread takes one datagram
  // at a time, so once the fence is through the log line is out too.
  const bool fenced = rig.Fence();
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(fenced);
  EXPECT_NE(std::string::npos, out.find("not the IM server")) << out;
  EXPECT_TRUE(rig.Delivered().empty());
  EXPECT_EQ(0u, rig.server.CountReceived(FakeIMServer::kResponse));
}

TEST(IMChannel, HostileInputTable) {
  ChannelRig rig;
  struct Row {
    const char* name;
    std::function<void(FakeIMServer&)> send;
    const char* printed;  // expected on standard output
  };
  const Row rows[] = {
      {"bad checksum",
       [](FakeIMServer& s) {
         s.SendBadChecksum(FakeIMServer::ChatPacket("a@s", "me@s", "msg", {}));
       },
       "IM_CallBack: Message is too length.\n"},
      {"frame of 8192 bytes", [](FakeIMServer& s) { s.SendOversize(8192); },
       "IM_CallBack: Message is too length.\n"},
      {"datagram past the receive buffer", [](FakeIMServer& s) { s.SendOversize(20000); },
       "TIMServer: dropped a datagram of 20000 bytes"},
      {"long text that is no packet",
       [](FakeIMServer& s) { s.PushText("this is not a packet, at all"); },
       "Recv invalid message\n"},
      {"JSON without a key",
       [](FakeIMServer& s) { s.PushText("{\"request\": 1,\"transid\": \"t\",\"to\": \"x\"}"); },
       "Recv invalid message\n"},
      {"JSON without a marker",
       [](FakeIMServer& s) { s.PushText("{\"hello\": 1,\"id\": \"a\",\"from\": \"b\",\"x\": 1}"); },
       "Recv invalid message\n"},
      {"binary garbage",
       [](FakeIMServer& s) {
         s.SendBytes(std::string("01\x05\0\0\0", 6) + std::string(40, '\x80'));
       },
       "IM_CallBack: Message is too length.\n"},
      // A zero byte would end the text early, so the checksum covers only a part.
      {"zero byte inside a long frame",
       [](FakeIMServer& s) {
         s.SendBytes(std::string("01\0\0\0\0\xff\xfe\x01", 9) + std::string(40, '\x80'));
       },
       "IM_CallBack: Message is too length.\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::internal::CaptureStdout();
    row.send(rig.server);
    ASSERT_TRUE(rig.Fence());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find(row.printed)) << out;
    EXPECT_TRUE(rig.Delivered().empty());
  }
  EXPECT_EQ(0u, rig.server.CountReceived(FakeIMServer::kResponse));
  // The channel still works afterwards.
  const std::string push = FakeIMServer::ChatPacket("a@s", "me@s", "msg", {});
  rig.server.Push(push);
  EXPECT_TRUE(rig.WaitDelivered(push));
}

TEST(IMChannel, ShortTextsProbeAndTrace) {
  ChannelRig rig;
  EXPECT_EQ(1, rig.Send("o"));
  ASSERT_TRUE(rig.WaitDelivered("o"));
  ASSERT_TRUE(rig.Settle());
  const std::vector<Record> got = rig.server.Received();
  ASSERT_EQ(1u, got.size());
  EXPECT_EQ(FakeIMServer::kShort, got[0].kind);
  EXPECT_EQ(std::string(1, static_cast<char>(~'o')), got[0].bytes);
  EXPECT_EQ(rig.clientPort, got[0].port);

  const std::vector<Traced> traced = rig.TracedTexts();
  ASSERT_EQ(2u, traced.size());
  EXPECT_EQ("o", traced[0].text);
  EXPECT_EQ(0, traced[0].direction);
  EXPECT_EQ("o", traced[1].text);
  EXPECT_EQ(1, traced[1].direction);
  for (const Traced& t : traced) {
    EXPECT_EQ("127.0.0.1", t.host);
    EXPECT_EQ(rig.server.Port(), t.port);
  }
  // Short texts are never kept for resending.
  EXPECT_EQ(1, rig.Send("a"));
  EXPECT_EQ(0, rig.channel->ResendControl()->PendingCount());
}

TEST(IMChannel, RequestsAreResentUntilAnswered) {
  struct Row {
    const char* name;
    int withheld;           // responses withheld before the server answers (-1: never)
    size_t copiesAtServer;  // how often the server sees the request
    uint64_t givenUp;
  };
  const Row rows[] = {
      {"answered at once", 0, 1, 0},
      {"answered on the first resend", 1, 2, 0},
      {"answered on the fourth resend", 4, 5, 0},
      {"never answered", -1, 10, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ChannelRig rig;
    std::atomic<int> seen{0};
    rig.server.SetResponder([&](const Record&) {
      FakeIMServer::Reply reply;
      reply.answer = row.withheld >= 0 && seen++ >= row.withheld;
      return reply;
    });
    const std::string request = EngineRequest("r1");
    ASSERT_EQ(1, rig.Send(request));
    ASSERT_TRUE(rig.Settle());
    std::vector<int> resendTicks;
    for (int t = 1; t <= 30; ++t) {
      if (rig.Tick() > 0) resendTicks.push_back(t);
    }
    const std::vector<Record> requests = ReceivedOfKind(rig.server, FakeIMServer::kRequest);
    EXPECT_EQ(row.copiesAtServer, requests.size());
    for (const Record& r : requests) EXPECT_EQ(request, r.text);
    for (size_t i = 0; i < resendTicks.size(); ++i) {
      EXPECT_EQ(static_cast<int>(4 + 2 * i), resendTicks[i]);
    }
    const TTSResendCtrl* ctrl = rig.channel->ResendControl();
    EXPECT_EQ(0, ctrl->PendingCount());
    EXPECT_EQ(row.givenUp, ctrl->GivenUpCount());
    EXPECT_EQ(1 - row.givenUp, ctrl->AnsweredCount());
  }
}

TEST(IMChannel, DelayedAnswerWithinTheFirstCheckStopsResends) {
  ChannelRig rig;
  rig.server.SetResponder([](const Record&) {
    FakeIMServer::Reply reply;
    reply.delayMs = 300;
    return reply;
  });
  ASSERT_EQ(1, rig.Send(EngineRequest("d1")));
  ASSERT_TRUE(rig.server.WaitFor([&] { return rig.Quiet(); }));
  for (int t = 0; t < 25; ++t) EXPECT_EQ(0, rig.Tick());
  EXPECT_EQ(1u, rig.server.CountReceived(FakeIMServer::kRequest));
  EXPECT_EQ(1u, rig.channel->ResendControl()->AnsweredCount());
}

// A channel without a socket, fed by hand through IM_CallBack: the trace hook runs
// as a text goes out, so a test can make an answer arrive and be dispatched before
// the send returns, the way a fast server and a preempted sender do.
class OvertakeRig {
 public:
  OvertakeRig() : channel([](const std::string&, const std::string&, int) {}) {
    channel.SetResendTickMs(0);
    channel.Start(1);
    channel.SetServer("127.0.0.1", 9);
  }
  ~OvertakeRig() { channel.Stop(); }
  // Hands a framed text to the channel as if received and waits until dispatched.
  bool Arrive(const std::string& text) {
    const uint64_t before = channel.GetStats().dispatched;
    const std::string frame = FakeIMServer::Frame(text);
    channel.IM_CallBack(frame.data(), static_cast<int>(frame.size()), "127.0.0.1", 9);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (channel.GetStats().dispatched == before) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  TIMChannel channel;
};

TEST(IMChannel, AnswerOvertakingTheSendIsMatched) {
  OvertakeRig rig;
  const std::string request = EngineRequest("o1");
  const std::string answer = FakeIMServer::ResponseText(FakeIMServer::Inspect(request).json, 1);
  std::atomic<bool> arrived{false};
  rig.channel.SetHook([&](const std::string& text, const std::string&, int, int dir) {
    if (dir == 0 && text == request && !arrived) arrived = rig.Arrive(answer);
  });
  ASSERT_EQ(1, rig.channel.Send(request, "127.0.0.1", 9));
  ASSERT_TRUE(arrived);
  int resent = 0;
  for (int t = 0; t < 25; ++t) resent += rig.channel.ResendTick();
  const TTSResendCtrl* ctrl = rig.channel.ResendControl();
  EXPECT_EQ(0, resent);
  EXPECT_EQ(1u, ctrl->AnsweredCount());
  EXPECT_EQ(0u, ctrl->GivenUpCount());
  EXPECT_EQ(0, ctrl->PendingCount());
}

TEST(IMChannel, RepeatOvertakingTheResponseGetsItsCode) {
  OvertakeRig rig;
  const std::string push = FakeIMServer::ChatPacket("srv@s", "me@s", "msg", {});
  ASSERT_TRUE(rig.Arrive(push));
  const std::string response = FakeIMServer::ResponseText(FakeIMServer::Inspect(push).json, 486);
  std::mutex mutex;
  std::vector<int> codes;  // codes of the responses going out after ours
  std::atomic<bool> arrived{false};
  rig.channel.SetHook([&](const std::string& text, const std::string&, int, int dir) {
    if (dir != 0) return;
    if (text == response) {
      if (!arrived) arrived = rig.Arrive(push);
      return;
    }
    const Record r = FakeIMServer::Inspect(text);
    std::lock_guard<std::mutex> lock(mutex);
    if (r.kind == FakeIMServer::kResponse) codes.push_back(r.code);
  });
  ASSERT_EQ(1, rig.channel.Send(response, "127.0.0.1", 9));
  ASSERT_TRUE(arrived);
  // The repeat gets the automatic response, then the code the engine answered with.
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ((std::vector<int>{1, 486}), codes);
}

TEST(IMChannel, RealTickThreadResends) {
  ChannelRig rig(1, 10);
  rig.server.SetResponder([](const Record&) {
    FakeIMServer::Reply reply;
    reply.answer = false;
    return reply;
  });
  ASSERT_EQ(1, rig.Send(EngineRequest("t1")));
  ASSERT_TRUE(
      rig.server.WaitFor([&] { return rig.channel->ResendControl()->GivenUpCount() == 1; }, 60000));
  ASSERT_TRUE(rig.Settle());
  EXPECT_EQ(10u, rig.server.CountReceived(FakeIMServer::kRequest));
}

TEST(IMChannel, StopJoinsWithTrafficInFlight) {
  auto rig = std::make_unique<ChannelRig>(1, 1000);
  for (int i = 0; i < 20; ++i) {
    rig->server.Push(FakeIMServer::ChatPacket("a@s", "me@s", "msg", {}));
    rig->Send(EngineRequest("s" + std::to_string(i)));
  }
  rig->channel->Stop();
  rig->channel->Stop();
  EXPECT_EQ(-1, rig->channel->Transport()->SendTo("x", 1, "127.0.0.1", rig->server.Port()));
  rig.reset();
}

// The engine's stop flag alone ends the receive, dispatch and tick threads.
TEST(IMChannel, EngineStopEndsEveryThread) {
  ChannelRig rig(1, 1000);
  ASSERT_TRUE(rig.channel->IsDispatchRunning());
  ASSERT_TRUE(rig.channel->Transport()->IsRunning());
  ASSERT_TRUE(rig.channel->ResendControl()->IsTicking());
  SetEngineStopping(true);
  EXPECT_TRUE(rig.server.WaitFor([&] {
    return !rig.channel->IsDispatchRunning() && !rig.channel->Transport()->IsRunning() &&
           !rig.channel->ResendControl()->IsTicking();
  }));
  rig.channel->Stop();
  SetEngineStopping(false);
}

// Later protocols script the server from its handlers: a login answer that pushes,
// a probe answer that looks at what came before.
TEST(FakeIMServer, HandlersMayCallIntoTheServer) {
  // Declared first: the server thread may still run a handler until the rig stops.
  const std::string push = FakeIMServer::SysPacket("me@s", "notice", {});
  ChannelRig rig;
  rig.server.SetResponder([&](const Record&) {
    rig.server.Push(push);
    EXPECT_GE(rig.server.CountReceived(FakeIMServer::kRequest), 1u);
    return FakeIMServer::Reply();
  });
  rig.server.SetShortHandler([&](const std::string& text) {
    return std::vector<std::string>{rig.server.ReceivedCount() > 1 ? text + "k" : text};
  });
  ASSERT_EQ(1, rig.Send(EngineRequest("h1")));
  ASSERT_TRUE(rig.WaitDelivered(push));
  ASSERT_EQ(1, rig.Send("o"));
  ASSERT_TRUE(rig.WaitDelivered("ok"));
}

}  // namespace
