// The program's own start-up, with the first frame of the login window reported.
#include "FirstFrameProbe.h"
#include "app/VStartup.h"

int main(int argc, char* argv[]) {
  const int exitCode = VStartup::run(argc, argv, [] { return FirstFrameProbe::Watch(); });
  return exitCode < 0 ? 1 : exitCode;
}
