// Files named by UTF-8 paths (the system's own encoding here, so no conversion).
#ifndef TESMO_UTIL_TFILEUTIL_H
#define TESMO_UTIL_TFILEUTIL_H

#include <cstdint>
#include <cstdio>
#include <memory>

// The file's size in bytes; 0 when it cannot be examined.
int64_t GetFileSize(const char* path);
// fopen of the path; nullptr for a null path or mode. A file it creates is the
// user's alone (0600).
FILE* FOpenUtf8(const char* path, const char* mode);

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) fclose(f);
  }
};
// A FILE closed when it goes out of scope; release() it to check fclose's result.
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

#endif
