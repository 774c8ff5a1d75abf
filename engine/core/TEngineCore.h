#ifndef TESMO_CORE_TENGINECORE_H
#define TESMO_CORE_TENGINECORE_H

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "core/TBaseMutex.h"
#include "core/TLogFile.h"

class TAPIInterface;
class TAPIPacket;
class TContactCache;
class TDBManager;
class THttpRequestService;
class TIMSession;

// The engine's one session object: login fields, own identity and profile, server
// addresses, and the working objects (request service, IM session, HTTP log).
class TEngineCore {
 public:
  // Fixed field widths; longer texts are cut to fit.
  static constexpr size_t kHostSize = 64;
  static constexpr size_t kMobileSize = 64;
  static constexpr size_t kNationCodeSize = 64;
  static constexpr size_t kCodeSize = 64;
  static constexpr size_t kTicketSize = 128;
  static constexpr size_t kQRKeySize = 128;
  static constexpr size_t kDeviceIdSize = 256;
  static constexpr size_t kDownServerSize = 128;

  explicit TEngineCore(TAPIInterface* facade);
  ~TEngineCore();
  TEngineCore(const TEngineCore&) = delete;
  TEngineCore& operator=(const TEngineCore&) = delete;

  static TEngineCore* Instance();
  static int NextDialogID();

  int Run();
  int MakeRegister();
  int MakeUnRegister();
  int SetNetworkState(int state);
  void PostPacket(TAPIPacket* packet);
  // Builds a request packet and posts it when the core exists; returns id either way.
  static int QueueRequest(int code, int id, const std::string& s1 = std::string(),
                          const std::string& s2 = std::string(),
                          const std::string& s3 = std::string());

  // Packet handlers of the request service and of the IM session.
  static void OnServicePacket(TAPIPacket* packet);
  static void OnSessionPacket(TAPIPacket* packet);
  void FilterLoginState(TAPIPacket* packet);

  // Session values loaded from the account database (nq_saveinfo).
  void LoadConfig();
  // Fills the accountid column of rows written before it existed, once per
  // database; returns the number of batches run.
  int MigrateAccountIds();

  // Setters.
  void SetBlackList(const std::string& text);
  void SetDownServer(const std::string& text);
  void SetProfile(const std::string& name, const std::string& logo, const std::string& bigLogo,
                  const std::string& summary, int version, int champFlag);
  void SetHttpServer(const std::string& hostPort);
  void SetUpServer(const std::string& hostPort);
  void SetProxyServer(const std::string& hostPort);
  void SetServer(const std::string& name, const std::string& address);
  void SetUserAccount(const std::string& userId, const std::string& account);
  void SetToken(const std::string& token);
  void SetSummary(const std::string& summary);
  void SetDeviceType(int type) { m_deviceType = type; }
  void SetLanguage(const std::string& language);
  void SetLoginServer(const char* host, int port);
  void SetMobileLogin(const char* mobile, const char* nationCode, const char* code,
                      const char* deviceId, int mode);
  void SetQRLogin(const char* qrKey, const char* deviceId, int mode);
  void SetTicketLogin(const char* ticket, const char* deviceId, int mode, const char* account);
  void UseOpenssl(const char* certFile, const char* keyFile, const char* password);

  // Getters (copies).
  std::string GetUserID() const;
  std::string GetAccount() const;
  std::string GetName() const;
  std::string GetLogo() const;
  std::string GetBigLogo() const;
  std::string GetSummary() const;
  std::string GetToken() const;
  std::string GetBlackList() const;
  std::string GetLanguage() const;
  std::string GetDeviceID() const;
  std::string GetMobile() const;
  std::string GetNationCode() const;
  std::string GetCode() const;
  std::string GetTicket() const;
  std::string GetQRKey() const;
  std::string GetDownServer() const;
  std::string GetCertFile() const;
  std::string GetKeyFile() const;
  std::string GetPassword() const;
  int GetLoginMode() const { return m_loginMode; }
  int GetDeviceType() const { return m_deviceType; }
  int GetChampFlag() const { return m_champFlag; }
  int GetVersion() const { return m_version; }
  int GetLoginState() const { return m_loginState; }
  int IsHttps() const { return m_https; }
  static const char* GetLibVersion() { return "200"; }
  static const char* GetSystemName() { return "WINDOWS"; }
  // host and port of the LOGIN, HTTPSERVER, UPSERVER and PROXYSERVER addresses.
  std::string GetLoginHost() const;
  int GetLoginPort() const { return m_loginPort; }
  std::string GetHttpHost() const;
  int GetHttpPort() const { return m_httpPort; }
  std::string GetUpHost() const;
  int GetUpPort() const { return m_upPort; }
  std::string GetProxyHost() const;
  int GetProxyPort() const { return m_proxyPort; }
  std::string GetServer(const std::string& name) const;

  // Values of the last login reply: the file store's address, the red-packet page and
  // the text that event 100004 carries.
  void SetStorageHost(const std::string& host);
  void SetStoragePort(int port) { m_storagePort = port; }
  void SetRedPacketUrl(const std::string& url);
  void SetLoginInfo(const std::string& text);
  // The friend-list version the last login reply named; the background sync skips
  // the friend download when the stored list has it.
  void SetFriendVersion(int version) { m_friendVersion = version; }
  int GetFriendVersion() const { return m_friendVersion; }
  std::string GetStorageHost() const;
  int GetStoragePort() const { return m_storagePort; }
  std::string GetRedPacketUrl() const;
  std::string GetLoginInfo() const;

  TLogFile* GetHttpLog() { return &m_httpLog; }
  TDBManager* GetDatabase() const;
  TAPIInterface* GetFacade() const { return m_facade; }
  THttpRequestService* GetRequestService() const { return m_requestService.get(); }
  TIMSession* GetIMSession() const { return m_imSession.get(); }
  TContactCache* GetContactCache() const { return m_contactCache.get(); }

  int IsNetworkUp();
  void PrefetchServerAddresses();
  int SetNationPrefix(const char* path);
  // Returns the caller's own pointer when no prefix is removed.
  const char* RemoveNationPrefix(const char* text);

 private:
  // Stores one nq_saveinfo value when a database is set.
  void SetSaveInfoValue(const std::string& key, const std::string& value);
  void SplitServer(const std::string& hostPort, char* host, int* port);

  TAPIInterface* m_facade;
  mutable TBaseMutex m_fieldMutex;  // guards every text field below
  mutable TBaseMutex m_coreMutex;   // guards the servers map

  std::string m_blackList;
  char m_downServer[kDownServerSize] = {};
  char m_mobile[kMobileSize] = {};
  char m_nationCode[kNationCodeSize] = {};
  char m_code[kCodeSize] = {};
  char m_ticket[kTicketSize] = {};
  char m_qrKey[kQRKeySize] = {};
  char m_deviceId[kDeviceIdSize] = {};
  std::atomic<int> m_loginMode{0};
  char m_loginHost[kHostSize] = {};
  std::atomic<int> m_loginPort{0};
  char m_httpHost[kHostSize] = {};
  std::atomic<int> m_httpPort{0};
  char m_upHost[kHostSize] = {};
  std::atomic<int> m_upPort{0};
  char m_proxyHost[kHostSize] = {};
  std::atomic<int> m_proxyPort{0};
  std::string m_userId = "0";
  std::string m_account;
  std::string m_name;
  std::string m_logo;
  std::string m_bigLogo;
  std::string m_summary;
  std::string m_token;
  std::atomic<int> m_deviceType{0};
  std::atomic<int> m_loginState{0};
  std::string m_language = "zh-CN";
  std::unique_ptr<THttpRequestService> m_requestService;
  std::unique_ptr<TIMSession> m_imSession;
  std::atomic<int> m_running{0};
  TLogFile m_httpLog;
  std::unique_ptr<TContactCache> m_contactCache;
  std::map<std::string, int> m_nationPrefixes;
  std::map<std::string, std::string> m_servers;
  std::atomic<int> m_https{0};
  std::string m_certFile;
  std::string m_keyFile;
  std::string m_password;
  std::atomic<int> m_version{0};
  std::atomic<int> m_champFlag{0};
  std::string m_storageHost;
  std::atomic<int> m_storagePort{0};
  std::atomic<int> m_friendVersion{0};
  std::string m_redPacketUrl;
  std::string m_loginInfo;
};

#endif
