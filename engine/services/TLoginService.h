#ifndef TESMO_SERVICES_TLOGINSERVICE_H
#define TESMO_SERVICES_TLOGINSERVICE_H

#include <json/json.h>

#include <string>

#include "net/TLoginResult.h"

class THttpRequestService;

// The two HTTP exchanges before every IM login: registration with the navigation
// server (LOGIN) and login with the user server (USERSERVER). Both run synchronously
// on the IM session's worker; their results become the a of event 100005.
class TLoginService {
 public:
  // Results of Register and Login.
  enum Result {
    kOk = kLoginOk,
    kNoUsableReply = kLoginNoUsableReply,
    kNoReply = kLoginNoReply,
    kServerMinus8 = kLoginServerMinus8,
    kServerMinus10 = kLoginServerMinus10,
    kServerRefused = kLoginServerRefused,
  };
  // Which registration request the login fields call for.
  enum Path { kPathTicket, kPathAccountInfo, kPathRegister };

  static constexpr const char* kRegTicketPath = "/navigation/user/regticket.do";
  static constexpr const char* kAccountInfoPath = "/navigation/user/accountinfo.do";
  static constexpr const char* kRegisterPath = "/navigation/user/register.do";
  static constexpr const char* kLoginPath = "/userinfo/user/login.do";

  explicit TLoginService(THttpRequestService* service) : m_service(service) {}

  int Register();
  int Login();

  // A ticket wins; without a ticket an empty first login field means the account is
  // known from an earlier registration or a QR scan.
  static Path ChoosePath(const std::string& ticket, const std::string& mobile);
  // The reply's result number; on success *result holds the reply's "result" member.
  static int RegisterReplyResult(const std::string& body, int error, Json::Value* result);
  static int LoginReplyResult(const std::string& body, int error, Json::Value* result);
  // Token of the accountinfo request, from the registration token and the device id.
  static std::string AccountInfoToken(const std::string& regToken, const std::string& deviceId);
  // Session token derived from a registration reply's "token".
  static std::string RegisteredToken(const std::string& token);
  // The text that event 100004 carries, built from the login reply's "result".
  static std::string BuildLoginInfoText(const Json::Value& result);

  // The registration token that a confirmed QR scan leaves for the next login. Written
  // by the poll thread and read by the session's worker, hence the lock.
  static void SetRegistrationToken(const std::string& token);
  static std::string GetRegistrationToken();

 private:
  std::string Post(const std::string& url, const std::string& body, int* error);

  THttpRequestService* m_service;
};

#endif
