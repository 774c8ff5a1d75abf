#include "fakes/FakeSyncWorld.h"

#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>

namespace {

std::string Write(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

Json::Value ParseBody(const std::string& body) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  if (!reader->parse(body.data(), body.data() + body.size(), &value, &errors)) return Json::Value();
  return value;
}

FakeReply Accepted(const Json::Value& result) {
  Json::Value root;
  root["code"] = 1;
  root["msg"] = "OK";
  root["result"] = result;
  return FakeReply::Json(Write(root));
}

std::vector<int64_t> SplitIds(const std::string& text) {
  std::vector<int64_t> ids;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) ids.push_back(std::strtoll(item.c_str(), nullptr, 10));
  }
  return ids;
}

std::string Key(const std::string& groupid) {
  const size_t at = groupid.find('@');
  return at == std::string::npos ? std::string() : groupid.substr(0, at);
}

std::string Time(const std::string& first, int seconds) {
  int y = 2024, mo = 1, d = 1, h = 0, mi = 0, s = 0;
  sscanf(first.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
  long total = ((static_cast<long>(d - 1) * 24 + h) * 60 + mi) * 60 + s + seconds;
  s = static_cast<int>(total % 60);
  mi = static_cast<int>(total / 60 % 60);
  h = static_cast<int>(total / 3600 % 24);
  d = static_cast<int>(total / 86400) + 1;  // days past a month's end stay readable
  char text[40];
  snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
  return text;
}

Json::Value ToJson(const FakeSyncWorld::Message& m) {
  Json::Value v;
  v["id"] = static_cast<Json::Int64>(m.id);
  v["fromuser"] = m.fromuser;
  v["fromgroup"] = m.fromgroup;
  v["fromversion"] = m.fromversion;
  v["fromdev"] = m.fromdev;
  v["touser"] = m.touser;
  v["msgtype"] = m.msgtype;
  v["content"] = m.content;
  v["remark"] = m.remark;
  v["curtime"] = m.curtime;
  return v;
}

}  // namespace

FakeSyncWorld::FakeSyncWorld(FakeHttpServer& server) : FakeSyncWorld(server, server) {}

FakeSyncWorld::FakeSyncWorld(FakeHttpServer& im, FakeHttpServer& group) {
  for (const char* path :
       {kUserIdsPath, kGroupIdsPath, kUserMidPath, kGroupMidPath, kLoginTimePath, kMsgIdPath}) {
    im.Handle(path, [this](const FakeRequest& r) { return Answer(r); });
  }
  group.Handle(kGroupPath, [this](const FakeRequest& r) { return Answer(r); });
}

FakeReply FakeSyncWorld::Answer(const FakeRequest& request) {
  FakeReply reply = Serve(request);
  std::unique_lock<std::mutex> lock(m_mutex);
  auto delay = m_delays.find(request.path);
  if (delay != m_delays.end()) reply.delayMs = delay->second;
  auto hold = m_holds.find(request.path);
  if (hold == m_holds.end()) return reply;
  size_t seen = 0;
  for (const Request& r : m_requests) seen += r.path == request.path ? 1 : 0;
  if (seen <= hold->second) return reply;
  ++m_held;
  m_heldChanged.notify_all();
  // Bounded, so that a test that fails before its release still ends.
  m_heldChanged.wait_for(lock, std::chrono::seconds(120),
                         [&] { return m_holds.count(request.path) == 0; });
  --m_held;
  m_heldChanged.notify_all();
  return reply;
}

void FakeSyncWorld::SetDelay(const std::string& path, int delayMs) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_delays[path] = delayMs;
}

void FakeSyncWorld::HoldAfter(const std::string& path, size_t pass) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_holds[path] = pass;
}

bool FakeSyncWorld::WaitHeld(size_t count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_heldChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return m_held >= count; });
}

void FakeSyncWorld::ReleaseHeld() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_holds.clear();
  m_heldChanged.notify_all();
}

void FakeSyncWorld::SetSource(Source source) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_source = std::move(source);
}

void FakeSyncWorld::SetOwn(const std::string& account) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_own = account;
}

void FakeSyncWorld::AddMessage(const Message& message) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Keep(message);
}

void FakeSyncWorld::Keep(const Message& m) {
  m_messages[m.id] = m;
  m_texts[m.id] = Write(ToJson(m));
  if (m.msgtype == "revoke")
    m_recalls.insert(m.id);
  else
    m_recalls.erase(m.id);
}

std::string FakeSyncWorld::Page(const std::vector<int64_t>& ids, int64_t maxid, bool finish) const {
  std::string array;
  for (int64_t id : ids) array += (array.empty() ? "" : ",") + m_texts.at(id);
  return R"({"code":1,"msg":"OK","result":{"maxid":)" + std::to_string(maxid) + R"(,"count":)" +
         std::to_string(ids.size()) + R"(,"finish":)" + (finish ? "1" : "0") + R"(,"array":[)" +
         array + "]}}";
}

void FakeSyncWorld::AddConversation(const std::string& peer, int64_t firstId, int count,
                                    const std::string& firstTime) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (int i = 0; i < count; ++i) {
    Message m;
    m.id = firstId + i;
    m.fromuser = i % 2 ? m_own : peer;
    m.touser = i % 2 ? peer : m_own;
    m.content = "message " + std::to_string(m.id) + " to " + m.touser + ": it's here";
    m.curtime = Time(firstTime, i);
    Keep(m);
  }
}

void FakeSyncWorld::AddGroup(const Group& group) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_groups.push_back(group);
}

void FakeSyncWorld::SetLoginTimePageSize(int size) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_loginPageSize = std::max(1, size);
}

void FakeSyncWorld::ScriptNext(const std::string& path, const std::string& body) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_scripts[path].push_back(FakeReply::Json(body));
}

void FakeSyncWorld::ScriptNext(const std::string& path, const FakeReply& reply) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_scripts[path].push_back(reply);
}

void FakeSyncWorld::SetFixedReply(const std::string& path, const std::string& body) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (body.empty())
    m_fixed.erase(path);
  else
    m_fixed[path] = body;
}

std::vector<FakeSyncWorld::Request> FakeSyncWorld::Requests(const std::string& path) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<Request> out;
  for (const Request& r : m_requests)
    if (r.path == path) out.push_back(r);
  return out;
}

size_t FakeSyncWorld::Count(const std::string& path) { return Requests(path).size(); }

std::vector<FakeSyncWorld::Message> FakeSyncWorld::Messages() {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<Message> out;
  for (const auto& entry : m_messages) out.push_back(entry.second);
  return out;
}

int64_t FakeSyncWorld::NewestId() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_messages.empty() ? 0 : m_messages.rbegin()->first;
}

bool FakeSyncWorld::IsOneToOne(const Message& m) const {
  return m.touser.find("group.") == std::string::npos;
}

FakeReply FakeSyncWorld::Serve(const FakeRequest& request) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_source) {
    Snapshot snapshot = m_source(request);
    m_own = snapshot.own;
    m_messages.clear();
    m_texts.clear();
    m_recalls.clear();
    for (const Message& m : snapshot.messages) Keep(m);
    m_groups = snapshot.groups;
  }
  Request record;
  record.path = request.path;
  record.query = request.query;
  record.body = request.body;
  FakeReply reply;
  auto script = m_scripts.find(request.path);
  auto fixed = m_fixed.find(request.path);
  if (script != m_scripts.end() && !script->second.empty()) {
    reply = script->second.front();
    script->second.pop_front();
  } else if (fixed != m_fixed.end()) {
    reply = FakeReply::Json(fixed->second);
  } else if (request.path == kUserIdsPath || request.path == kGroupIdsPath) {
    reply = HistoryIds(request, request.path == kGroupIdsPath);
  } else if (request.path == kUserMidPath || request.path == kGroupMidPath) {
    reply = MidHistory(request, &record);
  } else if (request.path == kLoginTimePath) {
    reply = LoginTime(request);
  } else if (request.path == kMsgIdPath) {
    reply = MsgIds(request);
  } else {
    reply = Groups();
  }
  m_requests.push_back(record);
  return reply;
}

FakeReply FakeSyncWorld::HistoryIds(const FakeRequest& request, bool group) {
  const int64_t lastid = std::strtoll(request.Param("lastid").c_str(), nullptr, 10);
  const long pagesize = std::strtol(request.Param("pagesize").c_str(), nullptr, 10);
  const std::string touser = request.Param("touser");
  std::string ids;
  long taken = 0;
  for (auto it = m_messages.rbegin(); it != m_messages.rend() && taken < pagesize; ++it) {
    const Message& m = it->second;
    if (lastid > 0 && m.id >= lastid) continue;
    if (group ? m.touser != touser
              : (!IsOneToOne(m) || (!touser.empty() && m.fromuser != touser && m.touser != touser)))
      continue;
    ids += (ids.empty() ? "" : ",") + std::to_string(m.id);
    ++taken;
  }
  Json::Value result;
  result["msgids"] = ids;
  return Accepted(result);
}

FakeReply FakeSyncWorld::MidHistory(const FakeRequest& request, Request* record) {
  const Json::Value body = ParseBody(request.body);
  std::vector<int64_t> ids = SplitIds(body.get("msgids", "").asString());
  record->idCount = ids.size();
  std::sort(ids.begin(), ids.end());
  std::vector<int64_t> found;
  for (int64_t id : ids)
    if (m_messages.count(id)) found.push_back(id);
  return FakeReply::Json(Page(WithRecalls(found), found.empty() ? 0 : found.back(), true));
}

std::vector<int64_t> FakeSyncWorld::WithRecalls(const std::vector<int64_t>& ids) const {
  std::set<int64_t> out(ids.begin(), ids.end());
  for (int64_t id : m_recalls) {
    const Message& recall = m_messages.at(id);
    const auto named = m_messages.find(std::strtoll(recall.content.c_str(), nullptr, 10));
    if (named == m_messages.end() || named->second.touser != recall.touser) continue;
    // A one-to-one message is taken back only by its own sender.
    if (IsOneToOne(recall) && named->second.fromuser != recall.fromuser) continue;
    if (out.count(recall.id) || out.count(named->first)) {
      out.insert(recall.id);
      out.insert(named->first);
    }
  }
  return std::vector<int64_t>(out.begin(), out.end());
}

FakeReply FakeSyncWorld::LoginTime(const FakeRequest& request) {
  const std::string logintime = request.Param("logintime");
  const int64_t lastid = std::strtoll(request.Param("lastid").c_str(), nullptr, 10);
  std::vector<int64_t> page;
  bool more = false;
  for (auto it = m_messages.upper_bound(lastid); it != m_messages.end(); ++it) {
    const Message& m = it->second;
    if (!IsOneToOne(m) || m.curtime < logintime) continue;
    if (static_cast<int>(page.size()) == m_loginPageSize) {
      more = true;
      break;
    }
    page.push_back(m.id);
  }
  return FakeReply::Json(Page(WithRecalls(page), page.empty() ? 0 : page.back(), !more));
}

FakeReply FakeSyncWorld::MsgIds(const FakeRequest& request) {
  const Json::Value body = ParseBody(request.body);
  std::stringstream in(body.get("groupids", "").asString());
  std::string key;
  std::string list;
  while (std::getline(in, key, ',')) {
    for (const Group& g : m_groups) {
      if (Key(g.groupid) != key) continue;
      int64_t newest = 0;
      for (const auto& entry : m_messages)
        if (entry.second.touser == g.groupid) newest = entry.first;
      if (newest > 0) list += (list.empty() ? "" : ",") + key + "|" + std::to_string(newest);
    }
  }
  Json::Value result;
  result["groupids"] = list;
  return Accepted(result);
}

FakeReply FakeSyncWorld::Groups() {
  Json::Value array(Json::arrayValue);
  for (const Group& g : m_groups) {
    Json::Value v;
    v["groupid"] = g.groupid;
    v["groupname"] = g.groupname;
    v["role"] = g.role;
    v["groupversion"] = g.groupversion;
    v["userversion"] = 1;
    v["entrytime"] = g.entrytime;
    v["nick"] = g.nick;
    v["membercount"] = 3;
    if (!g.parentid.empty()) v["parentid"] = g.parentid;
    v["detail"] = g.detail;
    array.append(v);
  }
  Json::Value result;
  result["cmd"] = "getupdate";
  result["group"] = array;
  return Accepted(result);
}
