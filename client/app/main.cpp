// The program TesmoChat: start-up, the event loop and an orderly exit.
#include "app/VStartup.h"

int main(int argc, char* argv[]) { return VStartup::run(argc, argv); }
