// Transfers asked to stop, by transfer id (the request's dialog id). A transfer asks
// before each piece; the first check that finds its id consumes the entry.
#ifndef TESMO_NET_TTRANSFERSTOPSET_H
#define TESMO_NET_TTRANSFERSTOPSET_H

class TTransferStopSet {
 public:
  static void Stop(int id);
  // True (and the entry removed) when id was asked to stop.
  static bool TakeStop(int id);
  static void Clear();
};

#endif
