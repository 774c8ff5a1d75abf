// The user server's contact paths on the local server: the user fake filled from the
// world's accounts (profiles, friends, remarks, black lists), each request answered
// for the account of its session. The first domain of the world's accounts is served
// by USERSERVER (and LOGIN, which answers the friend check), a second by PUBSERVER,
// named to clients under the domain. What requests change (profiles, friends, remarks,
// black lists) is kept in contacts.json of the state folder and read back at the next
// start; logins tell the profile as it is now, and a changed profile is pushed to the
// friends of its user.
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALPEOPLE_H
#define TESMO_TOOLS_LOCALSERVER_LOCALPEOPLE_H

#include <mutex>
#include <string>

#include "fakes/FakeUserServer.h"

class LocalServer;

class LocalPeople {
 public:
  static constexpr const char* kStateFile = "contacts.json";

  explicit LocalPeople(LocalServer& server);
  LocalPeople(const LocalPeople&) = delete;
  LocalPeople& operator=(const LocalPeople&) = delete;

  // The plug-in: makes one and mounts it.
  static void Plug(LocalServer& server);

 private:
  void Fill();
  void Mount();
  void Save();
  // The account's profile changed: every account that lists it as a friend is told
  // (a push when online, its friend list one step further in any case).
  void TellFriends(const std::string& account);

  LocalServer& m_server;
  FakeUserServer m_users;
  std::mutex m_saveMutex;  // one writer of the state file at a time
};

#endif
