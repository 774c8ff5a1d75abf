#include "fakes/FakeIMSessionServer.h"

#include <openssl/evp.h>

#include <cstdio>

namespace {
// A member's text; "" for anything else (a packet from anyone may hold anything).
std::string TextOf(const Json::Value& packet, const char* key) {
  const Json::Value& v = packet[key];
  return v.isString() ? v.asString() : std::string();
}

// The session's own texts: short ones, and longer ones that are no packet (the
// keep-alive and unregister texts carry the account).
bool IsSessionText(const FakeIMServer::Record& r) {
  return r.framed && (r.kind == FakeIMServer::kShort || r.kind == FakeIMServer::kOther);
}
}  // namespace

const char* const FakeIMSessionServer::kLoginSalt =
    "%%^^[[]]--==##&&!!??qpwoeirutyalskdjfhg;zmxncbv'p{qowieur{}}xxyyz";

FakeIMSessionServer::FakeIMSessionServer(int port) : m_server(port) {
  m_server.SetShortHandler([this](const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> out;
    if (text == "o") {
      if (m_probeAnswered) out.push_back("o");
    } else if (text == "a" || (!text.empty() && text[0] == 'r')) {
      if (m_keepAliveAnswered) out.push_back(text.substr(0, 1));
    }
    return out;
  });
  m_server.SetResponder([this](const FakeIMServer::Record& request) {
    FakeIMServer::Reply reply;
    if (request.json.isObject() && TextOf(request.json, "method") == "register") {
      LoginCheck check;
      std::string verdict;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        check = m_loginCheck;
        verdict = m_verdict;
      }
      if (check) verdict = check(request);
      if (!verdict.empty()) reply.texts.push_back(verdict);
    }
    return reply;
  });
}

void FakeIMSessionServer::SetProbeAnswered(bool answered) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_probeAnswered = answered;
}

void FakeIMSessionServer::SetLoginVerdict(const std::string& verdict) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_verdict = verdict;
}

void FakeIMSessionServer::SetLoginCheck(LoginCheck check) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_loginCheck = std::move(check);
}

void FakeIMSessionServer::SetKeepAliveAnswered(bool answered) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_keepAliveAnswered = answered;
}

size_t FakeIMSessionServer::CountText(const std::string& text) const {
  size_t n = 0;
  for (const FakeIMServer::Record& r : m_server.Received()) {
    if (IsSessionText(r) && r.text == text) ++n;
  }
  return n;
}

std::vector<std::string> FakeIMSessionServer::SessionTexts() const {
  std::vector<std::string> out;
  for (const FakeIMServer::Record& r : m_server.Received()) {
    if (IsSessionText(r) && r.text != "o") out.push_back(r.text);
  }
  return out;
}

std::vector<Json::Value> FakeIMSessionServer::LoginPackets() const {
  std::vector<Json::Value> out;
  for (const FakeIMServer::Record& r : m_server.Received()) {
    if (r.kind == FakeIMServer::kRequest && r.json.isObject() &&
        TextOf(r.json, "method") == "register")
      out.push_back(r.json);
  }
  return out;
}

std::string FakeIMSessionServer::Md5Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_md5(), nullptr);
  std::string out;
  char hex[3];
  for (unsigned int i = 0; i < length; ++i) {
    snprintf(hex, sizeof(hex), "%02x", digest[i]);
    out += hex;
  }
  return out;
}

bool FakeIMSessionServer::LoginKeyValid(const Json::Value& packet) {
  if (!packet.isObject() || !packet["params"].isObject()) return false;
  const std::string expect = Md5Hex(TextOf(packet, "id") + TextOf(packet, "from") + kLoginSalt);
  return TextOf(packet["params"], "key") == expect;
}
