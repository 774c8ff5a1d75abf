// What the tests of the local server program share: a temporary folder, the program
// started on a world with its state kept in that folder, and the engine started and
// logged in against it in the program's start-up order. TearDown releases the engine,
// stops the server (expecting a clean exit) and removes the folder.
#ifndef TESMO_TESTS_TOOLS_LOCALSERVERFIXTURE_H
#define TESMO_TESTS_TOOLS_LOCALSERVERFIXTURE_H

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "TAPIInterface.h"
#include "support/CallbackRecorder.h"
#include "tools/LocalServerProcess.h"
#include "tools/TempFolder.h"

class LocalServerFixture : public ::testing::Test {
 protected:
  static constexpr std::chrono::seconds kReportWait{60};

  // world: the world file the server starts on; folder: NAME of the temporary folder.
  LocalServerFixture(std::string world, std::string folder);

  // Makes the folder and starts the server on it; the engine is left to the test.
  void SetUp() override;
  void TearDown() override;

  // A new server process on the folder's "state" (fatal failure when it does not
  // start, with what it printed).
  void StartServer();
  // The server stops (exit 0 expected) and starts again on the same state folder.
  void RestartServer();
  // The program's start-up order up to Run(), pointed at this server and trusting its
  // own CA as the program does through run.sh; Run() is the caller's, so that it can
  // set the engine up further first.
  void PrepareEngine(const LocalServerProcess& at);
  // After Run(): a database file of its own in the folder and a login by code; waits
  // for the login's success.
  void LogInByCode(const std::string& database, const std::string& mobile, const std::string& code,
                   const std::string& device, std::chrono::seconds wait = kReportWait);
  // The whole start-up against the running server, then LogInByCode.
  void StartAndLogIn(const std::string& database, const std::string& mobile,
                     const std::string& code, const std::string& device);
  std::optional<RecordedReport> Wait(int code, std::optional<int> id = std::nullopt);

  std::string dir;
  std::unique_ptr<LocalServerProcess> server;
  TAPIInterface api;

 private:
  const std::string m_world;
  const std::string m_folder;
  std::unique_ptr<TempFolder> m_temp;
};

#endif
