// An exported class without state: part of the library's exported surface only.
#ifndef TESMO_UTIL_PLUGIN_H
#define TESMO_UTIL_PLUGIN_H

#include "base/TAPIPacket.h"

class TAPI_EXPORT Plugin {
 public:
  Plugin();
  Plugin(const Plugin& other);
  Plugin& operator=(const Plugin& other);
  Plugin& operator=(Plugin&& other) noexcept;
};

#endif
