#ifndef TESMO_CLIENT_SHELL_VSTARTFOLDER_H
#define TESMO_CLIENT_SHELL_VSTARTFOLDER_H

#include <QString>
#include <QStringList>

// Where the file dialogs start: the user's pictures or documents folder. Qt's own
// dialog given a folder that does not exist starts in the working folder instead,
// which for an installed program is anywhere.
class VStartFolder {
 public:
  enum Kind { Documents, Pictures };

  // The folder. When it does not exist: with `make`, made (a file is about to be
  // saved there); else the home folder, where choosing a file can begin.
  static QString path(Kind kind, bool make);
  // Pictures when every pattern of the name filters names a picture format
  // ("PNG(*.png)", "JPEG(*.jpg;*.jpeg)"), else documents.
  static Kind forNameFilters(const QStringList& nameFilters);
};

#endif
