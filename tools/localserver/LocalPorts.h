// The ports of one state folder: chosen by the system at the first start and kept
// in ports.json, so every address a client stored (pictures, avatars, files, the
// servers themselves) still answers after a restart. Keys are the server names the
// server prints (LocalKeys).
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALPORTS_H
#define TESMO_TOOLS_LOCALSERVER_LOCALPORTS_H

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class LocalStore;

class LocalPorts {
 public:
  static constexpr const char* kStateFile = "ports.json";

  // Reads the kept ports (none when the file is missing or odd: a warning, then
  // new ports).
  void Load(const LocalStore& store);
  // The kept port of a server; 0 when none is kept (any free port will do).
  int Get(const std::string& key) const;
  // Keeps the port a server listens on; written at once when it is new.
  void Keep(LocalStore& store, const std::string& key, int port);
  // "port N (KEY) is taken ..." for a kept port that could not be had.
  static std::string TakenError(const std::string& key, int port, const std::string& file);
  // A free port for a server that has none yet, below the range from which the system
  // gives ports to passing sockets, so that none of them takes it while the server is
  // stopped; 0 (the system's choice) when none is found there.
  static int FreshPort(bool udp);
  // Whether nothing holds the loopback port (a TCP or UDP one).
  static bool IsFree(int port, bool udp);
  // Opens servers on ports: the kept ones (again for a few seconds, since a passing
  // socket may hold one a moment), new ones for those without (0 in kept). open gets
  // the ports and says whether every server listens. False when it never worked.
  static bool Open(const std::vector<int>& kept, bool udp,
                   const std::function<bool(const std::vector<int>& ports)>& open);

 private:
  mutable std::mutex m_mutex;
  std::map<std::string, int> m_ports;
};

#endif
