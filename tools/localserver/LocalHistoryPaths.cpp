// The history side of the IM server, the group list update and the friend list, for
// the account whose session a request carries: what the client's background
// synchronisation asks for after a login.
#include "LocalHistoryPaths.h"

#include <json/json.h>

#include <algorithm>
#include <map>
#include <memory>

#include "LocalKeys.h"
#include "LocalServer.h"
#include "fakes/FakeSyncWorld.h"

namespace {

std::string Write(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

int RoleIn(const LocalGroup& group, const std::string& account) {
  for (const LocalGroupMember& m : group.members)
    if (m.account == account) return m.role;
  return 0;
}

FakeSyncWorld::Snapshot SnapshotFor(LocalServer& server, const FakeRequest& request) {
  FakeSyncWorld::Snapshot snapshot;
  snapshot.own = server.AccountOf(request);
  if (snapshot.own.empty()) return snapshot;
  for (const LocalGroup& g : server.World().Groups()) {
    const int role = RoleIn(g, snapshot.own);
    if (role == 0) continue;
    FakeSyncWorld::Group group;
    group.groupid = g.groupId;
    group.groupname = g.name;
    group.role = role;
    snapshot.groups.push_back(group);
  }
  // Group history goes to the group's members as they are now (groups change at run
  // time: made, joined by code, left).
  std::map<std::string, bool> member;
  auto inGroup = [&](const std::string& groupid) {
    auto it = member.find(groupid);
    if (it != member.end()) return it->second;
    const std::vector<std::string> members = server.MembersOf(groupid);
    const bool in = std::find(members.begin(), members.end(), snapshot.own) != members.end();
    return member[groupid] = in;
  };
  for (const LocalMessage& m : server.Messages()) {
    const bool group = m.to.find("group.") != std::string::npos;
    const bool mine = group ? inGroup(m.to) : m.from == snapshot.own || m.to == snapshot.own;
    if (!mine || m.msgid <= 0) continue;
    FakeSyncWorld::Message message;
    message.id = m.msgid;
    message.fromuser = m.from;
    message.fromgroup = m.fromGroup;
    message.fromdev = m.device;
    message.touser = m.to;
    message.msgtype = m.type.empty() ? "msg" : m.type;
    message.content = m.content;
    message.remark = m.remark;
    message.curtime = m.time;
    snapshot.messages.push_back(message);
  }
  return snapshot;
}

// The friend list of the world's account: always complete, at version 1 (what the
// login reply names).
FakeReply Friends(LocalServer& server, const FakeRequest& request) {
  const LocalAccount* account = server.World().FindAccount(server.AccountOf(request));
  Json::Value root;
  if (!account) {
    root["code"] = -1;
    root["msg"] = "not logged in";
    return FakeReply::Json(Write(root));
  }
  Json::Value result;
  result["version"] = 1;
  std::string black;
  for (const std::string& b : account->blackList) black += (black.empty() ? "" : ",") + b;
  result["black"] = black;
  result["remarks"] = Json::Value(Json::arrayValue);
  for (const auto& remark : account->remarks) {
    Json::Value r;
    r["acc"] = remark.first;
    r["name"] = remark.second;
    result["remarks"].append(r);
  }
  result["friends"] = Json::Value(Json::arrayValue);
  for (const std::string& f : account->friends) {
    Json::Value entry;
    entry["acc"] = f;
    entry["deleted"] = 0;
    result["friends"].append(entry);
  }
  root["code"] = 1;
  root["msg"] = "OK";
  root["result"] = result;
  return FakeReply::Json(Write(root));
}

}  // namespace

void MountHistoryPaths(LocalServer& server) {
  auto world = std::make_shared<FakeSyncWorld>(server.Http(LocalKeys::kImServer),
                                               server.Http(LocalKeys::kGroupServer));
  world->SetSource([&server](const FakeRequest& r) { return SnapshotFor(server, r); });
  server.Keep(world);
  server.Http(LocalKeys::kUserServer)
      .Handle("/userinfo/user/getfriend.do",
              [&server](const FakeRequest& r) { return Friends(server, r); });
}
