#include "LocalStore.h"

#include <json/json.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

constexpr const char* kMsgidFile = "msgids.json";

bool MakeDirs(const std::string& path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

Json::Value ToJson(const LocalMessage& m) {
  Json::Value v;
  v["msgid"] = static_cast<Json::Int64>(m.msgid);
  v["from"] = m.from;
  v["to"] = m.to;
  v["fromgroup"] = m.fromGroup;
  v["type"] = m.type;
  v["content"] = m.content;
  v["remark"] = m.remark;
  v["time"] = m.time;
  v["device"] = m.device;
  return v;
}

bool FromJson(const Json::Value& v, LocalMessage* m) {
  if (!v.isObject() || !v["msgid"].isIntegral() || !v["from"].isString() || !v["to"].isString())
    return false;
  m->msgid = v["msgid"].asInt64();
  m->from = v["from"].asString();
  m->to = v["to"].asString();
  m->fromGroup = v.get("fromgroup", "").asString();
  m->type = v.get("type", "msg").asString();
  m->content = v.get("content", "").asString();
  m->remark = v.get("remark", "").asString();
  m->time = v.get("time", "").asString();
  m->device = v.get("device", 1).asInt();
  return true;
}

}  // namespace

bool LocalStore::Open(const std::string& dir, std::string* error) {
  m_dir = dir;
  m_filesDir = dir + "/files";
  if (!MakeDirs(m_filesDir)) {
    *error = m_filesDir + ": " + std::strerror(errno);
    return false;
  }
  std::ifstream in(dir + "/messages.jsonl");
  std::string line;
  int number = 0;
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::lock_guard<std::mutex> lock(m_mutex);
  m_messages.clear();
  while (std::getline(in, line)) {
    ++number;
    Json::Value v;
    std::string errors;
    LocalMessage m;
    if (!reader->parse(line.data(), line.data() + line.size(), &v, &errors) || !FromJson(v, &m)) {
      std::fprintf(stderr, "%s/messages.jsonl:%d: skipped (not a message)\n", dir.c_str(), number);
      continue;
    }
    m_messages.push_back(m);
  }
  return true;
}

void LocalStore::AddMessage(const LocalMessage& message) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_messages.push_back(message);
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  std::ofstream out(m_dir + "/messages.jsonl", std::ios::app);
  out << Json::writeString(w, ToJson(message)) << '\n';
  if (!out) std::fprintf(stderr, "cannot write %s/messages.jsonl\n", m_dir.c_str());
}

std::vector<LocalMessage> LocalStore::Messages() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_messages;
}

int64_t LocalStore::MaxMsgid() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  int64_t max = 0;
  for (const LocalMessage& m : m_messages) max = std::max(max, m.msgid);
  return max;
}

void LocalStore::RenumberOutOfRange(int64_t first) {
  constexpr int64_t kMaxMsgid = 2147483647;
  std::lock_guard<std::mutex> lock(m_mutex);
  int64_t next = first;
  bool odd = false;
  for (const LocalMessage& m : m_messages) {
    if (m.msgid > 0 && m.msgid <= kMaxMsgid) {
      next = std::max(next, m.msgid + 1);
    } else {
      odd = true;
    }
  }
  if (!odd) return;
  int renumbered = 0;
  for (LocalMessage& m : m_messages) {
    if (m.msgid > 0 && m.msgid <= kMaxMsgid) continue;
    m.msgid = next++;
    ++renumbered;
  }
  const std::string path = m_dir + "/messages.jsonl";
  const std::string temp = path + ".new";
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  {
    std::ofstream out(temp, std::ios::trunc);
    for (const LocalMessage& m : m_messages) out << Json::writeString(w, ToJson(m)) << '\n';
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", temp.c_str());
      return;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "cannot replace %s: %s\n", path.c_str(), std::strerror(errno));
    return;
  }
  std::fprintf(stderr, "%s: %d message ids past 32 bits renumbered\n", path.c_str(), renumbered);
}

int64_t LocalStore::MsgidMark() const {
  Json::Value kept;
  if (!LoadJson(kMsgidFile, &kept) || !kept["mark"].isIntegral()) return 0;
  return kept["mark"].asInt64();
}

void LocalStore::SetMsgidMark(int64_t mark) {
  Json::Value kept(Json::objectValue);
  kept["mark"] = static_cast<Json::Int64>(mark);
  SaveJson(kMsgidFile, kept);
}

std::string LocalStore::FilePath(const std::string& remotePath) const {
  if (remotePath.size() < 2 || remotePath[0] != '/' || remotePath.size() > 512) return "";
  const std::string rel = remotePath.substr(1);
  if (rel.find("..") != std::string::npos || rel.find("//") != std::string::npos ||
      rel.back() == '/')
    return "";
  for (char c : rel) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '/' || c == '.' || c == '-' || c == '_';
    if (!ok) return "";
  }
  return m_filesDir + "/" + rel;
}

bool LocalStore::SaveJson(const std::string& name, const Json::Value& value) {
  const std::string path = m_dir + "/" + name;
  const std::string temp = path + ".new";
  Json::StreamWriterBuilder w;
  w["indentation"] = " ";
  w["emitUTF8"] = true;
  {
    // Made for the owner alone: a state file may hold session tokens.
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
      fchmod(fd, 0600);
      close(fd);
    }
    std::ofstream out(temp, std::ios::trunc);
    out << Json::writeString(w, value) << '\n';
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "cannot replace %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

bool LocalStore::LoadJson(const std::string& name, Json::Value* value) const {
  const std::string path = m_dir + "/" + name;
  std::ifstream in(path);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  const std::string data = text.str();
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  if (!reader->parse(data.data(), data.data() + data.size(), value, &errors) ||
      !value->isObject()) {
    std::fprintf(stderr, "%s: skipped (not a JSON object)\n", path.c_str());
    *value = Json::Value();
    return false;
  }
  return true;
}
