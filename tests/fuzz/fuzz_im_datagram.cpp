// A UDP datagram as it arrives from the IM server: unframed, classified, answered and
// parsed as a packet, and handed to a running channel, whose dispatch (duplicate cache,
// answers, delivery) takes each input before the next one comes.
#include <memory>
#include <string>
#include <thread>

#include "FuzzTarget.h"
#include "net/TIMChannel.h"
#include "net/TIMPacket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<TIMChannel> channel = [] {
    auto c = std::make_unique<TIMChannel>([](const std::string& text, const std::string&, int) {
      TIMPacket packet;
      if (packet.Parse(text)) {
        packet.GetParam("msgtype");
        packet.MakeResponse(200, "");
      }
    });
    c->SetServer("127.0.0.1", 9);
    c->SetResendTickMs(0);  // resends only by hand: no timer runs between inputs
    c->Start(1);
    return c;
  }();
  const char* frame = reinterpret_cast<const char*>(data);

  std::string text;
  if (TIMChannel::Unframe(frame, size, &text)) {
    int code = 0;
    TIMChannel::TextKind(text, &code);
    TIMChannel::PacketKey(text);
    TIMChannel::ResponseFromText(text, 200);
    TIMPacket packet;
    if (packet.Parse(text)) {
      // What was read writes back out and reads again the same.
      TIMPacket again;
      FUZZ_CHECK(again.Parse(packet.GetKind() == TIMPacket::kRequest ? packet.ToRequest()
                                                                     : packet.ToResponse()) == 1);
      FUZZ_CHECK(again.GetId() == packet.GetId());
    }
  }
  const TIMChannel::Stats before = channel->GetStats();
  channel->IM_CallBack(frame, static_cast<int>(size), "127.0.0.1", 9);
  const TIMChannel::Stats after = channel->GetStats();
  const bool queued = after.framesReceived > before.framesReceived &&
                      after.framesRejected == before.framesRejected &&
                      after.queueDropped == before.queueDropped;
  // The queue never fills up: each input is dispatched before the next.
  FUZZ_CHECK(after.queueDropped == 0);
  if (queued) {
    while (channel->GetStats().dispatched <= before.dispatched) std::this_thread::yield();
  }
  return 0;
}
