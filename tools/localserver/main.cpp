// tesmo-localserver: every server TesmoChat talks to, on 127.0.0.1, from one world
// file. Prints its addresses, takes control commands on standard input and on a
// loopback control port, and stops on SIGTERM, SIGINT or "quit".
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LocalKeys.h"
#include "LocalServer.h"
#include "LocalWorld.h"

namespace {

constexpr size_t kMaxLine = 4096;
constexpr size_t kMaxControlClients = 16;

void Usage() {
  std::fprintf(stderr,
               "usage: tesmo-localserver [--world FILE] [--state DIR] [--port N] "
               "[--control-port N]\n"
               "  --world FILE        the world to serve (default: the demo world)\n"
               "  --state DIR         keeps certificates, ports, sessions and all that\n"
               "                      changes in DIR (default: a temporary folder)\n"
               "  --port N            the entry server's port (default: the one kept in\n"
               "                      DIR, at the first start any free one)\n"
               "  --control-port N    the control port (default: as for --port)\n");
}

int ListenControl(int port, int* bound) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  socklen_t len = sizeof(addr);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(fd, 8) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    close(fd);
    return -1;
  }
  *bound = ntohs(addr.sin_port);
  return fd;
}

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = fd == STDIN_FILENO
                          ? write(STDOUT_FILENO, text.data() + done, text.size() - done)
                          : send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

bool ParsePort(const char* text, int* port) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < 0 || v > 65535) return false;
  *port = static_cast<int>(v);
  return true;
}

struct Client {
  int fd;
  std::string pending;
};

}  // namespace

int main(int argc, char** argv) {
  // Signals arrive through a descriptor, so no thread of the servers is interrupted.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  std::string worldFile = TESMO_LOCALSERVER_DEMO_WORLD;
  LocalServer::Options options;
  int controlPort = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--world" && hasValue) {
      worldFile = argv[++i];
    } else if (arg == "--state" && hasValue) {
      options.stateDir = argv[++i];
    } else if (arg == "--port" && hasValue && ParsePort(argv[i + 1], &options.entryPort)) {
      ++i;
    } else if (arg == "--control-port" && hasValue && ParsePort(argv[i + 1], &controlPort)) {
      ++i;
    } else {
      Usage();
      return 2;
    }
  }

  LocalWorld world;
  std::string error;
  if (!world.Load(worldFile, &error)) {
    std::fprintf(stderr, "tesmo-localserver: %s\n", error.c_str());
    return 1;
  }
  LocalServer server(world, options);
  if (!server.Start(&error)) {
    std::fprintf(stderr, "tesmo-localserver: %s\n", error.c_str());
    return 1;
  }
  // The control port is kept with the others, unless one was given.
  const int keptControl = controlPort != 0 ? controlPort : server.KeptPort(LocalKeys::kControl);
  int boundControl = 0;
  int control = -1;
  LocalPorts::Open({keptControl}, false, [&](const std::vector<int>& ports) {
    control = ListenControl(ports[0], &boundControl);
    return control >= 0;
  });
  if (control < 0) {
    if (controlPort == 0 && keptControl != 0) {
      std::fprintf(
          stderr, "tesmo-localserver: %s\n",
          LocalPorts::TakenError(LocalKeys::kControl, keptControl, server.PortsFile()).c_str());
    } else {
      std::fprintf(stderr, "tesmo-localserver: cannot listen on control port %d\n", controlPort);
    }
    return 1;
  }
  if (controlPort == 0) server.KeepPort(LocalKeys::kControl, boundControl);
  const int signals = signalfd(-1, &stopSignals, SFD_CLOEXEC);

  std::printf("tesmo-localserver: world %s\n%s", worldFile.c_str(), server.Describe().c_str());
  std::printf("%s 127.0.0.1:%d\n", LocalKeys::kControl, boundControl);
  const LocalAccount* qr = world.FindAccount(world.QRAccount());
  std::printf("QR login signs in as %s (%s)%s\n", qr->account.c_str(), qr->name.c_str(),
              world.QRAutoConfirm() ? "" : " once confirmed with \"qr confirm\"");
  for (const LocalAccount& a : world.Accounts()) {
    if (!a.mobile.empty())
      std::printf("login by code: %s %s, code %s (%s)\n", a.nationCode.c_str(), a.mobile.c_str(),
                  a.verifyCode.c_str(), a.account.c_str());
  }
  std::printf("ready\n");
  std::fflush(stdout);

  std::vector<Client> clients;
  std::string input;
  bool stdinOpen = true;
  bool running = true;
  while (running) {
    std::vector<pollfd> fds = {
        {signals, POLLIN, 0}, {control, POLLIN, 0}, {stdinOpen ? STDIN_FILENO : -1, POLLIN, 0}};
    for (const Client& c : clients) fds.push_back({c.fd, POLLIN, 0});
    // Clients accepted below were not polled this round.
    const size_t polled = clients.size();
    if (poll(fds.data(), fds.size(), -1) < 0) continue;
    if (fds[0].revents) break;
    if (fds[1].revents & POLLIN) {
      const int fd = accept4(control, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0 && clients.size() >= kMaxControlClients) {
        close(fd);
      } else if (fd >= 0) {
        clients.push_back({fd, ""});
      }
    }
    // Lines from one source; false when it is done.
    auto serve = [&](int fd, std::string& pending) {
      char buffer[1024];
      const ssize_t n = read(fd, buffer, sizeof(buffer));
      if (n <= 0) return false;
      pending.append(buffer, static_cast<size_t>(n));
      for (size_t nl = pending.find('\n'); nl != std::string::npos; nl = pending.find('\n')) {
        std::string line = pending.substr(0, nl);
        pending.erase(0, nl + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "quit" || line == "stop") {
          running = false;
          return true;
        }
        WriteAll(fd, server.Command(line));
      }
      if (pending.size() > kMaxLine) {
        WriteAll(fd, "line too long\n");
        return false;
      }
      return true;
    };
    if (stdinOpen && fds[2].revents) stdinOpen = serve(STDIN_FILENO, input);
    for (size_t i = 0; i < polled; ++i) {
      if (!fds[3 + i].revents) continue;
      if (!serve(clients[i].fd, clients[i].pending)) {
        close(clients[i].fd);
        clients[i].fd = -1;
      }
    }
    clients.erase(
        std::remove_if(clients.begin(), clients.end(), [](const Client& c) { return c.fd < 0; }),
        clients.end());
  }
  for (const Client& c : clients) close(c.fd);
  close(control);
  server.Stop();
  std::printf("stopped\n");
  return 0;
}
