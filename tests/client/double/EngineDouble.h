#ifndef TESMO_TESTS_CLIENT_ENGINEDOUBLE_H
#define TESMO_TESTS_CLIENT_ENGINEDOUBLE_H

// Control of the engine test double: a library with the exported interface of
// TAPIInterface that records every call, answers queued requests once each and
// raises reports from its own worker threads, so the program's managers are
// tested without servers. Tests link it instead of plugin.

#include <chrono>
#include <string>
#include <vector>

namespace EngineDouble {

struct Report {
  int code = 0;
  int a = 0;
  int id = 0;
  int b = 0;
  std::string text;
};

constexpr int kWorkerCount = 2;

// Forgets the calls, the delivered reports, the scripted values and replies. The
// engine's life cycle state (initialised, running) stays.
void Reset();

// Every facade call so far, as "Name(arg,arg,...)", in call order.
std::vector<std::string> Calls();
// The same with the names only.
std::vector<std::string> CallNames();
// Waits until a call with this name was made.
bool WaitForCall(const std::string& name,
                 std::chrono::milliseconds timeout = std::chrono::seconds(20));

// What the text getters return ("GetMyAccount", "GetBlackList", ...; for
// GetUserInfo the key is "GetUserInfo:<account>:<field>") and the integer ones
// ("GetChampFlag", "LoginState", "IsLogin", ...; for SearchAtMsg the key
// "SearchAtMsg:<peer>:<flag>" comes before "SearchAtMsg").
void SetText(const std::string& method, const std::string& text);
void SetInt(const std::string& method, int value);

// How queued requests of this reply code are answered (default: result 0, empty text).
void SetReply(int code, int a, const std::string& text, int b = 0);

// Queues a report on one of the double's worker threads; delivered once Run started.
void Raise(int worker, int code, int a, int id, int b, const std::string& text);

// Reports in the order the callback received them (100001 included).
std::vector<Report> Delivered();
bool WaitDelivered(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20));

bool IsRunning();

}  // namespace EngineDouble

#endif
