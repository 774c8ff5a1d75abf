// Who is logged in and where each account's IM client listens: the login sessions
// (the token every request carries -> account) and the IM registrations (account ->
// the client's address). Kept in sessions.json of the state folder, so a restarted
// server still knows the clients: their requests are served and pushes reach them
// until they register again on their own (an IM login, or the periodic
// re-registration text from the registered address).
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALSESSIONS_H
#define TESMO_TOOLS_LOCALSERVER_LOCALSESSIONS_H

#include <json/json.h>

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

class LocalStore;

class LocalSessions {
 public:
  static constexpr const char* kStateFile = "sessions.json";
  // Sessions kept per account; an older one ends when a newer login passes it.
  static constexpr size_t kSessionsPerAccount = 16;

  struct Registration {
    std::string host;
    int port = 0;
    std::string registration;  // the IM login's transid
    // Heard from since this start (an IM login or a re-registration); false for one
    // kept from an earlier run.
    bool heard = false;
  };

  // Reads what an earlier run kept, for the accounts known (others are dropped).
  void Load(LocalStore& store, const std::function<bool(const std::string&)>& known);

  // A new session of the account under token (the caller makes it unguessable).
  void Open(const std::string& token, const std::string& account);
  // The account whose session the token is; "" when none.
  std::string AccountOf(const std::string& token) const;
  bool HasSession(const std::string& account) const;
  // An IM login of the account from host:port.
  void Register(const std::string& account, const std::string& host, int port,
                const std::string& registration);
  // The periodic re-registration text from host:port: true when it names a
  // registration at that address not yet heard from since the start.
  bool Reregister(const std::string& account, const std::string& host, int port);
  // The client at host:port whose account ends its text ("R" + device + account, or
  // "r" ...); "" when none.
  std::string AccountAt(const std::string& text, const std::string& host, int port) const;
  // The client left (its unregister text).
  void Unregister(const std::string& account);
  std::optional<Registration> Find(const std::string& account) const;
  // Ends the account's sessions and registration (a kick-out).
  void End(const std::string& account);

 private:
  Json::Value ToJsonLocked() const;
  // Writes the state file; the snapshot is taken under the save lock, so files are
  // written in the order of the changes.
  void Save();

  LocalStore* m_store = nullptr;
  std::mutex m_saveMutex;
  mutable std::mutex m_mutex;                                  // guards everything below
  std::deque<std::pair<std::string, std::string>> m_sessions;  // token, account; oldest first
  std::map<std::string, Registration> m_registrations;         // by account
};

#endif
