#include "fakes/FakeImHttpPaths.h"

#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

// Member names in the order they appear in the text: jsoncpp keeps them sorted.
std::vector<std::string> KeysInOrder(const std::string& body, const Json::Value& root) {
  std::vector<std::pair<size_t, std::string>> found;
  for (const std::string& key : root.getMemberNames()) {
    size_t at = body.find("\"" + key + "\"");
    found.emplace_back(at, key);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> keys;
  for (auto& f : found) keys.push_back(f.second);
  return keys;
}

std::string Text(const Json::Value& root, const char* key) {
  const Json::Value& v = root[key];
  return v.isString() ? v.asString() : std::string();
}

int64_t Number(const Json::Value& root, const char* key) {
  const Json::Value& v = root[key];
  return v.isIntegral() ? v.asInt64() : -1;
}

}  // namespace

FakeImHttpPaths::FakeImHttpPaths(FakeHttpServer& server) {
  auto handler = [this](const FakeRequest& request) { return Serve(request); };
  server.Handle(kUserPath, handler);
  server.Handle(kGroupPath, handler);
}

void FakeImHttpPaths::ScriptNext(const Script& script) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_scripts.push_back(script);
}

void FakeImHttpPaths::SetTime(const std::string& time) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_time = time;
}

void FakeImHttpPaths::SetFirstMsgid(int64_t first) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_nextMsgid = first;
}

void FakeImHttpPaths::SetCheck(Check check) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_check = std::move(check);
}

void FakeImHttpPaths::SetAcceptHook(Accepted hook) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_acceptHook = std::move(hook);
}

void FakeImHttpPaths::SetClock(std::function<std::string()> clock) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_clock = std::move(clock);
}

void FakeImHttpPaths::SetRecordLimit(size_t limit) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_recordLimit = limit;
}

int64_t FakeImHttpPaths::TakeMsgid() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_nextMsgid++;
}

std::vector<FakeImHttpPaths::Message> FakeImHttpPaths::Messages() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_messages;
}

bool FakeImHttpPaths::WaitForMessages(size_t count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return m_messages.size() >= count; });
}

FakeReply FakeImHttpPaths::Serve(const FakeRequest& request) {
  Message m;
  m.path = request.path;
  m.body = request.body;
  Json::Value root;
  {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    m.json = reader->parse(m.body.data(), m.body.data() + m.body.size(), &root, &errors) &&
             root.isObject();
  }
  if (m.json) {
    m.name = Text(root, "name");
    m.device = Number(root, "device");
    m.fromver = Number(root, "fromver");
    m.type = Text(root, "type");
    m.touser = Text(root, "touser");
    m.content = Text(root, "content");
    m.remark = Text(root, "remark");
    m.finger = Text(root, "finger");
    m.hasTransid = root.isMember("transid");
    m.keys = KeysInOrder(m.body, root);
  }

  Script script;
  std::unique_lock<std::mutex> lock(m_mutex);
  if (!m_scripts.empty()) {
    script = m_scripts.front();
    m_scripts.pop_front();
  } else if (m_check && m.json) {
    const Check check = m_check;
    lock.unlock();
    script = check(m, request);
    lock.lock();
  }
  // A body that is not a send request is refused, as the server would.
  if (!m.json && script.answer == Answer::kAccept) script = {Answer::kCode, -1};

  Json::Value reply(Json::objectValue);
  Json::Value result(Json::objectValue);
  FakeReply wire;
  switch (script.answer) {
    case Answer::kAccept:
    case Answer::kNoMsgid:
    case Answer::kNoTime:
    case Answer::kTextMsgid:
      reply["code"] = 1;
      reply["msg"] = "ok";
      if (script.answer != Answer::kNoMsgid) {
        if (script.answer == Answer::kTextMsgid) {
          result["msgid"] = "not-a-number";
        } else {
          m.answeredMsgid = m_nextMsgid++;
          result["msgid"] = static_cast<Json::Int64>(m.answeredMsgid);
        }
      }
      if (script.answer != Answer::kNoTime) {
        m.answeredTime = m_clock ? m_clock() : m_time;
        result["time"] = m.answeredTime;
      }
      // A real reply carries more than the engine reads.
      result["touser"] = m.touser;
      reply["result"] = result;
      wire = FakeReply::Json(Json::writeString(Json::StreamWriterBuilder(), reply));
      break;
    case Answer::kNoResult:
      wire = FakeReply::Json("{\"code\": 1, \"msg\": \"ok\"}");
      break;
    case Answer::kCode:
      reply["code"] = script.code;
      reply["msg"] = "refused";
      wire = FakeReply::Json(Json::writeString(Json::StreamWriterBuilder(), reply));
      break;
    case Answer::kNotJson:
      wire = FakeReply::Text(200, "<html><body>maintenance</body></html>", "text/html");
      break;
    case Answer::kHttpStatus:
      wire = FakeReply::Json("{\"code\": 1}", script.code);
      break;
    case Answer::kCloseAtOnce:
      wire = FakeReply::Json("{}");
      wire.closeAfter = 0;
      break;
  }
  m_messages.push_back(m);
  if (m_recordLimit > 0 && m_messages.size() > m_recordLimit)
    m_messages.erase(m_messages.begin(), m_messages.end() - static_cast<long>(m_recordLimit));
  const Accepted hook = script.answer == Answer::kAccept ? m_acceptHook : Accepted();
  lock.unlock();
  m_arrived.notify_all();
  if (hook) hook(m, request);
  return wire;
}
