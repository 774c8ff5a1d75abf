#ifndef TESMO_NET_TIMCHANNEL_H
#define TESMO_NET_TIMCHANNEL_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/TBaseThread.h"
#include "db/TAccountScope.h"

class TIMServer;
class TTSResendCtrl;

// The IM channel: texts to and from the IM server as UDP frames. Every packet that
// arrives is answered with an automatic response of code 1; repeated packets are
// dropped (and a repeated request is answered again); the rest is queued and handed
// to the receive function on the channel's own dispatch thread. A packet is handed
// over inside the account scope of the login it arrived under (TAccountScope), so
// what it stores and raises ends with that login. Requests sent with Send are
// repeated by the resend control until answered.
//
// Use (the IM session):
//   TIMChannel channel(handler);            // handler(text, host, port), dispatch thread
//   channel.SetRecvCacheSize(500); channel.SetResendPoolSize(500); channel.SetHook(trace);
//   channel.Start(1);
//   channel.SetServer(proxyHost, proxyPort);  // where responses go; the only accepted sender
//   channel.SetSocket(boundUdpSocket, 0);     // the channel owns and closes it from now on
//   channel.Send(packet.ToRequest(), proxyHost, proxyPort);  // or a short text such as "a"
//   channel.CloseSocket();                    // before a reconnect
//   channel.Stop();                           // joins every thread (the destructor does too)
class TIMChannel {
 public:
  using ReceiveFunction =
      std::function<void(const std::string& text, const std::string& host, int port)>;
  // direction 0: a text being sent; 1: a text being delivered.
  using TraceHook = std::function<void(const std::string& text, const std::string& host, int port,
                                       int direction)>;
  // Runs on the dispatch thread whenever it has handed over every queued text, and
  // once more as the thread ends: the receiver may finish work it kept open.
  using DrainFunction = std::function<void()>;

  // Texts of at most this many bytes travel without a header.
  static constexpr size_t kShortTextMax = 10;
  static constexpr size_t kFrameHeader = 6;
  // The frame is built in a 4096-byte buffer with a terminating zero.
  static constexpr size_t kMaxFramedText = 4096 - kFrameHeader - 1;
  // Received frames of this size or more are dropped.
  static constexpr size_t kMaxFrame = 8192;
  static constexpr int kDefaultCacheSize = 10000;
  // Texts waiting for the dispatch thread; beyond this a flood is dropped.
  static constexpr size_t kMaxQueued = 10000;
  static constexpr unsigned kDispatchIdleMs = 300;

  struct Stats {
    uint64_t framesReceived = 0;  // handed to IM_CallBack
    uint64_t framesRejected = 0;  // too long or bad checksum
    uint64_t autoResponses = 0;   // automatic responses sent
    uint64_t invalidDropped = 0;  // long texts that are not packets
    uint64_t duplicates = 0;      // repeated packets not delivered
    uint64_t queueDropped = 0;    // dropped because the queue was full
    uint64_t delivered = 0;       // texts handed to the receive function
    uint64_t dispatched = 0;      // texts taken off the queue (delivered or not)
    uint64_t refused = 0;         // texts too long to send
  };

  explicit TIMChannel(ReceiveFunction receive);
  ~TIMChannel();
  TIMChannel(const TIMChannel&) = delete;
  TIMChannel& operator=(const TIMChannel&) = delete;

  // Set before Start.
  void SetResendPoolSize(int size) { m_resendPoolSize = size; }
  void SetRecvCacheSize(int size) { m_recvCacheSize = size; }
  // Milliseconds between resend ticks (default one second); 0 leaves the ticks to
  // ResendTick, so tests need not wait real seconds.
  void SetResendTickMs(unsigned ms) { m_resendTickMs = ms; }
  void SetHook(TraceHook hook);
  void SetDrainFunction(DrainFunction drain) { m_drain = std::move(drain); }

  // The IM server's address: automatic responses and delivered texts use it, and
  // datagrams from any other address are dropped. May be changed at any time.
  bool SetServer(const std::string& host, int port);
  std::string ServerHost() const;
  int ServerPort() const;

  // Starts the dispatch thread and the UDP transport; with resend non-zero also the
  // resend control and the received-packet cache. Returns 1.
  int Start(int resend);
  // Ends and joins the dispatch, resend and receive threads; idempotent.
  void Stop();

  // Sends a text and, for a packet, tracks it: a request is kept for resending, a
  // response records its code for a repeated request. Returns 1 when sent, 0 when
  // the text is too long for one frame (refused, nothing tracked).
  int Send(const std::string& text, const std::string& host, int port);
  // Traces and sends a text without tracking. Returns 1 when handed to the
  // transport (or there is none yet), 0 when refused as too long.
  int SendRaw(const std::string& text, const std::string& host, int port);
  // Hands a bound UDP socket to the transport, which closes the old one.
  int SetSocket(int socket, int port);
  void CloseSocket();

  // The transport's receive function: one received frame from host:port.
  void IM_CallBack(const char* frame, int length, const std::string& host, int port);

  // One resend tick when ticks are driven by hand; returns the texts resent.
  int ResendTick();
  TTSResendCtrl* ResendControl() const { return m_resend.get(); }
  TIMServer* Transport() const { return m_server.get(); }
  Stats GetStats() const;
  bool IsDispatchRunning() const { return m_dispatch && m_dispatch->IsRunning(); }
  size_t QueuedCount() const;

  // Framing. A text ends at its first zero byte.
  // The frame for a text; false (and no frame) when the text is too long.
  static bool Frame(const std::string& text, std::string* frame);
  // The text in a frame; false when the frame is too long or its checksum is wrong.
  static bool Unframe(const char* frame, size_t length, std::string* text);
  // Sum of the bytes after the first, minus the first, modulo 2^32.
  static uint32_t Checksum(const char* text);

  // Kind of a text without parsing it: 1 request, 2 response (code set), 0 neither.
  static int TextKind(const std::string& text, int* code);
  // The "id" value followed by the "from" value, each as written in the text and
  // trimmed; "" when either is missing.
  static std::string PacketKey(const std::string& text);
  // A request text turned into the text of a response with code, without parsing.
  static std::string ResponseFromText(const std::string& text, int code);

 private:
  struct Received {
    std::string text;
    TAccountScope::Stamp stamp;
  };

  struct RecvCache {
    explicit RecvCache(int size) : ring(size > 0 ? size : kDefaultCacheSize) {}
    std::map<std::string, int> codes;
    std::vector<std::string> ring;
    uint64_t inserted = 0;
  };

  static unsigned DispatchEntry(void* arg);
  void DispatchLoop();
  void Dispatch(const Received& received);
  void Trace(const std::string& text, const std::string& host, int port, int direction);
  // The frame for text; false (counted and logged as refused) when it does not fit.
  bool FrameOrRefuse(const std::string& text, std::string* frame);
  // Traces text and sends its frame.
  void Transmit(const std::string& text, const std::string& frame, const std::string& host,
                int port);
  // Keeps a request for resending; records the code of a response for a repeated
  // request.
  void Track(const std::string& text, const std::string& host, int port);
  void Deliver(const std::string& text, const std::string& host, int port);
  void AddStat(uint64_t Stats::*field);

  const ReceiveFunction m_receive;
  DrainFunction m_drain;
  int m_resendPoolSize = kDefaultCacheSize;
  int m_recvCacheSize = kDefaultCacheSize;
  unsigned m_resendTickMs = 1000;
  int m_resendOn = 1;
  std::atomic<int> m_running{0};

  mutable std::mutex m_hookMutex;
  TraceHook m_hook;

  mutable std::mutex m_serverMutex;
  std::string m_serverHost;
  int m_serverPort = 0;

  std::unique_ptr<TIMServer> m_server;
  std::unique_ptr<TTSResendCtrl> m_resend;

  std::mutex m_cacheMutex;
  std::unique_ptr<RecvCache> m_cache;

  mutable std::mutex m_queueMutex;
  std::condition_variable m_queueCond;
  std::deque<Received> m_queue;
  bool m_stopping = false;
  std::unique_ptr<TBaseThread> m_dispatch;

  mutable std::mutex m_statsMutex;
  Stats m_stats;
};

#endif
