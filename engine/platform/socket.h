// Socket start-up. POSIX sockets need no start; writing to a socket whose peer
// closed must be a failed write, not a SIGPIPE that kills the process (the TLS
// library writes without MSG_NOSIGNAL), so start-up ignores SIGPIPE once.
#ifndef TESMO_PLATFORM_SOCKET_H
#define TESMO_PLATFORM_SOCKET_H

#include <csignal>
#include <mutex>

namespace tesmo {

inline void StartSockets() {
  static std::once_flag once;
  std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

}  // namespace tesmo

#endif
