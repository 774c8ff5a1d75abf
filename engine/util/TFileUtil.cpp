#include "util/TFileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

int64_t GetFileSize(const char* path) {
  if (!path || !*path) return 0;
  struct stat st {};
  if (stat(path, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

FILE* FOpenUtf8(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  const bool writes = mode[0] == 'w' || mode[0] == 'a';
  if (!writes) return fopen(path, mode);
  // The files the engine writes are an account's messages, pictures and settings:
  // a new one is made for the user alone (fopen would give what the umask leaves).
  int flags = O_CREAT | O_CLOEXEC;
  flags |= strchr(mode, '+') ? O_RDWR : O_WRONLY;
  flags |= mode[0] == 'w' ? O_TRUNC : O_APPEND;
  if (strchr(mode, 'x')) flags |= O_EXCL;
  const int fd = open(path, flags, S_IRUSR | S_IWUSR);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, mode);
  if (!file) close(fd);
  return file;
}
