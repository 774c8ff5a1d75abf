#ifndef TESMO_NET_TTSRESENDCTRL_H
#define TESMO_NET_TTSRESENDCTRL_H

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/TBaseThread.h"

// Repeats IM requests that the IM server has not answered. Every request goes on a
// timing wheel of 64 one-second slots: its first check comes three ticks after it
// was sent, then one every two ticks; an unanswered request is resent at each check
// and given up silently at the tenth. A response with the same packet key stops it.
//
// The pool, the pending map and the wheel are all guarded by one mutex, so the
// senders, the dispatch thread and the tick thread never race. Resends are sent
// after that mutex is released.
class TTSResendCtrl {
 public:
  // Sends a stored text again (framed and traced, not tracked again).
  using SendFunction =
      std::function<void(const std::string& text, const std::string& host, int port)>;

  static constexpr int kDefaultPoolSize = 10000;
  static constexpr int kWheelSlots = 64;
  static constexpr int kFirstCheckTicks = 3;
  static constexpr int kCheckIntervalTicks = 2;
  static constexpr int kMaxChecks = 10;
  static constexpr unsigned kTickMs = 1000;

  struct Options {
    // Milliseconds between ticks of the own tick thread; 0 starts no thread and the
    // owner drives the wheel with Tick (tests do, to avoid waiting real seconds).
    unsigned tickMs = kTickMs;
    // Wheel position to start at (tests use it to cross the wrap).
    uint32_t startPosition = 0;
  };

  TTSResendCtrl(int poolSize, SendFunction send);
  TTSResendCtrl(int poolSize, SendFunction send, Options options);
  ~TTSResendCtrl();
  TTSResendCtrl(const TTSResendCtrl&) = delete;
  TTSResendCtrl& operator=(const TTSResendCtrl&) = delete;

  // Keeps a request (kind 1) for resending; other kinds are ignored. Returns true
  // when the request is now pending.
  bool Add(const std::string& text, const std::string& key, const std::string& host, int port,
           int kind);
  // A packet arrived: a response (kind 2) marks the pending request of its key
  // answered, so its next check frees it instead of resending.
  void Answer(const std::string& key, int kind);
  // One turn of the wheel; returns the number of texts resent.
  int Tick();
  // Ends and joins the tick thread; idempotent.
  void Stop();

  bool IsTicking() const { return m_thread && m_thread->IsRunning(); }
  // Counters for diagnostics and tests.
  int PoolSize() const { return m_poolSize; }
  int PendingCount() const;
  int FreeCount() const;
  uint64_t ResentCount() const;
  uint64_t GivenUpCount() const;
  uint64_t AnsweredCount() const;
  uint32_t Position() const;

 private:
  struct Record {
    std::string key;
    std::string host;
    int port = 0;
    int tries = 0;
    int answered = 0;
    std::string text;
  };
  struct Resend {
    std::string text;
    std::string host;
    int port;
  };

  static unsigned TickEntry(void* arg);
  void TickLoop();
  // Returns a record to the free list and removes its key from the pending map,
  // but only when the map still points to this record (a newer request may carry
  // the same key). Called with m_mutex held.
  void FreeRecord(Record* record);

  const int m_poolSize;
  const SendFunction m_send;
  const unsigned m_tickMs;

  mutable std::mutex m_mutex;
  std::vector<std::unique_ptr<Record>> m_pool;
  std::vector<Record*> m_free;
  std::map<std::string, Record*> m_pending;
  std::list<Record*> m_wheel[kWheelSlots];
  uint32_t m_position;
  uint64_t m_resent = 0;
  uint64_t m_givenUp = 0;
  uint64_t m_answered = 0;

  std::mutex m_stopMutex;
  std::condition_variable m_stopCond;
  bool m_stopping = false;
  std::unique_ptr<TBaseThread> m_thread;
};

#endif
