#include "net/TIMPacket.h"

#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTransId.h"

namespace {
const char* const kMethodNames[TIMPacket::kMethodCount] = {"", "options", "register", "message",
                                                           "call"};
constexpr int kIdDigits = 10;
}  // namespace

const char* TIMPacket::MethodName(int method) {
  if (method < 0 || method >= kMethodCount) return "";
  return kMethodNames[method];
}

int TIMPacket::MethodFromName(const std::string& name) {
  for (int i = 0; i < kMethodCount; ++i) {
    if (name == kMethodNames[i]) return i;
  }
  return kNone;
}

int TIMPacket::Parse(const std::string& text) {
  const Json::Value root = TJsonHelper::Parse(text);
  if (root.isNull() || !root.isObject()) return 0;
  if (TJsonHelper::HasMember(root, "request")) {
    m_kind = kRequest;
    m_code = 0;
  } else if (TJsonHelper::HasMember(root, "response")) {
    m_kind = kResponse;
    m_code = TJsonHelper::GetInt(root, "response");
  } else {
    return 0;
  }
  m_id = TJsonHelper::GetString(root, "id");
  m_transId = TJsonHelper::GetString(root, "transid");
  m_from = TJsonHelper::GetString(root, "from");
  m_to = TJsonHelper::GetString(root, "to");
  if (m_id.empty() || m_transId.empty() || m_from.empty() || m_to.empty()) return 0;
  m_method = MethodFromName(TJsonHelper::GetString(root, "method"));
  if (m_method == kNone) return 0;
  m_client = TJsonHelper::GetInt(root, "client");
  m_route = TJsonHelper::GetString(root, "route");
  m_recroute = TJsonHelper::GetString(root, "recroute");
  m_contentType = TJsonHelper::GetString(root, "contenttype");
  m_paramNames.clear();
  m_paramValues.clear();
  const Json::Value params = TJsonHelper::GetValue(root, "params");
  if (params.isObject()) {
    for (const std::string& name : params.getMemberNames()) {
      AddParam(name, TJsonHelper::GetString(params, name));
    }
  }
  return 1;
}

std::string TIMPacket::Write(bool request) const {
  std::string out = "{";
  if (request) {
    out += JsonTextKey("request") + "1";
  } else {
    out += JsonTextKey("response") + std::to_string(m_code);
  }
  out += "," + JsonTextKey("id") + JsonQuote(m_id);
  out += "," + JsonTextKey("transid") + JsonQuote(m_transId);
  out += "," + JsonTextKey("from") + JsonQuote(m_from);
  if (m_client != 0) out += "," + JsonTextKey("client") + std::to_string(m_client);
  if (!m_to.empty()) out += "," + JsonTextKey("to") + JsonQuote(m_to);
  out += "," + JsonTextKey("method") + JsonQuote(MethodName(m_method));
  if (!m_route.empty()) out += "," + JsonTextKey("route") + JsonQuote(m_route);
  if (!m_recroute.empty()) out += "," + JsonTextKey("recroute") + JsonQuote(m_recroute);
  if (!m_contentType.empty()) {
    out += "," + JsonTextKey("contenttype") + JsonQuote(m_contentType);
  }
  if (!m_paramNames.empty()) {
    out += "," + JsonTextKey("params") + "{";
    for (size_t i = 0; i < m_paramNames.size(); ++i) {
      if (i > 0) out += ",";
      out += JsonTextKey(m_paramNames[i]) + JsonQuote(m_paramValues[i]);
    }
    out += "}";
  }
  out += "}";
  return out;
}

std::string TIMPacket::MakeResponse(int code, const std::string& recroute) const {
  TIMPacket response;
  response.m_kind = kResponse;
  response.m_id = m_id;
  response.m_transId = m_transId;
  response.m_from = m_from;
  response.m_to = m_to;
  response.m_method = m_method;
  response.m_code = code;
  response.m_route = m_recroute;
  response.m_recroute = recroute;
  return response.ToResponse();
}

void TIMPacket::NewId(const std::string& suffix) {
  m_id = RandomDigits(kIdDigits);
  if (!suffix.empty()) m_id += "@" + suffix;
}

void TIMPacket::AddParam(const std::string& name, const std::string& value) {
  m_paramNames.push_back(name);
  m_paramValues.push_back(value);
}

std::string TIMPacket::GetParam(const std::string& name) const {
  for (size_t i = 0; i < m_paramNames.size(); ++i) {
    if (m_paramNames[i] == name) return m_paramValues[i];
  }
  return std::string();
}
