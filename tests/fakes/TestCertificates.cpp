#include "fakes/TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;

KeyPtr NewKey() {
  EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256");
  if (!key) throw std::runtime_error("test key generation failed");
  return KeyPtr(key, EVP_PKEY_free);
}

void AddExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (!ext || X509_add_ext(cert, ext, -1) != 1) {
    X509_EXTENSION_free(ext);
    throw std::runtime_error("test certificate extension failed");
  }
  X509_EXTENSION_free(ext);
}

// A certificate for key with the given common name, signed by issuerKey (issuerCert
// nullptr: self-signed). subjectAltName may be empty.
CertPtr MakeCert(EVP_PKEY* key, const char* commonName, X509* issuerCert, EVP_PKEY* issuerKey,
                 bool isCa, const char* subjectAltName, const char* extendedUsage, long serial,
                 long days = 7) {
  CertPtr cert(X509_new(), X509_free);
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), days * 24 * 3600);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("TesmoChat tests"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
  X509* issuer = issuerCert ? issuerCert : cert.get();
  X509_set_issuer_name(cert.get(), X509_get_subject_name(issuer));
  AddExtension(cert.get(), issuer, NID_basic_constraints, isCa ? "critical,CA:TRUE" : "CA:FALSE");
  AddExtension(cert.get(), issuer, NID_key_usage,
               isCa ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature");
  AddExtension(cert.get(), issuer, NID_subject_key_identifier, "hash");
  if (issuerCert) AddExtension(cert.get(), issuer, NID_authority_key_identifier, "keyid:always");
  if (subjectAltName && *subjectAltName) {
    AddExtension(cert.get(), issuer, NID_subject_alt_name, subjectAltName);
  }
  if (extendedUsage) AddExtension(cert.get(), issuer, NID_ext_key_usage, extendedUsage);
  if (X509_sign(cert.get(), issuerKey, EVP_sha256()) <= 0) {
    throw std::runtime_error("test certificate signing failed");
  }
  return cert;
}

void WriteCert(const std::string& path, X509* cert) {
  FILE* f = std::fopen(path.c_str(), "w");
  const bool ok = f != nullptr && PEM_write_X509(f, cert) == 1;
  if (f) std::fclose(f);
  if (!ok) throw std::runtime_error("cannot write " + path);
}

void WriteKey(const std::string& path, EVP_PKEY* key, const std::string& password = "") {
  FILE* f = std::fopen(path.c_str(), "w");
  bool ok = f != nullptr;
  if (ok && password.empty()) {
    ok = PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
  } else if (ok) {
    ok = PEM_write_PKCS8PrivateKey(f, key, EVP_aes_256_cbc(), password.c_str(),
                                   static_cast<int>(password.size()), nullptr, nullptr) == 1;
  }
  if (f) std::fclose(f);
  if (!ok) throw std::runtime_error("cannot write " + path);
}

// Owns the folder: the files and the folder go when the process ends.
struct Holder {
  TestCertificates certs;
  std::vector<std::string> files;

  Holder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tesmo-certs-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    certs.dir = buf.data();
    auto file = [this](const char* name) {
      files.push_back(certs.dir + "/" + name);
      return files.back();
    };
    certs.caFile = file("ca.pem");
    certs.serverCertFile = file("server.pem");
    certs.serverKeyFile = file("server.key");
    certs.otherHostCertFile = file("other.pem");
    certs.otherHostKeyFile = file("other.key");
    certs.selfSignedCertFile = file("self.pem");
    certs.selfSignedKeyFile = file("self.key");
    certs.clientCertFile = file("client.pem");
    certs.clientKeyFile = file("client.key");
    certs.clientKeyPassword = "client-key-pass";

    KeyPtr caKey = NewKey();
    CertPtr ca =
        MakeCert(caKey.get(), "TesmoChat Test CA", nullptr, caKey.get(), true, "", nullptr, 1);
    WriteCert(certs.caFile, ca.get());

    const char* loopbackNames = "DNS:localhost,IP:127.0.0.1,IP:::1";
    KeyPtr serverKey = NewKey();
    WriteCert(certs.serverCertFile, MakeCert(serverKey.get(), "localhost", ca.get(), caKey.get(),
                                             false, loopbackNames, "serverAuth", 2)
                                        .get());
    WriteKey(certs.serverKeyFile, serverKey.get());

    KeyPtr otherKey = NewKey();
    WriteCert(certs.otherHostCertFile,
              MakeCert(otherKey.get(), "other.invalid", ca.get(), caKey.get(), false,
                       "DNS:other.invalid", "serverAuth", 3)
                  .get());
    WriteKey(certs.otherHostKeyFile, otherKey.get());

    KeyPtr selfKey = NewKey();
    WriteCert(certs.selfSignedCertFile, MakeCert(selfKey.get(), "localhost", nullptr, selfKey.get(),
                                                 false, loopbackNames, "serverAuth", 4)
                                            .get());
    WriteKey(certs.selfSignedKeyFile, selfKey.get());

    KeyPtr clientKey = NewKey();
    WriteCert(certs.clientCertFile, MakeCert(clientKey.get(), "tesmo client", ca.get(), caKey.get(),
                                             false, "", "clientAuth", 5)
                                        .get());
    WriteKey(certs.clientKeyFile, clientKey.get(), certs.clientKeyPassword);
  }

  ~Holder() {
    for (const std::string& f : files) unlink(f.c_str());
    rmdir(certs.dir.c_str());
  }
};

}  // namespace

const TestCertificates& TestCertificates::Get() {
  static Holder holder;
  return holder.certs;
}

bool TestCertificates::MakeLasting(const std::string& dir, TestCertificates* out,
                                   std::string* error) {
  out->dir = dir;
  out->caFile = dir + "/ca.pem";
  out->serverCertFile = dir + "/server.pem";
  out->serverKeyFile = dir + "/server.key";
  const std::string caKeyFile = dir + "/ca.key";
  bool present = true;
  const std::string* files[] = {&out->caFile, &out->serverCertFile, &out->serverKeyFile,
                                &caKeyFile};
  for (const std::string* f : files) present = present && access(f->c_str(), R_OK) == 0;
  if (present) return true;
  constexpr long kTenYears = 3650;
  try {
    KeyPtr caKey = NewKey();
    CertPtr ca = MakeCert(caKey.get(), "TesmoChat Local Server CA", nullptr, caKey.get(), true, "",
                          nullptr, 1, kTenYears);
    KeyPtr serverKey = NewKey();
    CertPtr server = MakeCert(serverKey.get(), "localhost", ca.get(), caKey.get(), false,
                              "DNS:localhost,IP:127.0.0.1,IP:::1", "serverAuth", 2, kTenYears);
    // The keys are private to this user.
    const mode_t old = umask(077);
    try {
      WriteKey(caKeyFile, caKey.get());
      WriteKey(out->serverKeyFile, serverKey.get());
    } catch (...) {
      umask(old);
      throw;
    }
    umask(old);
    WriteCert(out->serverCertFile, server.get());
    WriteCert(out->caFile, ca.get());
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  return true;
}
