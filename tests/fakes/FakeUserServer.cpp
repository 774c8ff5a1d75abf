#include "fakes/FakeUserServer.h"

#include <json/json.h>

#include <algorithm>
#include <memory>
#include <set>
#include <sstream>

#include "fakes/TestCipherKit.h"

namespace {

constexpr char kTime[] = "2024-06-01 12:34:56";

Json::Value ParseBody(const std::string& body) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  if (!reader->parse(body.data(), body.data() + body.size(), &root, &errors) || !root.isObject())
    return Json::Value(Json::objectValue);
  return root;
}

// A member as text, whether it was sent as a string or a number.
std::string Text(const Json::Value& root, const char* key) {
  const Json::Value& v = root[key];
  if (v.isString()) return v.asString();
  if (v.isIntegral()) return std::to_string(v.asInt64());
  return std::string();
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
  return text;
}

std::string Domain(const std::string& account) {
  size_t at = account.find('@');
  return at == std::string::npos ? std::string() : account.substr(at + 1);
}

FakeReply Answer(int code, const Json::Value& result = Json::Value()) {
  Json::Value root(Json::objectValue);
  root["code"] = code;
  root["msg"] = code == 1 ? "OK" : "refused";
  if (!result.isNull()) root["result"] = result;
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return FakeReply::Json(Json::writeString(builder, root));
}

Json::Value Detail(const FakeUserServer::User& u) {
  Json::Value v(Json::objectValue);
  v["userid"] = u.userId;
  v["account"] = u.account;
  v["mobile"] = u.mobile.empty() ? std::string() : TestCipherKit::Encrypt(u.mobile);
  v["email"] = u.email;
  v["name"] = u.name;
  v["fullspell"] = u.fullspell;
  v["initspell"] = u.initspell;
  v["logo"] = u.logo;
  v["biglogo"] = u.biglogo;
  v["summary"] = u.summary;
  v["userversion"] = u.version;
  v["champflag"] = u.champflag;
  return v;
}

Json::Value Recommendations(const std::vector<FakeUserServer::Recommended>& list, bool groups) {
  Json::Value array(Json::arrayValue);
  for (const auto& r : list) {
    Json::Value v(Json::objectValue);
    v["account"] = r.account;
    v["name"] = r.name;
    v["logo"] = r.logo;
    if (groups) v["member"] = r.member;
    array.append(v);
  }
  return array;
}

}  // namespace

const std::vector<std::string>& FakeUserServer::Paths() {
  static const std::vector<std::string> kPaths = {
      kUserCommandPath,  kDetailListPath, kDetailPath,    kFriendPath,       kUpdateFriendPath,
      kRemoveFriendPath, kRemarkPath,     kBlackPath,     kCheckAccountPath, kCheckMobilePath,
      kSearchPath,       kServicesPath,   kRedCreatePath, kRedGradPath,      kRecommendPath};
  return kPaths;
}

void FakeUserServer::Mount(FakeHttpServer& server, const std::string& domain) {
  for (const std::string& path : Paths()) {
    server.Handle(path, [this, domain](const FakeRequest& r) { return Serve(r, domain); });
  }
}

void FakeUserServer::SetCallerOf(CallerOf callerOf) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_callerOf = std::move(callerOf);
}

void FakeUserServer::SetChangeHook(ChangeHook hook) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_changeHook = std::move(hook);
}

void FakeUserServer::SetOwn(const std::string& account) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_own = account;
}

void FakeUserServer::AddUser(const User& user) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_users.push_back(user);
}

void FakeUserServer::SetProfile(const Profile& profile) { SetProfileOf(m_own, profile); }

FakeUserServer::Profile FakeUserServer::GetProfile() { return GetProfileOf(m_own); }

void FakeUserServer::SetFriend(const std::string& account, bool deleted) {
  SetFriendOf(m_own, account, deleted);
}

std::vector<std::string> FakeUserServer::Friends() { return FriendsOf(m_own); }

int FakeUserServer::FriendVersion() { return FriendVersionOf(m_own); }

int FakeUserServer::FriendVersionOf(const std::string& owner) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_owns[owner].friendVersion;
}

std::vector<FakeUserServer::FriendChange> FakeUserServer::FriendChangesOf(
    const std::string& owner) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_owns[owner].friendChanges;
}

void FakeUserServer::SetFriendChangesOf(const std::string& owner,
                                        const std::vector<FriendChange>& changes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Own& own = m_owns[owner];
  own.friendChanges = changes;
  std::stable_sort(
      own.friendChanges.begin(), own.friendChanges.end(),
      [](const FriendChange& a, const FriendChange& b) { return a.version < b.version; });
  own.friendVersion = own.friendChanges.empty() ? 0 : own.friendChanges.back().version;
}

std::map<std::string, std::string> FakeUserServer::Remarks() { return RemarksOf(m_own); }

std::string FakeUserServer::BlackList() { return BlackListOf(m_own); }

void FakeUserServer::SetBlackList(const std::string& text) { SetBlackListOf(m_own, text); }

void FakeUserServer::SetProfileOf(const std::string& owner, const Profile& profile) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_owns[owner].profile = profile;
}

FakeUserServer::Profile FakeUserServer::GetProfileOf(const std::string& owner) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_owns[owner].profile;
}

void FakeUserServer::SetFriendOf(const std::string& owner, const std::string& account,
                                 bool deleted) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Own& own = m_owns[owner];
  own.friendChanges.push_back({account, deleted, ++own.friendVersion});
}

std::vector<std::string> FakeUserServer::FriendsOf(const std::string& owner) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return FriendList(m_owns[owner]);
}

void FakeUserServer::SetRemarkOf(const std::string& owner, const std::string& account,
                                 const std::string& name) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_owns[owner].remarks[account] = name;
}

std::map<std::string, std::string> FakeUserServer::RemarksOf(const std::string& owner) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_owns[owner].remarks;
}

std::string FakeUserServer::BlackListOf(const std::string& owner) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return Join(m_owns[owner].black);
}

void FakeUserServer::SetBlackListOf(const std::string& owner, const std::string& text) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_owns[owner].black = Split(text);
}

void FakeUserServer::SetRecommendations(const std::vector<Recommended>& groups,
                                        const std::vector<Recommended>& users) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_recommendedGroups = groups;
  m_recommendedUsers = users;
}

void FakeUserServer::ScriptCode(const std::string& path, int code) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_scripts[path].push_back(code);
}

const FakeUserServer::User* FakeUserServer::FindUser(const std::string& key) const {
  for (const User& u : m_users) {
    if (u.account == key || u.userId == key || (!u.mobile.empty() && u.mobile == key)) return &u;
  }
  return nullptr;
}

bool FakeUserServer::IsFriend(const Own& own, const std::string& account) {
  bool isFriend = false;
  for (const auto& change : own.friendChanges) {
    if (change.account == account) isFriend = !change.deleted;
  }
  return isFriend;
}

std::vector<std::string> FakeUserServer::FriendList(const Own& own) {
  std::vector<std::string> friends;
  for (const auto& change : own.friendChanges) {
    if (IsFriend(own, change.account) &&
        std::find(friends.begin(), friends.end(), change.account) == friends.end())
      friends.push_back(change.account);
  }
  return friends;
}

FakeReply FakeUserServer::Serve(const FakeRequest& request, const std::string& domain) {
  CallerOf callerOf;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    callerOf = m_callerOf;
  }
  // Asked outside the lock: the resolver may take locks of its own.
  std::string caller;
  if (callerOf) caller = callerOf(request);
  bool changed = false;
  ChangeHook hook;
  FakeReply reply;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!callerOf) caller = m_own;
    reply = ServeLocked(request, domain, caller, &changed);
    hook = m_changeHook;
  }
  if (changed && hook) hook(request.path, caller);
  return reply;
}

FakeReply FakeUserServer::ServeLocked(const FakeRequest& request, const std::string& domain,
                                      const std::string& caller, bool* changed) {
  auto script = m_scripts.find(request.path);
  if (script != m_scripts.end() && !script->second.empty()) {
    int code = script->second.front();
    script->second.erase(script->second.begin());
    return Answer(code);
  }
  const Json::Value body = ParseBody(request.body);
  const std::string& path = request.path;
  Json::Value result(Json::objectValue);
  // Paths that read or change one account's own data need to know whose.
  static const std::set<std::string> kShared = {kDetailListPath, kDetailPath,   kCheckMobilePath,
                                                kSearchPath,     kServicesPath, kRecommendPath};
  if (caller.empty() && !kShared.count(path) && std::count(Paths().begin(), Paths().end(), path))
    return Answer(-1);
  Own& own = m_owns[caller];

  if (path == kUserCommandPath) {
    if (body.isMember("name")) own.profile.name = Text(body, "name");
    if (body.isMember("summary")) own.profile.summary = Text(body, "summary");
    if (!Text(body, "logo").empty()) own.profile.icon = Text(body, "logo");
    if (!Text(body, "biglogo").empty()) own.profile.bigicon = Text(body, "biglogo");
    ++own.profile.version;
    // Others see the new profile in the caller's details.
    for (User& u : m_users) {
      if (u.account != caller) continue;
      u.name = own.profile.name;
      u.summary = own.profile.summary;
      u.logo = own.profile.icon;
      u.biglogo = own.profile.bigicon;
      u.version = own.profile.version;
    }
    result["name"] = own.profile.name;
    result["icon"] = own.profile.icon;
    result["bigicon"] = own.profile.bigicon;
    result["summary"] = own.profile.summary;
    result["userversion"] = own.profile.version;
    *changed = true;
    return Answer(1, result);
  }
  if (path == kDetailListPath) {
    Json::Value array(Json::arrayValue);
    for (const std::string& id : Split(Text(body, "userids"))) {
      for (const User& u : m_users) {
        if (u.userId == id && Domain(u.account) == domain) array.append(Detail(u));
      }
    }
    result["count"] = array.size();
    if (!array.empty()) result["array"] = array;
    return Answer(1, result);
  }
  if (path == kDetailPath) {
    const User* u = FindUser(Text(body, "account"));
    if (!u) return Answer(-5);
    result = Detail(*u);
    result["isfriend"] = IsFriend(own, u->account) ? 1 : 0;
    return Answer(1, result);
  }
  if (path == kFriendPath) {
    const int since = atoi(Text(body, "version").c_str());
    Json::Value friends(Json::arrayValue);
    for (const auto& change : own.friendChanges) {
      if (change.version <= since) continue;
      Json::Value v(Json::objectValue);
      v["acc"] = change.account;
      v["deleted"] = change.deleted ? 1 : 0;
      friends.append(v);
    }
    Json::Value remarks(Json::arrayValue);
    for (const auto& remark : own.remarks) {
      Json::Value v(Json::objectValue);
      v["acc"] = remark.first;
      v["name"] = remark.second;
      remarks.append(v);
    }
    result["version"] = own.friendVersion;
    if (!own.black.empty()) result["black"] = Join(own.black);
    result["remarks"] = remarks;
    result["friends"] = friends;
    return Answer(1, result);
  }
  if (path == kUpdateFriendPath) {
    for (const std::string& account : Split(Text(body, "friends"))) {
      if (IsFriend(own, account)) continue;
      own.friendChanges.push_back({account, false, ++own.friendVersion});
      *changed = true;
    }
    return Answer(1, result);
  }
  if (path == kRemoveFriendPath) {
    const std::string account = Text(body, "account");
    if (!IsFriend(own, account)) return Answer(-2);
    own.friendChanges.push_back({account, true, ++own.friendVersion});
    *changed = true;
    return Answer(1, result);
  }
  if (path == kRemarkPath) {
    own.remarks[Text(body, "friend")] = Text(body, "name");
    *changed = true;
    return Answer(1, result);
  }
  if (path == kBlackPath) {
    const std::string add = Text(body, "adduser");
    const std::string remove = Text(body, "deluser");
    if (!add.empty() && std::find(own.black.begin(), own.black.end(), add) == own.black.end())
      own.black.push_back(add);
    if (!remove.empty())
      own.black.erase(std::remove(own.black.begin(), own.black.end(), remove), own.black.end());
    result["users"] = Join(own.black);
    *changed = true;
    return Answer(1, result);
  }
  if (path == kCheckAccountPath) {
    Json::Value array(Json::arrayValue);
    std::set<std::string> listed;
    for (const auto& change : own.friendChanges) {
      if (!IsFriend(own, change.account) || !listed.insert(change.account).second) continue;
      const User* u = FindUser(change.account);
      Json::Value v(Json::objectValue);
      v["account"] = change.account;
      v["version"] = u ? u->version : 0;
      array.append(v);
    }
    result["count"] = array.size();
    result["array"] = array;
    return Answer(1, result);
  }
  if (path == kCheckMobilePath) {
    std::vector<std::string> accounts;
    for (const std::string& mobile : Split(Text(body, "mobiles"))) {
      for (const User& u : m_users) {
        if (u.mobile == mobile) accounts.push_back(u.account);
      }
    }
    result["accounts"] = Join(accounts);
    return Answer(1, result);
  }
  if (path == kSearchPath) {
    const User* u = FindUser(Text(body, "text"));
    if (!u) return Answer(-5);
    result["account"] = u->account;
    return Answer(1, result);
  }
  if (path == kServicesPath) {
    Json::Value services(Json::arrayValue);
    Json::Value pay(Json::objectValue);
    pay["name"] = "Top up";
    pay["url"] = "http://127.0.0.1/pay?mobile=@mobile";
    services.append(pay);
    result["services"] = services;
    return Answer(1, result);
  }
  if (path == kRedCreatePath) {
    const std::string key = "rk" + std::to_string(m_nextRedKey++);
    RedPacket& red = m_redPackets[key];
    red.type = atoi(Text(body, "type").c_str());
    red.amount = Text(body, "amount");
    red.creator = caller.substr(0, caller.find('@'));
    red.crtime = kTime;
    result["gradurl"] = "http://127.0.0.1/redpacket/open.do?redtext=" + key;
    result["type"] = red.type;
    result["crtime"] = red.crtime;
    return Answer(1, result);
  }
  if (path == kRedGradPath) {
    const std::string key = Text(body, "redtext");
    auto it = m_redPackets.find(key);
    if (it == m_redPackets.end()) return Answer(-4);
    RedPacket& red = it->second;
    const bool first = !red.opened;
    red.opened = true;
    result["gradurl"] = "http://127.0.0.1/redpacket/open.do?redtext=" + key;
    result["type"] = red.type;
    result["state"] = first ? 1 : 2;
    result["finish"] = 1;
    result["cruserid"] = red.creator;
    result["gradmoney"] = first ? red.amount : "0.00";
    result["crtime"] = red.crtime;
    return Answer(1, result);
  }
  if (path == kRecommendPath) {
    result["groupaccount"] = static_cast<int>(m_recommendedGroups.size());
    result["useraccount"] = static_cast<int>(m_recommendedUsers.size());
    result["groups"] = Recommendations(m_recommendedGroups, true);
    result["users"] = Recommendations(m_recommendedUsers, false);
    return Answer(1, result);
  }
  return FakeReply::Text(404, "not found");
}
