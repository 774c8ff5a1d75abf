// What changes while the local server runs: the messages sent through it and the
// uploaded files. Kept in memory and, with a state folder, on disk (messages as one
// JSON object a line in messages.jsonl, files under files/), so a restart keeps them.
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALSTORE_H
#define TESMO_TOOLS_LOCALSERVER_LOCALSTORE_H

#include <json/json.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "LocalWorld.h"

class LocalStore {
 public:
  // dir: the folder to keep things in (made when missing). Lines of messages.jsonl
  // that do not parse (a run cut while writing) are skipped with a warning.
  bool Open(const std::string& dir, std::string* error);

  void AddMessage(const LocalMessage& message);
  std::vector<LocalMessage> Messages() const;
  int64_t MaxMsgid() const;
  // Kept messages whose id a client cannot hold (an earlier version gave ids past
  // 32 bits) get new ids from first on, after the usable ones; the file is rewritten.
  void RenumberOutOfRange(int64_t first);
  // The message ids given out so far stay below this mark (0: none kept).
  int64_t MsgidMark() const;
  void SetMsgidMark(int64_t mark);
  const std::string& Dir() const { return m_dir; }

  // Where uploads go; "" when the name is not a plain relative path ("..", "//",
  // odd characters), so a hostile name never leaves the folder.
  std::string FilePath(const std::string& remotePath) const;
  const std::string& FilesDir() const { return m_filesDir; }

  // A state file of a path plug-in (a plain name in the folder), written whole through
  // a temporary file so a run cut while writing leaves the previous one. Load is false
  // when there is none or it does not parse (then with a warning).
  bool SaveJson(const std::string& name, const Json::Value& value);
  bool LoadJson(const std::string& name, Json::Value* value) const;

 private:
  std::string m_dir;
  std::string m_filesDir;
  mutable std::mutex m_mutex;
  std::vector<LocalMessage> m_messages;
};

#endif
