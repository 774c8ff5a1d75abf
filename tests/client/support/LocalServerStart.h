// Starts the local server on a world and points the program's engine at it, as the
// end-to-end tests of the program need it.
#ifndef TESMO_TESTS_CLIENT_SUPPORT_LOCALSERVERSTART_H
#define TESMO_TESTS_CLIENT_SUPPORT_LOCALSERVERSTART_H

#include <QTemporaryDir>
#include <QtTest>

#include "shell/ImUiInterface.h"
#include "tools/LocalServerProcess.h"

// Fails the calling test function when the server does not start.
inline void StartLocalServer(LocalServerProcess& server, const char* world,
                             const QTemporaryDir& dir) {
  QVERIFY(dir.isValid());
  const std::string state = dir.filePath("state").toStdString();
  QVERIFY2(server.Start({"--world", world, "--state", state}),
           (server.Output() + server.Errors()).c_str());
  // The program finds every server through TESMO_SERVER and trusts the server's
  // own certificate authority.
  qputenv("TESMO_SERVER", server.Value("TESMO_SERVER").c_str());
  qputenv("TESMO_CA_FILE", server.Value("TESMO_CA_FILE").c_str());
  ImUiInterface::instance()->initInterface();
  QVERIFY(ImUiInterface::instance()->serverOverridden());
  QCOMPARE(ImUiInterface::instance()->serverHost(), QStringLiteral("127.0.0.1"));
}

#endif
