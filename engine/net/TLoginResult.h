#ifndef TESMO_NET_TLOGINRESULT_H
#define TESMO_NET_TLOGINRESULT_H

// Results of the HTTP registration and login before every IM login; they become the
// a of event 100005. The IM session reads them, the login service returns them.
enum TLoginResult {
  kLoginOk = 0,
  kLoginNoUsableReply = 3,
  kLoginNoReply = 4,
  kLoginServerMinus8 = 5,
  kLoginServerMinus10 = 6,
  kLoginServerRefused = 7,
};

#endif
