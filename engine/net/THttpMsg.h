// An HTTP message as parsed from the wire: its header lines, in order, and its body.
#ifndef TESMO_NET_THTTPMSG_H
#define TESMO_NET_THTTPMSG_H

#include <string>
#include <vector>

class THttpMsg {
 public:
  struct Header {
    int hash;  // HeaderHash of the name, checked before the name is compared
    std::string name;
    std::string value;
  };

  THttpMsg() = default;
  virtual ~THttpMsg() = default;

  // Value of the first header named name (ASCII case ignored), or nullptr.
  const char* GetHeader(const std::string& name) const;
  int GetHeaderCount() const { return static_cast<int>(m_headers.size()); }
  const std::vector<Header>& Headers() const { return m_headers; }
  // Bytes after the header block, zero-terminated; nullptr and -1 when there were none.
  const char* GetBody() const { return m_bodyLength < 0 ? nullptr : m_body.c_str(); }
  int GetBodyLength() const { return m_bodyLength; }

  // Sum of the name's bytes, A-Z counted as their lower-case letters.
  static int HeaderHash(const std::string& name);

 protected:
  void Clear();
  void AddHeader(const std::string& name, const std::string& value);
  void SetBody(const char* data, size_t length);

 private:
  std::vector<Header> m_headers;
  std::string m_body;
  int m_bodyLength = -1;
};

#endif
