// The group server's "/group/info/process.do" (and the login server's
// "/navigation/user/creategroup.do") on a FakeHttpServer, with a small in-memory
// model of groups and members so that several commands in a row see each other's
// effects. Every request is answered {"code": 1, "msg": "OK", "result": {"cmd":
// "OK", ...}} as the group server does, or with a scripted reply.
//
//   FakeHttpServer http;
//   FakeGroupServer groups(http);       // mounts both paths on http
//   groups.SetCaller("1001@tesmo.x");   // whose session the requests come from
//   groups.AddGroup({"7@group.tesmo.x", "Traders"});
//   groups.AddMember("7@group.tesmo.x", {"2002@tesmo.x", "Bo", 3});
//   http.Start();
//   ... GroupCommand ...
//   groups.Bodies();                    // every request body as received
//
// A separate login server: FakeGroupServer::MountCreatePath(loginHttp, groups).
// Several callers: SetCallerOf names the account each request comes from (from its
// session, say) instead of the one SetCaller account.
#ifndef TESMO_TESTS_FAKES_FAKEGROUPSERVER_H
#define TESMO_TESTS_FAKES_FAKEGROUPSERVER_H

#include <json/json.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeHttpServer.h"

class FakeGroupServer {
 public:
  static constexpr const char* kPath = "/group/info/process.do";
  static constexpr const char* kCreatePath = "/navigation/user/creategroup.do";

  struct Member {
    std::string account;
    std::string nick;
    int role = 3;  // 1 owner, 2 manager, 3 member
    int64_t msgid = 0;
    int id = 0;  // the server's member id, the paging key (set by the model)
  };
  struct Group {
    std::string groupid;
    std::string groupname;
    std::string logo;
    std::string info;
    std::string parentid;
    int type = 0;
    int banall = 0;
    int banurl = 0;
    int banpic = 0;
    int banchat = 0;
    int banmsg = 0;
    int banscreenshot = 0;
    int title = 0;
    std::string surl;
    std::string code;     // join code
    int version = 1;      // group data version
    int userversion = 1;  // member list version, raised by every member change
    std::string time = "2024-06-01 10:00:00";
    std::vector<Member> members;  // in paging order
  };

  explicit FakeGroupServer(FakeHttpServer& server);
  FakeGroupServer(const FakeGroupServer&) = delete;
  FakeGroupServer& operator=(const FakeGroupServer&) = delete;

  static void MountCreatePath(FakeHttpServer& loginServer, FakeGroupServer& groups);

  void SetCaller(const std::string& account);
  // Requests whose caller the resolver does not know are answered code -1; a new
  // group is then the caller's whatever the login-server request names.
  using CallerOf = std::function<std::string(const FakeRequest&)>;
  void SetCallerOf(CallerOf callerOf);
  // What an "OK" answer of the group path changed: the group before and after the
  // command (after.groupid is empty when the group is gone; before.groupid when it
  // is new). Called outside the model's lock, so the hook may read the model.
  struct Change {
    std::string cmd;
    std::string caller;
    Group before;
    Group after;
  };
  using ChangeHook = std::function<void(const Change&)>;
  void SetChangeHook(ChangeHook hook);
  // The domain of new group ids ("group.tesmo.x" unless set); a new group's number
  // follows the highest number of the groups added.
  void SetGroupDomain(const std::string& domain);
  // Where "create" places new groups: the host:port the login server names.
  void SetGroupServerAddress(const std::string& hostPort);
  // The same, asked at each creation (for a server whose port is known only later).
  void SetGroupServerAddressFrom(std::function<std::string()> hostPort);
  // The login server's answer to the next creategroup request instead of a new group.
  void ScriptCreate(const std::string& body);
  // The group server's answer to the next request instead of the model's.
  void ScriptNext(const std::string& body);
  void SetPageSize(int size);

  void AddGroup(const Group& group);
  void AddMember(const std::string& groupid, const Member& member);
  void RemoveMember(const std::string& groupid, const std::string& account);
  void RenameMember(const std::string& groupid, const std::string& account,
                    const std::string& nick);
  bool HasGroup(const std::string& groupid);
  Group GetGroup(const std::string& groupid);
  std::vector<Group> Groups();

  // Parsed bodies of the group path's requests, in arrival order.
  std::vector<Json::Value> Bodies();
  std::vector<Json::Value> CreateBodies();

 private:
  // The SetCaller account, or the resolver's answer (*unknown when it knows none).
  std::string CallerFor(const FakeRequest& request, bool* unknown);
  FakeReply Serve(const FakeRequest& request);
  FakeReply ServeCreate(const FakeRequest& request);
  Json::Value Answer(const std::string& cmd, const Json::Value& body, const std::string& caller);
  Group* Find(const std::string& groupid);
  Member* FindMember(Group& g, const std::string& account);
  void Leave(Group& g, const std::string& account);
  void Join(Group& g, const std::string& account, const std::string& nick, int role);
  Json::Value JoinFields(const Group& g, bool screenshotKey) const;

  std::mutex m_mutex;
  std::string m_caller;
  CallerOf m_callerOf;
  ChangeHook m_changeHook;
  std::string m_groupDomain = "group.tesmo.x";
  std::function<std::string()> m_groupServer;
  std::deque<std::string> m_createScripts;
  std::deque<std::string> m_scripts;
  int m_pageSize = 50;
  int m_nextMemberId = 1;
  int m_nextGroup = 9001;
  std::map<std::string, Group> m_groups;
  std::map<std::string, std::string> m_pendingOwners;  // created on the login server
  std::vector<Json::Value> m_bodies;
  std::vector<Json::Value> m_createBodies;
};

#endif
