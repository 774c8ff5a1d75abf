// Start-up of the program next to a bare Qt Quick window, in one run: the time
// from starting the process to its first frame, and its resident memory a while
// after that frame. Rounds alternate the two so that load on the machine falls
// on both alike; the first round of each only warms the caches.
//
//   startup_bench [--look LOOK] BARE PROGRAM [ROUNDS [SETTLE_SECONDS]]
//
// LOOK, when given, is a third program: one that draws what the program's login
// window draws and does nothing else, to tell the look's share from the program's.
//
// Both must print "first-frame <CLOCK_MONOTONIC ns>" (FirstFrameProbe.h).
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

long long MonotonicNanos() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// A field of /proc/PID/status or smaps_rollup, in KiB; -1 when missing.
long ProcKib(pid_t pid, const char* file, const char* field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
  std::string line;
  const size_t length = std::strlen(field);
  while (std::getline(in, line)) {
    if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
      return std::strtol(line.c_str() + length + 1, nullptr, 10);
  }
  return -1;
}

struct Sample {
  double firstFrameMs = -1;
  long rssKib = -1;
  long pssKib = -1;
};

// Reads one line from the child within the deadline; false on end or time-out.
bool ReadLine(int fd, std::string& line, long long deadline) {
  line.clear();
  while (MonotonicNanos() < deadline) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval wait{0, 50000};
    if (select(fd + 1, &set, nullptr, nullptr, &wait) <= 0) continue;
    char c;
    if (read(fd, &c, 1) != 1) return false;
    if (c == '\n') return true;
    line.push_back(c);
  }
  return false;
}

Sample RunOnce(const std::string& program, int settleSeconds) {
  Sample sample;
  int out[2];
  if (pipe(out) != 0) return sample;
  const long long started = MonotonicNanos();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  if (pid < 0) {
    close(out[0]);
    return sample;
  }
  const long long deadline = started + 60LL * 1000000000LL;
  std::string line;
  while (ReadLine(out[0], line, deadline)) {
    long long frame = 0;
    if (std::sscanf(line.c_str(), "first-frame %lld", &frame) == 1) {
      sample.firstFrameMs = static_cast<double>(frame - started) / 1e6;
      break;
    }
  }
  if (sample.firstFrameMs >= 0) {
    // Keep draining the child's output while it settles.
    const long long measureAt =
        started + static_cast<long long>(sample.firstFrameMs * 1e6) + settleSeconds * 1000000000LL;
    while (MonotonicNanos() < measureAt && ReadLine(out[0], line, measureAt)) {
    }
    sample.rssKib = ProcKib(pid, "status", "VmRSS");
    sample.pssKib = ProcKib(pid, "smaps_rollup", "Pss");
  }
  kill(pid, SIGTERM);
  const long long stopBy = MonotonicNanos() + 10LL * 1000000000LL;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (MonotonicNanos() > stopBy) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    usleep(20000);
  }
  close(out[0]);
  return sample;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Series {
  std::vector<double> ms, rssMib, pssMib;
  void Add(const Sample& s) {
    ms.push_back(s.firstFrameMs);
    rssMib.push_back(s.rssKib / 1024.0);
    pssMib.push_back(s.pssKib / 1024.0);
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<std::string> programs;
  std::vector<const char*> names;
  int first = 1;
  std::string look;
  if (argc > 2 && std::strcmp(argv[1], "--look") == 0) {
    look = argv[2];
    first = 3;
  }
  if (argc - first < 2) {
    std::fprintf(stderr, "usage: %s [--look LOOK] BARE PROGRAM [ROUNDS [SETTLE_SECONDS]]\n",
                 argv[0]);
    return 2;
  }
  programs = {argv[first], argv[first + 1]};
  names = {"bare window", "TesmoChat"};
  if (!look.empty()) {
    programs.push_back(look);
    names.push_back("login look");
  }
  const int rounds = argc > first + 2 ? std::max(1, std::atoi(argv[first + 2])) : 5;
  const int settle = argc > first + 3 ? std::max(0, std::atoi(argv[first + 3])) : 10;

  std::vector<Series> series(programs.size());
  for (int round = 0; round <= rounds; ++round) {
    for (size_t which = 0; which < programs.size(); ++which) {
      const Sample s = RunOnce(programs[which], settle);
      if (s.firstFrameMs < 0 || s.rssKib < 0) {
        std::fprintf(stderr, "%s showed no first frame\n", names[which]);
        return 1;
      }
      std::printf("%-5s %-12s first frame %7.1f ms   RSS %7.1f MiB   PSS %7.1f MiB\n",
                  round == 0 ? "warm" : std::to_string(round).c_str(), names[which], s.firstFrameMs,
                  s.rssKib / 1024.0, s.pssKib / 1024.0);
      std::fflush(stdout);
      if (round > 0) series[which].Add(s);
    }
  }
  std::printf("\nmedians of %d rounds, memory %d s after the first frame\n", rounds, settle);
  for (size_t which = 0; which < programs.size(); ++which)
    std::printf("%-12s first frame %7.1f ms   RSS %7.1f MiB   PSS %7.1f MiB\n", names[which],
                Median(series[which].ms), Median(series[which].rssMib),
                Median(series[which].pssMib));
  for (size_t which = 1; which < programs.size(); ++which) {
    const double timeRatio = Median(series[which].ms) / Median(series[0].ms);
    const double rssRatio = Median(series[which].rssMib) / Median(series[0].rssMib);
    std::printf("%s / bare: time %.2fx (target 1.5x), RSS %.2fx (target 1.3x)\n", names[which],
                timeRatio, rssRatio);
  }
  return 0;
}
