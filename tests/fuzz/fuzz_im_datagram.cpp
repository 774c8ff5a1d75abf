// A UDP datagram as it arrives from the IM server: unframed, classified, answered and
// parsed as a packet, and handed to a channel's receive path.
#include <memory>
#include <string>

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
  channel->IM_CallBack(frame, static_cast<int>(size), "127.0.0.1", 9);
  return 0;
}
