#ifndef TESMO_NET_TNETCONTEXT_H
#define TESMO_NET_TNETCONTEXT_H

#include <string>

class TAPIPacket;
class TDBManager;
class THttpRequestService;
class TLogFile;

// What the network folder reads of the running engine: the login fields and own
// identity it sends, HTTPS and the server addresses it dials, the request service it
// reports through. The engine core implements it and registers itself while it lives.
class TNetContext {
 public:
  // The running engine's context, or null when no engine runs.
  static TNetContext* Instance();

  virtual std::string GetUserID() const = 0;
  virtual std::string GetAccount() const = 0;
  virtual std::string GetName() const = 0;
  virtual std::string GetToken() const = 0;
  virtual std::string GetDeviceID() const = 0;
  virtual std::string GetDownServer() const = 0;
  virtual std::string GetCertFile() const = 0;
  virtual std::string GetKeyFile() const = 0;
  virtual std::string GetPassword() const = 0;
  virtual std::string GetLoginInfo() const = 0;
  virtual int GetLoginMode() const = 0;
  virtual int GetDeviceType() const = 0;
  virtual int GetVersion() const = 0;
  virtual int IsHttps() const = 0;
  virtual std::string GetLoginHost() const = 0;
  virtual int GetLoginPort() const = 0;
  virtual std::string GetHttpHost() const = 0;
  virtual int GetHttpPort() const = 0;
  virtual std::string GetUpHost() const = 0;
  virtual int GetUpPort() const = 0;
  virtual std::string GetProxyHost() const = 0;
  virtual int GetProxyPort() const = 0;
  virtual std::string GetServer(const std::string& name) const = 0;
  virtual std::string GetStorageHost() const = 0;
  virtual void SetProfile(const std::string& name, const std::string& logo,
                          const std::string& bigLogo, const std::string& summary, int version,
                          int champFlag) = 0;
  virtual int IsNetworkUp() = 0;
  virtual void PostPacket(TAPIPacket* packet) = 0;
  virtual TLogFile* GetHttpLog() = 0;
  virtual TDBManager* GetDatabase() const = 0;
  virtual THttpRequestService* GetRequestService() const = 0;

 protected:
  TNetContext() = default;
  virtual ~TNetContext() = default;
  TNetContext(const TNetContext&) = delete;
  TNetContext& operator=(const TNetContext&) = delete;

  // The implementation registers itself once built and withdraws before it goes.
  static void Attach(TNetContext* context);
  static void Detach(TNetContext* context);
};

#endif
