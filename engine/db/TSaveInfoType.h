// The kinds of values the account database keeps in nq_saveinfo, by its "type"
// column. The program reads some of them too, so the numbers never change.
#ifndef TESMO_DB_TSAVEINFOTYPE_H
#define TESMO_DB_TSAVEINFOTYPE_H

// The login's session values: registration, servers, profile, friend version.
constexpr int kSaveInfoSession = 1;
// The last history id fetched, per conversation, and the first-run marks.
constexpr int kSaveInfoHistory = 2;
// The time of the first history download.
constexpr int kSaveInfoTime = 3;
// The pushes whose "lost the group" notice is stored (kept without the server's id),
// by group and push id, so a repeated push is not stored again.
constexpr int kSaveInfoLostGroupNotice = 4;

#endif
