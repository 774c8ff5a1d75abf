// Name resolution through a process-wide cache, and the TCP and UDP socket helpers.
// Sockets are plain POSIX descriptors.
#ifndef TESMO_UTIL_TSOCKETUTIL_H
#define TESMO_UTIL_TSOCKETUTIL_H

#include <netdb.h>

#include <cstddef>
#include <string>

// The address to use for host and port (an IPv6 entry when the list has one, else the
// first), or nullptr. Resolved lists are cached for the life of the process under
// "host-port-udp", so the returned entry stays valid.
const addrinfo* ResolveAddress(const std::string& host, int port, bool udp);
// A connected non-blocking TCP socket; -1 when the host does not resolve, -2 when the
// connect fails (at once, or refused while waiting), -3 when it does not complete
// within timeoutSeconds.
int ConnectTcp(const std::string& host, int port, int timeoutSeconds);
// True when the socket becomes readable (data, end of stream or error) within 1 s.
bool WaitReadable(int sock);
// Sends every byte, waiting for the socket to become writable; 1 when all were sent,
// 0 on a send error, on stop, or after 100 one-second waits in a row without progress.
int SendAll(int sock, const void* data, size_t length);
// A UDP socket bound to host:port; -1 when the address does not resolve, 0 when
// binding fails.
int BindUdp(const std::string& host, int port);
// Sends one datagram to host:port (nothing when it does not resolve); returns 0.
int SendToHost(int sock, const void* data, size_t length, const std::string& host, int port);

#endif
