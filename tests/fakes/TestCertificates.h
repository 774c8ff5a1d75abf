// A test certificate authority and certificates it signed, made with OpenSSL the first
// time they are asked for in a process, in a temporary folder removed at exit. TLS
// test servers present serverCert; clients trust it through TESMO_CA_FILE = caFile.
#ifndef TESMO_TESTS_FAKES_TESTCERTIFICATES_H
#define TESMO_TESTS_FAKES_TESTCERTIFICATES_H

#include <string>

struct TestCertificates {
  std::string dir;
  std::string caFile;          // the CA's certificate (PEM)
  std::string serverCertFile;  // "localhost", 127.0.0.1 and ::1, signed by the CA
  std::string serverKeyFile;
  std::string otherHostCertFile;  // "other.invalid" only, signed by the CA
  std::string otherHostKeyFile;
  std::string selfSignedCertFile;  // "localhost" and 127.0.0.1, signed by itself
  std::string selfSignedKeyFile;
  std::string clientCertFile;  // a client certificate signed by the CA
  std::string clientKeyFile;   // its key, encrypted with clientKeyPassword
  std::string clientKeyPassword;

  static const TestCertificates& Get();

  // A CA and a server certificate for "localhost", 127.0.0.1 and ::1 that last ten
  // years, kept in dir as ca.pem, ca.key, server.pem and server.key: made when one of
  // them is missing, reused otherwise. Fills dir, caFile, serverCertFile and
  // serverKeyFile; false with a message when they cannot be made.
  static bool MakeLasting(const std::string& dir, TestCertificates* out, std::string* error);
};

#endif
