// Uploads to the loopback file store through the facade: the bytes on the wire, the
// stored result, progress, and every failure the store can cause.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "fakes/FakeFileStore.h"
#include "net/TFileUpload.h"
#include "net/TProgressMeter.h"
#include "net/TTransferStopSet.h"
#include "transfer_test_env.h"

using transfer_test::EngineEnv;
using transfer_test::ExpectProgressRisesTo1000;
using transfer_test::PatternBytes;
using transfer_test::TempDir;
using transfer_test::WriteFile;
using Fault = FakeFileStore::StorageFault;
using TFault = FakeFileStore::TrackerFault;

namespace {

// The 25 bytes that must open an upload, built here from the protocol's layout.
std::string ExpectedBlock(uint64_t size, int pathIndex, const std::string& ext) {
  std::string b(25, '\0');
  uint64_t length = 15 + size;
  for (int i = 0; i < 8; ++i) b[7 - i] = static_cast<char>((length >> (8 * i)) & 0xFF);
  b[8] = 11;
  b[9] = 0;
  b[10] = static_cast<char>(pathIndex);
  for (int i = 0; i < 8; ++i) b[18 - i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  for (size_t i = 0; i < ext.size() && i < 6; ++i) b[19 + i] = ext[i];
  return b;
}

class UploadTest : public ::testing::Test {
 protected:
  void UseStore(FakeFileStore& store) { env.Core().SetUpServer(store.TrackerAddress()); }

  RecordedReport Upload(int id, const std::string& path, int flag) {
    EXPECT_EQ(env.Api().UploadFile(id, path.c_str(), flag), id);
    return env.WaitReply(_REQUEST_HTTP_UPLOADFILE, id);
  }

  EngineEnv env;
  TempDir dir;
};

// Sizes across the 4096-byte pieces and the bytes of the 32-bit length, names with
// and without extensions: the node receives the exact block and bytes, the reply is
// "/group/name" and progress rises to 1000.
TEST_F(UploadTest, EndToEndTable) {
  struct Row {
    const char* name;
    size_t size;
    const char* ext;
    int pathIndex;
  };
  const Row rows[] = {
      {"one.jpg", 1, "jpg", 0},
      {"piece-less-one.png", 4095, "png", 1},
      {"piece.gif", 4096, "gif", 2},
      {"piece-plus-one.mp4", 4097, "mp4", 0},
      {"noext", 70000, "", 3},
      {"archive.tar.gz", 999999, "gz", 0},
      {"long.abcdefghij", 1000001, "abcdef", 0},
      {"dotted.dir.d-file", 5000, "d-file", 0},
      {"trailing.", 10, "", 0},
      // every byte of the low 32 bits of both length fields is non-zero
      {"wide.bin", 0x01020304, "bin", 0},
  };
  FakeFileStore store;
  UseStore(store);
  int id = 700;
  size_t n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    store.SetStorePathIndex(row.pathIndex);
    std::string path = dir.File(row.name);
    std::string bytes = PatternBytes(row.size, static_cast<uint32_t>(row.size));
    WriteFile(path, bytes);

    RecordedReport reply = Upload(++id, path, 1);
    ++n;
    ASSERT_EQ(reply.a, 0);
    ASSERT_EQ(store.Uploads().size(), n);
    FakeFileStore::Upload up = store.Uploads().back();
    EXPECT_EQ(up.block, ExpectedBlock(row.size, row.pathIndex, row.ext));
    EXPECT_EQ(up.extension, row.ext);
    EXPECT_TRUE(up.data == bytes) << "file bytes differ";
    EXPECT_EQ(reply.text, "/group1/" + up.storedName);
    ExpectProgressRisesTo1000(env.Progress(_EVENT_REPORT_SENDFILEPROGRESS, id));
  }
  // one store query per upload, each exactly the 10-byte command 101
  std::string query("\0\0\0\0\0\0\0\0\x65\0", 10);
  for (const std::string& q : store.TrackerQueries()) EXPECT_EQ(q, query);
  EXPECT_EQ(store.TrackerQueries().size(), n);
}

TEST_F(UploadTest, NoProgressWhenTheFlagIsZero) {
  FakeFileStore store;
  UseStore(store);
  std::string path = dir.File("quiet.txt");
  WriteFile(path, PatternBytes(50000));
  RecordedReport reply = Upload(41, path, 0);
  EXPECT_EQ(reply.a, 0);
  EXPECT_TRUE(env.Progress(_EVENT_REPORT_SENDFILEPROGRESS, 41).empty());
  EXPECT_TRUE(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_SENDFILEPROGRESS).empty());
}

// Text fields that fill their width carry no terminating zero: a 16-byte group
// name, a 15-byte address and a stored name that ends the reply.
TEST_F(UploadTest, FullWidthTextFieldsAreReadWithinTheirBounds) {
  FakeFileStore store;
  UseStore(store);
  store.SetGroupName("ABCDEFGHIJKLMNOP");
  store.SetStorageIpField("127.000.000.001");
  store.SetStoredNamePrefix(std::string(100, 'n'));
  std::string path = dir.File("f.dat");
  WriteFile(path, PatternBytes(3000));
  RecordedReport reply = Upload(51, path, 0);
  ASSERT_EQ(reply.a, 0);
  ASSERT_EQ(store.Uploads().size(), 1u);
  EXPECT_EQ(reply.text, "/ABCDEFGHIJKLMNOP/" + store.Uploads()[0].storedName);
  EXPECT_EQ(store.Uploads()[0].storedName.size(), 100u + 1 + 4);
}

// Each failure the store can cause, with the result it must give; when the tracker
// fails, the storage node is never contacted.
TEST_F(UploadTest, ErrorTable) {
  enum class File { kNormal, kBig, kEmpty, kMissing, kTooLarge };
  struct Row {
    const char* what;
    TFault tracker;
    Fault storage;
    File file;
    bool trackerUnreachable;
    bool storageUnreachable;
    int expected;
    bool storageContacted;
  };
  const Row rows[] = {
      {"tracker unreachable", TFault::kNone, Fault::kNone, File::kNormal, true, false, -1, false},
      {"tracker closes", TFault::kCloseWithoutReply, Fault::kNone, File::kNormal, false, false, -3,
       false},
      {"tracker short header", TFault::kShortHeader, Fault::kNone, File::kNormal, false, false, -3,
       false},
      {"tracker length 50", TFault::kLengthTooLarge, Fault::kNone, File::kNormal, false, false, -4,
       false},
      {"tracker short body", TFault::kShortBody, Fault::kNone, File::kNormal, false, false, -5,
       false},
      {"tracker body 39", TFault::kBody39, Fault::kNone, File::kNormal, false, false, -6, false},
      {"tracker refuses", TFault::kRefuse, Fault::kNone, File::kNormal, false, false, -6, false},
      {"empty file", TFault::kNone, Fault::kNone, File::kEmpty, false, false, -7, false},
      {"missing file", TFault::kNone, Fault::kNone, File::kMissing, false, false, -7, false},
      {"file of 2 GiB", TFault::kNone, Fault::kNone, File::kTooLarge, false, false, -18, false},
      {"storage unreachable", TFault::kNone, Fault::kNone, File::kNormal, false, true, -8, false},
      {"storage closes after block", TFault::kNone, Fault::kCloseAfterBlock, File::kBig, false,
       false, -13, true},
      {"storage closes", TFault::kNone, Fault::kCloseWithoutReply, File::kNormal, false, false, -14,
       true},
      {"storage length 128", TFault::kNone, Fault::kReplyLengthTooLarge, File::kNormal, false,
       false, -15, true},
      {"storage short body", TFault::kNone, Fault::kShortReplyBody, File::kNormal, false, false,
       -16, true},
      {"storage body 16", TFault::kNone, Fault::kReplyBody16, File::kNormal, false, false, -17,
       true},
      {"storage refuses", TFault::kNone, Fault::kRefuse, File::kNormal, false, false, -17, true},
  };
  std::string normal = dir.File("normal.doc");
  WriteFile(normal, PatternBytes(10000));
  std::string big = dir.File("big.doc");
  WriteFile(big, PatternBytes(16 << 20));
  std::string empty = dir.File("empty.doc");
  WriteFile(empty, "");
  std::string tooLarge = dir.File("huge.iso");
  WriteFile(tooLarge, "");
  ASSERT_EQ(truncate(tooLarge.c_str(), 0x80000000LL), 0);  // sparse: no disk used

  int id = 900;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    // Small receive buffers keep the big file from fitting into the socket buffers
    // before the node closes.
    FakeFileStore store(/*smallStorageBuffer=*/true);
    UseStore(store);
    store.SetTrackerFault(row.tracker);
    store.SetStorageFault(row.storage);
    if (row.trackerUnreachable)
      env.Core().SetUpServer("127.0.0.1:" + std::to_string(FakeFileStore::ClosedPort()));
    if (row.storageUnreachable) store.SetAdvertisedStoragePort(FakeFileStore::ClosedPort());
    std::string path = row.file == File::kBig        ? big
                       : row.file == File::kEmpty    ? empty
                       : row.file == File::kMissing  ? dir.File("nowhere.doc")
                       : row.file == File::kTooLarge ? tooLarge
                                                     : normal;
    RecordedReport reply = Upload(++id, path, 1);
    EXPECT_EQ(reply.a, row.expected);
    EXPECT_EQ(reply.text, "");
    if (row.storageContacted) {
      EXPECT_TRUE(store.WaitStorageDone(1));
      EXPECT_EQ(store.StorageConnections(), 1);
    } else {
      EXPECT_EQ(store.StorageConnections(), 0);
    }
    if (!row.trackerUnreachable) {
      EXPECT_EQ(store.TrackerConnections(), 1);
    }
  }
}

// Only the low 16 bits of an out-of-range port would reach the connect: it would name
// another port. Such a reply names no storage node.
TEST_F(UploadTest, StoragePortOutsideTheTcpRangeIsNotContacted) {
  FakeFileStore store;
  UseStore(store);
  std::string path = dir.File("p.txt");
  WriteFile(path, PatternBytes(100));
  const int ports[] = {store.StoragePort() + 65536, 0};
  int id = 80;
  for (int port : ports) {
    SCOPED_TRACE(port);
    store.SetAdvertisedStoragePort(port);
    EXPECT_EQ(Upload(++id, path, 0).a, -8);
  }
  EXPECT_EQ(store.StorageConnections(), 0);
}

TEST_F(UploadTest, WithoutAnUpServerNothingIsContacted) {
  FakeFileStore store;
  std::string path = dir.File("a.txt");
  WriteFile(path, "abc");
  const char* addresses[] = {"", ":4000", "127.0.0.1", "127.0.0.1:0"};
  int id = 60;
  for (const char* address : addresses) {
    SCOPED_TRACE(address);
    env.Core().SetUpServer(address);
    EXPECT_EQ(Upload(++id, path, 1).a, -1);
  }
  EXPECT_EQ(store.TrackerConnections(), 0);
}

// A stop request ends the transfer before its next piece; the entry is used up, so
// the next transfer with the same id runs to the end.
TEST_F(UploadTest, StopRequestEndsTheTransferOnce) {
  FakeFileStore store;
  UseStore(store);
  std::string path = dir.File("stop.bin");
  std::string bytes = PatternBytes(200000);
  WriteFile(path, bytes);
  TTransferStopSet::Stop(77);
  EXPECT_EQ(Upload(77, path, 1).a, -11);
  ASSERT_TRUE(store.WaitStorageDone(1));
  EXPECT_EQ(store.Uploads()[0].block, ExpectedBlock(bytes.size(), 0, "bin"));
  EXPECT_TRUE(store.Uploads()[0].data.empty() || store.Uploads()[0].storedName.empty());

  CallbackRecorder::Get().Clear();
  RecordedReport again = Upload(77, path, 1);
  EXPECT_EQ(again.a, 0);
  ASSERT_EQ(store.Uploads().size(), 2u);
  EXPECT_TRUE(store.Uploads()[1].data == bytes);
}

// The file shrinks while it is being sent: the short read fails the upload.
TEST_F(UploadTest, FileShrinkingDuringTheTransferIsAShortRead) {
  FakeFileStore store(/*smallStorageBuffer=*/true);
  UseStore(store);
  std::string path = dir.File("shrinking.bin");
  WriteFile(path, PatternBytes(24 << 20));
  store.SetStorageAcceptHook([path] { EXPECT_EQ(truncate(path.c_str(), 0), 0); });
  EXPECT_EQ(Upload(88, path, 0).a, -12);
}

// Four uploads at once, one per worker: each arrives whole.
TEST_F(UploadTest, ConcurrentUploadsArriveWhole) {
  FakeFileStore store;
  UseStore(store);
  std::vector<std::string> contents;
  for (int i = 0; i < 4; ++i) {
    contents.push_back(PatternBytes(300000 + i * 1000, 17 + i));
    WriteFile(dir.File("c" + std::to_string(i) + ".bin"), contents.back());
  }
  for (int i = 0; i < 4; ++i)
    env.Api().UploadFile(500 + i, dir.File("c" + std::to_string(i) + ".bin").c_str(), 0);
  std::vector<std::string> names(4);
  for (int i = 0; i < 4; ++i) {
    RecordedReport reply = env.WaitReply(_REQUEST_HTTP_UPLOADFILE, 500 + i);
    EXPECT_EQ(reply.a, 0);
    names[i] = reply.text;
  }
  auto uploads = store.Uploads();
  ASSERT_EQ(uploads.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    bool found = false;
    for (const auto& up : uploads)
      if ("/group1/" + up.storedName == names[i]) found = up.data == contents[i];
    EXPECT_TRUE(found) << "upload " << i;
  }
}

// Callers inside the engine upload directly, without a packet: no progress events.
TEST_F(UploadTest, DirectUploadWithoutPacket) {
  FakeFileStore store;
  UseStore(store);
  std::string path = dir.File("direct.png");
  std::string bytes = PatternBytes(9000);
  WriteFile(path, bytes);
  std::string remote = "untouched";
  EXPECT_EQ(UploadLocalFile(nullptr, path, 1, &remote), 0);
  ASSERT_EQ(store.Uploads().size(), 1u);
  EXPECT_EQ(remote, "/group1/" + store.Uploads()[0].storedName);
  EXPECT_TRUE(store.Uploads()[0].data == bytes);
  EXPECT_TRUE(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_SENDFILEPROGRESS).empty());

  store.SetTrackerFault(TFault::kBody39);
  remote = "untouched";
  EXPECT_EQ(UploadLocalFile(nullptr, path, 1, &remote), -6);
  EXPECT_EQ(remote, "untouched");
}

}  // namespace

namespace {

// Per mille at the edges of both formulas: never above 1000, 1000 exactly at the end,
// no overflow for the largest size the protocol allows.
TEST(ProgressMeterTest, PerMilleTable) {
  struct Row {
    int64_t done, total;
    int expected;
  };
  const Row rows[] = {
      {0, 10, 0},
      {1, 3, 333},
      {3, 3, 1000},
      {999998, 999999, 999},
      {999999, 999999, 1000},
      {1000000, 1000000, 1000},
      {1000999, 1000999, 1000},
      {1001998, 1001999, 1000},
      {1000, 1001999, 0},
      {1001, 1001999, 1},
      {0x7FFFFFFF, 0x7FFFFFFF, 1000},
      {0x3FFFFFFF, 0x7FFFFFFF, 500},
      {5, 0, 0},
      {20, 10, 1000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.done) + "/" + std::to_string(row.total));
    EXPECT_EQ(TProgressMeter::PerMille(row.done, row.total), row.expected);
  }
}

}  // namespace
