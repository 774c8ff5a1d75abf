// The engine's one public header: the facade TAPIInterface, its request and event
// record, the callback type and the event and request codes. Standard headers only.
#ifndef TESMO_TAPIINTERFACE_H
#define TESMO_TAPIINTERFACE_H

#include <atomic>
#include <string>

#if defined(__GNUC__)
#define TAPI_EXPORT __attribute__((visibility("default")))
#else
#define TAPI_EXPORT
#endif

// Reports reach the caller through this one function: (code, result, dialog id,
// extra number, text). The text is valid only during the call.
typedef void (*TAPICallBack)(int method, int status, int dialogID, int timer, const char* arg1);

enum TAPIEventCode {
  _EVENT_REPORT_RUN = 100001,
  _EVENT_REPORT_SENDFILEPROGRESS = 100002,
  _EVENT_REPORT_GETFILEPROGRESS = 100003,
  _EVENT_LOGIN_SUCCESS = 100004,
  _EVENT_LOGIN_FAIL = 100005,
  _EVENT_RELOGIN_SUCCESS = 100006,
  _EVENT_REPORT_OFFLINE = 100007,
  _EVENT_COME_IMMESSAGE = 100008,
  _EVENT_COME_GROUPNOTIFY = 100009,
  _EVENT_REPORT_FRIENDNOTIFY = 100010,
  _EVENT_COME_HISTORYIM = 100011,
  _EVENT_RECV_KICKOUT = 100012,
  _EVENT_COME_FINISHIMHISTORY = 100013,
  _EVENT_REPORT_QRLOGIN = 100015,
  _EVENT_REPORT_GROUPUPDATE = 100016,
  _EVENT_REPORT_GROUPMSGID = 100017,
  _EVENT_COME_JLHB = 100018,
  _EVENT_REPORT_SYSKICKOUT = 100019,
  _EVENT_REPORT_FIRSTGROUPUPDATE = 100020,
  _EVENT_REPORT_UPDATEDETAIL = 100021
};

enum TAPIRequestCode {
  _REQUEST_HTTP_SENDGET = 200101,
  _REQUEST_HTTP_SENDPOST = 200102,
  _REQUEST_HTTP_UPLOADFILE = 200103,
  _REQUEST_HTTP_DOWNFILE = 200104,
  _REQUEST_HTTP_UPLOADDUMP = 200105,
  _REQUEST_HTTP_SENDMSGIM = 200201,
  _REQUEST_HTTP_SENDMSGFILE = 200202,
  _REQUEST_HTTP_REVOKEMSG = 200204,
  _REQUEST_HTTP_READMSGIM = 200205,
  _REQUEST_HTTP_GETHISTORYMSG = 200206,
  _REQUEST_HTTP_GROUPCOMMAND = 200301,
  _REQUEST_HTTP_USERCOMMAND = 200302
};

// One request or event. Built with new by whoever raises it; deleted by the engine
// after the callback returns.
class TAPI_EXPORT TAPIPacket {
 public:
  TAPIPacket();
  ~TAPIPacket();

  int code;   // request or event code; below 1000 for the engine's internal work
  int id;     // dialog id, or the local message id of a message request
  int a;      // result or status (0 = success for replies)
  int b;      // further number: elapsed ms for 200101/200102
  int state;  // client slot of the worker thread that runs the packet (0-4)
  std::string s1;
  std::string s2;
  std::string s3;
  std::string s4;  // the report text handed to the callback
};

class TBaseMutex;
class TDBManager;
class TStringQueue;

// The engine facade. One instance per process. Returned char* texts belong to the
// engine and must be copied at once; they stay valid for the calling thread as
// documented per method (ring results: 32 further ring results of the same thread;
// buffer results: until the same method is called again on the same thread).
class TAPI_EXPORT TAPIInterface {
 public:
  TAPIInterface();
  virtual const char* GetIPAddress(int type);
  virtual ~TAPIInterface();

  // Life cycle and settings
  void Init();
  void SetCallBack(TAPICallBack callback);
  int Run();
  void Release();
  int CreateDialogID();
  int UseOpenssl(const char* certFile, const char* keyFile, const char* password);
  void SetHttpLog(const char* path);
  int SetNationPrefix(const char* path);
  const char* RemoveNationPrefix(const char* text);
  void SetServerInfo(const char* host, int port);
  int SetDeviceType(int type);
  int SetLanguage(const char* language);
  int SetNetworkState(int state);
  int SetDatabase(const char* path);
  int CreateDatabase(const char* path);

  // Login and session
  int SetMobileLogin(const char* mobile, const char* nationCode, const char* code,
                     const char* deviceId, int mode);
  int SetQRLogin(const char* qrKey, const char* deviceId, int mode);
  int SetTicketLogin(const char* ticket, const char* deviceId, int mode, const char* account);
  int MakeRegister();
  int MakeUnRegister();
  int GetQRUserInfo(const char* qrKey);
  int IsLogin();
  int LoginState();
  int UpdateToken(const char* token);
  char* GetToken();

  // Own account and contacts
  char* GetMyAccount();
  char* GetMyName();
  char* GetMyUserID();
  char* GetMyLogo();
  char* GetMyBigLogo();
  char* GetMySummary();
  char* GetUCUserID();
  char* GetBlackList();
  int GetChampFlag();
  char* GetBombRedUrl();
  char* GetUserInfo(std::string account, int field);
  int ExistUser(std::string account);

  // Messages
  int SendMsgIM(const char* toUser, int msgType, const char* content, const char* remark);
  int SendMsgFile(const char* toUser, int msgType, const char* path, const char* remark);
  int FwSendMsg(const char* toUser, int msgId);
  int RepeatSendMsg(int msgId, const char* path);
  int RevokeMsg(int msgId);
  int ReadMsgIM(const char* peer);
  int GetHistoryMsg(const char* peer, int lastId, int pageSize);
  int DeleteMessage(int msgId);
  int ClearAtFlag(const char* peer);
  int SearchAtMsg(const char* peer, int atFlag);

  // Local database
  long DBExecSql(const char* sql);
  long DBSelectSql(const char* sql);
  int DBGetRecordCount(long set);
  int DBGetFieldCount(long set);
  int DBGetIntValue(long set, int row, int col);
  char* DBGetStrValue(long set, int row, int col);
  void DBRelease(long set);

  // HTTP, files and ids
  int SendGet(int dialogId, const char* url);
  int SendPost(int dialogId, const char* url, const char* body);
  int UploadFile(int dialogId, const char* path, int option);
  int DownloadFile(int dialogId, const char* url, const char* path, int option);
  int UploadDumpFile(int dialogId, const char* path);
  char* SyncSendGet(int unused, const char* url);
  char* SyncSendPost(int unused, const char* url, const char* body);
  char* CreateRequestURL(const char* path, const char* serverKey);
  char* CreateAccountRequestURL(const char* path, const char* account, const char* serverKey);
  char* NewTransID(const char* text);

  // Commands
  int GroupCommand(int dialogId, const char* args);
  int UserCommand(int dialogId, const char* json);

  // Codecs and digests
  char* ArgumentToJson(const char* args);
  char* EncodeArgument(const char* key, const char* value);
  char* EncodeIntArgument(const char* key, int value);
  char* DecodeArgument(const char* args, const char* key);
  int DecodeIntArgument(const char* args, const char* key);
  char* Md5Encode(const char* text);
  char* EncodePassword(const char* text, const char* account, int type);
  char* EncryptString(const char* text);
  char* DecryptString(const char* text);
  char* GetAppCfgString(const char* text);

  // Engine-internal road of reports (not for callers).
  static TAPIInterface* Instance();
  void DeliverPacket(TAPIPacket* packet);
  void NotifyCallback(int code, int a, int id, int b, const char* text);
  // The recursive lock held around every callback; null before Init and after Release.
  static TBaseMutex* CallbackMutex();
  TDBManager* GetDatabaseManager() const;
  void SetDatabaseManager(TDBManager* manager);
  // Pushes a copy of text into the calling thread's result ring.
  char* PushResult(const std::string& text);

 private:
  TAPIInterface(const TAPIInterface&) = delete;
  TAPIInterface& operator=(const TAPIInterface&) = delete;

  std::atomic<TAPICallBack> m_callback;
  TDBManager* m_database;
};

#endif
