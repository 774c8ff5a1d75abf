#include "LocalPeople.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

#include "LocalKeys.h"
#include "LocalServer.h"
#include "fakes/FakeIMServer.h"

namespace {

std::string Domain(const std::string& account) {
  const size_t at = account.find('@');
  return at == std::string::npos ? std::string() : account.substr(at + 1);
}

// A list of a kept file, which may hold anything.
Json::Value Listed(const Json::Value& object, const char* key) {
  const Json::Value& v = object[key];
  return v.isArray() ? v : Json::Value(Json::arrayValue);
}

std::string JoinTexts(const Json::Value& list) {
  std::string text;
  for (const Json::Value& v : list) {
    if (v.isString()) text += (text.empty() ? "" : ",") + v.asString();
  }
  return text;
}

}  // namespace

LocalPeople::LocalPeople(LocalServer& server) : m_server(server) {
  Mount();
  m_users.SetCallerOf([this](const FakeRequest& r) { return m_server.AccountOf(r); });
  m_users.SetChangeHook([this](const std::string& path, const std::string& caller) {
    if (path == FakeUserServer::kUserCommandPath) TellFriends(caller);
    Save();
  });
  // Logins tell the profile as it is now and the version a client compares its friend
  // list with.
  m_server.SetLoginProfile([this](const std::string& account, FakeLoginServer::Profile* p) {
    const FakeUserServer::Profile now = m_users.GetProfileOf(account);
    p->name = now.name;
    p->icon = now.icon;
    p->bigIcon = now.bigicon;
    p->summary = now.summary;
    p->userVersion = now.version;
    p->friendVersion = m_users.FriendVersionOf(account);
  });
  // The world's texts name the servers, whose ports are known once they listen.
  m_server.AfterStart([this] { Fill(); });
}

void LocalPeople::Plug(LocalServer& server) { server.Keep(std::make_shared<LocalPeople>(server)); }

void LocalPeople::Fill() {
  const LocalWorld& world = m_server.World();
  Json::Value kept;
  const bool restored = m_server.Store().LoadJson(kStateFile, &kept);
  for (const LocalAccount& a : world.Accounts()) {
    FakeUserServer::User u;
    u.userId = a.userId;
    u.account = a.account;
    u.mobile = a.mobile;
    u.name = a.name;
    u.logo = m_server.Fill(a.icon);
    u.biglogo = m_server.Fill(a.bigIcon);
    u.summary = a.summary;
    u.version = a.userVersion;
    u.champflag = a.champFlag;
    // What an earlier run changed replaces what the world says of that account.
    const Json::Value own = restored ? kept[a.account] : Json::Value();
    const Json::Value profile = own.isObject() ? own["profile"] : Json::Value();
    if (profile.isObject() && profile["version"].isInt()) {
      auto text = [&profile](const char* key) {
        return profile[key].isString() ? profile[key].asString() : std::string();
      };
      u.name = text("name");
      u.logo = m_server.Fill(text("icon"));
      u.biglogo = m_server.Fill(text("bigicon"));
      u.summary = text("summary");
      u.version = profile["version"].asInt();
    }
    m_users.AddUser(u);
    m_users.SetProfileOf(a.account, {u.name, u.logo, u.biglogo, u.summary, u.version});
    if (own.isObject()) {
      // The steps of the friend list, so clients that synchronised before go on from
      // the version they hold.
      std::vector<FakeUserServer::FriendChange> steps;
      for (const Json::Value& f : Listed(own, "friendlog")) {
        if (!f.isObject() || !f["acc"].isString() || !f["version"].isInt() ||
            !world.FindAccount(f["acc"].asString()))
          continue;
        steps.push_back({f["acc"].asString(), f["deleted"].isBool() && f["deleted"].asBool(),
                         f["version"].asInt()});
      }
      m_users.SetFriendChangesOf(a.account, steps);
      const Json::Value& remarks = own["remarks"];
      for (const std::string& key :
           remarks.isObject() ? remarks.getMemberNames() : std::vector<std::string>()) {
        if (remarks[key].isString()) m_users.SetRemarkOf(a.account, key, remarks[key].asString());
      }
      m_users.SetBlackListOf(a.account, JoinTexts(Listed(own, "blacklist")));
      continue;
    }
    for (const std::string& f : a.friends) m_users.SetFriendOf(a.account, f);
    for (const auto& r : a.remarks) m_users.SetRemarkOf(a.account, r.first, r.second);
    std::string black;
    for (const std::string& b : a.blackList) black += (black.empty() ? "" : ",") + b;
    m_users.SetBlackListOf(a.account, black);
  }
}

void LocalPeople::Mount() {
  std::vector<std::string> domains;
  for (const LocalAccount& a : m_server.World().Accounts()) {
    const std::string domain = Domain(a.account);
    if (std::find(domains.begin(), domains.end(), domain) == domains.end())
      domains.push_back(domain);
  }
  // The engine asks the server named after a domain, else USERSERVER.
  m_users.Mount(m_server.Http(LocalKeys::kUserServer), domains.front());
  m_users.Mount(m_server.Http(LocalKeys::kLoginServer), domains.front());
  if (domains.size() > 1) {
    m_users.Mount(m_server.Http(LocalKeys::kPubServer), domains[1]);
    m_server.NameServer(domains[1], LocalKeys::kPubServer);
  }
  for (size_t i = 2; i < domains.size(); ++i)
    std::fprintf(stderr, "no user server for the domain %s: its users have no details\n",
                 domains[i].c_str());
}

void LocalPeople::TellFriends(const std::string& account) {
  const FakeUserServer::Profile profile = m_users.GetProfileOf(account);
  Json::Value content(Json::objectValue);
  content["account"] = account;
  content["name"] = profile.name;
  content["logo"] = profile.icon;
  content["biglogo"] = profile.bigicon;
  content["summary"] = profile.summary;
  content["userversion"] = profile.version;
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  const std::string text = Json::writeString(builder, content);
  for (const LocalAccount& a : m_server.World().Accounts()) {
    const std::vector<std::string> friends = m_users.FriendsOf(a.account);
    if (std::find(friends.begin(), friends.end(), account) == friends.end()) continue;
    // A step of the friend's list names the changed user again, so the list fetched
    // from the version a client holds (now, or at its next login) brings the new
    // details.
    m_users.SetFriendOf(a.account, account);
    m_server.PushTo(a.account,
                    FakeIMServer::SysPacket(a.account, "updatefriend", {{"content", text}}));
  }
}

void LocalPeople::Save() {
  std::lock_guard<std::mutex> lock(m_saveMutex);
  Json::Value state(Json::objectValue);
  for (const LocalAccount& a : m_server.World().Accounts()) {
    Json::Value own(Json::objectValue);
    // A profile changed through the server (each change raises its version), with the
    // addresses in it kept as names.
    const FakeUserServer::Profile profile = m_users.GetProfileOf(a.account);
    if (profile.version != a.userVersion) {
      own["profile"]["name"] = profile.name;
      own["profile"]["icon"] = m_server.Unfill(profile.icon);
      own["profile"]["bigicon"] = m_server.Unfill(profile.bigicon);
      own["profile"]["summary"] = profile.summary;
      own["profile"]["version"] = profile.version;
    }
    // The list as it stands, to read, and its steps, to go on from.
    own["friends"] = Json::Value(Json::arrayValue);
    for (const std::string& f : m_users.FriendsOf(a.account)) own["friends"].append(f);
    own["friendlog"] = Json::Value(Json::arrayValue);
    for (const auto& step : m_users.FriendChangesOf(a.account)) {
      Json::Value v(Json::objectValue);
      v["acc"] = step.account;
      v["deleted"] = step.deleted;
      v["version"] = step.version;
      own["friendlog"].append(v);
    }
    own["remarks"] = Json::Value(Json::objectValue);
    for (const auto& r : m_users.RemarksOf(a.account)) own["remarks"][r.first] = r.second;
    own["blacklist"] = Json::Value(Json::arrayValue);
    const std::string black = m_users.BlackListOf(a.account);
    size_t from = 0;
    while (from < black.size()) {
      size_t comma = black.find(',', from);
      if (comma == std::string::npos) comma = black.size();
      if (comma > from) own["blacklist"].append(black.substr(from, comma - from));
      from = comma + 1;
    }
    state[a.account] = own;
  }
  m_server.Store().SaveJson(kStateFile, state);
}
