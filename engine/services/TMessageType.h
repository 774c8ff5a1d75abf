#ifndef TESMO_SERVICES_TMESSAGETYPE_H
#define TESMO_SERVICES_TMESSAGETYPE_H

#include <cstddef>
#include <string>

// Message types: the index is the msgtype column and the "msgtype" of requests and
// events; the name is the "type" on the wire.
constexpr size_t kMessageTypeCount = 11;
extern const char* const MessageType[kMessageTypeCount];

// The indexes the engine acts on by themselves.
constexpr int kNotifyType = 1;       // "notify"
constexpr int kGroupNotifyType = 6;  // "groupnotify"
constexpr int kRevokeType = 9;       // "revoke"

// Index of the name (exact, case-sensitive); 0 ("msg") when none matches.
int MessageTypeIndex(const char* name);
// The name of an index; "msg" for an index out of range.
const char* MessageTypeName(int index);

// atflag column: whom a text message mentions.
enum AtFlag { kAtNone = 0, kAtMe = 1, kAtAll = 2 };

// A target naming a group contains "group.".
bool IsGroupTarget(const char* target);
bool IsGroupTarget(const std::string& target);

#endif
