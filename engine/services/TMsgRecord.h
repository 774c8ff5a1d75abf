#ifndef TESMO_SERVICES_TMSGRECORD_H
#define TESMO_SERVICES_TMSGRECORD_H

#include <string>

// One stored message as the forward, resend and revoke paths load it.
struct TMsgRecord {
  std::string touser;
  int msgtype = 0;  // MessageType index
  std::string content;
  std::string remark;
  std::string localpath;
  int fwflag = 0;
  long long msgid = 0;  // the server's message id

  // Every field, numbers included: a reused record must not keep another
  // message's server id.
  void Clear() { *this = TMsgRecord(); }
};

#endif
