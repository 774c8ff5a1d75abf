#ifndef TESMO_NET_TBACKGROUNDWORKER_H
#define TESMO_NET_TBACKGROUNDWORKER_H

// The background worker that the request service owns: it runs its own thread,
// which uses client slot 4 of the service, and takes the tasks queued after a
// login. The service makes it through the factory installed with
// THttpRequestService::SetBackgroundWorkerFactory, starts it with the workers and
// stops it before the clients it uses go away.
class TBackgroundWorker {
 public:
  virtual ~TBackgroundWorker() = default;

  virtual int Start() = 0;
  // Ends the thread and joins it; nothing may run on slot 4 afterwards.
  virtual void Stop() = 0;
  // A login (0) or automatic re-login (1) succeeded: queue the follow-up tasks.
  virtual void PostLoginTasks(int relogin) = 0;
};

#endif
