// Sends and recalls whose post is out while their account's file may be closed
// (another account's opened). The outcome belongs to the row in its own file: it
// is written at once when that file is the open one, else kept and written when
// the file is next opened. A row whose post is still out when its file is opened
// again is not taken for one that a stopped run left "sending".
#ifndef TESMO_SERVICES_TSENDOUTCOMES_H
#define TESMO_SERVICES_TSENDOUTCOMES_H

#include <functional>
#include <string>
#include <vector>

class TSendOutcomes {
 public:
  // Writes an outcome into the open database; returns the request's result.
  using Apply = std::function<int()>;

  // One post of a row of the file open for this thread's work, noted as out from
  // construction until Settle (or destruction, for a post that ended otherwise).
  class Post {
   public:
    explicit Post(int localId);
    ~Post();
    Post(const Post&) = delete;
    Post& operator=(const Post&) = delete;

    // Applies the outcome to the row's file: apply's result when it was written
    // now, keptResult when it waits for the file to be opened again (or when the
    // post's file was already closed as it began: then nothing is kept).
    int Settle(Apply apply, int keptResult);

   private:
    std::string m_path;  // "" when no file was open for the work
    int m_localId;
    bool m_settled = false;
  };

  // The facade's database switch. Closing: outcomes that come in until Opened are
  // kept. Opened (once the file's settings are loaded): the outcomes kept for path
  // are written to it, in the order they came.
  static void FileClosing();
  static void FileOpened(const std::string& path);
  // Local ids of path whose outcome is out or kept: their "sending" is no leftover.
  static std::vector<int> PendingIds(const std::string& path);
};

#endif
