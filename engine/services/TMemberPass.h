// The passes over a group's member pages (getuser), one per group. A page names
// where it starts ("fromid", 0 for the first) and where the next one starts ("endid",
// 0 after the last); the pages follow the server's order of members, not the order
// of the stored rows. Only a pass that began at the first page and followed every
// page to the last has seen all members, and only then can a stored member that no
// page named be taken for one who left.
#ifndef TESMO_SERVICES_TMEMBERPASS_H
#define TESMO_SERVICES_TMEMBERPASS_H

#include <string>

class TMemberPass {
 public:
  // Notes one page of groupid's list with the list's version. storedHigh is the
  // highest rowid among the group's members stored before the page. Returns the
  // rowid up to which stored members left out of the pass may go: 0 except on the
  // last page of a complete pass of one version, and then the highest rowid stored
  // when the pass began (members stored since, by a join say, stay).
  static long long OnPage(const std::string& groupid, long long fromid, long long endid,
                          int version, long long storedHigh);
  // Forgets every pass (another account's database was opened).
  static void Clear();
};

#endif
