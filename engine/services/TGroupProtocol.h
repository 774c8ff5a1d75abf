// What the group server's protocol fixes: the member roles of its replies (also the
// "role" column of the member table) and the paths of its requests.
#ifndef TESMO_SERVICES_TGROUPPROTOCOL_H
#define TESMO_SERVICES_TGROUPPROTOCOL_H

// Member roles; kRoleRemove marks a member who left or was removed.
constexpr int kRoleRemove = 0;
constexpr int kRoleOwner = 1;
constexpr int kRoleManager = 2;
constexpr int kRoleMember = 3;

// Every group command, on the group's own server.
inline constexpr char kGroupProcessPath[] = "/group/info/process.do";
// A new group, on the login server.
inline constexpr char kCreateGroupPath[] = "/navigation/user/creategroup.do";

#endif
