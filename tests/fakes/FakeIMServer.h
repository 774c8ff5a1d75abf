// FakeIMServer: a loopback IM server for tests. It binds 127.0.0.1 on an ephemeral
// port at construction and runs one thread that receives, records, answers and sends
// frames in both frame forms (short texts complemented; "01" + checksum for the rest).
//
//   FakeIMServer server;                               // listening on server.Port()
//   channel.SetServer("127.0.0.1", server.Port());
//   channel.Send(text, "127.0.0.1", server.Port());    // requests are answered with code 1
//   ASSERT_TRUE(server.WaitFor([&] { return server.CountReceived(FakeIMServer::kRequest) == 1; }));
//   server.Push(FakeIMServer::ChatPacket("u1@s", "me@s", "msg", {{"content", "hi"}}));
//   for (const FakeIMServer::Record& r : server.Received()) { r.text; r.json; r.dropped; }
//
// The client address (where pushes go) is learnt from each datagram the server
// receives, unless SetClient fixes it. The probe "o" is answered with "o".
// Misbehaviour on cue: SetResponder (answer with a code, delay, withhold, add
// texts), SetLoss (seeded random loss both ways), Push with copies (duplicates),
// SendBadChecksum, SendOversize, PushText (framed non-packets), SendFromForeignPort.
// Pushed requests are remembered until the engine answers them; ResendUnacked sends
// the unanswered ones again, as a server resends its pushes.
#ifndef TESMO_TESTS_FAKES_FAKEIMSERVER_H
#define TESMO_TESTS_FAKES_FAKEIMSERVER_H

#include <json/json.h>
#include <netinet/in.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class FakeIMServer {
 public:
  enum Kind { kShort = 0, kRequest = 1, kResponse = 2, kOther = 3 };
  using Params = std::vector<std::pair<std::string, std::string>>;

  // One datagram, received from the engine or sent to it.
  struct Record {
    std::string bytes;    // the datagram as it travelled
    bool framed = false;  // decoded with a matching checksum
    std::string text;     // the decoded text
    int kind = kOther;    // kShort for texts of at most 10 bytes
    int code = 0;         // "response" of a response
    Json::Value json;     // the parsed packet (null unless a packet)
    std::string key;      // id + "|" + from of a packet
    std::string host;     // the other side
    int port = 0;
    bool dropped = false;  // lost on purpose
  };

  // What to do with one request from the engine.
  struct Reply {
    bool answer = true;  // false: withhold the response
    int code = 1;
    int delayMs = 0;
    int copies = 1;                  // the response sent this many times
    std::vector<std::string> texts;  // further texts sent after the response
  };
  using Responder = std::function<Reply(const Record& request)>;
  // Replies (texts, framed) to a short text; default: "o" gets "o".
  using ShortHandler = std::function<std::vector<std::string>(const std::string& text)>;

  // Binds 127.0.0.1:port (0: any free port); Port() is 0 when it could not.
  explicit FakeIMServer(int port = 0);
  ~FakeIMServer();
  FakeIMServer(const FakeIMServer&) = delete;
  FakeIMServer& operator=(const FakeIMServer&) = delete;

  int Port() const { return m_port; }
  void SetClient(const std::string& host, int port);
  int ClientPort() const;
  // Both run on the server's thread, without its lock: they may call the server.
  void SetResponder(Responder responder);
  void SetShortHandler(ShortHandler handler);
  // Sees the longer framed texts that are no packet (keep-alive, unregister); they
  // get no answer.
  using TextHandler = std::function<void(const Record& text)>;
  void SetTextHandler(TextHandler handler);
  // Drops this share (0..1) of datagrams in each direction. Whether a datagram is
  // dropped depends only on the seed, its direction, its bytes and how often the
  // same bytes went that way before, so a run repeats exactly whatever the timing.
  void SetLoss(double rate, uint32_t seed);

  // Sends a text framed to the client, copies times; a request is remembered until
  // the engine answers it.
  void Push(const std::string& text, int copies = 1);
  void PushText(const std::string& text) { Push(text); }
  // Push to a given client instead of the learnt one (a server with several clients).
  void PushTo(const std::string& text, const std::string& host, int port);
  // Keeps only the newest limit records of each direction and remembered pushes
  // (0: all), for servers that run for hours.
  void SetRecordLimit(size_t limit);
  // Sends the remembered pushes that are still unanswered; returns how many.
  int ResendUnacked();
  // Raw bytes to the client.
  void SendBytes(const std::string& bytes);
  // A long-form frame of text whose checksum is off by one.
  void SendBadChecksum(const std::string& text);
  // A datagram of size bytes (a long-form header and filler).
  void SendOversize(size_t size);
  // Bytes to the client from a socket on another loopback port.
  void SendFromForeignPort(const std::string& bytes);

  // Records since the last ClearRecords.
  std::vector<Record> Received() const;
  std::vector<Record> Sent() const;
  // Totals since construction (ClearRecords leaves them): datagrams received, and
  // datagrams sent not counting the ones dropped on purpose.
  size_t ReceivedCount() const;
  // Datagrams fully handled: recorded and, where one is due, answered. A test
  // waiting for quiet compares with this, not with ReceivedCount, so an answer
  // still being made does not count as nothing in flight.
  size_t HandledCount() const;
  size_t SentCount() const;
  size_t CountReceived(int kind) const;
  size_t ScheduledCount() const;  // delayed replies not yet sent
  size_t UnackedCount() const;
  void ClearRecords();
  // Waits until cond holds; false after timeoutMs.
  bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 10000) const;

  // Frames and packets, written here independently of the engine.
  static std::string Frame(const std::string& text);
  static bool Unframe(const std::string& bytes, std::string* text);
  static std::string RequestText(const std::string& id, const std::string& from,
                                 const std::string& to, const std::string& method,
                                 const std::string& contentType, const Params& params,
                                 const std::string& recroute = std::string());
  static std::string ResponseText(const Json::Value& request, int code);
  // An "im" chat push (param "msgtype" first) and a "sys" push.
  static std::string ChatPacket(const std::string& from, const std::string& to,
                                const std::string& msgType, const Params& params);
  static std::string SysPacket(const std::string& to, const std::string& msgType,
                               const Params& params);
  static std::string NewId();
  // A datagram as the server would record it (peer: the other side).
  static Record Decode(const std::string& bytes, const sockaddr_in& peer);
  // A text as the server reads it: kind, code, parsed packet and key.
  static Record Inspect(const std::string& text) { return Decode(Frame(text), sockaddr_in{}); }

 private:
  struct Scheduled {
    int64_t dueMs;
    std::string bytes;
    sockaddr_in to;
  };
  struct PushState {
    std::string text;
    bool addressed = false;  // PushTo: resent to that address, else to the client
    sockaddr_in to{};
    bool acked = false;
  };

  void Run();
  void HandleDatagram(const std::string& bytes, const sockaddr_in& from);
  // Queues bytes for the thread or sends them now; decides loss. m_mutex held.
  void SendLocked(const std::string& bytes, const sockaddr_in& to, int delayMs);
  bool LoseLocked(char direction, const std::string& bytes);
  void RecordSentLocked(const std::string& bytes, const sockaddr_in& to, bool dropped);
  void PushLocked(const std::string& text, const sockaddr_in* to, int copies);
  void TrimLocked();
  static int64_t NowMs();

  int m_socket = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;

  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  bool m_clientFixed = false;
  bool m_hasClient = false;
  sockaddr_in m_client{};
  Responder m_responder;
  ShortHandler m_shortHandler;
  TextHandler m_textHandler;
  double m_lossRate = 0;
  uint32_t m_lossSeed = 0;
  std::map<std::string, int> m_lossSeen;
  std::vector<Record> m_received;
  std::vector<Record> m_sent;
  size_t m_receivedCount = 0;
  size_t m_handledCount = 0;
  size_t m_sentCount = 0;
  std::vector<Scheduled> m_scheduled;
  std::vector<std::string> m_pushOrder;
  size_t m_recordLimit = 0;
  std::map<std::string, PushState> m_pushes;
};

#endif
