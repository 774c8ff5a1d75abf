#include "net/TFileUpload.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/TAPIPacket.h"
#include "base/TStopFlag.h"
#include "net/TNetContext.h"
#include "net/TProgressMeter.h"
#include "net/TTransferStopSet.h"
#include "platform/clock.h"
#include "util/TFileUtil.h"
#include "util/TSocketUtil.h"

namespace {

constexpr int kConnectTimeoutSec = 30;
constexpr uint64_t kReadIdleLimitMs = 30000;
constexpr size_t kHeaderSize = 10;
constexpr unsigned char kCmdTrackerQuery = 101;
constexpr unsigned char kCmdStorageUpload = 11;
constexpr uint32_t kTrackerReplyLimit = 50;  // replies of 50 bytes or more are refused
constexpr uint32_t kTrackerBodySize = 40;
constexpr size_t kGroupNameSize = 16;
constexpr size_t kIpAddressSize = 15;
constexpr size_t kPortOffset = 31;
constexpr size_t kPathIndexOffset = 39;
constexpr uint32_t kStorageReplyLimit = 128;
constexpr size_t kUploadBlockSize = 25;
constexpr size_t kUploadPrefixSize = 15;  // path index, file size, extension
constexpr size_t kExtensionSize = 6;
constexpr size_t kPieceSize = 4096;
constexpr int kMaxTcpPort = 65535;

class SocketCloser {
 public:
  explicit SocketCloser(int sock) : m_sock(sock) {}
  ~SocketCloser() {
    if (m_sock >= 0) close(m_sock);
  }
  SocketCloser(const SocketCloser&) = delete;
  SocketCloser& operator=(const SocketCloser&) = delete;

 private:
  int m_sock;
};

// An 8-byte length field: the low 4 bytes carry the value, the high 4 are zero.
void PutLength(unsigned char* p, uint32_t value) {
  memset(p, 0, 4);
  p[4] = static_cast<unsigned char>(value >> 24);
  p[5] = static_cast<unsigned char>(value >> 16);
  p[6] = static_cast<unsigned char>(value >> 8);
  p[7] = static_cast<unsigned char>(value);
}

// The high 4 bytes are ignored when read.
uint32_t GetLength(const unsigned char* p) {
  return (static_cast<uint32_t>(p[4]) << 24) | (static_cast<uint32_t>(p[5]) << 16) |
         (static_cast<uint32_t>(p[6]) << 8) | static_cast<uint32_t>(p[7]);
}

// The store's text fields need not end in a zero: copy each into a zeroed buffer one
// byte longer than the field.
std::string FieldText(const unsigned char* field, size_t width) {
  std::unique_ptr<char[]> copy(new char[width + 1]());
  memcpy(copy.get(), field, width);
  return std::string(copy.get());
}

// The text after the last "." of the file name (itself the text after the last "\" or
// "/"), cut to the field's 6 bytes.
std::string FileExtension(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return std::string();
  return name.substr(dot + 1, kExtensionSize);
}

struct StorageAddress {
  std::string group;
  std::string host;
  int port = 0;
  unsigned char pathIndex = 0;
};

int QueryTracker(const std::string& host, int port, StorageAddress* out) {
  int sock = ConnectTcp(host, port, kConnectTimeoutSec);
  if (sock < 0) return kUploadTrackerConnect;
  SocketCloser closer(sock);

  unsigned char query[kHeaderSize] = {};
  PutLength(query, 0);
  query[8] = kCmdTrackerQuery;
  if (!SendAll(sock, query, sizeof(query))) return kUploadQueryNotSent;

  unsigned char header[kHeaderSize];
  if (ReadExactly(sock, header, sizeof(header), nullptr) != 0) return kUploadTrackerHeader;
  uint32_t length = GetLength(header);
  if (length >= kTrackerReplyLimit) return kUploadTrackerLength;
  unsigned char body[kTrackerReplyLimit] = {};
  if (ReadExactly(sock, body, length, nullptr) != 0) return kUploadTrackerBody;
  if (length != kTrackerBodySize) return kUploadTrackerBodySize;

  out->group = FieldText(body, kGroupNameSize);
  out->host = FieldText(body + kGroupNameSize, kIpAddressSize);
  out->port = static_cast<int>(GetLength(body + kPortOffset));
  out->pathIndex = body[kPathIndexOffset];
  return kUploadOk;
}

int SendToStorage(TAPIPacket* packet, const StorageAddress& storage, FILE* file,
                  const std::string& localPath, uint32_t size, int progressFlag,
                  std::string* remotePath) {
  // The resolver would keep only the low 16 bits of a larger port: another port.
  if (storage.port < 1 || storage.port > kMaxTcpPort) return kUploadStorageConnect;
  int sock = ConnectTcp(storage.host, storage.port, kConnectTimeoutSec);
  if (sock < 0) return kUploadStorageConnect;
  SocketCloser closer(sock);

  unsigned char block[kUploadBlockSize] = {};
  PutLength(block, static_cast<uint32_t>(kUploadPrefixSize) + size);
  block[8] = kCmdStorageUpload;
  block[9] = 0;
  block[10] = storage.pathIndex;
  PutLength(block + 11, size);
  std::string ext = FileExtension(localPath);
  memcpy(block + 19, ext.data(), ext.size());
  if (!SendAll(sock, block, sizeof(block))) return kUploadBlockNotSent;

  const int id = packet ? packet->id : 0;
  TProgressMeter progress(_EVENT_REPORT_SENDFILEPROGRESS, id, packet ? progressFlag : 0);
  char piece[kPieceSize];
  uint32_t done = 0;
  while (done < size) {
    if ((packet && TTransferStopSet::TakeStop(id)) || IsEngineStopping()) return kUploadStopped;
    size_t want = size - done < kPieceSize ? size - done : kPieceSize;
    if (fread(piece, 1, want, file) != want) return kUploadFileReadShort;
    if (!SendAll(sock, piece, want)) return kUploadDataNotSent;
    done += static_cast<uint32_t>(want);
    progress.Update(done, size);
  }

  unsigned char header[kHeaderSize];
  if (ReadExactly(sock, header, sizeof(header), nullptr) != 0) return kUploadStorageHeader;
  uint32_t length = GetLength(header);
  if (length >= kStorageReplyLimit) return kUploadStorageLength;
  unsigned char body[kStorageReplyLimit] = {};
  if (ReadExactly(sock, body, length, nullptr) != 0) return kUploadStorageBody;
  if (length <= kGroupNameSize) return kUploadStorageBodySize;

  std::string group = FieldText(body, kGroupNameSize);
  std::string name = FieldText(body + kGroupNameSize, length - kGroupNameSize);
  *remotePath = "/" + group + "/" + name;
  return kUploadOk;
}

}  // namespace

int ReadExactly(int sock, void* buffer, size_t count, size_t* received) {
  char* p = static_cast<char*>(buffer);
  size_t got = 0;
  uint64_t lastData = tesmo::TickCountMs();
  int result = 0;
  while (got < count) {
    if (IsEngineStopping()) {
      result = -1;
      break;
    }
    if (!WaitReadable(sock)) {
      if (tesmo::TickCountMs() - lastData >= kReadIdleLimitMs) {
        result = -1;
        break;
      }
      continue;
    }
    ssize_t n = recv(sock, p + got, count - got, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (n <= 0) {
      result = -1;
      break;
    }
    got += static_cast<size_t>(n);
    lastData = tesmo::TickCountMs();
  }
  if (received) *received = got;
  return result;
}

int UploadLocalFile(TAPIPacket* packet, const std::string& localPath, int progressFlag,
                    std::string* remotePath) {
  TNetContext* core = TNetContext::Instance();
  if (!core) return kUploadTrackerConnect;
  std::string upHost = core->GetUpHost();
  int upPort = core->GetUpPort();
  if (upHost.empty() || upPort == 0) return kUploadTrackerConnect;

  StorageAddress storage;
  int result = QueryTracker(upHost, upPort, &storage);
  if (result != kUploadOk) return result;

  int64_t size = GetFileSize(localPath.c_str());
  if (size <= 0) return kUploadEmptyFile;
  if (size > kMaxUploadSize) return kUploadFileTooLarge;
  UniqueFile file(FOpenUtf8(localPath.c_str(), "rb"));
  if (!file) return kUploadFileOpen;

  // The login reply may name the storage host to use instead of the tracker's.
  std::string overrideHost = core->GetStorageHost();
  if (!overrideHost.empty()) storage.host = overrideHost;

  std::string path;
  result = SendToStorage(packet, storage, file.get(), localPath, static_cast<uint32_t>(size),
                         progressFlag, &path);
  if (result == kUploadOk && remotePath) *remotePath = path;
  return result;
}
