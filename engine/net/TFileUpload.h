// Upload of a local file to the file store: the tracker at the up-server address
// names a storage node, the file goes to that node, which answers with the stored
// file's name. Every integer on the wire is big-endian; lengths are 8-byte fields of
// which only the low 4 bytes carry the value.
#ifndef TESMO_NET_TFILEUPLOAD_H
#define TESMO_NET_TFILEUPLOAD_H

#include <cstddef>
#include <cstdint>
#include <string>

class TAPIPacket;

// Upload results (0 success). -10 and -18 are this engine's own: a file that cannot
// be opened, and a file too large for the protocol's 32-bit sizes.
enum TUploadResult {
  kUploadOk = 0,
  kUploadTrackerConnect = -1,
  kUploadQueryNotSent = -2,
  kUploadTrackerHeader = -3,
  kUploadTrackerLength = -4,
  kUploadTrackerBody = -5,
  kUploadTrackerBodySize = -6,
  kUploadEmptyFile = -7,
  kUploadStorageConnect = -8,
  kUploadBlockNotSent = -9,
  kUploadFileOpen = -10,
  kUploadStopped = -11,
  kUploadFileReadShort = -12,
  kUploadDataNotSent = -13,
  kUploadStorageHeader = -14,
  kUploadStorageLength = -15,
  kUploadStorageBody = -16,
  kUploadStorageBodySize = -17,
  kUploadFileTooLarge = -18,
};

// Sizes travel as 32-bit values; files from 2 GiB up are refused.
constexpr int64_t kMaxUploadSize = 0x7FFFFFFF;

// Uploads localPath through the up server. The packet (may be null) gives the
// transfer id for progress events 100002 (raised when progressFlag is non-zero) and
// for the stop check. On 0, *remotePath is "/group/stored name".
int UploadLocalFile(TAPIPacket* packet, const std::string& localPath, int progressFlag,
                    std::string* remotePath);

// Reads exactly count bytes from a socket: waits up to 1 s at a time for data and
// gives up after 30 s without a byte, at the end of the stream, on an error or when
// the engine stops. 0 when all arrived, else -1; *received (may be null) is the
// number of bytes read either way.
int ReadExactly(int sock, void* buffer, size_t count, size_t* received);

#endif
