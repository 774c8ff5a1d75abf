#ifndef TESMO_SERVICES_TSERVICECONTEXT_H
#define TESMO_SERVICES_TSERVICECONTEXT_H

#include <string>

#include "net/TNetContext.h"

class TContactCache;

// What the services read and write of the running engine beyond what the network
// folder needs: the login fields, the profile, the server addresses a login reply
// names, and the contact cache. The engine core implements it.
class TServiceContext : public TNetContext {
 public:
  // The running engine's context, or null when no engine runs.
  static TServiceContext* Instance();

  static const char* GetLibVersion() { return "200"; }
  static const char* GetSystemName() { return "WINDOWS"; }

  virtual std::string GetLogo() const = 0;
  virtual std::string GetBlackList() const = 0;
  virtual std::string GetLanguage() const = 0;
  virtual std::string GetMobile() const = 0;
  virtual std::string GetNationCode() const = 0;
  virtual std::string GetCode() const = 0;
  virtual std::string GetTicket() const = 0;
  virtual int GetChampFlag() const = 0;
  virtual int GetFriendVersion() const = 0;
  virtual TContactCache* GetContactCache() const = 0;

  virtual void SetBlackList(const std::string& text) = 0;
  virtual void SetDownServer(const std::string& text) = 0;
  virtual void SetHttpServer(const std::string& hostPort) = 0;
  virtual void SetUpServer(const std::string& hostPort) = 0;
  virtual void SetProxyServer(const std::string& hostPort) = 0;
  virtual void SetServer(const std::string& name, const std::string& address) = 0;
  virtual void SetUserAccount(const std::string& userId, const std::string& account) = 0;
  virtual void SetToken(const std::string& token) = 0;
  virtual void SetStorageHost(const std::string& host) = 0;
  virtual void SetStoragePort(int port) = 0;
  virtual void SetRedPacketUrl(const std::string& url) = 0;
  virtual void SetLoginInfo(const std::string& text) = 0;
  virtual void SetFriendVersion(int version) = 0;
  virtual void PrefetchServerAddresses() = 0;

 protected:
  TServiceContext() = default;
  ~TServiceContext() override = default;

  // Registers for the services and for the network folder alike.
  static void Attach(TServiceContext* context);
  static void Detach(TServiceContext* context);
};

#endif
