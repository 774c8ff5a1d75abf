#include "net/TFileTransfer.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/TAPIPacket.h"
#include "net/TFileUpload.h"
#include "net/THttpBaseClient.h"
#include "net/THttpRequestService.h"
#include "net/TNetContext.h"
#include "net/TProgressMeter.h"
#include "net/TServerKeys.h"
#include "net/TTransferStopSet.h"
#include "util/TFileUtil.h"
#include "util/TGzip.h"
#include "util/TJsonText.h"
#include "util/TTransId.h"

namespace {

// Download results.
constexpr int kDownloadOk = 0;
constexpr int kDownloadNoArguments = 1;
constexpr int kDownloadNoTempFile = 2;
constexpr int kDownloadExchangeFailed = 3;
constexpr int kDownloadUnpackFailed = 4;
// The finished file could not be put in place of the old one.
constexpr int kDownloadNotReplaced = 5;

constexpr int kPerMilleDone = 1000;

constexpr char kDumpReportPath[] = "/public/info/uploaddump.do";

THttpRequestService* Service() {
  TNetContext* core = TNetContext::Instance();
  return core ? core->GetRequestService() : nullptr;
}

// Removes a file when it goes out of scope, unless kept: no temporary file outlives a
// download, whichever way it ends.
class TempFileGuard {
 public:
  explicit TempFileGuard(std::string path) : m_path(std::move(path)) {}
  ~TempFileGuard() {
    if (!m_path.empty()) remove(m_path.c_str());
  }
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  void Keep() { m_path.clear(); }

 private:
  std::string m_path;
};

// The temporary file of one download: "<target>.<pid>-<n>.bak", created only if no
// such file exists. Two downloads to the same target at once (the same picture shown
// twice) then never write into one file; the last to finish replaces the target whole.
FILE* CreateTempFile(const std::string& target, std::string* temp) {
  static std::atomic<unsigned> counter{0};
  *temp = target + "." + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".bak";
  return FOpenUtf8(temp->c_str(), "wbx");
}

// The name without folders.
std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int TFileTransfer::OnUploadFile(TAPIPacket* packet) {
  std::string remote;
  int result = UploadLocalFile(packet, packet->s1, atoi(packet->s2.c_str()), &remote);
  if (result == kUploadOk) packet->s4 = remote;
  return result;
}

int TFileTransfer::OnDownloadFile(TAPIPacket* packet) {
  // The target is only ever the path the caller gave; nothing of the server's reply
  // names a file.
  const std::string url = packet->s1;
  const std::string target = packet->s2;
  const int progressFlag = atoi(packet->s3.c_str());
  const int id = packet->id;
  if (url.empty() || target.empty()) return kDownloadNoArguments;
  THttpRequestService* service = Service();
  if (!service) return kDownloadExchangeFailed;

  // The body goes to a temporary file first; the old file stays until the new one
  // is complete and then is replaced in one rename.
  std::string temp;
  UniqueFile file(CreateTempFile(target, &temp));
  if (!file) return kDownloadNoTempFile;
  TempFileGuard tempGuard(temp);

  // 1000 means the file is in place: it is held back until it is, so a body that then
  // fails to unpack (or to replace the old file) never shows as complete.
  TProgressMeter meter(_EVENT_REPORT_GETFILEPROGRESS, id, progressFlag);
  TTransferProgress progress;
  progress.report = [&meter](int perMille) {
    if (perMille < kPerMilleDone) meter.Report(perMille);
  };
  progress.stopped = [id] { return TTransferStopSet::TakeStop(id); };
  TContentCoding coding = TContentCoding::kIdentity;
  int exchange = service->DownloadExchange(packet, url, file.get(), &progress, &coding);
  // A failed close is a failed write: the file on disk is not the body.
  bool written = fclose(file.release()) == 0;
  if (exchange != kHttpOk || !written) return kDownloadExchangeFailed;

  // An encoded body is undone before it replaces anything; one that does not decode
  // (or an encoding we cannot undo) never lands on disk as it came.
  if (coding != TContentCoding::kIdentity) {
    const std::string packed = temp + ".temp.gz";
    if (rename(temp.c_str(), packed.c_str()) != 0) return kDownloadUnpackFailed;
    TempFileGuard packedGuard(packed);
    // Bounded by the size of what came (DecodeContentFile's default): a small hostile
    // body must not fill the disk.
    if (!DecodeContentFile(coding, packed.c_str(), temp.c_str())) return kDownloadUnpackFailed;
  }

  if (rename(temp.c_str(), target.c_str()) != 0) return kDownloadNotReplaced;
  tempGuard.Keep();
  meter.Report(kPerMilleDone);
  return kDownloadOk;
}

int TFileTransfer::OnUploadDump(TAPIPacket* packet) {
  const std::string path = packet->s1;
  THttpRequestService* service = Service();
  const int64_t size = GetFileSize(path.c_str());
  std::string remote;
  int result = UploadLocalFile(packet, path, 0, &remote);
  if (result != kUploadOk) return result;
  if (!service) return kHttpNoClient;

  std::string body = JsonTextCloseObject(
      JsonTextStringField("transid", MakeTransId("")) + JsonTextIntField("size", size) +
      JsonTextStringField("name", BaseName(path)) +
      JsonTextStringField("url", service->GetDownloadUrl(remote)));
  return service->Post(packet, service->GetServerUrl(kDumpReportPath, kPubServer), body);
}
