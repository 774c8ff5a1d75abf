// The engine test double: every TAPIInterface method, defined against the
// engine's own header, with scripted answers and worker threads of its own.
#include "EngineDouble.h"

#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "TAPIInterface.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TRecordSet.h"

namespace {

struct Task {
  EngineDouble::Report report;
};

struct Worker {
  std::deque<Task> queue;
  std::thread thread;
};

struct RecordSet {
  std::vector<std::vector<std::string>> rows;
  int fields = 0;
};

struct State {
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable changed;
  std::vector<std::string> calls;
  std::vector<std::string> names;
  std::map<std::string, std::string> texts;
  std::map<std::string, int> ints;
  std::map<int, EngineDouble::Report> replies;
  std::vector<EngineDouble::Report> delivered;
  Worker workers[EngineDouble::kWorkerCount];
  int nextWorker = 0;
  bool initialized = false;
  bool running = false;
  bool stopping = false;
  int nextDialog = 10001;
  int nextMessage = 1;
  int nextTrans = 0;
  // The engine's own store, so the program reads and writes the tables and
  // indexes the engine creates.
  std::unique_ptr<TDBManager> db;
  long nextSet = 1;
  std::map<long, RecordSet> sets;
};

State& S() {
  static State* state = new State;  // outlives every thread, also at exit
  return *state;
}

// Held around every callback, like the engine's report lock.
std::recursive_mutex& ReportLock() {
  static std::recursive_mutex* lock = new std::recursive_mutex;
  return *lock;
}

std::string Arg(const char* text) { return text ? text : "(null)"; }
std::string Arg(const std::string& text) { return text; }
std::string Arg(int value) { return std::to_string(value); }
std::string Arg(long value) { return std::to_string(value); }

template <typename... Args>
void Record(const char* name, const Args&... args) {
  std::ostringstream line;
  line << name << '(';
  bool first = true;
  ((line << (first ? "" : ",") << Arg(args), first = false), ...);
  line << ')';
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.calls.push_back(line.str());
  s.names.push_back(name);
  s.changed.notify_all();
}

// A text result that stays valid until the same method is called again on the
// same thread, as the engine's per-method buffers do.
char* Buffer(const std::string& method, const std::string& text) {
  thread_local std::map<std::string, std::string> buffers;
  std::string& slot = buffers[method];
  slot = text;
  return &slot[0];
}

std::string TextOf(const std::string& method) {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  const auto it = s.texts.find(method);
  return it == s.texts.end() ? std::string() : it->second;
}

int IntOf(const std::string& method, int fallback) {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  const auto it = s.ints.find(method);
  return it == s.ints.end() ? fallback : it->second;
}

char* Empty() {
  static char empty[1] = {0};
  return empty;
}

void Deliver(const EngineDouble::Report& report) {
  std::lock_guard<std::recursive_mutex> lock(ReportLock());
  TAPIInterface* facade = TAPIInterface::Instance();
  if (facade)
    facade->NotifyCallback(report.code, report.a, report.id, report.b, report.text.c_str());
  // Counted once the callback has returned, still in callback order.
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.delivered.push_back(report);
  s.changed.notify_all();
}

void WorkerLoop(int index) {
  Deliver({_EVENT_REPORT_RUN, 0, 0, 0, std::string()});
  State& s = S();
  for (;;) {
    Task task;
    {
      std::unique_lock<std::mutex> guard(s.mutex);
      s.wake.wait(guard, [&] { return s.stopping || !s.workers[index].queue.empty(); });
      if (s.stopping) return;
      task = s.workers[index].queue.front();
      s.workers[index].queue.pop_front();
    }
    Deliver(task.report);
  }
}

void Queue(int worker, const EngineDouble::Report& report) {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.workers[worker % EngineDouble::kWorkerCount].queue.push_back({report});
  s.wake.notify_all();
}

// Answers a queued request once, on the next worker in turn.
int Answer(int code, int id) {
  State& s = S();
  EngineDouble::Report reply{code, 0, id, 0, std::string()};
  int worker;
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    const auto it = s.replies.find(code);
    if (it != s.replies.end()) {
      reply.a = it->second.a;
      reply.b = it->second.b;
      reply.text = it->second.text;
    }
    worker = s.nextWorker++;
  }
  Queue(worker, reply);
  return id;
}

int NewDialogID() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  return s.initialized ? s.nextDialog++ : 0;
}

}  // namespace

// ---- Control ----

namespace EngineDouble {

void Reset() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.calls.clear();
  s.names.clear();
  s.texts.clear();
  s.ints.clear();
  s.replies.clear();
  s.delivered.clear();
}

std::vector<std::string> Calls() {
  std::lock_guard<std::mutex> guard(S().mutex);
  return S().calls;
}

std::vector<std::string> CallNames() {
  std::lock_guard<std::mutex> guard(S().mutex);
  return S().names;
}

bool WaitForCall(const std::string& name, std::chrono::milliseconds timeout) {
  State& s = S();
  std::unique_lock<std::mutex> guard(s.mutex);
  return s.changed.wait_for(guard, timeout, [&] {
    for (const std::string& called : s.names)
      if (called == name) return true;
    return false;
  });
}

void SetText(const std::string& method, const std::string& text) {
  std::lock_guard<std::mutex> guard(S().mutex);
  S().texts[method] = text;
}

void SetInt(const std::string& method, int value) {
  std::lock_guard<std::mutex> guard(S().mutex);
  S().ints[method] = value;
}

void SetReply(int code, int a, const std::string& text, int b) {
  std::lock_guard<std::mutex> guard(S().mutex);
  S().replies[code] = Report{code, a, 0, b, text};
}

void Raise(int worker, int code, int a, int id, int b, const std::string& text) {
  Queue(worker, Report{code, a, id, b, text});
}

std::vector<Report> Delivered() {
  std::lock_guard<std::mutex> guard(S().mutex);
  return S().delivered;
}

bool WaitDelivered(size_t count, std::chrono::milliseconds timeout) {
  State& s = S();
  std::unique_lock<std::mutex> guard(s.mutex);
  return s.changed.wait_for(guard, timeout, [&] { return s.delivered.size() >= count; });
}

bool IsRunning() {
  std::lock_guard<std::mutex> guard(S().mutex);
  return S().running;
}

}  // namespace EngineDouble

// ---- The facade ----

TAPIPacket::TAPIPacket() : code(0), id(0), a(0), b(0), state(0) {}
TAPIPacket::~TAPIPacket() = default;

namespace {
std::atomic<TAPIInterface*> g_facade{nullptr};
}  // namespace

TAPIInterface::TAPIInterface() : m_callback(nullptr), m_database(nullptr) { g_facade = this; }

TAPIInterface::~TAPIInterface() {
  Release();
  TAPIInterface* self = this;
  g_facade.compare_exchange_strong(self, nullptr);
}

TAPIInterface* TAPIInterface::Instance() { return g_facade.load(); }

const char* TAPIInterface::GetIPAddress(int type) {
  Record("TAPIInterface::GetIPAddress", type);
  return Empty();
}

void TAPIInterface::Init() {
  Record("Init");
  std::lock_guard<std::mutex> guard(S().mutex);
  S().initialized = true;
}

void TAPIInterface::SetCallBack(TAPICallBack callback) {
  Record("SetCallBack");
  m_callback = callback;
}

int TAPIInterface::Run() {
  Record("Run");
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (!s.initialized) return 0;
  if (s.running) return 1;
  s.running = true;
  s.stopping = false;
  for (int i = 0; i < EngineDouble::kWorkerCount; ++i)
    s.workers[i].thread = std::thread(WorkerLoop, i);
  return 1;
}

void TAPIInterface::Release() {
  Record("Release");
  State& s = S();
  std::thread threads[EngineDouble::kWorkerCount];
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    s.stopping = true;
    s.running = false;
    s.initialized = false;
    for (int i = 0; i < EngineDouble::kWorkerCount; ++i) {
      threads[i] = std::move(s.workers[i].thread);
      s.workers[i].queue.clear();  // nothing is forwarded while shutting down
    }
    s.wake.notify_all();
  }
  for (std::thread& thread : threads)
    if (thread.joinable()) thread.join();
  std::lock_guard<std::mutex> guard(s.mutex);
  s.db.reset();
  s.sets.clear();
}

int TAPIInterface::CreateDialogID() {
  Record("CreateDialogID");
  return NewDialogID();
}

int TAPIInterface::UseOpenssl(const char* certFile, const char* keyFile, const char* password) {
  Record("UseOpenssl", certFile, keyFile, password);
  return 1;
}

void TAPIInterface::SetHttpLog(const char* path) { Record("SetHttpLog", path); }

int TAPIInterface::SetNationPrefix(const char* path) {
  Record("SetNationPrefix", path);
  return IntOf("SetNationPrefix", 1);
}

const char* TAPIInterface::RemoveNationPrefix(const char* text) {
  Record("RemoveNationPrefix", text);
  return text ? text : Empty();
}

void TAPIInterface::SetServerInfo(const char* host, int port) {
  Record("SetServerInfo", host, port);
}

int TAPIInterface::SetDeviceType(int type) {
  Record("SetDeviceType", type);
  return 1;
}

int TAPIInterface::SetLanguage(const char* language) {
  Record("SetLanguage", language);
  return 1;
}

int TAPIInterface::SetNetworkState(int state) {
  Record("SetNetworkState", state);
  return 1;
}

int TAPIInterface::SetDatabase(const char* path) {
  Record("SetDatabase", path);
  const std::string wanted = path ? path : "";
  if (wanted.empty()) return -1;
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (s.db && s.db->GetPath() == wanted) return 1;
  auto db = std::make_unique<TDBManager>();
  if (!db->Open(wanted)) return -2;
  s.db = std::move(db);
  return 2;
}

int TAPIInterface::CreateDatabase(const char* path) {
  Record("CreateDatabase", path);
  return IntOf("CreateDatabase", 1);
}

int TAPIInterface::SetMobileLogin(const char* mobile, const char* nationCode, const char* code,
                                  const char* deviceId, int mode) {
  Record("SetMobileLogin", mobile, nationCode, code, deviceId, mode);
  return 1;
}

int TAPIInterface::SetQRLogin(const char* qrKey, const char* deviceId, int mode) {
  Record("SetQRLogin", qrKey, deviceId, mode);
  return 1;
}

int TAPIInterface::SetTicketLogin(const char* ticket, const char* deviceId, int mode,
                                  const char* account) {
  Record("SetTicketLogin", ticket, deviceId, mode, account);
  return 1;
}

int TAPIInterface::MakeRegister() {
  Record("MakeRegister");
  return 1;
}

int TAPIInterface::MakeUnRegister() {
  Record("MakeUnRegister");
  return 1;
}

int TAPIInterface::GetQRUserInfo(const char* qrKey) {
  Record("GetQRUserInfo", qrKey);
  return 1;
}

int TAPIInterface::IsLogin() {
  Record("IsLogin");
  return IntOf("IsLogin", 0);
}

int TAPIInterface::LoginState() {
  Record("LoginState");
  return IntOf("LoginState", 0);
}

int TAPIInterface::UpdateToken(const char* token) {
  Record("UpdateToken", token);
  return 1;
}

#define TESMO_DOUBLE_TEXT_GETTER(Method)     \
  char* TAPIInterface::Method() {            \
    Record(#Method);                         \
    return Buffer(#Method, TextOf(#Method)); \
  }

TESMO_DOUBLE_TEXT_GETTER(GetToken)
TESMO_DOUBLE_TEXT_GETTER(GetMyAccount)
TESMO_DOUBLE_TEXT_GETTER(GetMyName)
TESMO_DOUBLE_TEXT_GETTER(GetMyUserID)
TESMO_DOUBLE_TEXT_GETTER(GetMyLogo)
TESMO_DOUBLE_TEXT_GETTER(GetMyBigLogo)
TESMO_DOUBLE_TEXT_GETTER(GetMySummary)
TESMO_DOUBLE_TEXT_GETTER(GetUCUserID)
TESMO_DOUBLE_TEXT_GETTER(GetBlackList)
TESMO_DOUBLE_TEXT_GETTER(GetBombRedUrl)

#undef TESMO_DOUBLE_TEXT_GETTER

int TAPIInterface::GetChampFlag() {
  Record("GetChampFlag");
  return IntOf("GetChampFlag", 0);
}

char* TAPIInterface::GetUserInfo(std::string account, int field) {
  Record("GetUserInfo", account, field);
  const std::string key = "GetUserInfo:" + account + ":" + std::to_string(field);
  return PushResult(TextOf(key));
}

int TAPIInterface::ExistUser(std::string account) {
  Record("ExistUser", account);
  return IntOf("ExistUser:" + account, 0);
}

namespace {
std::string LocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// Stores an outgoing message the way the engine does (sending, own account,
// group targets by their id) and returns its row id; without a database the ids
// only count up.
int StoreSent(const std::string& to, int msgType, const std::string& content,
              const std::string& localpath, const std::string& remark, int fwflag) {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (!s.db) return s.nextMessage++;
  const auto own = s.texts.find("GetMyAccount");
  const std::string from = own == s.texts.end() ? std::string() : own->second;
  const bool group = to.find("group.") != std::string::npos;
  const std::string sql =
      "insert into nq_message(msgid,msgtype,fromuser,fromgroup,touser,totype,content,remark,"
      "localpath,fileurl,sendflag,sendstate,localsend,seeflag,sendtime,fwflag) values(0," +
      std::to_string(msgType) + "," + SqlQuoted(from) + "," + SqlQuoted(group ? to : "") + "," +
      SqlQuoted(to) + "," + (group ? "1" : "0") + "," + SqlQuoted(content) + "," +
      SqlQuoted(remark) + "," + SqlQuoted(localpath) + ",'',1,2,1,1," + SqlQuoted(LocalTime()) +
      "," + std::to_string(fwflag) + ")";
  if (!s.db->Exec(sql)) return 0;
  return static_cast<int>(s.db->QueryInt("select last_insert_rowid()", 0));
}

std::string Text(const char* text) { return text ? text : ""; }
}  // namespace

int TAPIInterface::SendMsgIM(const char* toUser, int msgType, const char* content,
                             const char* remark) {
  Record("SendMsgIM", toUser, msgType, content, remark);
  return Answer(_REQUEST_HTTP_SENDMSGIM,
                StoreSent(Text(toUser), msgType, Text(content), "", Text(remark), 0));
}

int TAPIInterface::SendMsgFile(const char* toUser, int msgType, const char* path,
                               const char* remark) {
  Record("SendMsgFile", toUser, msgType, path, remark);
  return Answer(_REQUEST_HTTP_SENDMSGFILE,
                StoreSent(Text(toUser), msgType, Text(path), Text(path), Text(remark), 0));
}

int TAPIInterface::FwSendMsg(const char* toUser, int msgId) {
  Record("FwSendMsg", toUser, msgId);
  State& s = S();
  TRecordSet source;
  bool gone = false;
  {
    std::lock_guard<std::mutex> guard(s.mutex);
    if (s.db) {
      s.db->Exec("select msgtype,content,remark from nq_message where id=" + std::to_string(msgId),
                 &source, 1);
      gone = source.GetRecordCount() == 0;
    }
  }
  // Like the engine: a source row that is gone stores nothing and answers id 0.
  if (gone) return Answer(_REQUEST_HTTP_SENDMSGIM, 0);
  return Answer(_REQUEST_HTTP_SENDMSGIM,
                StoreSent(Text(toUser), source.GetInt(0, 0), source.GetString(0, 1), "",
                          source.GetString(0, 2), 1));
}

int TAPIInterface::RepeatSendMsg(int msgId, const char* path) {
  Record("RepeatSendMsg", msgId, path);
  return Answer(_REQUEST_HTTP_SENDMSGFILE, msgId);
}

int TAPIInterface::RevokeMsg(int msgId) {
  Record("RevokeMsg", msgId);
  return Answer(_REQUEST_HTTP_REVOKEMSG, msgId);
}

int TAPIInterface::ReadMsgIM(const char* peer) {
  Record("ReadMsgIM", peer);
  return Answer(_REQUEST_HTTP_READMSGIM, NewDialogID());
}

int TAPIInterface::GetHistoryMsg(const char* peer, int lastId, int pageSize) {
  Record("GetHistoryMsg", peer, lastId, pageSize);
  return Answer(_REQUEST_HTTP_GETHISTORYMSG, NewDialogID());
}

int TAPIInterface::DeleteMessage(int msgId) {
  Record("DeleteMessage", msgId);
  return IntOf("DeleteMessage", 1);
}

int TAPIInterface::ClearAtFlag(const char* peer) {
  Record("ClearAtFlag", peer);
  State& s = S();
  {
    // Like the engine: every message to the conversation loses its flag.
    std::lock_guard<std::mutex> guard(s.mutex);
    if (s.db) s.db->Exec("update nq_message set atflag=0 where touser=" + SqlQuoted(Arg(peer)));
  }
  return IntOf("ClearAtFlag", 1);
}

int TAPIInterface::SearchAtMsg(const char* peer, int atFlag) {
  Record("SearchAtMsg", peer, atFlag);
  const int scripted =
      IntOf("SearchAtMsg:" + Arg(peer) + ":" + std::to_string(atFlag), IntOf("SearchAtMsg", -1));
  if (scripted >= 0) return scripted;
  // Unscripted, like the engine: whether a message to the conversation has the flag.
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (!s.db) return 0;
  return s.db->QueryExists("select atflag from nq_message where atflag=" + std::to_string(atFlag) +
                           " and touser=" + SqlQuoted(Arg(peer)))
             ? 1
             : 0;
}

// The local database: a real SQLite file (or ":memory:") opened by SetDatabase.

long TAPIInterface::DBExecSql(const char* sql) {
  Record("DBExecSql", sql);
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (!s.db || !sql) return 0;
  TRecordSet discarded;
  return s.db->Exec(sql, &discarded, 1);
}

long TAPIInterface::DBSelectSql(const char* sql) {
  Record("DBSelectSql", sql);
  State& s = S();
  std::lock_guard<std::mutex> guard(s.mutex);
  if (!s.db || !sql) return 0;
  TRecordSet records;
  if (!s.db->Exec(sql, &records, 1)) return 0;
  RecordSet set;
  set.fields = records.GetFieldCount();
  for (int row = 0; row < records.GetRecordCount(); ++row) {
    std::vector<std::string> values;
    for (int col = 0; col < set.fields; ++col) values.push_back(records.GetString(row, col));
    set.rows.push_back(std::move(values));
  }
  const long handle = s.nextSet++;
  s.sets[handle] = std::move(set);
  return handle;
}

namespace {
const std::string* Field(long set, int row, int col) {
  State& s = S();
  const auto it = s.sets.find(set);
  if (it == s.sets.end()) return nullptr;
  if (row < 0 || row >= static_cast<int>(it->second.rows.size())) return nullptr;
  if (col < 0 || col >= it->second.fields) return nullptr;
  return &it->second.rows[row][col];
}
}  // namespace

int TAPIInterface::DBGetRecordCount(long set) {
  std::lock_guard<std::mutex> guard(S().mutex);
  const auto it = S().sets.find(set);
  return it == S().sets.end() ? 0 : static_cast<int>(it->second.rows.size());
}

int TAPIInterface::DBGetFieldCount(long set) {
  std::lock_guard<std::mutex> guard(S().mutex);
  const auto it = S().sets.find(set);
  return it == S().sets.end() ? 0 : it->second.fields;
}

int TAPIInterface::DBGetIntValue(long set, int row, int col) {
  std::lock_guard<std::mutex> guard(S().mutex);
  const std::string* field = Field(set, row, col);
  return field ? std::atoi(field->c_str()) : 0;
}

char* TAPIInterface::DBGetStrValue(long set, int row, int col) {
  std::string text;
  {
    std::lock_guard<std::mutex> guard(S().mutex);
    const std::string* field = Field(set, row, col);
    if (field) text = *field;
  }
  return PushResult(text);
}

void TAPIInterface::DBRelease(long set) {
  Record("DBRelease", set);
  std::lock_guard<std::mutex> guard(S().mutex);
  S().sets.erase(set);
}

int TAPIInterface::SendGet(int dialogId, const char* url) {
  Record("SendGet", dialogId, url);
  return Answer(_REQUEST_HTTP_SENDGET, dialogId);
}

int TAPIInterface::SendPost(int dialogId, const char* url, const char* body) {
  Record("SendPost", dialogId, url, body);
  return Answer(_REQUEST_HTTP_SENDPOST, dialogId);
}

int TAPIInterface::UploadFile(int dialogId, const char* path, int option) {
  Record("UploadFile", dialogId, path, option);
  return Answer(_REQUEST_HTTP_UPLOADFILE, dialogId);
}

int TAPIInterface::DownloadFile(int dialogId, const char* url, const char* path, int option) {
  Record("DownloadFile", dialogId, url, path, option);
  return Answer(_REQUEST_HTTP_DOWNFILE, dialogId);
}

int TAPIInterface::UploadDumpFile(int dialogId, const char* path) {
  Record("UploadDumpFile", dialogId, path);
  return Answer(_REQUEST_HTTP_UPLOADDUMP, dialogId);
}

char* TAPIInterface::SyncSendGet(int unused, const char* url) {
  Record("SyncSendGet", unused, url);
  return Buffer("SyncSendGet", TextOf("SyncSendGet"));
}

char* TAPIInterface::SyncSendPost(int unused, const char* url, const char* body) {
  Record("SyncSendPost", unused, url, body);
  return Buffer("SyncSendPost", TextOf("SyncSendPost"));
}

char* TAPIInterface::CreateRequestURL(const char* path, const char* serverKey) {
  Record("CreateRequestURL", path, serverKey);
  std::string host = TextOf(std::string("server:") + Arg(serverKey));
  if (host.empty()) {
    // A reserved name: nothing is ever sent there.
    for (const char* c = serverKey; c && *c; ++c)
      host += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    host += ".invalid";
  }
  return Buffer("CreateRequestURL", "https://" + host + Arg(path));
}

char* TAPIInterface::CreateAccountRequestURL(const char* path, const char* account,
                                             const char* serverKey) {
  Record("CreateAccountRequestURL", path, account, serverKey);
  return Buffer("CreateAccountRequestURL", TextOf("CreateAccountRequestURL"));
}

char* TAPIInterface::NewTransID(const char* text) {
  Record("NewTransID", text);
  int serial;
  {
    std::lock_guard<std::mutex> guard(S().mutex);
    serial = S().nextTrans++;
  }
  std::string digits = std::to_string(serial);
  digits.insert(0, 32 - digits.size(), '0');
  return Buffer("NewTransID", "00" + digits);
}

int TAPIInterface::GroupCommand(int dialogId, const char* args) {
  Record("GroupCommand", dialogId, args);
  return Answer(_REQUEST_HTTP_GROUPCOMMAND, dialogId);
}

int TAPIInterface::UserCommand(int dialogId, const char* json) {
  Record("UserCommand", dialogId, json);
  return Answer(_REQUEST_HTTP_USERCOMMAND, dialogId);
}

#define TESMO_DOUBLE_TEXT_CODEC(Method, ...) \
  Record(#Method, __VA_ARGS__);              \
  return Buffer(#Method, TextOf(#Method));

char* TAPIInterface::ArgumentToJson(const char* args) {
  TESMO_DOUBLE_TEXT_CODEC(ArgumentToJson, args)
}
char* TAPIInterface::EncodeArgument(const char* key, const char* value) {
  TESMO_DOUBLE_TEXT_CODEC(EncodeArgument, key, value)
}
char* TAPIInterface::EncodeIntArgument(const char* key, int value) {
  TESMO_DOUBLE_TEXT_CODEC(EncodeIntArgument, key, value)
}
char* TAPIInterface::DecodeArgument(const char* args, const char* key) {
  TESMO_DOUBLE_TEXT_CODEC(DecodeArgument, args, key)
}
char* TAPIInterface::Md5Encode(const char* text) { TESMO_DOUBLE_TEXT_CODEC(Md5Encode, text) }
char* TAPIInterface::EncodePassword(const char* text, const char* account, int type) {
  TESMO_DOUBLE_TEXT_CODEC(EncodePassword, text, account, type)
}
char* TAPIInterface::EncryptString(const char* text) {
  TESMO_DOUBLE_TEXT_CODEC(EncryptString, text)
}
char* TAPIInterface::DecryptString(const char* text) {
  TESMO_DOUBLE_TEXT_CODEC(DecryptString, text)
}
char* TAPIInterface::GetAppCfgString(const char* text) {
  TESMO_DOUBLE_TEXT_CODEC(GetAppCfgString, text)
}

#undef TESMO_DOUBLE_TEXT_CODEC

int TAPIInterface::DecodeIntArgument(const char* args, const char* key) {
  Record("DecodeIntArgument", args, key);
  return IntOf("DecodeIntArgument", 0);
}

// ---- The engine's internal road, as the program's callback sees it ----

void TAPIInterface::DeliverPacket(TAPIPacket* packet) {
  if (!packet) return;
  NotifyCallback(packet->code, packet->a, packet->id, packet->b, packet->s4.c_str());
  delete packet;
}

void TAPIInterface::NotifyCallback(int code, int a, int id, int b, const char* text) {
  std::lock_guard<std::recursive_mutex> lock(ReportLock());
  TAPICallBack callback = m_callback.load();
  if (callback) callback(code, a, id, b, text ? text : "");
}

TDBManager* TAPIInterface::GetDatabaseManager() const { return m_database; }

void TAPIInterface::SetDatabaseManager(TDBManager* manager) { m_database = manager; }

char* TAPIInterface::PushResult(const std::string& text) {
  // A ring of 32 per thread, like the engine's returned-text queue.
  constexpr size_t kRing = 32;
  thread_local std::string ring[kRing];
  thread_local size_t next = 0;
  std::string& slot = ring[next];
  next = (next + 1) % kRing;
  slot = text;
  return &slot[0];
}
