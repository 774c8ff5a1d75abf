#ifndef TESMO_BASE_TSINGLEOBJECT_H
#define TESMO_BASE_TSINGLEOBJECT_H

// Base of the engine's kernel-object wrappers: one owned resource, given back by
// Close and by the destructor.
class TSingleObject {
 public:
  TSingleObject() = default;
  virtual ~TSingleObject() = default;
  TSingleObject(const TSingleObject&) = delete;
  TSingleObject& operator=(const TSingleObject&) = delete;

  virtual bool Close() { return true; }
};

#endif
