// What the local server serves: accounts, their friends, remarks and black lists,
// groups, conversation histories, the configuration file and the coin list, read from
// one JSON world file. Load refuses a file that does not parse or does not hold
// together, with a message that names the line. The file (comments allowed):
//   "accounts": [{"account" (with "@"), "name", optional "userid", "ucuserid",
//       "mobile" + "verifycode" + "nationcode" (login by code), "icon", "bigicon",
//       "summary", "usertype", "userversion", "champflag", "friends": [account],
//       "remarks": {account: text}, "blacklist": [account],
//       "script": {"reply": "... {text} ..."} (a scripted peer)}],
//   "groups": [{"groupid" (with "group."), "name", "logo", "info", "code" (a join
//       code of four digits that does not expire), "type" (0 anyone may join, 1 by
//       invitation only), "members": [{"account", "role": 1 owner (exactly one),
//       2 admin, 3 member}]}],
//   "history": [{"from", "to" (account or group), "type", "content", "remark"
//       (text or object), "time"}],
//   "files": {"/group1/...": local file, relative to the world file},
//   "appcfg": {...} (the configuration file's JSON), "coins": [...],
//   "settings": {"qrautoconfirm", "qraccount", "qrdelayms", "replydelayms"}.
// Texts may hold ${ENTRY}, ${DOWN} or ${<server key>}, filled with the addresses.
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALWORLD_H
#define TESMO_TOOLS_LOCALSERVER_LOCALWORLD_H

#include <json/json.h>

#include <map>
#include <string>
#include <vector>

struct LocalAccount {
  std::string userId;
  std::string ucUserId;
  std::string account;
  std::string mobile;      // "" for an account that cannot log in by code
  std::string nationCode;  // "+86"
  std::string verifyCode;  // the code the login by code accepts
  std::string name;
  std::string icon;
  std::string bigIcon;
  std::string summary;
  int userType = 1;
  int userVersion = 1;
  int champFlag = 0;
  std::vector<std::string> friends;
  std::map<std::string, std::string> remarks;
  std::vector<std::string> blackList;
  // A scripted peer answers each text with reply ("{text}" stands for the text).
  bool scripted = false;
  std::string reply;
};

struct LocalGroupMember {
  std::string account;
  int role = 3;  // 1 owner, 2 administrator, 3 member
};

struct LocalGroup {
  std::string groupId;  // holds "group."
  std::string name;
  std::string logo;
  std::string info;
  std::string code;  // "" none
  int type = 0;
  std::vector<LocalGroupMember> members;
};

struct LocalMessage {
  int64_t msgid = 0;
  std::string from;
  std::string to;         // an account or a group id
  std::string fromGroup;  // the group of a group message
  std::string type;       // "msg", "pic", "file", "audio", ...
  std::string content;
  std::string remark;  // JSON text
  std::string time;    // "YYYY-MM-DD hh:mm:ss"
  int device = 1;
};

class LocalWorld {
 public:
  // False with a message ("world.json:12: ...") when the file cannot be used.
  bool Load(const std::string& path, std::string* error);
  bool LoadText(const std::string& text, const std::string& name, std::string* error);

  const std::vector<LocalAccount>& Accounts() const { return m_accounts; }
  const std::vector<LocalGroup>& Groups() const { return m_groups; }
  const std::vector<LocalMessage>& History() const { return m_history; }
  const LocalAccount* FindAccount(const std::string& account) const;
  const LocalAccount* FindByMobile(const std::string& mobile, const std::string& nationCode) const;
  const LocalGroup* FindGroup(const std::string& groupId) const;
  // The parsed file, for path handlers that read sections of their own.
  const Json::Value& Root() const { return m_root; }
  // Folder of the world file: relative file names in it start there.
  const std::string& BaseDir() const { return m_baseDir; }

  // The configuration file's JSON and the coin list (texts may hold ${...} names
  // that the server fills with its addresses).
  const Json::Value& AppConfig() const { return m_root["appcfg"]; }
  const Json::Value& Coins() const { return m_root["coins"]; }
  // Files served by the download server: remote path ("/group1/...") to local file.
  const std::map<std::string, std::string>& Files() const { return m_files; }

  // Settings.
  bool QRAutoConfirm() const { return m_qrAutoConfirm; }
  const std::string& QRAccount() const { return m_qrAccount; }
  int QRDelayMs() const { return m_qrDelayMs; }
  int ReplyDelayMs() const { return m_replyDelayMs; }

 private:
  std::string m_baseDir;
  Json::Value m_root;
  std::vector<LocalAccount> m_accounts;
  std::vector<LocalGroup> m_groups;
  std::vector<LocalMessage> m_history;
  std::map<std::string, std::string> m_files;
  bool m_qrAutoConfirm = true;
  std::string m_qrAccount;
  int m_qrDelayMs = 3000;
  int m_replyDelayMs = 1500;
};

#endif
