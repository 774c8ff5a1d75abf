// The IM server's HTTP side for sending and recalling messages, hosted on a
// FakeHttpServer: "/im/message/user/send.do" and "/im/message/group/send.do" take a
// JSON body and answer {"code": 1, "msg": "...", "result": {"msgid": n, "time": t}}.
// Every body is kept, parsed; answers can be scripted per request (a refusal code,
// a reply without msgid or time, a body that is not JSON, an HTTP error, a cut).
//
//   FakeHttpServer http;
//   FakeImHttpPaths im(http);         // registers the two paths
//   http.Start();
//   im.ScriptNext({FakeImHttpPaths::Answer::kCode, -3});  // the next request is refused
//   ... send ...
//   im.Messages()[0].content;
#ifndef TESMO_TESTS_FAKES_FAKEIMHTTPPATHS_H
#define TESMO_TESTS_FAKES_FAKEIMHTTPPATHS_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeHttpServer.h"

class FakeImHttpPaths {
 public:
  static constexpr const char* kUserPath = "/im/message/user/send.do";
  static constexpr const char* kGroupPath = "/im/message/group/send.do";

  enum class Answer {
    kAccept,       // code 1 with a new msgid and the time
    kCode,         // {"code": code, "msg": "refused"}
    kNoMsgid,      // code 1, "result" without "msgid"
    kNoTime,       // code 1, "result" without "time"
    kNoResult,     // code 1 and nothing else
    kTextMsgid,    // code 1, "msgid" a text that is no number
    kNotJson,      // status 200 with an HTML body
    kHttpStatus,   // the given HTTP status, JSON body
    kCloseAtOnce,  // closes without a byte
  };
  struct Script {
    Answer answer = Answer::kAccept;
    int code = 0;  // kCode: the "code"; kHttpStatus: the status
  };

  // One request as received, its body parsed here (not by the engine's readers).
  struct Message {
    std::string path;
    std::string body;
    bool json = false;  // the body parsed as a JSON object
    std::string name;
    int64_t device = -1;
    int64_t fromver = -1;
    std::string type;
    std::string touser;
    std::string content;
    std::string remark;
    std::string finger;
    bool hasTransid = false;
    std::vector<std::string> keys;  // member names in the order of the body text
    int64_t answeredMsgid = 0;      // the msgid given back, 0 when none
    std::string answeredTime;
  };

  explicit FakeImHttpPaths(FakeHttpServer& server);
  FakeImHttpPaths(const FakeImHttpPaths&) = delete;
  FakeImHttpPaths& operator=(const FakeImHttpPaths&) = delete;

  // Answers for the next requests, in order; once used up, requests are accepted.
  void ScriptNext(const Script& script);
  // Decides the answer of each request that no script covers (default: accept).
  using Check = std::function<Script(const Message& message, const FakeRequest& request)>;
  void SetCheck(Check check);
  // Called for each accepted message, with the msgid and time given back, after the
  // paths' lock is released (on the connection's thread).
  using Accepted = std::function<void(const Message& message, const FakeRequest& request)>;
  void SetAcceptHook(Accepted hook);
  // The time every accepted message gets, asked anew each time (overrides SetTime).
  void SetClock(std::function<std::string()> clock);
  // Keeps only the newest limit messages (0: all).
  void SetRecordLimit(size_t limit);
  // The time every accepted message gets; msgids count up from firstMsgid.
  void SetTime(const std::string& time);
  void SetFirstMsgid(int64_t first);
  // Takes the next msgid for a message the server makes itself (a push of its own).
  int64_t TakeMsgid();

  std::vector<Message> Messages();
  bool WaitForMessages(size_t count, int timeoutMs = 30000);

 private:
  FakeReply Serve(const FakeRequest& request);

  std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::deque<Script> m_scripts;
  std::vector<Message> m_messages;
  std::string m_time = "2024-06-01 12:34:56";
  Check m_check;
  Accepted m_acceptHook;
  std::function<std::string()> m_clock;
  size_t m_recordLimit = 0;
  int64_t m_nextMsgid = 5000000001;  // past 32 bits, as real ids are
};

#endif
