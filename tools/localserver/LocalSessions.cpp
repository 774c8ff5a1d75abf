#include "LocalSessions.h"

#include <algorithm>

#include "LocalStore.h"

namespace {

std::string Text(const Json::Value& v, const char* key) {
  return v.isObject() && v[key].isString() ? v[key].asString() : std::string();
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return !tail.empty() && text.size() > tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void LocalSessions::Load(LocalStore& store, const std::function<bool(const std::string&)>& known) {
  Json::Value kept;
  const bool loaded = store.LoadJson(kStateFile, &kept);
  std::lock_guard<std::mutex> lock(m_mutex);
  m_store = &store;
  m_sessions.clear();
  m_registrations.clear();
  if (!loaded) return;
  for (const Json::Value& s : kept["sessions"]) {
    const std::string token = Text(s, "token");
    const std::string account = Text(s, "account");
    if (token.empty() || !known(account)) continue;
    m_sessions.emplace_back(token, account);
  }
  for (const Json::Value& r : kept["registrations"]) {
    const std::string account = Text(r, "account");
    const Json::Value& port = r.isObject() ? r["port"] : Json::Value();
    if (!known(account) || !port.isInt() || port.asInt() <= 0 || port.asInt() > 65535) continue;
    Registration reg;
    reg.host = Text(r, "host");
    reg.port = port.asInt();
    reg.registration = Text(r, "registration");
    if (reg.host.empty()) continue;
    m_registrations[account] = reg;
  }
}

Json::Value LocalSessions::ToJsonLocked() const {
  Json::Value state(Json::objectValue);
  state["sessions"] = Json::Value(Json::arrayValue);
  for (const auto& s : m_sessions) {
    Json::Value e(Json::objectValue);
    e["token"] = s.first;
    e["account"] = s.second;
    state["sessions"].append(e);
  }
  state["registrations"] = Json::Value(Json::arrayValue);
  for (const auto& r : m_registrations) {
    Json::Value e(Json::objectValue);
    e["account"] = r.first;
    e["host"] = r.second.host;
    e["port"] = r.second.port;
    e["registration"] = r.second.registration;
    state["registrations"].append(e);
  }
  return state;
}

void LocalSessions::Save() {
  std::lock_guard<std::mutex> order(m_saveMutex);
  Json::Value state;
  LocalStore* store = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    store = m_store;
    state = ToJsonLocked();
  }
  if (store) store->SaveJson(kStateFile, state);
}

void LocalSessions::Open(const std::string& token, const std::string& account) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.emplace_back(token, account);
    const size_t mine = std::count_if(m_sessions.begin(), m_sessions.end(),
                                      [&](const auto& s) { return s.second == account; });
    if (mine > kSessionsPerAccount) {
      m_sessions.erase(std::find_if(m_sessions.begin(), m_sessions.end(),
                                    [&](const auto& s) { return s.second == account; }));
    }
  }
  Save();
}

std::string LocalSessions::AccountOf(const std::string& token) const {
  if (token.empty()) return "";
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const auto& s : m_sessions) {
    if (s.first == token) return s.second;
  }
  return "";
}

bool LocalSessions::HasSession(const std::string& account) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return std::any_of(m_sessions.begin(), m_sessions.end(),
                     [&](const auto& s) { return s.second == account; });
}

void LocalSessions::Register(const std::string& account, const std::string& host, int port,
                             const std::string& registration) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_registrations[account] = Registration{host, port, registration, true};
  }
  Save();
}

bool LocalSessions::Reregister(const std::string& account, const std::string& host, int port) {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_registrations.find(account);
  // Only from the address registered: an IM login (which proves the account) moves it.
  if (it == m_registrations.end() || it->second.host != host || it->second.port != port)
    return false;
  const bool first = !it->second.heard;
  it->second.heard = true;
  return first;
}

std::string LocalSessions::AccountAt(const std::string& text, const std::string& host,
                                     int port) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const auto& r : m_registrations) {
    // The device type and an account may both be digits: the address tells.
    if (EndsWith(text, r.first) && r.second.host == host && r.second.port == port) return r.first;
  }
  return "";
}

void LocalSessions::Unregister(const std::string& account) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_registrations.erase(account)) return;
  }
  Save();
}

std::optional<LocalSessions::Registration> LocalSessions::Find(const std::string& account) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_registrations.find(account);
  if (it == m_registrations.end()) return std::nullopt;
  return it->second;
}

void LocalSessions::End(const std::string& account) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_registrations.erase(account);
    m_sessions.erase(std::remove_if(m_sessions.begin(), m_sessions.end(),
                                    [&](const auto& s) { return s.second == account; }),
                     m_sessions.end());
  }
  Save();
}
