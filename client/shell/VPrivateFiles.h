#ifndef TESMO_CLIENT_SHELL_VPRIVATEFILES_H
#define TESMO_CLIENT_SHELL_VPRIVATEFILES_H

#include <QString>
#include <QStringList>

// The program's data, settings and cache hold the user's whole history, the
// engine's stored session and the settings: they are the user's alone, folders
// 0700 and files 0600, whatever the process's umask would give.
class VPrivateFiles {
 public:
  // The folders of the program: data (accounts, databases, crash dumps), settings
  // and cache.
  static QStringList programFolders();

  // Makes the folder with its missing parents; every folder made here is 0700.
  static bool makeFolder(const QString& path);
  // Drops the rights of group and others on a file or folder; true when the
  // path is then private.
  static bool restrict(const QString& path);
  // Creates an empty file 0600 when there is none, else restricts the one there,
  // so that whatever rewrites it later keeps its rights.
  static bool prepareFile(const QString& path);
  // A folder and everything below it, links not followed.
  static void restrictTree(const QString& folder);
  // Start-up: makes the program's folders private at once and tightens what an
  // earlier run left in them on a pool thread (the trees may be large).
  static void protectProgramFolders();
  // The same, all in the calling thread.
  static void protectProgramFoldersNow();
};

#endif
