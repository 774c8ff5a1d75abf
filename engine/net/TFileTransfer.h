// The file requests of the request service: upload to the file store (200103),
// download to disk (200104) and the crash-dump upload (200105). Each runs whole on
// the worker that took it and returns the request's result.
#ifndef TESMO_NET_TFILETRANSFER_H
#define TESMO_NET_TFILETRANSFER_H

class TAPIPacket;

class TFileTransfer {
 public:
  // s1 = local path, s2 = progress flag (decimal); on success s4 = remote path.
  static int OnUploadFile(TAPIPacket* packet);
  // s1 = URL, s2 = local path, s3 = progress flag (decimal).
  static int OnDownloadFile(TAPIPacket* packet);
  // s1 = local dump path; the public server's reply becomes s4.
  static int OnUploadDump(TAPIPacket* packet);
};

#endif
