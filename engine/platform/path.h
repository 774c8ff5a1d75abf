// Relative resource paths ("./res/...") are resolved beside the program, as they
// would be in the program's own folder, falling back to the working directory.
#ifndef TESMO_PLATFORM_PATH_H
#define TESMO_PLATFORM_PATH_H

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace tesmo {

inline std::string ProgramDirectory() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return ".";
  buf[n] = '\0';
  std::string path(buf);
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

inline std::string ResolveBesideProgram(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  std::string rel = path;
  while (rel.compare(0, 2, "./") == 0) rel.erase(0, 2);
  std::string candidate = ProgramDirectory() + "/" + rel;
  struct stat st;
  if (stat(candidate.c_str(), &st) == 0) return candidate;
  return path;
}

}  // namespace tesmo

#endif
