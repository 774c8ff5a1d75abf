#ifndef TESMO_CLIENT_SHELL_VCRASHDUMP_H
#define TESMO_CLIENT_SHELL_VCRASHDUMP_H

#include <QString>

// Crash dumps: a fatal signal writes a small text dump into the user's data folder
// and re-raises; the next start notes that a dump waits, and after the next login it
// is uploaded once and removed when the server took it.
class VCrashDump {
 public:
  // The dialog id of the upload (not one from CreateDialogID).
  static constexpr int kUploadDialogId = -849663;

  // Start-up, once the program's names are set: the handlers on an alternate
  // stack (every thread gets one, see VSignalStack), the dump path fixed for this
  // run, and the flag set when a dump from an earlier run exists.
  static void install();
  // Removes the handlers again (tests).
  static void uninstall();

  // In the user's data folder (dumpFolder): "CrashDumpFile_" + the "Version"
  // setting (or "default1") + ".dmp".
  static QString dumpFilePath();
  static QString dumpFolder();
  static bool hasCrashDumpFile();
  static void setHasCrashDumpFile(bool has);

  // After a login: uploads a waiting dump once.
  static void uploadCrashDump();
  // The upload's answer: the dump goes only when the server took it (status 0).
  static void onCrashDumpUploaded(int status);
};

#endif
