// Facade: settings, login fields and the own-account getters.
#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"

namespace {
TEngineCore* Core() { return TEngineCore::Instance(); }
}  // namespace

int TAPIInterface::UseOpenssl(const char* certFile, const char* keyFile, const char* password) {
  if (!Core()) return 0;
  Core()->UseOpenssl(certFile, keyFile, password);
  return 1;
}

void TAPIInterface::SetHttpLog(const char* path) {
  if (!Core()) return;
  TLogFile* log = Core()->GetHttpLog();
  if (!log->IsOpen()) log->Open(path);
}

int TAPIInterface::SetNationPrefix(const char* path) {
  return Core() ? Core()->SetNationPrefix(path) : 0;
}

const char* TAPIInterface::RemoveNationPrefix(const char* text) {
  if (!Core()) return text ? text : TStringQueue::EmptyText();
  return Core()->RemoveNationPrefix(text);
}

void TAPIInterface::SetServerInfo(const char* host, int port) {
  if (Core()) Core()->SetLoginServer(host, port);
}

int TAPIInterface::SetDeviceType(int type) {
  if (!Core()) return 0;
  Core()->SetDeviceType(type);
  return 1;
}

int TAPIInterface::SetLanguage(const char* language) {
  if (!Core()) return 0;
  Core()->SetLanguage(language ? language : "");
  return 1;
}

int TAPIInterface::SetNetworkState(int state) {
  return Core() ? Core()->SetNetworkState(state) : 0;
}

int TAPIInterface::SetMobileLogin(const char* mobile, const char* nationCode, const char* code,
                                  const char* deviceId, int mode) {
  if (!Core()) return 0;
  Core()->SetMobileLogin(mobile, nationCode, code, deviceId, mode);
  return 1;
}

int TAPIInterface::SetQRLogin(const char* qrKey, const char* deviceId, int mode) {
  if (!Core()) return 0;
  Core()->SetQRLogin(qrKey, deviceId, mode);
  return 1;
}

int TAPIInterface::SetTicketLogin(const char* ticket, const char* deviceId, int mode,
                                  const char* account) {
  if (!Core()) return 0;
  Core()->SetTicketLogin(ticket, deviceId, mode, account);
  return 1;
}

int TAPIInterface::MakeRegister() { return Core() ? Core()->MakeRegister() : 0; }

int TAPIInterface::MakeUnRegister() { return Core() ? Core()->MakeUnRegister() : 0; }

int TAPIInterface::LoginState() { return Core() ? Core()->GetLoginState() : 0; }

int TAPIInterface::UpdateToken(const char* token) {
  if (!Core()) return 0;
  Core()->SetToken(token ? token : "");
  return 1;
}

char* TAPIInterface::GetToken() {
  thread_local char buffer[512];
  return Core() ? FillResultBuffer(buffer, sizeof(buffer), Core()->GetToken())
                : TStringQueue::EmptyText();
}

char* TAPIInterface::GetMyAccount() {
  thread_local char buffer[128];
  return Core() ? FillResultBuffer(buffer, sizeof(buffer), Core()->GetAccount())
                : TStringQueue::EmptyText();
}

char* TAPIInterface::GetMyName() {
  thread_local char buffer[128];
  return Core() ? FillResultBuffer(buffer, sizeof(buffer), Core()->GetName())
                : TStringQueue::EmptyText();
}

char* TAPIInterface::GetMyUserID() {
  thread_local char buffer[128];
  return Core() ? FillResultBuffer(buffer, sizeof(buffer), Core()->GetUserID())
                : TStringQueue::EmptyText();
}

char* TAPIInterface::GetMyLogo() {
  thread_local char buffer[512];
  return Core() ? FillResultBuffer(buffer, sizeof(buffer), Core()->GetLogo())
                : TStringQueue::EmptyText();
}

char* TAPIInterface::GetMyBigLogo() {
  thread_local char buffer[512];
  return Core() ? FillResultBuffer(buffer, sizeof(buffer), Core()->GetBigLogo())
                : TStringQueue::EmptyText();
}

char* TAPIInterface::GetMySummary() {
  return Core() ? PushResult(Core()->GetSummary()) : TStringQueue::EmptyText();
}

char* TAPIInterface::GetBlackList() {
  return Core() ? PushResult(Core()->GetBlackList()) : TStringQueue::EmptyText();
}

int TAPIInterface::GetChampFlag() { return Core() ? Core()->GetChampFlag() : 0; }
