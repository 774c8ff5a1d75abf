#ifndef TESMO_CLIENT_CONTACTS_IMGROUPMANAGERPRIVATE_H
#define TESMO_CLIENT_CONTACTS_IMGROUPMANAGERPRIVATE_H

#include <QHash>
#include <QMap>
#include <QString>

class ImGroupEntity;

// A change of a group's settings that awaits its answer. Several can be out at
// once (two switches, a rename and the join switch), each answered on its own.
struct ImGroupChange {
  enum Kind { Set, Ban, Mute };
  Kind kind = Set;
  QString groupid;
  // For a "set": the name it gives (empty when none) and the introduction it
  // stores (null when it leaves the introduction alone).
  QString name;
  QString info;
};

// The data of ImGroupManager: every loaded group, the dialog id of the latest
// request of each command kind (0: none outstanding) and the current group.
class ImGroupManagerPrivate {
 public:
  QMap<QString, ImGroupEntity*> m_groups;
  int m_nCreateGroupDid = 0;
  int m_nSetGroupPasswordDid = 0;
  int m_nGetGroupByPasswordDid = 0;
  int m_nLeaveGroupDid = 0;
  int m_nDeleteGroupMemberDid = 0;
  int m_nAddGroupMembersDid = 0;
  int m_nBanuserDid = 0;
  int m_nGetGroupInfoDid = 0;
  int m_nGetGroupVersionDid = 0;
  int m_nLoadMoreMembersDid = 0;
  int m_nSearchMembersDid = 0;
  int m_nSetGroupInfoDid = 0;
  int m_nSetGrantInfoDid = 0;
  int m_nJoinGroupDid = 0;
  int m_nGetChildGroupsDid = 0;
  int m_nReleaseGroupDid = 0;
  int m_nDestroyGroupDid = 0;
  int m_nMuteNotificationsDid = 0;
  int m_nSearchPickerMembersDid = 0;
  // The outstanding "set", "banuser" and mute requests by dialog id.
  QHash<int, ImGroupChange> m_changes;
  QString m_groupname;
  QString m_info;
  QString m_groupIcon;
  int m_memberCount = 0;
  QString m_nick;
  QString m_owner;
  QString m_code;
  int m_countdown = 0;
  QString m_parentName;
  int m_childSize = 0;
};

#endif
