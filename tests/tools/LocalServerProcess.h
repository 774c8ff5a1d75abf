// Runs the local server program as a child process for a test: starts it with a
// world and a state folder, reads the addresses it prints, sends control commands
// and stops it with SIGTERM.
#ifndef TESMO_TESTS_TOOLS_LOCALSERVERPROCESS_H
#define TESMO_TESTS_TOOLS_LOCALSERVERPROCESS_H

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

class LocalServerProcess {
 public:
  LocalServerProcess() = default;
  ~LocalServerProcess();  // SIGTERM and wait, when still running
  LocalServerProcess(const LocalServerProcess&) = delete;
  LocalServerProcess& operator=(const LocalServerProcess&) = delete;

  // Starts the program with these arguments and waits for "ready" (false when it
  // exits first or stays silent for 60 s; Output() then tells why).
  bool Start(const std::vector<std::string>& args);
  // SIGTERM, then the exit status (-1 when it did not end within 60 s); once it has
  // ended, the status it ended with.
  int Stop();
  // Waits for the program to end by itself; its exit status.
  int Wait();
  bool Running();

  // "KEY" lines as printed: "LOGIN" -> "https://127.0.0.1:1234", "TESMO_SERVER" ->
  // "127.0.0.1:1234", ...
  std::string Value(const std::string& key) const;
  int Port(const std::string& key) const;  // the port of that line's address
  std::string Output() const { return m_output; }
  std::string Errors() const;

  // One control command over the control port; the answer.
  std::string Command(const std::string& line) const;
  // Repeats a command until it answers expected (true) or 30 s pass; the last
  // answer in *last.
  bool WaitForAnswer(const std::string& line, const std::string& expected, std::string* last) const;

  static std::string Program();

 private:
  void ReadAvailable(int timeoutMs);

  pid_t m_pid = -1;
  int m_status = -1;  // once it has ended
  int m_out = -1;
  std::string m_errFile;
  std::string m_output;
  std::map<std::string, std::string> m_values;
};

// A TCP connection to 127.0.0.1:port; -1 when refused.
int ConnectLoopback(int port);

// What a socket receives until it closes, within timeoutMs.
std::string ReadReply(int fd, int timeoutMs);

// True when the TCP (or UDP) port on 127.0.0.1 can be bound again: nothing holds it.
bool PortIsFree(int port, bool udp);

#endif
