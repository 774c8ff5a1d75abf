// The local copies of groups (nq_group) and their members (nq_groupuser). Stateless:
// each operation builds its statements, runs them on the current account database
// and reports a status. Texts go into SQL escaped, numbers formatted from integers.
#ifndef TESMO_SERVICES_TGROUPSTORE_H
#define TESMO_SERVICES_TGROUPSTORE_H

#include <string>

#include "services/TGroupRecord.h"

class TGroupStore {
 public:
  // Writes the given fields of an existing group, or inserts a new one (and tells
  // the program with event 100009 "groupchange"). A new group's type, ban flags and
  // title are 0 unless given. Giving an empty parentid also rebuilds the paths of the
  // group's children. 1 done; 0 for an empty groupid or a failed statement.
  static int UpsertGroup(const TGroupRecord& group);
  // Writes the given fields of an existing member (role 0 deletes it) or inserts a
  // new one (role 3 unless given). The member's rowid; 0 for an empty groupid or
  // account, an absent member with role 0 or a deleted one; -1 when a statement failed.
  static int UpsertMember(const TGroupMemberRecord& member);

  // The one statement UpsertMember would run, not run; "" when there is nothing to
  // do or the existence query failed.
  static std::string BuildMemberUpsertSql(const TGroupMemberRecord& member);
  // Update (delete for role 0) of a member known to exist; "" when nothing is given.
  static std::string BuildMemberUpdateSql(const TGroupMemberRecord& member);
  // Insert of a member that also updates the given fields of a row stored by the
  // time it runs, so that it never makes a second row; "" for an empty groupid or
  // account, or role 0. A role not given becomes 3.
  static std::string BuildMemberInsertSql(TGroupMemberRecord* member);
  // Appends name='value' (value escaped) to a comma-separated assignment list.
  static int AppendAssignment(std::string* list, const std::string& name, const std::string& value);

  // The stored members of a group by account. 0 ok, -1 when the query failed.
  static int LoadMemberMap(const std::string& groupid, TMemberMap* members);
  // Fills nick and role of the member named by groupid and account (empty nick and
  // role 0 when there is no such row). 0 ok (also when either key is empty), -1 failed.
  static int GetMemberNickRole(TGroupMemberRecord* member);
  // Appends the accounts of members who have read msgid to accounts (comma list) and
  // sets unread from the group's member count. The number of readers; -1 when a query
  // failed; -2 when the group has more than 1000 members.
  static int GetMessageReaders(const std::string& groupid, long long msgid, std::string* accounts,
                               int* unread);
  // Removes the stale plain members inside the window. 0 ok (also for an empty
  // groupid), -1 failed.
  static int PruneMemberWindow(const TMemberWindow& window);
  // The delete statement of PruneMemberWindow, for callers that batch it; "" for an
  // empty groupid. A high rowid of 0 leaves the window open at the top.
  static std::string BuildPruneSql(const TMemberWindow& window);
  // groupstate 1; the row stays. 0 ok, -1 failed.
  static int MarkGroupLeft(const std::string& groupid);
  // The member's role; 0 when there is no such row; -1 when the query failed.
  static int GetMemberRole(const std::string& groupid, const std::string& account);

  static constexpr int kMaxReadStateMembers = 1000;
};

#endif
