// File-store replies as the upload receives them: the tracker's reply naming a
// storage node and the node's reply naming the stored file, served from the loopback
// file store to the real upload code. Input: one byte choosing the file's size, two
// bytes (big-endian) giving the tracker reply's length, the tracker reply, and the
// storage reply (the rest). The result must be the one the length rules give, the
// remote path the one the reply names, and the upload folder must hold only the file.
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "FuzzTarget.h"
#include "fakes/FakeFileStore.h"
#include "net/TFileUpload.h"
#include "net/TNetContext.h"

namespace {

constexpr size_t kHeaderSize = 10;
constexpr size_t kPortLowOffset = kHeaderSize + 31 + 4;  // the port's low 4 bytes
constexpr size_t kFileSizes[] = {1, 17, 4096, 5000};

// Just enough of a running engine for the upload: the store's tracker as up server,
// and loopback as the storage host override, so a fuzzed IP text never leaves
// 127.0.0.1.
class StoreContext : public TNetContext {
 public:
  explicit StoreContext(int trackerPort) : m_trackerPort(trackerPort) { Attach(this); }
  std::string GetUserID() const override { return std::string(); }
  std::string GetAccount() const override { return std::string(); }
  std::string GetName() const override { return std::string(); }
  std::string GetToken() const override { return std::string(); }
  std::string GetDeviceID() const override { return std::string(); }
  std::string GetDownServer() const override { return std::string(); }
  std::string GetCertFile() const override { return std::string(); }
  std::string GetKeyFile() const override { return std::string(); }
  std::string GetPassword() const override { return std::string(); }
  std::string GetLoginInfo() const override { return std::string(); }
  int GetLoginMode() const override { return 0; }
  int GetDeviceType() const override { return 0; }
  int GetVersion() const override { return 0; }
  int IsHttps() const override { return 0; }
  std::string GetLoginHost() const override { return std::string(); }
  int GetLoginPort() const override { return 0; }
  std::string GetHttpHost() const override { return std::string(); }
  int GetHttpPort() const override { return 0; }
  std::string GetUpHost() const override { return "127.0.0.1"; }
  int GetUpPort() const override { return m_trackerPort; }
  std::string GetProxyHost() const override { return std::string(); }
  int GetProxyPort() const override { return 0; }
  std::string GetServer(const std::string&) const override { return std::string(); }
  std::string GetStorageHost() const override { return "127.0.0.1"; }
  void SetProfile(const std::string&, const std::string&, const std::string&, const std::string&,
                  int, int) override {}
  int IsNetworkUp() override { return 1; }
  void PostPacket(TAPIPacket*) override {}
  TLogFile* GetHttpLog() override { return nullptr; }
  TDBManager* GetDatabase() const override { return nullptr; }
  THttpRequestService* GetRequestService() const override { return nullptr; }

 private:
  int m_trackerPort;
};

struct World {
  FakeFileStore store;
  StoreContext context{store.TrackerPort()};
  std::string folder;
  World() {
    store.SetRecordLimit(1);
    char pattern[] = "/tmp/tesmo-fuzz-store-XXXXXX";
    if (mkdtemp(pattern)) folder = pattern;
  }
  ~World() {
    if (folder.empty()) return;
    remove((folder + "/upload.bin").c_str());
    rmdir(folder.c_str());
  }
};

// Made once: the servers serve every input.
World& TheWorld() {
  static World world;
  return world;
}

uint32_t LowLength(const std::string& reply, size_t at) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(reply[at])) << 24) |
         (static_cast<uint32_t>(static_cast<unsigned char>(reply[at + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<unsigned char>(reply[at + 2])) << 8) |
         static_cast<uint32_t>(static_cast<unsigned char>(reply[at + 3]));
}

// A field's text up to its first zero.
std::string Text(const std::string& reply, size_t at, size_t width) {
  std::string field = reply.substr(at, width);
  return field.substr(0, field.find('\0'));
}

// The upload's result for these replies, and the remote path on success.
int Expected(const std::string& tracker, const std::string& storage, std::string* remote) {
  if (tracker.size() < kHeaderSize) return kUploadTrackerHeader;
  const uint32_t trackerLength = LowLength(tracker, 4);
  if (trackerLength >= 50) return kUploadTrackerLength;
  if (tracker.size() - kHeaderSize < trackerLength) return kUploadTrackerBody;
  if (trackerLength != 40) return kUploadTrackerBodySize;
  const uint32_t port = LowLength(tracker, kPortLowOffset);
  if (port < 1 || port > 65535) return kUploadStorageConnect;
  if (storage.size() < kHeaderSize) return kUploadStorageHeader;
  const uint32_t length = LowLength(storage, 4);
  if (length >= 128) return kUploadStorageLength;
  if (storage.size() - kHeaderSize < length) return kUploadStorageBody;
  if (length <= 16) return kUploadStorageBodySize;
  *remote =
      "/" + Text(storage, kHeaderSize, 16) + "/" + Text(storage, kHeaderSize + 16, length - 16);
  return kUploadOk;
}

size_t FolderEntries(const std::string& folder) {
  size_t n = 0;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") ++n;
    }
    closedir(dir);
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  World& world = TheWorld();
  FUZZ_CHECK(!world.folder.empty());

  const std::string content(kFileSizes[data[0] % 4], static_cast<char>(data[0]));
  const size_t trackerSize = std::min<size_t>((data[1] << 8) | data[2], size - 3);
  std::string tracker(reinterpret_cast<const char*>(data + 3), trackerSize);
  const std::string storage(reinterpret_cast<const char*>(data + 3 + trackerSize),
                            size - 3 - trackerSize);
  // Any port the upload would dial becomes the store's own node, so nothing but the
  // fake is ever reached; ports it must refuse stay as they came.
  if (tracker.size() >= kPortLowOffset + 4) {
    const uint32_t port = LowLength(tracker, kPortLowOffset);
    if (port >= 1 && port <= 65535) {
      const int own = world.store.StoragePort();
      tracker[kPortLowOffset] = 0;
      tracker[kPortLowOffset + 1] = 0;
      tracker[kPortLowOffset + 2] = static_cast<char>(own >> 8);
      tracker[kPortLowOffset + 3] = static_cast<char>(own & 0xFF);
    }
  }

  const std::string path = world.folder + "/upload.bin";
  if (FILE* file = fopen(path.c_str(), "wb")) {
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
  }
  world.store.SetTrackerReply(tracker);
  world.store.SetStorageReply(storage);

  std::string remote = "untouched";
  const int result = UploadLocalFile(nullptr, path, 0, &remote);
  std::string expectedRemote;
  const int expected = Expected(tracker, storage, &expectedRemote);
  FUZZ_CHECK(result == expected);
  if (result == kUploadOk) {
    FUZZ_CHECK(remote == expectedRemote);
    const auto uploads = world.store.Uploads();
    FUZZ_CHECK(!uploads.empty() && uploads.back().data == content);
  } else {
    FUZZ_CHECK(remote == "untouched");
  }
  FUZZ_CHECK(FolderEntries(world.folder) == 1);
  return 0;
}
