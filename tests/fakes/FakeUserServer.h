// The user server's side of profiles, contacts, friends, remarks, the black list, red
// packets, the account search and recommendations, on loopback FakeHttpServers.
//
// One in-memory model (users of every domain, the own user's friends, remarks, black
// list and red packets) is mounted on one or more servers, one per domain: the detail
// list of a mounted domain answers only that domain's users, so an engine that asks
// the wrong server for a user gets nothing back.
//
//   FakeUserServer users;                 // the model; outlives the servers' threads
//   users.SetOwn("1001@a.test");
//   users.AddUser({"12", "12@a.test", "13800000012", ...});
//   FakeHttpServer a, b;
//   users.Mount(a, "a.test");             // registers every path of the model on a
//   users.Mount(b, "b.test");
//   a.Start(); b.Start();
//   core->SetServer("a.test", "127.0.0.1:" + std::to_string(a.Port()));
//   users.ScriptCode("/userinfo/user/setremark.do", -2);  // the next one is refused
//
// Several callers: SetCallerOf names the account a request comes from (from its
// session, say); each account then has its own profile, friends, remarks, black list
// and red packets. Without it every request is the SetOwn account's.
//
// Paths (POST with JSON bodies unless said; every answer {"code", "msg", "result"}):
//   /userinfo/user/usercommand.do  {"name","summary","logo","biglogo",...} -> the new
//        profile "name","icon","bigicon","summary","userversion" (also the caller's
//        details, when it is one of the users)
//   /userinfo/user/getdetaillist.do {"userids": "12,13"} -> "count","array" of details
//        ("mobile" enciphered) of this domain's users
//   /userinfo/user/getdetail.do    {"account","isfriend"} -> one detail with "isfriend"
//   /userinfo/user/getfriend.do    {"userid","version"} -> "version","black","remarks"
//        [{"acc","name"}], "friends" [{"acc","deleted"}] changed after that version
//   /userinfo/user/updatefriend.do {"userid","friends": "a,b"} adds friends
//   /userinfo/user/removefriend.do {"account"} removes a friend
//   /userinfo/user/setremark.do    {"friend","name"}
//   /userinfo/user/setblack.do     {"adduser"} or {"deluser"} -> "users": the list
//   /navigation/user/checkaccount.do -> "count","array" [{"account","version"}] of friends
//   /navigation/user/checkmobile.do  {"mobiles": "m1,m2"} -> "accounts" of those numbers
//   /navigation/user/searchaccount.do {"text"} -> "account" of the user whose account,
//        user id or number it is; code -5 when none
//   /navigation/user/myservices.do (GET or POST) -> services whose URLs hold "@mobile"
//   /redpacket/create.do {"type","amount"} -> "gradurl" (with "redtext"),"type","crtime"
//   /redpacket/grad.do   {"redtext"} -> "gradurl","type","state","finish","cruserid",
//        "gradmoney","crtime"
//   /public/info/recommend.do -> "groupaccount","useraccount","groups","users"
#ifndef TESMO_TESTS_FAKES_FAKEUSERSERVER_H
#define TESMO_TESTS_FAKES_FAKEUSERSERVER_H

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeHttpServer.h"

class FakeUserServer {
 public:
  struct User {
    std::string userId;
    std::string account;  // userId "@" domain
    std::string mobile;   // plain; sent enciphered
    std::string email;
    std::string name;
    std::string fullspell;
    std::string initspell;
    std::string logo;
    std::string biglogo;
    std::string summary;
    int version = 1;
    int champflag = 0;
  };
  struct Recommended {
    std::string account;
    std::string name;
    std::string logo;
    int member = 0;  // groups only
  };
  // One step of an account's friend list; the list's version is the last step's.
  struct FriendChange {
    std::string account;
    bool deleted = false;
    int version = 0;
  };
  struct Profile {
    std::string name;
    std::string icon;
    std::string bigicon;
    std::string summary;
    int version = 1;
  };

  static constexpr const char* kUserCommandPath = "/userinfo/user/usercommand.do";
  static constexpr const char* kDetailListPath = "/userinfo/user/getdetaillist.do";
  static constexpr const char* kDetailPath = "/userinfo/user/getdetail.do";
  static constexpr const char* kFriendPath = "/userinfo/user/getfriend.do";
  static constexpr const char* kUpdateFriendPath = "/userinfo/user/updatefriend.do";
  static constexpr const char* kRemoveFriendPath = "/userinfo/user/removefriend.do";
  static constexpr const char* kRemarkPath = "/userinfo/user/setremark.do";
  static constexpr const char* kBlackPath = "/userinfo/user/setblack.do";
  static constexpr const char* kCheckAccountPath = "/navigation/user/checkaccount.do";
  static constexpr const char* kCheckMobilePath = "/navigation/user/checkmobile.do";
  static constexpr const char* kSearchPath = "/navigation/user/searchaccount.do";
  static constexpr const char* kServicesPath = "/navigation/user/myservices.do";
  static constexpr const char* kRedCreatePath = "/redpacket/create.do";
  static constexpr const char* kRedGradPath = "/redpacket/grad.do";
  static constexpr const char* kRecommendPath = "/public/info/recommend.do";

  FakeUserServer() = default;
  FakeUserServer(const FakeUserServer&) = delete;
  FakeUserServer& operator=(const FakeUserServer&) = delete;

  // Every path the model answers.
  static const std::vector<std::string>& Paths();
  // Registers every path on server, answering for the users of domain.
  void Mount(FakeHttpServer& server, const std::string& domain);

  // Whose request it is: the account, or "" for a request without a known caller,
  // which the paths of one account's own data refuse with code -1.
  using CallerOf = std::function<std::string(const FakeRequest&)>;
  void SetCallerOf(CallerOf callerOf);
  // Called after each change a request made (path, the caller), outside the model's
  // lock, so the hook may read the model.
  using ChangeHook = std::function<void(const std::string& path, const std::string& caller)>;
  void SetChangeHook(ChangeHook hook);

  // The model. Friends, remarks, the black list and red packets are the own user's;
  // the *Of forms are those of any account.
  void SetOwn(const std::string& account);
  void AddUser(const User& user);
  void SetProfile(const Profile& profile);
  Profile GetProfile();
  // Adds (deleted false) or removes a friend; each change raises the friend version.
  void SetFriend(const std::string& account, bool deleted = false);
  std::vector<std::string> Friends();
  int FriendVersion();
  std::map<std::string, std::string> Remarks();
  std::string BlackList();
  void SetBlackList(const std::string& text);
  void SetRecommendations(const std::vector<Recommended>& groups,
                          const std::vector<Recommended>& users);
  // The next request on path is answered {"code": code, "msg": "refused"} and changes
  // nothing. Scripts of one path are used in order.
  void ScriptCode(const std::string& path, int code);

  void SetProfileOf(const std::string& owner, const Profile& profile);
  Profile GetProfileOf(const std::string& owner);
  void SetFriendOf(const std::string& owner, const std::string& account, bool deleted = false);
  std::vector<std::string> FriendsOf(const std::string& owner);
  int FriendVersionOf(const std::string& owner);
  // Every step, to keep them; set back in version order (a later start goes on from
  // the last step's version).
  std::vector<FriendChange> FriendChangesOf(const std::string& owner);
  void SetFriendChangesOf(const std::string& owner, const std::vector<FriendChange>& changes);
  void SetRemarkOf(const std::string& owner, const std::string& account, const std::string& name);
  std::map<std::string, std::string> RemarksOf(const std::string& owner);
  std::string BlackListOf(const std::string& owner);
  void SetBlackListOf(const std::string& owner, const std::string& text);

 private:
  struct RedPacket {
    int type = 0;
    std::string amount;
    std::string creator;
    std::string crtime;
    bool opened = false;
  };

  // What belongs to one account.
  struct Own {
    Profile profile;
    std::vector<FriendChange> friendChanges;  // in version order
    int friendVersion = 0;
    std::map<std::string, std::string> remarks;
    std::vector<std::string> black;
  };

  FakeReply Serve(const FakeRequest& request, const std::string& domain);
  FakeReply ServeLocked(const FakeRequest& request, const std::string& domain,
                        const std::string& caller, bool* changed);
  const User* FindUser(const std::string& key) const;
  static bool IsFriend(const Own& own, const std::string& account);
  static std::vector<std::string> FriendList(const Own& own);

  std::mutex m_mutex;  // guards everything below; handlers run on connection threads
  std::string m_own;
  CallerOf m_callerOf;
  ChangeHook m_changeHook;
  std::vector<User> m_users;
  std::map<std::string, Own> m_owns;
  std::map<std::string, RedPacket> m_redPackets;
  int m_nextRedKey = 1;
  std::vector<Recommended> m_recommendedGroups;
  std::vector<Recommended> m_recommendedUsers;
  std::map<std::string, std::vector<int>> m_scripts;
};

#endif
