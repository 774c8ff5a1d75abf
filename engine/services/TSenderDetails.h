// The fetches of message senders' details. A push from a sender the contact cache
// does not know (or knows in an older version) wants the sender's details from the
// user server. The fetches run one after the other on a request worker, never on the
// IM dispatch thread, so no push (a kick-out included) waits for one. A sender whose
// fetch is wanted, under way or failed lately is not asked for again, and when the
// server does not answer, the senders waiting for it are dropped and it is left
// alone for a while: one unreachable server costs one wait, not one per message.
#ifndef TESMO_SERVICES_TSENDERDETAILS_H
#define TESMO_SERVICES_TSENDERDETAILS_H

#include <string>

#include "db/TAccountScope.h"

class TSenderDetails {
 public:
  static constexpr int kRetryAfterMs = 60000;

  enum Outcome {
    kStored,       // the details came and were stored
    kRefused,      // the server answered without usable details
    kUnreachable,  // no answer from the server
  };

  // Wants peer's details from url for the login of the calling thread. True when
  // the caller is to start a run (queue FetchSenderDetail); false when a run of the
  // login will take the peer, or when the peer or the server failed lately.
  static bool Want(const std::string& peer, const std::string& url);
  // The next peer for the run of the calling thread's login, false when the run is
  // over (nothing left, or the login is over).
  static bool Next(std::string* peer, std::string* url);
  static void End(const std::string& peer, const std::string& url, Outcome outcome);
  // True while a run of the current login is wanted or under way.
  static bool Running();
  // Forgets everything (another account's database was opened).
  static void Clear();
};

#endif
