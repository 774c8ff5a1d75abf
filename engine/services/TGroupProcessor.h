// Group commands (request 200301) against the group server, and the group
// notifications the IM server pushes. A context object over the request service; it
// keeps nothing between calls, the group store holds what lasts.
#ifndef TESMO_SERVICES_TGROUPPROCESSOR_H
#define TESMO_SERVICES_TGROUPPROCESSOR_H

#include <json/json.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "util/TArgList.h"

class TAPIPacket;
class TIMPacket;
struct TGroupRecord;
class TReplyRecord;
class THttpRequestService;

// Results of a group command besides 0 and the exchange's own failure codes.
constexpr int kGroupLogoUploadFailed = 12;
constexpr int kGroupBadReply = 13;
constexpr int kGroupNoUsers = 14;
constexpr int kGroupJointFailed = 15;
constexpr int kGroupMemberListFailed = -1;

class TGroupProcessor {
 public:
  using IdList = std::vector<std::pair<std::string, std::string>>;
  // User details by account, as the user server describes them.
  using DetailMap = std::map<std::string, Json::Value>;

  explicit TGroupProcessor(THttpRequestService* service) : m_service(service) {}

  // 1 for any code but 200301 (the packet untouched); else Process.
  int HandlePacket(TAPIPacket* packet);
  // One group command: packet->s1 holds the program's JSON object, packet->s4
  // receives what the program is answered. Returns the request's result.
  int Process(TAPIPacket* packet);
  // A pushed group notification: brings the group tables up to date and fills *text
  // with the content to report (with the group id added when it lacks one).
  // 1 when event 100009 is to be raised with it, else 0.
  int OnGroupNotify(const TIMPacket& packet, std::string* text);

  // Entries of an array inside the reply's "result": ("id", "nick") pairs, and
  // ("account", "name") pairs. Empty when the reply, "result" or the array is missing.
  static IdList ReadIdList(const std::string& reply, const std::string& name);
  static IdList ReadMemberList(const std::string& reply, const std::string& name);
  // The six ban flags of a group, each only when fields holds it (the screenshot
  // ban under screenshotKey).
  static void ReadBanFlags(const Json::Value& fields, const char* screenshotKey,
                           TGroupRecord* group);

 private:
  // The working values of one command.
  struct Command {
    TAPIPacket* packet = nullptr;
    TArgList args;      // the program's fields, as texts
    Json::Value input;  // the program's object, for its arrays
    std::string cmd;
    std::string language;
    std::string own;  // the own account
    std::string url;
    std::string body;  // fields, each followed by ","
    std::string logo;
    std::string groupaccount;  // create: the new group's id from the login server
    std::string reply;         // the group server's answer
    Json::Value result;        // its "result"
  };

  bool Prepare(Command& c, int* result);
  int Exchange(Command& c);
  void Apply(Command& c);
  int GetJoint(Command& c);
  bool LocalMessageStatus(Command& c);
  bool ResolveUsers(Command& c, const std::string& listKey, bool required);

  void ApplyCreate(Command& c);
  void ApplySet(Command& c);
  void ApplyJoin(Command& c, const Json::Value& fields, const std::string& groupid,
                 const std::string& screenshotKey, bool withLinks);
  void ApplyMultiJoin(Command& c);
  void ApplyLeave(Command& c);
  void ApplySearch(Command& c);
  void ApplyGetInfo(Command& c);
  void ApplyGetVersion(Command& c);
  int ApplyGetUser(Command& c);
  void ApplyMessageStatus(Command& c);
  void ApplyGetChild(Command& c);
  void ApplyGetUserInfo(Command& c);
  void ApplyRemove(Command& c);
  void ApplyGrantUser(Command& c);

  // Details of a comma list of accounts from the user server, asked on the caller's
  // client slot; the caller's reply text is left as it was. order receives the
  // accounts in the server's order; userServerReply the user server's answer.
  DetailMap Details(const TAPIPacket& caller, const std::string& accounts,
                    std::vector<std::string>* order = nullptr,
                    std::string* userServerReply = nullptr);

  THttpRequestService* m_service;
};

#endif
