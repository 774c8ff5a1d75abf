#include "LocalPorts.h"

#include <json/json.h>

#include <cstdio>

#include "LocalStore.h"

void LocalPorts::Load(const LocalStore& store) {
  Json::Value kept;
  std::lock_guard<std::mutex> lock(m_mutex);
  m_ports.clear();
  if (!store.LoadJson(kStateFile, &kept)) return;
  for (const std::string& key : kept.getMemberNames()) {
    const Json::Value& v = kept[key];
    if (v.isInt() && v.asInt() > 0 && v.asInt() <= 65535) {
      m_ports[key] = v.asInt();
    } else {
      std::fprintf(stderr, "%s: \"%s\" is no port; a new one is chosen\n", kStateFile, key.c_str());
    }
  }
}

int LocalPorts::Get(const std::string& key) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_ports.find(key);
  return it == m_ports.end() ? 0 : it->second;
}

void LocalPorts::Keep(LocalStore& store, const std::string& key, int port) {
  Json::Value all(Json::objectValue);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_ports.find(key);
    if (port <= 0 || (it != m_ports.end() && it->second == port)) return;
    m_ports[key] = port;
    for (const auto& entry : m_ports) all[entry.first] = entry.second;
  }
  store.SaveJson(kStateFile, all);
}

std::string LocalPorts::TakenError(const std::string& key, int port, const std::string& file) {
  return "port " + std::to_string(port) + " (" + key +
         ") is taken: another program listens on it. Stop that program, or remove " + file +
         " to choose new ports (clients then need a new login)";
}
