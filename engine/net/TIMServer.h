#ifndef TESMO_NET_TIMSERVER_H
#define TESMO_NET_TIMSERVER_H

#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "base/TBaseThread.h"

// The UDP socket of the IM channel and its receive thread. The IM session creates
// and binds sockets and hands them over; the receive thread swaps them in, so only
// that thread ever closes a socket. Every use and every close of a socket happens
// under one mutex, so a send racing a swap never writes to a reused descriptor.
//
// Only datagrams from the peer (the IM server's address) are delivered; others are
// counted and dropped, and so are datagrams too large for the receive buffer, which
// are never delivered cut short.
class TIMServer {
 public:
  // Called on the receive thread with the datagram (zero-terminated behind data),
  // its length and the sender's address.
  using ReceiveFunction =
      std::function<void(const char* data, int length, const std::string& host, int port)>;

  // Largest datagram delivered; longer ones are dropped.
  static constexpr int kReceiveLimit = 10240;
  // Poll interval of the receive thread while it has a socket, and its idle wait
  // while it has none (cut short by SetSocket and Stop).
  static constexpr int kPollMs = 10;
  static constexpr unsigned kIdleWaitMs = 1000;
  static constexpr unsigned kStopPollMs = 100;
  // Datagrams read one after the other once poll reports the socket readable; a
  // burst of pushes then costs one poll, not one each.
  static constexpr int kReadBurst = 64;

  explicit TIMServer(ReceiveFunction receive);
  virtual ~TIMServer();
  TIMServer(const TIMServer&) = delete;
  TIMServer& operator=(const TIMServer&) = delete;

  // Starts the receive thread; returns 1.
  int Start();
  // Ends and joins the receive thread and closes the sockets it holds; idempotent.
  void Stop();

  // Sends one datagram to host:port through the current socket (the pending one
  // when a swap is due). Returns the bytes sent, or -1 when there is no socket, the
  // host does not resolve or the send fails.
  int SendTo(const void* data, int length, const std::string& host, int port);
  // Hands over a bound UDP socket; the receive thread closes the old one and takes
  // it. Returns the port.
  int SetSocket(int socket, int port);
  // Asks the receive thread to close its socket and work without one.
  void DropSocket();
  // The address whose datagrams are accepted. Until one resolves, every datagram
  // is dropped. Returns false when the host does not resolve.
  bool SetPeer(const std::string& host, int port);

  bool HasSocket() const;
  bool IsRunning() const { return m_running.load() != 0; }
  int CurrentPort() const;
  uint64_t DeliveredCount() const { return m_delivered.load(); }
  uint64_t ForeignDropCount() const { return m_foreignDrops.load(); }
  uint64_t OversizeDropCount() const { return m_oversizeDrops.load(); }

 private:
  static unsigned ReceiveEntry(void* arg);
  void ReceiveLoop();
  // Completes a pending swap; returns the socket to read from (0 = none).
  int TakeSocket();
  void WaitForSocket();
  // Reads one datagram; false when none was waiting.
  bool ReadOne(int sock);
  bool FromPeer(const sockaddr_storage& from, socklen_t fromLength);

  const ReceiveFunction m_receive;
  std::atomic<int> m_running{0};
  std::unique_ptr<TBaseThread> m_thread;

  // Guards the socket fields below and every use or close of a socket.
  mutable std::mutex m_socketMutex;
  std::condition_variable m_wake;
  bool m_stopping = false;
  int m_socket = 0;
  int m_port = 0;
  bool m_swapPending = false;
  int m_newSocket = 0;
  int m_newPort = 0;

  mutable std::mutex m_peerMutex;
  bool m_hasPeer = false;
  sockaddr_storage m_peer{};

  std::atomic<uint64_t> m_delivered{0};
  std::atomic<uint64_t> m_foreignDrops{0};
  std::atomic<uint64_t> m_oversizeDrops{0};
};

#endif
