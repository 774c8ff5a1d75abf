// What group commands and group notifications hand to the group store. Every field
// starts "not given"; the store writes only the fields a caller filled.
#ifndef TESMO_SERVICES_TGROUPRECORD_H
#define TESMO_SERVICES_TGROUPRECORD_H

#include <cstdint>
#include <map>
#include <string>

// One row of nq_group.
struct TGroupRecord {
  std::string groupid;  // empty: the record is ignored
  std::string parentid;
  int hasParentid = 0;  // 1: parentid is given, even when empty (a top-level group)
  std::string path;
  std::string craccount;
  std::string groupname;
  std::string grouplogo;
  std::string groupinfo;
  int hasGroupinfo = 0;  // 1: groupinfo is given, even when empty
  int usercount = 0;     // 0: not given
  std::string entrytime;
  int version = 0;      // 0: not given
  int userversion = 0;  // 0: not given
  int groupstate = -1;  // 0 active, 1 left
  int type = -1;
  int banall = -1;
  int banurl = -1;
  int banpic = -1;
  int banchat = -1;
  int banmsg = -1;
  int banscreenshot = -1;
  int banuser = -1;
  std::string surl;
  int title = -1;
};

// One row of nq_groupuser.
struct TGroupMemberRecord {
  std::string groupid;  // empty: the record is ignored
  std::string account;
  std::string nick;
  int role = -1;  // 1 owner, 2 manager, 3 member; 0 removes the member
  std::string entrytime;
  int64_t msgid = 0;    // the last message the member read; 0: not given
  int64_t msgtime = 0;  // milliseconds; 0: not given
  int userversion = 0;  // 0: not given
  int champflag = -1;
};

// The stale-member cleanup after a member page: plain members of the group whose
// rowid lies inside (low, high) and whose userversion is not the page's.
struct TMemberWindow {
  std::string groupid;
  long long lowRowid = 0;  // 0: no lower end
  long long highRowid = 0;
  int userversion = 0;
};

// A stored member as the member-page merge needs it.
struct TStoredMember {
  std::string nick;
  int userversion = 0;
  long long rowid = 0;
};
using TMemberMap = std::map<std::string, TStoredMember>;

#endif
