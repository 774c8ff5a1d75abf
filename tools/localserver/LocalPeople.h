// The user server's contact paths on the local server: the user fake filled from the
// world's accounts (profiles, friends, remarks, black lists), each request answered
// for the account of its session. The first domain of the world's accounts is served
// by USERSERVER (and LOGIN, which answers the friend check), a second by PUBSERVER,
// named to clients under the domain. What requests change (profiles, friends, remarks,
// black lists) is kept in contacts.json of the state folder and read back at the next
// start; logins tell the profile as it is now.
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

  LocalServer& m_server;
  FakeUserServer m_users;
  std::mutex m_saveMutex;  // one writer of the state file at a time
};

#endif
