// Chat pushes that arrive back to back are stored in one transaction. Stored one
// statement at a time, every push paid several commits, and their WAL pages brought
// a checkpoint with its disk flushes every few hundred pushes; the IM channel's one
// dispatch thread then fell behind the server.
//
// A batch belongs to the thread that opened it (the dispatch thread). While it is
// open that thread holds the message insert lock and the database lock, so no other
// thread's statement can land inside the transaction; the batch is closed when no
// push is waiting, after kMaxPushes pushes, and before any network exchange, so the
// locks are held for milliseconds. The events of its rows are raised, in order, only
// after the commit. When the commit fails, the batch is rolled back and its pushes
// are handled again one by one, so none is lost.
//
//   bool batched = TReceiveBatch::Join(session);  // before the push writes anything
//   ... store the push ...
//   TReceiveBatch::Announce(session, id, json);   // 100008 now, or after the commit
//   if (batched) TReceiveBatch::Done(packet);     // closes a full batch
//   TReceiveBatch::Flush();                       // before a network exchange
#ifndef TESMO_SERVICES_TRECEIVEBATCH_H
#define TESMO_SERVICES_TRECEIVEBATCH_H

#include <string>

class TIMPacket;
class TIMSession;

class TReceiveBatch {
 public:
  static constexpr int kMaxPushes = 100;

  // Opens a batch on this thread when none is open. False when the push is to be
  // stored on its own: no database, no transaction to be had, or the pushes of a
  // failed batch being handled again.
  static bool Join(TIMSession& session);
  // True while this thread has a batch open.
  static bool IsOpen();
  // Raises event 100008 for the stored row id: after the commit when this thread
  // has a batch open, else now. An id already announced is not announced again.
  static void Announce(TIMSession& session, int id, const std::string& json);
  // A push of the open batch has been handled; closes the batch once it is full.
  static void Done(const TIMPacket& packet);
  // Commits the open batch of this thread, releases the locks and raises the
  // kept events; nothing when no batch is open.
  static void Flush();
  // The session's drain handler.
  static void Drain(TIMSession& session);
};

#endif
