#include "util/TFileUtil.h"

#include <sys/stat.h>

int64_t GetFileSize(const char* path) {
  if (!path || !*path) return 0;
  struct stat st {};
  if (stat(path, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

FILE* FOpenUtf8(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  return fopen(path, mode);
}
