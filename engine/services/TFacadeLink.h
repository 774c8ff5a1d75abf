#ifndef TESMO_SERVICES_TFACADELINK_H
#define TESMO_SERVICES_TFACADELINK_H

class TAPIPacket;
class TBaseMutex;
class TDBManager;

// What the engine below the facade needs of it: the road of reports to the caller's
// callback and the database the caller set. The facade implements it, so nothing
// below includes the public header.
class TFacadeLink {
 public:
  virtual ~TFacadeLink() = default;

  // Hands the packet to the callback and deletes it.
  virtual void DeliverPacket(TAPIPacket* packet) = 0;
  virtual void NotifyCallback(int code, int a, int id, int b, const char* text) = 0;
  virtual TDBManager* GetDatabaseManager() const = 0;

  // The link to the process's facade, null before one is built.
  static TFacadeLink* Current();
  // The recursive lock held around every callback; null before Init and after Release.
  static TBaseMutex* CallbackMutex();

 protected:
  // The facade registers its link and the way to its callback lock.
  static void SetCurrent(TFacadeLink* link, TBaseMutex* (*callbackMutex)());
};

#endif
