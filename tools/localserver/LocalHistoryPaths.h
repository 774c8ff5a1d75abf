#ifndef TESMO_TOOLS_LOCALSERVER_LOCALHISTORYPATHS_H
#define TESMO_TOOLS_LOCALSERVER_LOCALHISTORYPATHS_H

class LocalServer;

// Plug-in: the history downloads (ids, mid-history, by login time), the group message
// ids and the group list update on the IM and group servers, the friend list on the
// user server.
void MountHistoryPaths(LocalServer& server);

#endif
