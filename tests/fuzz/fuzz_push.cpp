// A text as the IM channel hands it to the session: a short session text, a chat
// push, a group notification or a system notice, on an engine with a temporary
// account database. Every server the engine might ask lives on a closed loopback port.
#include <json/json.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "FuzzTarget.h"
#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "net/THttpRequestService.h"
#include "net/TIMPacket.h"
#include "net/TIMSession.h"
#include "services/TMessageService.h"
#include "util/TDigest.h"

namespace {

struct Engine {
  Engine() {
    // The digest library cleans up at exit in reverse order of its first use: used
    // here first, it outlives the engine's workers, which this object stops.
    Md5Hex("");
    char pattern[] = "/tmp/tesmo-fuzz-push-XXXXXX";
    if (mkdtemp(pattern)) dir = pattern;
    api.Init();
    api.SetDatabase((dir + "/tesChat.db").c_str());
    api.SetDeviceType(2);
    api.SetServerInfo("127.0.0.1", 1);
    TEngineCore* core = TEngineCore::Instance();
    core->SetUserAccount("12", "12@d.test");
    core->SetBlackList("5@d.test,6@d.test");
    for (const char* key : {"USERSERVER", "IMSERVER", "GROUPSERVER", "LOGIN", "PUBSERVER"})
      core->SetServer(key, "127.0.0.1:1");
    api.Run();
  }
  ~Engine() {
    api.Release();
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }
  std::string dir;
  TAPIInterface api;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<Engine> engine = std::make_unique<Engine>();
  TEngineCore* core = TEngineCore::Instance();
  if (!core) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);

  TIMPacket packet;
  if (packet.Parse(text) && packet.GetContentType() == "im") {
    // A stored message is described by a JSON object naming its own local id.
    std::string json;
    const int id =
        TMessageService(*core->GetRequestService(), nullptr).OnChatMessage(packet, &json);
    FUZZ_CHECK(id >= 0);
    if (id > 0) {
      Json::Value value;
      FUZZ_CHECK(Json::Reader().parse(json, value) && value.isObject());
      FUZZ_CHECK(value["id"].asInt() == id);
    } else {
      FUZZ_CHECK(json.empty());
    }
    // The same message again is a duplicate unless it carries no server id.
    std::string again;
    const int second =
        TMessageService(*core->GetRequestService(), nullptr).OnChatMessage(packet, &again);
    FUZZ_CHECK(second == 0 || id == 0 || second != id);
  }
  core->GetIMSession()->OnPush(text, "127.0.0.1", 1);
  return 0;
}
