// Who does what in the running engine, in one list: the executor of every request
// code and what becomes of it once its login is over, the reply hooks of the
// asynchronous exchanges, the background worker, the IM session's push handlers
// and its login step.
#ifndef TESMO_CORE_TENGINEWIRING_H
#define TESMO_CORE_TENGINEWIRING_H

class THttpRequestService;
class TIMSession;

class TEngineWiring {
 public:
  // Fills the tables of service and session, replacing what they held. The engine
  // core calls it for the pair it owns as it builds them, before Run; a test calls
  // it for a pair of its own (or installs only what it needs). The session's login
  // step uses service, so service must outlive the session's worker.
  static void Install(THttpRequestService& service, TIMSession& session);
};

#endif
