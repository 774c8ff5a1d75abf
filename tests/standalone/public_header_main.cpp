// A caller that knows only the public header: it must compile on its own and link
// against libplugin.so alone.
#include <cstdio>
#include <cstring>

#include "TAPIInterface.h"

static int g_runReports = 0;

static void OnReport(int method, int, int, int, const char*) {
  if (method == _EVENT_REPORT_RUN) ++g_runReports;
}

int main() {
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&OnReport);
  if (api.Run() != 1) return 1;
  if (api.CreateDialogID() != 10001) return 2;
  if (std::strcmp(api.GetMyUserID(), "0") != 0) return 3;
  api.Release();
  std::printf("public header ok\n");
  return 0;
}
