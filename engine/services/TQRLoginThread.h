#ifndef TESMO_SERVICES_TQRLOGINTHREAD_H
#define TESMO_SERVICES_TQRLOGINTHREAD_H

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>

#include "base/TBaseThread.h"

// Polls the server until a QR-code login is confirmed, stopped, or 300 s pass, and
// reports the outcome once as event 100015. A poll is never killed: Stop moves the
// generation on, the running poll notices at its next check and ends without storing
// or reporting anything; threads are joined by the next Start, by Shutdown and by the
// destructor.
class TQRLoginThread {
 public:
  using Clock = std::function<uint64_t()>;  // monotonic milliseconds

  static constexpr uint64_t kPollLimitMs = 300000;
  // Least time between the starts of two polls, so a server that answers "not yet" at
  // once is not asked in a busy loop.
  static constexpr unsigned kPollSpacingMs = 1000;
  static constexpr const char* kPollPath = "/qrcode/getuserinfo.do?";

  TQRLoginThread();
  ~TQRLoginThread();
  TQRLoginThread(const TQRLoginThread&) = delete;
  TQRLoginThread& operator=(const TQRLoginThread&) = delete;

  // The process-wide poll object. It is never destroyed, so leaving the process does
  // not wait for a poll that is in the middle of an exchange; the engine core's
  // destructor shuts it down instead.
  static TQRLoginThread& Instance();

  // Starts a poll of the key unless one is running; returns 1.
  int Start(const std::string& key);
  // Ends the running poll's claim: it raises no event and stores nothing.
  void Stop();
  // Stop, then join every poll thread.
  void Shutdown();
  bool IsRunning() const;

  // For tests: the clock of the 300 s limit and the spacing between polls.
  void SetClock(Clock clock);
  void SetPollSpacingMs(unsigned ms);

  // A full poll URL ("http://", "https://") is polled as given; any other key is
  // appended to the user server's poll path.
  static std::string PollUrl(const std::string& key);
  // True when the reply confirms the scan; then content and the encrypted token.
  static bool ParsePollReply(const std::string& body, std::string* content, std::string* token);

 private:
  struct PollStart {
    TQRLoginThread* self;
    uint64_t generation;
    std::string key;
  };

  static unsigned PollEntry(void* arg);
  void Poll(uint64_t generation, const std::string& key);
  // One exchange; true when confirmed, with the content and the decrypted token.
  bool PollOnce(const std::string& key, std::string* content, std::string* token);
  // Waits; false when the poll's generation ended or the engine stops first.
  bool Pause(uint64_t generation, unsigned ms);
  bool IsCurrent(uint64_t generation) const;
  // Raises 100015. Callers hold the callback lock and have checked their generation;
  // Stop takes the same lock, so after Stop returns the stopped poll reports nothing.
  // A lock of our own would deadlock with a callback that starts a new poll while
  // this poll waits to report.
  void Report(int a, const std::string& text);
  void JoinFinished();
  uint64_t Now() const;

  mutable std::mutex m_mutex;
  std::condition_variable m_cond;
  uint64_t m_generation = 0;
  bool m_running = false;
  std::string m_key;
  Clock m_clock;
  unsigned m_pollSpacingMs = kPollSpacingMs;
  std::list<std::unique_ptr<TBaseThread>> m_threads;
};

#endif
