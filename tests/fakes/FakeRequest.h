// One HTTP request as a loopback test server received it.
#ifndef TESMO_TESTS_FAKES_FAKEREQUEST_H
#define TESMO_TESTS_FAKES_FAKEREQUEST_H

#include <string>
#include <utility>
#include <vector>

struct FakeRequest {
  std::string raw;          // the bytes as received: request line, headers, body
  std::string requestLine;  // "POST /a/b.do?x=1 HTTP/1.1"
  std::string method;       // "POST"
  std::string target;       // "/a/b.do?x=1"
  std::string path;         // "/a/b.do"
  std::string query;        // "x=1"
  std::string version;      // "HTTP/1.1"
  std::vector<std::pair<std::string, std::string>> headers;  // in order, values trimmed
  std::string body;
  int connection = 0;            // 1-based number of the connection that carried it
  std::string serverName;        // TLS: the host name the client sent (SNI), "" when none
  bool clientCertified = false;  // TLS: the client presented a certificate

  // First header of that name (case ignored); "" when absent.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
  int HeaderCount(const std::string& name) const;
  // Query parameter, percent-decoded ("+" stays "+"); "" when absent.
  std::string Param(const std::string& name) const;

  // Parses a request head (request line and header lines, up to the empty line);
  // false when it is not "METHOD target HTTP/x.y" followed by "name: value" lines.
  bool ParseHead(const std::string& head);
};

#endif
