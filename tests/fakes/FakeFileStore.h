// A loopback file store: a tracker and one storage node on 127.0.0.1, speaking the
// upload protocol (big-endian 10-byte headers; tracker command 101 answered with a
// 40-byte storage address; storage command 11 with a 15-byte prefix and the file's
// bytes, answered with the group and the stored name). Every upload is kept so tests
// compare bytes, and either server can misbehave on cue.
#ifndef TESMO_TESTS_FAKES_FAKEFILESTORE_H
#define TESMO_TESTS_FAKES_FAKEFILESTORE_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class FakeFileStore {
 public:
  enum class TrackerFault {
    kNone,
    kCloseWithoutReply,  // reads the query, closes
    kShortHeader,        // 5 bytes of the reply header, then closes
    kLengthTooLarge,     // declares and sends a 50-byte body
    kShortBody,          // declares 40, sends 20, closes
    kBody39,             // declares and sends 39 bytes
    kRefuse,             // status 2, empty body
  };
  enum class StorageFault {
    kNone,
    kCloseAfterBlock,      // reads the 25-byte block, closes with the file unread
    kCloseWithoutReply,    // reads the whole upload, closes
    kReplyLengthTooLarge,  // declares and sends a 128-byte body
    kShortReplyBody,       // declares 40, sends 10, closes
    kReplyBody16,          // declares and sends 16 bytes (group name only)
    kRefuse,               // status 28, empty body
  };

  // One upload as the storage node received it.
  struct Upload {
    std::string block;  // the first 25 bytes, raw
    uint64_t declaredLength = 0;
    int command = 0;
    int status = 0;
    int storePathIndex = 0;
    uint64_t declaredSize = 0;
    std::string extension;  // the 6-byte field up to its first zero
    std::string data;       // the file's bytes
    std::string storedName;
  };

  // smallStorageBuffer: tiny receive buffers on the storage node, so that a sender
  // blocks after a few kilobytes while the node does not read. The ports to listen
  // on (0: any free one); a port that cannot be had leaves that server's port 0.
  explicit FakeFileStore(bool smallStorageBuffer = false, int trackerPort = 0, int storagePort = 0);
  ~FakeFileStore();
  FakeFileStore(const FakeFileStore&) = delete;
  FakeFileStore& operator=(const FakeFileStore&) = delete;

  int TrackerPort() const { return m_trackerPort; }
  int StoragePort() const { return m_storagePort; }
  // "127.0.0.1:port" of the tracker.
  std::string TrackerAddress() const;
  // A loopback port on which nothing listens.
  static int ClosedPort();

  void SetTrackerFault(TrackerFault fault);
  void SetStorageFault(StorageFault fault);
  // Bytes sent as they are (header included) in place of the reply the server would
  // build, after it has read the request; the connection then closes. No value: the
  // built reply again.
  void SetTrackerReply(std::optional<std::string> raw);
  void SetStorageReply(std::optional<std::string> raw);
  // Raw reply fields: the group name (16 bytes) and the IP text (15 bytes) are copied
  // as given, zero-padded, so a full-width field carries no terminating zero.
  void SetGroupName(const std::string& group);
  void SetStorageIpField(const std::string& ip);
  // The port the tracker names (the storage node's own by default).
  void SetAdvertisedStoragePort(int port);
  void SetStorePathIndex(int index);
  // Stored names are prefix + a counter + "." + extension (no dot without one).
  void SetStoredNamePrefix(const std::string& prefix);
  // Runs on the storage thread right after a connection is accepted, before
  // anything is read (a test may change the world there).
  void SetStorageAcceptHook(std::function<void()> hook);
  // Runs on the storage thread for every complete upload, before the reply.
  void SetUploadHook(std::function<void(const Upload&)> hook);
  // Stores data as if it had been uploaded with that extension (kept, named and
  // handed to the upload hook like any upload); the stored upload.
  Upload Store(const std::string& data, const std::string& extension);
  // Keeps only the newest limit uploads and tracker queries (0: all).
  void SetRecordLimit(size_t limit);

  int TrackerConnections() const { return m_trackerConnections; }
  int StorageConnections() const { return m_storageConnections; }
  std::vector<std::string> TrackerQueries();
  std::vector<Upload> Uploads();
  // Waits until the storage node has finished n connections (true) or time runs out.
  bool WaitStorageDone(int n, int timeoutMs = 30000);

 private:
  void TrackerLoop();
  void StorageLoop();
  void ServeTracker(int sock);
  void ServeStorage(int sock);
  int Listen(bool smallBuffer, int port);
  std::string NextStoredName(const std::string& extension);
  void Keep(const Upload& up);
  void Announce(const Upload& up);  // hands a complete upload to the upload hook

  std::atomic<bool> m_stop{false};
  int m_trackerListen = -1;
  int m_storageListen = -1;
  int m_trackerPort = 0;
  int m_storagePort = 0;
  std::thread m_trackerThread;
  std::thread m_storageThread;

  std::mutex m_mutex;
  std::condition_variable m_cond;
  TrackerFault m_trackerFault = TrackerFault::kNone;
  StorageFault m_storageFault = StorageFault::kNone;
  std::optional<std::string> m_trackerReply;
  std::optional<std::string> m_storageReply;
  std::string m_group = "group1";
  std::string m_ipField = "127.0.0.1";
  int m_advertisedPort = 0;
  int m_pathIndex = 0;
  std::string m_namePrefix = "M00/00/00/stored";
  std::function<void()> m_acceptHook;
  std::function<void(const Upload&)> m_uploadHook;
  size_t m_recordLimit = 0;
  std::atomic<int> m_trackerConnections{0};
  std::atomic<int> m_storageConnections{0};
  int m_storageDone = 0;
  int m_nameCounter = 0;
  std::vector<std::string> m_queries;
  std::vector<Upload> m_uploads;
};

#endif
