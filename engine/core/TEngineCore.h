#ifndef TESMO_CORE_TENGINECORE_H
#define TESMO_CORE_TENGINECORE_H

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "base/TBaseMutex.h"
#include "services/TFacadeLink.h"
#include "services/TServiceContext.h"
#include "util/TLogFile.h"

class TAPIPacket;
class TContactCache;
class TDBManager;
class THttpRequestService;
class TIMSession;

// The engine's one session object: login fields, own identity and profile, server
// addresses, and the working objects (request service, IM session, HTTP log).
class TEngineCore : public TServiceContext {
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

  // facade may be null where no report needs to reach a caller.
  explicit TEngineCore(std::unique_ptr<TFacadeLink> facade);
  ~TEngineCore() override;
  TEngineCore(const TEngineCore&) = delete;
  TEngineCore& operator=(const TEngineCore&) = delete;

  static TEngineCore* Instance();
  static int NextDialogID();

  int Run();
  int MakeRegister();
  int MakeUnRegister();
  int SetNetworkState(int state);
  void PostPacket(TAPIPacket* packet) override;
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
  void SetBlackList(const std::string& text) override;
  void SetDownServer(const std::string& text) override;
  void SetProfile(const std::string& name, const std::string& logo, const std::string& bigLogo,
                  const std::string& summary, int version, int champFlag) override;
  void SetHttpServer(const std::string& hostPort) override;
  void SetUpServer(const std::string& hostPort) override;
  void SetProxyServer(const std::string& hostPort) override;
  void SetServer(const std::string& name, const std::string& address) override;
  void SetUserAccount(const std::string& userId, const std::string& account) override;
  void SetToken(const std::string& token) override;
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
  std::string GetUserID() const override;
  std::string GetAccount() const override;
  std::string GetName() const override;
  std::string GetLogo() const override;
  std::string GetBigLogo() const;
  std::string GetSummary() const;
  std::string GetToken() const override;
  std::string GetBlackList() const override;
  std::string GetLanguage() const override;
  std::string GetDeviceID() const override;
  std::string GetMobile() const override;
  std::string GetNationCode() const override;
  std::string GetCode() const override;
  std::string GetTicket() const override;
  std::string GetQRKey() const;
  std::string GetDownServer() const override;
  std::string GetCertFile() const override;
  std::string GetKeyFile() const override;
  std::string GetPassword() const override;
  int GetLoginMode() const override { return m_loginMode; }
  int GetDeviceType() const override { return m_deviceType; }
  int GetChampFlag() const override { return m_champFlag; }
  int GetVersion() const override { return m_version; }
  int GetLoginState() const { return m_loginState; }
  int IsHttps() const override { return m_https; }
  // host and port of the LOGIN, HTTPSERVER, UPSERVER and PROXYSERVER addresses.
  std::string GetLoginHost() const override;
  int GetLoginPort() const override { return m_loginPort; }
  std::string GetHttpHost() const override;
  int GetHttpPort() const override { return m_httpPort; }
  std::string GetUpHost() const override;
  int GetUpPort() const override { return m_upPort; }
  std::string GetProxyHost() const override;
  int GetProxyPort() const override { return m_proxyPort; }
  std::string GetServer(const std::string& name) const override;

  // Values of the last login reply: the file store's address, the red-packet page and
  // the text that event 100004 carries.
  void SetStorageHost(const std::string& host) override;
  void SetStoragePort(int port) override { m_storagePort = port; }
  void SetRedPacketUrl(const std::string& url) override;
  void SetLoginInfo(const std::string& text) override;
  // The friend-list version the last login reply named; the background sync skips
  // the friend download when the stored list has it.
  void SetFriendVersion(int version) override { m_friendVersion = version; }
  int GetFriendVersion() const override { return m_friendVersion; }
  std::string GetStorageHost() const override;
  int GetStoragePort() const { return m_storagePort; }
  std::string GetRedPacketUrl() const;
  std::string GetLoginInfo() const override;

  TLogFile* GetHttpLog() override { return &m_httpLog; }
  TDBManager* GetDatabase() const override;
  THttpRequestService* GetRequestService() const override { return m_requestService.get(); }
  TIMSession* GetIMSession() const { return m_imSession.get(); }
  TContactCache* GetContactCache() const override { return m_contactCache.get(); }

  int IsNetworkUp() override;
  void PrefetchServerAddresses() override;
  int SetNationPrefix(const char* path);
  // Returns the caller's own pointer when no prefix is removed.
  const char* RemoveNationPrefix(const char* text);

 private:
  // Stores one nq_saveinfo value when a database is set.
  void SetSaveInfoValue(const std::string& key, const std::string& value);
  void SplitServer(const std::string& hostPort, char* host, int* port);

  std::unique_ptr<TFacadeLink> m_facade;
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
