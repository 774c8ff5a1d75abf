#ifndef TESMO_SERVICES_TMESSAGEMENTION_H
#define TESMO_SERVICES_TMESSAGEMENTION_H

#include <string>

// The atflag of a message from its remark JSON: for a text message (type 0),
// kAtAll when "atAll" is true, else kAtMe when an entry of "atUsers" names the own
// user (its "id" equal to the user id or the account, or the account's number
// before "@" equal to the user id), else kAtNone. Other types and remarks that are
// not JSON give kAtNone. The own ids come from the engine core.
int ParseMention(int msgtype, const std::string& remark);
int ParseMention(int msgtype, const std::string& remark, const std::string& ownUserId,
                 const std::string& ownAccount);

#endif
