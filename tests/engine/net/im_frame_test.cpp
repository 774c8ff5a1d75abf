// Frames of the IM channel: both forms, their limits, and what a hostile frame does.
#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeIMServer.h"
#include "im_channel_rig.h"
#include "net/TIMChannel.h"

namespace {

std::string Complemented(const std::string& text) {
  std::string out;
  for (char c : text) out += static_cast<char>(~c);
  return out;
}

TEST(IMFrame, FramingTable) {
  struct Row {
    std::string text;
    size_t frameLength;
    bool longForm;
  };
  const Row rows[] = {
      {"", 0, false},
      {"abcdefghij", 10, false},
      {"abcdefghijk", 17, true},
      {"abcdefghijkl", 18, true},
      {std::string(TIMChannel::kMaxFramedText, 'q'), TIMChannel::kMaxFramedText + 6, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("text of " + std::to_string(row.text.size()) + " bytes");
    std::string frame;
    ASSERT_TRUE(TIMChannel::Frame(row.text, &frame));
    EXPECT_EQ(row.frameLength, frame.size());
    if (row.longForm) {
      EXPECT_EQ("01", frame.substr(0, 2));
      EXPECT_EQ(Complemented(row.text), frame.substr(6));
    } else {
      EXPECT_EQ(Complemented(row.text), frame);
    }
    std::string back;
    ASSERT_TRUE(TIMChannel::Unframe(frame.data(), frame.size(), &back));
    EXPECT_EQ(row.text, back);
    // The test server frames the same way, written on its own.
    EXPECT_EQ(FakeIMServer::Frame(row.text), frame);
  }
}

TEST(IMFrame, KnownChecksumBytes) {
  EXPECT_EQ(1036u, TIMChannel::Checksum("abcdefghijkl"));
  std::string frame;
  ASSERT_TRUE(TIMChannel::Frame("abcdefghijkl", &frame));
  EXPECT_EQ(std::string("01\x0C\x04\x00\x00", 6), frame.substr(0, 6));
  // The first byte counts against the sum; a sum below it wraps modulo 2^32.
  EXPECT_EQ(static_cast<uint32_t>(1 - 'z'), TIMChannel::Checksum("z\x01"));
  EXPECT_EQ(0u, TIMChannel::Checksum(""));
}

TEST(IMFrame, LongestTextFitsOneMoreIsRefused) {
  std::string frame;
  EXPECT_TRUE(TIMChannel::Frame(std::string(4089, 'a'), &frame));
  EXPECT_FALSE(TIMChannel::Frame(std::string(4090, 'a'), &frame));
  EXPECT_TRUE(frame.empty());
}

TEST(IMFrame, UnframeRejectsBadChecksumAndOversize) {
  std::string good;
  ASSERT_TRUE(TIMChannel::Frame("{\"request\": 1,\"id\": \"x\"}", &good));
  std::string badSum = good;
  badSum[2] = static_cast<char>(badSum[2] ^ 0x01);
  std::string badBody = good;
  badBody[10] = static_cast<char>(badBody[10] ^ 0x20);

  // A frame just under the limit with a valid checksum is accepted.
  const std::string longText(8191 - 6, 'k');
  std::string longest = "01";
  const uint32_t sum = TIMChannel::Checksum(longText.c_str());
  for (int i = 0; i < 4; ++i) longest += static_cast<char>((sum >> (8 * i)) & 0xFF);
  longest += Complemented(longText);
  ASSERT_EQ(8191u, longest.size());
  std::string tooLong = longest + Complemented("k");

  struct Row {
    const char* name;
    std::string frame;
    bool accepted;
  };
  const Row rows[] = {
      {"good", good, true},
      {"checksum byte changed", badSum, false},
      {"body byte changed", badBody, false},
      {"8191 bytes", longest, true},
      {"8192 bytes", tooLong, false},
      {"9000 bytes", std::string(9000, 'x'), false},
      {"zero byte in a long frame", std::string("01\0\0\0\0\xff\xfe\x01\x02\x03\x04", 12), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text;
    EXPECT_EQ(row.accepted, TIMChannel::Unframe(row.frame.data(), row.frame.size(), &text));
    if (!row.accepted) {
      EXPECT_TRUE(text.empty());
    }
  }
}

// A rejected frame is reported on standard output and never reaches the queue.
TEST(IMFrame, CallBackDropsRejectedFrames) {
  ChannelRig rig;
  std::string good;
  ASSERT_TRUE(TIMChannel::Frame("{\"request\": 1,\"id\": \"a\",\"from\": \"b\"}", &good));
  std::string badSum = good;
  badSum[3] = static_cast<char>(badSum[3] + 1);
  const std::string big(8192, '\x10');

  testing::internal::CaptureStdout();
  rig.channel->IM_CallBack(badSum.data(), static_cast<int>(badSum.size()), "127.0.0.1",
                           rig.server.Port());
  rig.channel->IM_CallBack(big.data(), static_cast<int>(big.size()), "127.0.0.1",
                           rig.server.Port());
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(
      "IM_CallBack: Message is too length.\n"
      "IM_CallBack: Message is too length.\n",
      out);
  EXPECT_EQ(0u, rig.channel->QueuedCount());
  ASSERT_TRUE(rig.Fence());
  EXPECT_TRUE(rig.Delivered().empty());
  EXPECT_EQ(2u, rig.channel->GetStats().framesRejected);
}

// End to end: the longest text arrives whole at the server; one byte more is
// refused by Send, traced nowhere and not tracked for resending.
TEST(IMFrame, SendRefusesTextTooLongForOneFrame) {
  ChannelRig rig;
  const std::string longest = "{\"request\": 1,\"id\": \"L\",\"from\": \"me\",\"pad\": \"" +
                              std::string(4089 - 47, 'p') + "\"}";
  ASSERT_EQ(4089u, longest.size());
  EXPECT_EQ(1, rig.Send(longest));
  ASSERT_TRUE(rig.server.WaitFor([&] { return rig.server.ReceivedCount() == 1; }));
  const FakeIMServer::Record r = rig.server.Received()[0];
  EXPECT_TRUE(r.framed);
  EXPECT_EQ(longest, r.text);

  testing::internal::CaptureStdout();
  EXPECT_EQ(0, rig.Send(longest + " "));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos, out.find("4090 bytes")) << out;
  EXPECT_EQ(1u, rig.channel->GetStats().refused);
  EXPECT_EQ(1u, rig.TracedSends());
  EXPECT_EQ(1, rig.channel->ResendControl()->PendingCount());
  ASSERT_TRUE(rig.Fence());
  EXPECT_EQ(1u, rig.server.ReceivedCount());
}

}  // namespace
