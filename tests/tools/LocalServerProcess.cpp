#include "LocalServerProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

int WaitExit(pid_t pid, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (r < 0) return -1;
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

std::string LocalServerProcess::Program() { return TESMO_LOCALSERVER_PROGRAM; }

LocalServerProcess::~LocalServerProcess() {
  if (m_pid > 0) Stop();
  if (m_out >= 0) close(m_out);
  if (!m_errFile.empty()) unlink(m_errFile.c_str());
}

bool LocalServerProcess::Start(const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  char errPattern[] = "/tmp/tesmo-localserver-err-XXXXXX";
  const int errFd = mkstemp(errPattern);
  if (errFd < 0) return false;
  m_errFile = errPattern;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errFd, 2);
  std::vector<std::string> all = {Program()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  const int r = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  close(errFd);
  m_out = pipeFds[0];
  if (r != 0) {
    m_pid = -1;
    return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (m_output.find("\nready\n") == std::string::npos) {
    if (std::chrono::steady_clock::now() >= deadline || !Running()) return false;
    ReadAvailable(100);
  }
  std::istringstream lines(m_output);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    const size_t space = line.find(' ');
    if (eq != std::string::npos && (space == std::string::npos || eq < space)) {
      m_values[line.substr(0, eq)] = line.substr(eq + 1);
    } else if (space != std::string::npos) {
      m_values[line.substr(0, space)] = line.substr(space + 1);
    }
  }
  return true;
}

void LocalServerProcess::ReadAvailable(int timeoutMs) {
  pollfd p{m_out, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) <= 0) return;
  char buffer[4096];
  const ssize_t n = read(m_out, buffer, sizeof(buffer));
  if (n > 0) m_output.append(buffer, static_cast<size_t>(n));
}

bool LocalServerProcess::Running() {
  if (m_pid <= 0) return false;
  int status = 0;
  if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    m_pid = -1;
    return false;
  }
  return true;
}

int LocalServerProcess::Stop() {
  if (m_pid <= 0) return m_status;
  kill(m_pid, SIGTERM);
  return Wait();
}

int LocalServerProcess::Wait() {
  if (m_pid > 0) {
    m_status = WaitExit(m_pid, 60000);
    if (m_status != -1) m_pid = -1;
  }
  while (m_out >= 0) {
    pollfd p{m_out, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) break;
    char buffer[4096];
    const ssize_t n = read(m_out, buffer, sizeof(buffer));
    if (n <= 0) break;
    m_output.append(buffer, static_cast<size_t>(n));
  }
  return m_status;
}

std::string LocalServerProcess::Value(const std::string& key) const {
  auto it = m_values.find(key);
  return it == m_values.end() ? std::string() : it->second;
}

int LocalServerProcess::Port(const std::string& key) const {
  const std::string v = Value(key);
  const size_t colon = v.rfind(':');
  return colon == std::string::npos ? 0 : std::atoi(v.c_str() + colon + 1);
}

std::string LocalServerProcess::Errors() const {
  std::ifstream in(m_errFile);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

int ConnectLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string LocalServerProcess::Command(const std::string& line) const {
  const int fd = ConnectLoopback(Port("CONTROL"));
  if (fd < 0) return "";
  const std::string text = line + "\n";
  send(fd, text.data(), text.size(), MSG_NOSIGNAL);
  // The server closes once it has answered the last line: the whole answer.
  shutdown(fd, SHUT_WR);
  const std::string answer = ReadReply(fd, 30000);
  close(fd);
  return answer;
}

std::string ReadReply(int fd, int timeoutMs) {
  std::string answer;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    char buffer[4096];
    const ssize_t n = recv(fd, buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    answer.append(buffer, static_cast<size_t>(n));
  }
  return answer;
}

bool LocalServerProcess::WaitForAnswer(const std::string& line, const std::string& expected,
                                       std::string* last) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((*last = Command(line)) != expected) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

bool PortIsFree(int port, bool udp) {
  const int fd = socket(AF_INET, (udp ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  int one = 1;
  // As a restarted server would bind: connections left in TIME_WAIT do not count.
  if (!udp) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
  close(fd);
  return ok;
}
