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
//
// SetRoleRules(true) keeps a group server's rules by role: only the owner and managers
// change settings, bans and the join code and remove members (a manager only plain
// members); only the owner removes managers, grants roles, hands over, releases child
// groups and dissolves; nobody removes the owner; a member adds others only while the
// group lets anyone join; an owner who leaves hands over to the first manager, else
// the first member. A refusal is {"code": 1, "result": {"cmd": "GROUP_ERR_PERMISSION"}}.
// Always: "join", "adduser" and "getbycode" of a member keep its role; "getbycode"
// answers a wrong, expired, invite-only or refused code with "code" -14, -13, -19 or
// -20 (refused: the caller was removed from the group by its owner or a manager).
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
    int id = 0;           // the server's member id, the paging key (set by the model)
    bool banned = false;  // may not speak ("banuser" with "ban")
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
    std::string code;        // join code
    int64_t codeExpire = 0;  // when the code stops working (seconds since 1970; 0: never)
    int version = 1;         // group data version
    int userversion = 1;     // member list version, raised by every member change
    std::string time = "2024-06-01 10:00:00";
    std::vector<Member> members;       // in paging order
    std::vector<std::string> refused;  // removed by the owner or a manager: no rejoining by code
  };

  // Server codes of "getbycode" (the top-level "code" of the answer).
  static constexpr int kCodeExpired = -13;
  static constexpr int kCodeWrong = -14;
  static constexpr int kCodeInviteOnly = -19;
  static constexpr int kCodeRefused = -20;
  // How long a code that "setcode" makes works.
  static constexpr int64_t kCodeLifetimeSeconds = 24 * 3600;

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
  void SetRoleRules(bool on);
  // Seconds since 1970 for join codes (default: the system clock).
  void SetClock(std::function<int64_t()> nowSeconds);

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
  // Adds a member, or renames one who is in the group already: its role stays unless
  // setRole (the test's own set-up).
  void Join(Group& g, const std::string& account, const std::string& nick, int role,
            bool setRole = false);
  Json::Value JoinFields(const Group& g, bool screenshotKey) const;
  // A refusal by the role rules for the caller's command on g; null when allowed.
  Json::Value RoleRefusal(const std::string& cmd, const Json::Value& body,
                          const std::string& caller, Group& g);
  Json::Value ByCode(const Json::Value& body, const std::string& caller);
  Json::Value Ban(Group& g, const Json::Value& body);
  // The owner leaves: the first manager, else the first member, takes over; a group
  // left empty is gone.
  void OwnerLeaves(Group& g, const std::string& caller);
  int64_t NowSeconds() const;

  std::mutex m_mutex;
  std::string m_caller;
  CallerOf m_callerOf;
  ChangeHook m_changeHook;
  std::string m_groupDomain = "group.tesmo.x";
  std::function<std::string()> m_groupServer;
  std::deque<std::string> m_createScripts;
  std::deque<std::string> m_scripts;
  int m_pageSize = 50;
  bool m_roleRules = false;
  std::function<int64_t()> m_clock;
  int m_nextMemberId = 1;
  int m_nextGroup = 9001;
  std::map<std::string, Group> m_groups;
  std::map<std::string, std::string> m_pendingOwners;  // created on the login server
  std::vector<Json::Value> m_bodies;
  std::vector<Json::Value> m_createBodies;
};

#endif
