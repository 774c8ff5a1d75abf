// Paths of the user server's requests that more than one service sends or routes.
#ifndef TESMO_SERVICES_TUSERPROTOCOL_H
#define TESMO_SERVICES_TUSERPROTOCOL_H

inline constexpr char kUserDetailPath[] = "/userinfo/user/getdetail.do";
inline constexpr char kUserDetailListPath[] = "/userinfo/user/getdetaillist.do";
inline constexpr char kUserCommandPath[] = "/userinfo/user/usercommand.do";
inline constexpr char kFriendListPath[] = "/userinfo/user/getfriend.do";
inline constexpr char kUpdateFriendPath[] = "/userinfo/user/updatefriend.do";

#endif
