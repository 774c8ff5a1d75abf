#ifndef TESMO_TESTS_CLIENT_PROGRAMSERVER_H
#define TESMO_TESTS_CLIENT_PROGRAMSERVER_H

// Starts the local server on a world file and points the program at it, as a user
// would with TESMO_SERVER; the engine is started afterwards by the test.

#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include "tools/LocalServerProcess.h"

namespace ProgramServer {

// Keeps the server's state in `dir`; fails the calling test when the server does
// not start.
inline void Start(LocalServerProcess& server, const char* world, const QTemporaryDir& dir) {
  QVERIFY(dir.isValid());
  const std::string state = dir.filePath("state").toStdString();
  QVERIFY2(server.Start({"--world", world, "--state", state}),
           (server.Output() + server.Errors()).c_str());
  // The program finds every server through TESMO_SERVER and trusts the
  // server's own certificate authority.
  qputenv("TESMO_SERVER", server.Value("TESMO_SERVER").c_str());
  qputenv("TESMO_CA_FILE", server.Value("TESMO_CA_FILE").c_str());
}

}  // namespace ProgramServer

#endif
