// The engine's one public header: the facade TAPIInterface. The request and event
// record, the callback type and the event and request codes come with it from
// base/TAPIPacket.h, which the engine below the facade uses alone.
#ifndef TESMO_TAPIINTERFACE_H
#define TESMO_TAPIINTERFACE_H

#include <atomic>
#include <string>

#include "base/TAPIPacket.h"

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
