// Local interface addresses, read from the interface list (never from the host
// name resolving).
#ifndef TESMO_PLATFORM_NETIF_H
#define TESMO_PLATFORM_NETIF_H

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <string>
#include <vector>

namespace tesmo {

// IPv4 addresses of the interfaces that are up, in the interface list's order, as
// dotted texts. Loopback addresses only when asked for.
inline std::vector<std::string> LocalIPv4Addresses(bool includeLoopback = false) {
  std::vector<std::string> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (ifaddrs* it = list; it; it = it->ifa_next) {
    if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET) continue;
    if (!(it->ifa_flags & IFF_UP)) continue;
    if ((it->ifa_flags & IFF_LOOPBACK) && !includeLoopback) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* sin = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
    if (inet_ntop(AF_INET, &sin->sin_addr, text, sizeof(text))) out.emplace_back(text);
  }
  freeifaddrs(list);
  return out;
}

}  // namespace tesmo

#endif
