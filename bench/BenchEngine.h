// Shared by the benchmarks that drive the engine against the local server: start the
// server as a child process on a fresh state folder and log the engine in by phone
// code, in the program's start-up order.
#ifndef TESMO_BENCH_BENCHENGINE_H
#define TESMO_BENCH_BENCHENGINE_H

#include <stdlib.h>

#include <cstdio>
#include <functional>
#include <string>

#include "TAPIInterface.h"
#include "tools/LocalServerProcess.h"

// A fresh folder for the server's state and the account database; "" on failure.
inline std::string BenchFolder(const char* name) {
  std::string pattern = std::string("/tmp/") + name + "-XXXXXX";
  return mkdtemp(&pattern[0]) ? pattern : std::string();
}

// Starts the server in dir and logs api in as the world's first account. waitLogin
// waits for the callback's answer: 1 logged in, anything else failed.
inline bool StartAndLogIn(LocalServerProcess& server, TAPIInterface& api, const std::string& dir,
                          TAPICallBack callback, const std::function<int()>& waitLogin) {
  if (!server.Start({"--world", TESMO_BENCH_WORLD, "--state", dir + "/state"})) {
    std::fprintf(stderr, "local server did not start:\n%s%s\n", server.Output().c_str(),
                 server.Errors().c_str());
    return false;
  }
  setenv("TESMO_CA_FILE", server.Value("TESMO_CA_FILE").c_str(), 1);
  api.Init();
  api.SetCallBack(callback);
  api.UseOpenssl("", "", "");
  api.SetServerInfo("127.0.0.1", server.Port("TESMO_SERVER"));
  api.SetDeviceType(2);
  api.Run();
  api.SetDatabase((dir + "/tesChat.db").c_str());
  api.SetMobileLogin("13900000001", "+86", "111222", "DEVICE-BENCH", 1);
  api.MakeRegister();
  if (waitLogin() != 1) {
    std::fprintf(stderr, "login failed\n%s\n", server.Output().c_str());
    return false;
  }
  return true;
}

#endif
