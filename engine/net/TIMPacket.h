#ifndef TESMO_NET_TIMPACKET_H
#define TESMO_NET_TIMPACKET_H

#include <string>
#include <vector>

// One IM protocol packet: a JSON object that is either a request ("request": 1) or a
// response ("response": code), identified by its "id" and "from" texts.
class TIMPacket {
 public:
  enum Kind { kRequest = 1, kResponse = 2 };
  enum Method { kNone = 0, kOptions = 1, kRegister = 2, kMessage = 3, kCall = 4 };
  static constexpr int kMethodCount = 5;

  TIMPacket() = default;

  // Reads a packet text; 1 on success, 0 when it is not JSON, has neither "request"
  // nor "response", lacks any of id, transid, from and to, or names no known method.
  int Parse(const std::string& text);

  std::string ToRequest() const { return Write(true); }
  std::string ToResponse() const { return Write(false); }
  // The text of the response that answers this packet with code, routed back along
  // its "recroute".
  std::string MakeResponse(int code, const std::string& recroute) const;

  // A new id: 10 random digits, then "@" and the suffix when there is one.
  void NewId(const std::string& suffix);
  void AddParam(const std::string& name, const std::string& value);
  // Value of the first param with exactly that name; "" when there is none.
  std::string GetParam(const std::string& name) const;

  // The method's name in the method table; "" for numbers outside it.
  static const char* MethodName(int method);
  // The method's number; 0 for "" and unknown names.
  static int MethodFromName(const std::string& name);

  int GetKind() const { return m_kind; }
  std::string GetId() const { return m_id; }
  std::string GetTransId() const { return m_transId; }
  std::string GetFrom() const { return m_from; }
  std::string GetTo() const { return m_to; }
  int GetMethod() const { return m_method; }
  std::string GetRoute() const { return m_route; }
  std::string GetRecroute() const { return m_recroute; }
  int GetClient() const { return m_client; }
  int GetCode() const { return m_code; }
  std::string GetContentType() const { return m_contentType; }
  const std::vector<std::string>& ParamNames() const { return m_paramNames; }
  const std::vector<std::string>& ParamValues() const { return m_paramValues; }

  void SetKind(int kind) { m_kind = kind; }
  void SetId(const std::string& id) { m_id = id; }
  void SetFrom(const std::string& from) { m_from = from; }
  void SetTo(const std::string& to) { m_to = to; }
  void SetTransId(const std::string& transId) { m_transId = transId; }
  void SetMethod(int method) { m_method = method; }
  void SetClient(int client) { m_client = client; }
  void SetCode(int code) { m_code = code; }
  void SetRoute(const std::string& route) { m_route = route; }
  void SetRecroute(const std::string& recroute) { m_recroute = recroute; }
  void SetContentType(const std::string& contentType) { m_contentType = contentType; }

 private:
  std::string Write(bool request) const;

  int m_kind = kRequest;
  std::string m_id;
  std::string m_transId;
  std::string m_from;
  std::string m_to;
  int m_method = kNone;
  std::string m_route;
  std::string m_recroute;
  int m_client = 0;
  int m_code = 0;
  std::string m_contentType;
  std::vector<std::string> m_paramNames;
  std::vector<std::string> m_paramValues;
};

#endif
