#include "LocalWorld.h"

#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace {

// A fault in the file, at the value where it shows.
struct WorldError {
  const Json::Value* at;
  std::string message;
};

[[noreturn]] void Fail(const Json::Value& at, const std::string& message) {
  throw WorldError{&at, message};
}

const Json::Value& Member(const Json::Value& object, const char* key, Json::ValueType type,
                          bool required) {
  static const Json::Value kNull;
  if (!object.isMember(key)) {
    if (required) Fail(object, std::string("missing \"") + key + "\"");
    return kNull;
  }
  const Json::Value& v = object[key];
  const bool ok = type == Json::stringValue    ? v.isString()
                  : type == Json::intValue     ? v.isInt()
                  : type == Json::booleanValue ? v.isBool()
                  : type == Json::arrayValue   ? v.isArray()
                  : type == Json::objectValue  ? v.isObject()
                                               : true;
  if (!ok) {
    const char* want = type == Json::stringValue    ? "a text"
                       : type == Json::intValue     ? "a whole number"
                       : type == Json::booleanValue ? "true or false"
                       : type == Json::arrayValue   ? "a list"
                                                    : "an object";
    Fail(v, std::string("\"") + key + "\" must be " + want);
  }
  return v;
}

std::string Text(const Json::Value& o, const char* key, bool required = false,
                 const std::string& fallback = std::string()) {
  const Json::Value& v = Member(o, key, Json::stringValue, required);
  return v.isString() ? v.asString() : fallback;
}

int Int(const Json::Value& o, const char* key, int fallback) {
  const Json::Value& v = Member(o, key, Json::intValue, false);
  return v.isInt() ? v.asInt() : fallback;
}

std::vector<std::string> Texts(const Json::Value& o, const char* key) {
  std::vector<std::string> out;
  const Json::Value& list = Member(o, key, Json::arrayValue, false);
  for (const Json::Value& v : list) {
    if (!v.isString()) Fail(v, std::string("\"") + key + "\" must list texts");
    out.push_back(v.asString());
  }
  return out;
}

// A remark given as an object is kept as its JSON text.
std::string RemarkText(const Json::Value& o) {
  if (!o.isMember("remark")) return std::string();
  const Json::Value& v = o["remark"];
  if (v.isString()) return v.asString();
  if (!v.isObject()) Fail(v, "\"remark\" must be a text or an object");
  Json::StreamWriterBuilder w;
  w["indentation"] = "";
  return Json::writeString(w, v);
}

// "+86" and "86" name the same dialling code.
std::string DiallingDigits(const std::string& code) {
  return !code.empty() && code[0] == '+' ? code.substr(1) : code;
}

int LineOf(const std::string& text, const Json::Value* at) {
  if (!at) return 1;
  const size_t offset = std::min(static_cast<size_t>(at->getOffsetStart()), text.size());
  int line = 1;
  for (size_t i = 0; i < offset; ++i) line += text[i] == '\n' ? 1 : 0;
  return line;
}

}  // namespace

bool LocalWorld::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const size_t slash = path.rfind('/');
  m_baseDir = slash == std::string::npos ? "." : path.substr(0, slash);
  return LoadText(text.str(), path, error);
}

bool LocalWorld::LoadText(const std::string& text, const std::string& name, std::string* error) {
  Json::CharReaderBuilder builder;
  Json::CharReaderBuilder::strictMode(&builder.settings_);
  builder["allowComments"] = true;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  Json::Value root;
  if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
    // jsoncpp writes "* Line 3, Column 5\n  Syntax error: ..."; keep its first fault.
    std::string detail = errors;
    int line = 1;
    const size_t at = errors.find("Line ");
    if (at != std::string::npos) line = std::atoi(errors.c_str() + at + 5);
    const size_t nl = errors.find('\n');
    if (nl != std::string::npos) {
      detail = errors.substr(nl + 1);
      const size_t end = detail.find('\n');
      if (end != std::string::npos) detail = detail.substr(0, end);
      const size_t start = detail.find_first_not_of(' ');
      detail = start == std::string::npos ? detail : detail.substr(start);
    }
    *error = name + ":" + std::to_string(line) + ": " + detail;
    return false;
  }
  try {
    if (!root.isObject()) Fail(root, "the world must be a JSON object");
    m_root = root;
    m_accounts.clear();
    m_groups.clear();
    m_history.clear();
    m_files.clear();
    std::set<std::string> known;
    std::set<std::string> mobiles;
    for (const Json::Value& a : Member(root, "accounts", Json::arrayValue, true)) {
      if (!a.isObject()) Fail(a, "an account must be an object");
      LocalAccount acc;
      acc.account = Text(a, "account", true);
      if (acc.account.find('@') == std::string::npos)
        Fail(a["account"], "\"account\" must hold \"@\" and the domain");
      if (acc.account.find("group.") != std::string::npos)
        Fail(a["account"], "an account must not hold \"group.\"");
      if (!known.insert(acc.account).second) Fail(a, "account " + acc.account + " twice");
      acc.userId = Text(a, "userid", false, acc.account.substr(0, acc.account.find('@')));
      acc.ucUserId = Text(a, "ucuserid", false, "uc-" + acc.userId);
      acc.mobile = Text(a, "mobile");
      acc.nationCode = Text(a, "nationcode", false, "+86");
      acc.verifyCode = Text(a, "verifycode");
      if (!acc.mobile.empty() && acc.verifyCode.empty())
        Fail(a, "an account with \"mobile\" needs \"verifycode\"");
      if (!acc.mobile.empty() &&
          !mobiles.insert(DiallingDigits(acc.nationCode) + " " + acc.mobile).second)
        Fail(a, "mobile " + acc.mobile + " twice");
      acc.name = Text(a, "name", true);
      acc.icon = Text(a, "icon");
      acc.bigIcon = Text(a, "bigicon", false, acc.icon);
      acc.summary = Text(a, "summary");
      acc.userType = Int(a, "usertype", 1);
      acc.userVersion = Int(a, "userversion", 1);
      acc.champFlag = Int(a, "champflag", 0);
      acc.friends = Texts(a, "friends");
      acc.blackList = Texts(a, "blacklist");
      const Json::Value& remarks = Member(a, "remarks", Json::objectValue, false);
      for (const std::string& key : remarks.getMemberNames()) {
        if (!remarks[key].isString()) Fail(remarks[key], "a remark must be a text");
        acc.remarks[key] = remarks[key].asString();
      }
      const Json::Value& script = Member(a, "script", Json::objectValue, false);
      if (script.isObject()) {
        acc.scripted = true;
        acc.reply = Text(script, "reply", false, "{text}");
      }
      m_accounts.push_back(acc);
    }
    if (m_accounts.empty()) Fail(root["accounts"], "the world needs at least one account");
    // Friends, remarks and black lists name accounts of the world.
    auto checkKnown = [&](const Json::Value& at, const std::string& who) {
      if (!known.count(who)) Fail(at, "unknown account " + who);
    };
    for (Json::ArrayIndex i = 0; i < root["accounts"].size(); ++i) {
      const Json::Value& a = root["accounts"][i];
      for (const std::string& f : m_accounts[i].friends) checkKnown(a["friends"], f);
      for (const std::string& b : m_accounts[i].blackList) checkKnown(a["blacklist"], b);
      for (const auto& r : m_accounts[i].remarks) checkKnown(a["remarks"], r.first);
    }

    std::set<std::string> groupIds;
    for (const Json::Value& g : Member(root, "groups", Json::arrayValue, false)) {
      if (!g.isObject()) Fail(g, "a group must be an object");
      LocalGroup group;
      group.groupId = Text(g, "groupid", true);
      if (group.groupId.find("group.") == std::string::npos)
        Fail(g["groupid"], "\"groupid\" must hold \"group.\"");
      if (!groupIds.insert(group.groupId).second) Fail(g, "group " + group.groupId + " twice");
      group.name = Text(g, "name", true);
      group.logo = Text(g, "logo");
      group.info = Text(g, "info");
      group.code = Text(g, "code");
      if (!group.code.empty() && (group.code.size() != 4 ||
                                  group.code.find_first_not_of("0123456789") != std::string::npos))
        Fail(g["code"], "\"code\" must be four digits");
      group.type = Int(g, "type", 0);
      int owners = 0;
      for (const Json::Value& m : Member(g, "members", Json::arrayValue, true)) {
        if (!m.isObject()) Fail(m, "a member must be an object");
        LocalGroupMember member;
        member.account = Text(m, "account", true);
        checkKnown(m, member.account);
        member.role = Int(m, "role", 3);
        if (member.role < 1 || member.role > 3) Fail(m, "\"role\" must be 1, 2 or 3");
        owners += member.role == 1 ? 1 : 0;
        group.members.push_back(member);
      }
      if (owners != 1) Fail(g, "a group needs exactly one owner (role 1)");
      m_groups.push_back(group);
    }

    int64_t nextId = 1000000001;
    for (const Json::Value& m : Member(root, "history", Json::arrayValue, false)) {
      if (!m.isObject()) Fail(m, "a message must be an object");
      LocalMessage msg;
      msg.msgid = nextId++;
      msg.from = Text(m, "from", true);
      checkKnown(m, msg.from);
      msg.to = Text(m, "to", true);
      if (msg.to.find("group.") != std::string::npos) {
        if (!groupIds.count(msg.to)) Fail(m, "unknown group " + msg.to);
        msg.fromGroup = msg.to;
      } else {
        checkKnown(m, msg.to);
      }
      msg.type = Text(m, "type", false, "msg");
      static const std::set<std::string> kTypes = {"msg",   "notify", "pic",    "file",
                                                   "audio", "video",  "gifpic", "k-line"};
      if (!kTypes.count(msg.type)) Fail(m, "unknown message type " + msg.type);
      msg.content = Text(m, "content", true);
      msg.remark = RemarkText(m);
      msg.time = Text(m, "time", true);
      m_history.push_back(msg);
    }

    const Json::Value& files = Member(root, "files", Json::objectValue, false);
    for (const std::string& remote : files.getMemberNames()) {
      if (!files[remote].isString()) Fail(files[remote], "a file must name a local file");
      if (remote.empty() || remote[0] != '/') Fail(files[remote], "remote paths start with \"/\"");
      std::string local = files[remote].asString();
      if (!local.empty() && local[0] != '/') local = m_baseDir + "/" + local;
      m_files[remote] = local;
    }

    Member(root, "appcfg", Json::objectValue, false);
    Member(root, "coins", Json::arrayValue, false);
    const Json::Value& settings = Member(root, "settings", Json::objectValue, false);
    m_qrAutoConfirm = true;
    if (settings.isObject()) {
      const Json::Value& autoQr = Member(settings, "qrautoconfirm", Json::booleanValue, false);
      if (autoQr.isBool()) m_qrAutoConfirm = autoQr.asBool();
      m_qrAccount = Text(settings, "qraccount");
      m_qrDelayMs = Int(settings, "qrdelayms", 3000);
      m_replyDelayMs = Int(settings, "replydelayms", 1500);
      if (m_qrDelayMs < 0 || m_replyDelayMs < 0) Fail(settings, "delays must not be negative");
    }
    if (m_qrAccount.empty()) m_qrAccount = m_accounts.front().account;
    if (!known.count(m_qrAccount)) Fail(settings, "unknown account " + m_qrAccount);
  } catch (const WorldError& e) {
    *error = name + ":" + std::to_string(LineOf(text, e.at)) + ": " + e.message;
    return false;
  }
  return true;
}

const LocalAccount* LocalWorld::FindAccount(const std::string& account) const {
  for (const LocalAccount& a : m_accounts) {
    if (a.account == account) return &a;
  }
  return nullptr;
}

const LocalAccount* LocalWorld::FindByMobile(const std::string& mobile,
                                             const std::string& nationCode) const {
  for (const LocalAccount& a : m_accounts) {
    if (!a.mobile.empty() && a.mobile == mobile &&
        (nationCode.empty() || DiallingDigits(a.nationCode) == DiallingDigits(nationCode)))
      return &a;
  }
  return nullptr;
}

const LocalGroup* LocalWorld::FindGroup(const std::string& groupId) const {
  for (const LocalGroup& g : m_groups) {
    if (g.groupId == groupId) return &g;
  }
  return nullptr;
}
