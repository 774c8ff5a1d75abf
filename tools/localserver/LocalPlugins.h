// Path handlers that other servers' loopback fakes add to the local server.
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALPLUGINS_H
#define TESMO_TOOLS_LOCALSERVER_LOCALPLUGINS_H

#include <vector>

class LocalServer;

// Each plug-in registers its routes on server.Http(key) before the servers start, and
// hands objects that must live as long as the server to server.Keep.
using LocalPathPlugin = void (*)(LocalServer& server);
const std::vector<LocalPathPlugin>& LocalPathPlugins();

#endif
