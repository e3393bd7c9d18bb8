#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "callerid/test/test_authority.h"

namespace orvanta {
namespace {

// The CA as DER bytes; the variable holds a Unix path, which Wine shows
// on drive Z:.
std::string ReadAuthority() {
  const char* unix_path = std::getenv("ORVANTA_WEBHOOK_CA_DER");
  if (unix_path == nullptr) return {};
  std::string path = unix_path;
  if (!path.empty() && path.front() == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

HCERTSTORE OpenUserRoot() {
  return CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                       CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
}

}  // namespace

TrustedTestAuthority::TrustedTestAuthority() {
  const std::string der = ReadAuthority();
  HCERTSTORE store = OpenUserRoot();
  const BOOL added =
      !der.empty() && store != nullptr &&
      CertAddEncodedCertificateToStore(
          store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
          static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
          nullptr);
  const DWORD error = GetLastError();
  if (store != nullptr) CertCloseStore(store, 0);
  // The tests that need the CA fail on their own; this says why.
  EXPECT_TRUE(added) << "the test CA (ORVANTA_WEBHOOK_CA_DER, "
                     << (der.empty() ? "missing" : "present")
                     << ") could not be added: " << error;
}

TrustedTestAuthority::~TrustedTestAuthority() {
  const std::string der = ReadAuthority();
  HCERTSTORE store = OpenUserRoot();
  if (store == nullptr || der.empty()) return;
  PCCERT_CONTEXT wanted = CertCreateCertificateContext(
      X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
      static_cast<DWORD>(der.size()));
  if (wanted != nullptr) {
    PCCERT_CONTEXT found = CertFindCertificateInStore(
        store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr);
    if (found != nullptr) CertDeleteCertificateFromStore(found);
    CertFreeCertificateContext(wanted);
  }
  CertCloseStore(store, 0);
}

}  // namespace orvanta
