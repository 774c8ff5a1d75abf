#include "services/TMessageType.h"

#include <cstring>

const char* const MessageType[kMessageTypeCount] = {"msg",    "notify", "pic",         "file",
                                                    "audio",  "video",  "groupnotify", "red",
                                                    "gifpic", "revoke", "k-line"};

int MessageTypeIndex(const char* name) {
  if (!name) return 0;
  for (size_t i = 0; i < kMessageTypeCount; ++i) {
    if (strcmp(name, MessageType[i]) == 0) return static_cast<int>(i);
  }
  return 0;
}

const char* MessageTypeName(int index) {
  if (index < 0 || static_cast<size_t>(index) >= kMessageTypeCount) return MessageType[0];
  return MessageType[index];
}

bool IsGroupTarget(const char* target) { return target && strstr(target, "group.") != nullptr; }

bool IsGroupTarget(const std::string& target) { return target.find("group.") != std::string::npos; }
