// The IM server's history side and the group server's getupdate, over one scripted
// world of messages and groups, mounted on a FakeHttpServer (IMSERVER and
// GROUPSERVER may both point at it):
//
//   /im/message/{user,group}/gethistoryid.do  GET ?lastid=&pagesize=[&touser=]
//        -> "msgids": the newest ids (below lastid when lastid > 0), newest first
//   /im/message/{user,group}/getmidhistory.do POST {"touser","msgids"}
//        -> "maxid","count","finish": 1,"array": those messages, oldest first; a
//           recalled message and its recall ("revoke") always come together
//   /im/message/user/gethistory.do            GET ?logintime=&lastid=
//        -> the next page of one-to-one messages after lastid sent at or after
//           logintime, oldest first (recalls as above); "finish" 1 with the last page
//   /im/message/group/getmsgid.do             POST {"groupids": "k1,k2"}
//        -> "groupids": "k1|newest id,..." for the groups that have messages
//   /group/info/process.do                    POST {"cmd": "getupdate", "group": [...]}
//        -> "group": the world's groups
//
//   FakeHttpServer http;
//   FakeSyncWorld world(http);
//   world.SetOwn("1001@a.test");
//   world.AddMessage({...});
//   http.Start();
//   world.Count(FakeSyncWorld::kUserMidPath);  // requests seen on a path
//
// Any path can be scripted to answer a given body next, or to answer every request
// with one (SetFixedReply), for error and loop tests.
#ifndef TESMO_TESTS_FAKES_FAKESYNCWORLD_H
#define TESMO_TESTS_FAKES_FAKESYNCWORLD_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "fakes/FakeHttpServer.h"

class FakeSyncWorld {
 public:
  static constexpr const char* kUserIdsPath = "/im/message/user/gethistoryid.do";
  static constexpr const char* kGroupIdsPath = "/im/message/group/gethistoryid.do";
  static constexpr const char* kUserMidPath = "/im/message/user/getmidhistory.do";
  static constexpr const char* kGroupMidPath = "/im/message/group/getmidhistory.do";
  static constexpr const char* kLoginTimePath = "/im/message/user/gethistory.do";
  static constexpr const char* kMsgIdPath = "/im/message/group/getmsgid.do";
  static constexpr const char* kGroupPath = "/group/info/process.do";

  struct Message {
    int64_t id = 0;
    std::string fromuser;
    std::string fromgroup;
    int fromversion = 1;
    int fromdev = 2;
    std::string touser;
    std::string msgtype = "msg";  // the wire name; "revoke" carries the revoked id
    std::string content;
    std::string remark;
    std::string curtime = "2024-06-01 12:00:00";
  };
  struct Group {
    std::string groupid;
    std::string groupname;
    int role = 3;
    int groupversion = 1;
    std::string entrytime = "2024-01-01 10:00:00";
    std::string nick;
    std::string parentid;  // "" and hasParentid false: no member
    std::string detail;    // the inside of an object, as the server sends it
  };
  // One request as received.
  struct Request {
    std::string path;
    std::string query;
    std::string body;
    size_t idCount = 0;  // mid-history: the number of ids asked for
  };

  // What a request sees when the world is made per request (SetSource).
  struct Snapshot {
    std::string own;
    std::vector<Message> messages;
    std::vector<Group> groups;
  };
  using Source = std::function<Snapshot(const FakeRequest& request)>;

  explicit FakeSyncWorld(FakeHttpServer& server);
  // The IM server's paths on im, getupdate on group.
  FakeSyncWorld(FakeHttpServer& im, FakeHttpServer& group);
  FakeSyncWorld(const FakeSyncWorld&) = delete;
  FakeSyncWorld& operator=(const FakeSyncWorld&) = delete;

  void SetOwn(const std::string& account);
  // Each request is answered from the snapshot source gives for it (a server of
  // many accounts whose messages change), instead of the messages added here.
  void SetSource(Source source);
  // Messages are kept by id; a later one with the same id replaces it.
  void AddMessage(const Message& message);
  // Adds count one-to-one messages between the own account and peer, alternating
  // senders, with ids from firstId counting up and times one second apart.
  void AddConversation(const std::string& peer, int64_t firstId, int count,
                       const std::string& firstTime = "2024-06-01 08:00:00");
  void AddGroup(const Group& group);
  // Messages per page of the login-time download (default 100).
  void SetLoginTimePageSize(int size);
  // The next request on path is answered with body (status 200).
  void ScriptNext(const std::string& path, const std::string& body);
  // The next request on path is answered with reply (a server error, a cut reply).
  void ScriptNext(const std::string& path, const FakeReply& reply);
  // Every request on path is answered with body until cleared with "".
  void SetFixedReply(const std::string& path, const std::string& body);

  // Replies on path wait this long before their first byte (a slow server).
  void SetDelay(const std::string& path, int delayMs);
  // Requests on path after the first pass ones are recorded and then held,
  // unanswered, until ReleaseHeld (two minutes at most): a download that is in
  // flight for as long as a test needs. Release before the server stops.
  void HoldAfter(const std::string& path, size_t pass);
  // Waits until count requests are held at once; false after timeoutMs.
  bool WaitHeld(size_t count, int timeoutMs = 30000);
  // Answers the held requests; nothing is held any more.
  void ReleaseHeld();

  std::vector<Request> Requests(const std::string& path);
  size_t Count(const std::string& path);
  std::vector<Message> Messages();
  int64_t NewestId();

 private:
  FakeReply Serve(const FakeRequest& request);
  // Serve, then the path's delay or hold.
  FakeReply Answer(const FakeRequest& request);
  FakeReply HistoryIds(const FakeRequest& request, bool group);
  FakeReply MidHistory(const FakeRequest& request, Request* record);
  FakeReply LoginTime(const FakeRequest& request);
  FakeReply MsgIds(const FakeRequest& request);
  FakeReply Groups();
  bool IsOneToOne(const Message& m) const;
  // ids, in order, with the recall of each recalled message among them and the
  // message of each recall: one without the other would show a recalled text as a
  // plain message, or a recall of nothing.
  std::vector<int64_t> WithRecalls(const std::vector<int64_t>& ids) const;
  void Keep(const Message& m);
  // A download reply over the messages' stored texts.
  std::string Page(const std::vector<int64_t>& ids, int64_t maxid, bool finish) const;

  std::mutex m_mutex;  // guards everything below; handlers run on connection threads
  std::string m_own;
  std::map<int64_t, Message> m_messages;
  std::map<int64_t, std::string> m_texts;  // each message as its JSON text, made once
  std::set<int64_t> m_recalls;             // the ids of the "revoke" messages
  std::vector<Group> m_groups;
  int m_loginPageSize = 100;
  std::map<std::string, std::deque<FakeReply>> m_scripts;
  std::map<std::string, std::string> m_fixed;
  std::vector<Request> m_requests;
  Source m_source;
  std::map<std::string, int> m_delays;
  std::map<std::string, size_t> m_holds;  // path -> requests let through
  size_t m_held = 0;
  std::condition_variable m_heldChanged;
};

#endif
