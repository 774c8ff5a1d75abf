#ifndef TESMO_SERVICES_TCONTACTRECORD_H
#define TESMO_SERVICES_TCONTACTRECORD_H

#include <string>

// One known user of the account, as the contact cache holds it (the user id is the
// cache's key, not a field).
struct TContactRecord {
  std::string account;
  std::string name;
  std::string summary;
  std::string logo;     // avatar address
  std::string biglogo;  // large avatar address
  int isfriend = 0;     // non-zero for a friend
  int version = 0;      // the contact's data version
  int champflag = 0;
};

#endif
