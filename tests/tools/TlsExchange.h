// One TLS exchange with a local server over loopback, for the local server tests.
#ifndef TESMO_TESTS_TOOLS_TLSEXCHANGE_H
#define TESMO_TESTS_TOOLS_TLSEXCHANGE_H

#include <string>

// Sends request to 127.0.0.1:port with the server's CA trusted; the reply's bytes,
// read until the server closes.
std::string TlsExchange(int port, const std::string& caFile, const std::string& request);

#endif
