// The group server on the local server: the group fake filled from the world's groups
// (members and roles), each command answered for the account of its session, new
// groups registered through LOGIN. Every change is kept in groups.json of the state
// folder (read back at the next start instead of the world's groups), messages to a
// group go to its members as they are now, and the members online are told with a
// "groupnotify" packet; a notice to the whole group is also kept in its history.
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALGROUPS_H
#define TESMO_TOOLS_LOCALSERVER_LOCALGROUPS_H

#include <json/json.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeGroupServer.h"

class LocalServer;

class LocalGroups {
 public:
  static constexpr const char* kStateFile = "groups.json";

  explicit LocalGroups(LocalServer& server);
  LocalGroups(const LocalGroups&) = delete;
  LocalGroups& operator=(const LocalGroups&) = delete;

  static void Plug(LocalServer& server);

  // The notifications a change makes: (account told, content), in sending order.
  using Notice = std::pair<std::string, Json::Value>;
  static std::vector<Notice> NoticesOf(const FakeGroupServer::Change& change,
                                       const std::string& time);
  // True for a notice that belongs in the group's history (every member may read it).
  static bool IsGroupWide(const Json::Value& notice);

 private:
  void Fill();
  void Changed(const FakeGroupServer::Change& change);
  void Save();
  std::vector<std::string> MembersOf(const std::string& groupId);

  LocalServer& m_server;
  std::unique_ptr<FakeGroupServer> m_groups;
  std::mutex m_saveMutex;  // one writer of the state file at a time
};

#endif
