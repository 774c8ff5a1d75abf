// Downloads chat history from the IM server's HTTP side into nq_message: the older
// messages of one conversation that the program asks for (request 200206), and the
// background synchronisation's downloads after a login. A context object built for
// one call on the thread that runs the exchanges; its only state is the
// last-downloaded ids kept in nq_saveinfo.
#ifndef TESMO_SERVICES_THISTORYSYNC_H
#define TESMO_SERVICES_THISTORYSYNC_H

#include <atomic>
#include <set>
#include <string>
#include <vector>

class TAPIPacket;
class THttpRequestService;

// One downloaded message, as it is stored.
struct THistoryRecord {
  long long msgid = 0;
  long long accountid = 0;
  int msgtype = 0;
  std::string fromuser;
  std::string fromgroup;
  int fromver = 0;
  int device = 0;
  std::string touser;
  int totype = 0;
  std::string content;
  std::string remark;
  std::string localpath;
  std::string fileurl;
  int sendflag = 0;
  int localsend = 0;
  int seeflag = 0;
  int atflag = 0;
  std::string sendtime;
};

// What one or more download replies brought, ready to be stored.
struct THistoryPage {
  std::vector<THistoryRecord> records;
  std::vector<THistoryRecord> revokes;  // stored after the records
  std::set<std::string> conversations;
  std::set<std::string> senders;
  long long maxid = 0;
  int finish = 0;  // of the last reply read
};

class THistorySync {
 public:
  // Message ids are fetched in chunks of this many per mid-history POST.
  static constexpr size_t kMidHistoryChunk = 100;
  // A group conversation keeps this many of its newest rows after a download.
  static constexpr int kGroupKeepRows = 900;
  // The login-time download stores its pages once this many rows are waiting.
  static constexpr size_t kStoreRows = 20000;

  explicit THistorySync(THttpRequestService& service);

  // Request 200206: s1 the conversation, s2 the last id the program holds, s3 the
  // page size. Stores what is missing (seen, no events). 0 when the server listed no
  // ids or every missing message was read; else the failure (see GetMidHistory).
  int OnGetHistoryRequest(TAPIPacket* packet);
  // The newest messages of the conversation s1 (the one-to-one ones when empty):
  // ids in pages of 30, stored seen, events raised per conversation. Also the entry
  // point of the first download of an account.
  int SyncUserHistory(TAPIPacket* packet);
  // The newest messages of the group s1: ids in pages of 120, stored unseen.
  int SyncGroupHistory(TAPIPacket* packet);
  // Every one-to-one message since the login time s2, page after page.
  int SyncHistoryByLoginTime(TAPIPacket* packet);
  // True when a download of this object left messages it listed, or pages, unstored.
  bool Incomplete() const { return m_incomplete.load(); }

  // The comma-separated ids the server lists for target, "" on any failure.
  std::string GetHistoryIds(TAPIPacket* packet, const std::string& target, long long lastid,
                            int pagesize);
  // Fetches and stores the ids not yet stored, in chunks of kMidHistoryChunk. 0 when
  // every chunk was read (or none was needed); a failed exchange ends it with its
  // code, an empty or unreadable reply gives kHttpUndecodable.
  int GetMidHistory(TAPIPacket* packet, const std::string& ids, int finishConversations,
                    int seeflag);
  // The ids of the list (in list order) that are not stored for target; ids that are
  // not plain numbers are dropped.
  static std::string FilterMissingIds(const std::string& target, const std::string& ids);

  // Stores one download reply. 1 when the reply was usable (code 1 and a "result"),
  // else 0 with nothing stored; *finish gets the reply's "finish".
  int ParseHistory(TAPIPacket* packet, const std::string& reply, int finishConversations,
                   int seeflag, int* finish);
  // The reading half: appends the reply's messages to page (maxid the largest seen,
  // finish the reply's). 1 when usable, else 0 with page unchanged.
  static int ReadHistory(const std::string& reply, int seeflag, THistoryPage* page);
  // The storing half: details of unknown senders, then StoreFetchedPage under
  // packet->s1.
  void StoreHistoryPage(TAPIPacket* packet, THistoryPage* page, int finishConversations);
  // The rows, the revokes, the last id (under target; not after a page of this
  // download failed) and, when asked, the conversations' events; no network
  // exchange.
  void StoreFetchedPage(const std::string& target, THistoryPage* page, int finishConversations);
  // Stores the records that are not stored yet, in one transaction, and brings each
  // conversation's list row up to date. Returns the number of rows inserted, or
  // kStoreFailed with none of them kept.
  static constexpr int kStoreFailed = -1;
  static int StoreHistoryBatch(const std::vector<THistoryRecord>& records,
                               const std::set<std::string>& conversations);
  // After a download: trims a group to its newest rows, announces the conversation's
  // newest message once (100008) and that its history came (100011).
  void FinishConversation(const std::string& target);
  // The row as the text of event 100008; "" when there is no such row.
  static std::string BuildMessageJson(int id);

  // The largest server id downloaded for target ("PERSON" when empty); 0 when none.
  static long long GetLastHistoryId(const std::string& target);
  // Written only when id is larger than the stored one.
  static void SetLastHistoryId(const std::string& target, long long id);

 private:
  // Fetches the details of senders that are neither groups, the own account nor
  // known contacts.
  void FetchUnknownSenders(TAPIPacket* packet, const std::set<std::string>& senders);
  // GetHistoryIds with its failure: the exchange's code, or kHttpUndecodable for an
  // empty reply or one without code 1 and a "result"; 0 with *ids (maybe empty).
  int FetchHistoryIds(TAPIPacket* packet, const std::string& target, long long lastid, int pagesize,
                      std::string* ids);
  int SyncConversation(TAPIPacket* packet, int pagesize, int seeflag);

  THttpRequestService& m_service;
  // Set once a page of this download could not be fetched, read or stored: a later
  // page's newest id must not mark the missing rows as downloaded.
  std::atomic<bool> m_incomplete{false};
};

#endif
