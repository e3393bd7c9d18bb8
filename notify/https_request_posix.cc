// libcurl built with OpenSSL (Debian's libcurl4-openssl-dev): the OpenSSL
// back end is the one that hands the TLS context to the program before the
// handshake, which is where a pinned certificate is checked, so that nothing
// (not even the request line) reaches a server that shows another one.

#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "base/text.h"
#include "notify/https_request.h"

namespace orvanta {
namespace {

struct Transfer {
  const HttpsRequest* request = nullptr;
  const std::atomic<bool>* cancelled = nullptr;
  std::string body_start;
  // The pinned-certificate check's findings.
  bool pin_checked = false;
  bool pin_matched = false;
  std::string seen_sha256;
};

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string Sha256Hex(X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
  std::string hex;
  char pair[3];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", digest[i]);
    hex += pair;
  }
  return hex;
}

// Takes the place of the chain check for a pinned destination: the
// server's own certificate must be the pinned one, whoever signed it.
int VerifyPinned(X509_STORE_CTX* store, void* argument) {
  auto* transfer = static_cast<Transfer*>(argument);
  X509* leaf = X509_STORE_CTX_get0_cert(store);
  transfer->pin_checked = true;
  transfer->seen_sha256 = leaf ? Sha256Hex(leaf) : std::string();
  transfer->pin_matched =
      !transfer->seen_sha256.empty() &&
      transfer->seen_sha256 == transfer->request->pin_sha256;
  if (!transfer->pin_matched) {
    X509_STORE_CTX_set_error(store, X509_V_ERR_CERT_REJECTED);
    return 0;
  }
  X509_STORE_CTX_set_error(store, X509_V_OK);
  return 1;
}

CURLcode SetUpTls(CURL*, void* ssl_context, void* argument) {
  auto* transfer = static_cast<Transfer*>(argument);
  auto* context = static_cast<SSL_CTX*>(ssl_context);
  if (!transfer->request->pin_sha256.empty()) {
    SSL_CTX_set_cert_verify_callback(context, VerifyPinned, transfer);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  }
  return CURLE_OK;
}

size_t KeepBodyStart(char* data, size_t size, size_t count, void* argument) {
  auto* transfer = static_cast<Transfer*>(argument);
  const size_t bytes = size * count;
  const size_t room = kKeptBodyBytes - transfer->body_start.size();
  transfer->body_start.append(data, bytes < room ? bytes : room);
  return bytes;  // the rest is read and let go
}

int CheckCancelled(void* argument, curl_off_t, curl_off_t, curl_off_t,
                   curl_off_t) {
  auto* transfer = static_cast<Transfer*>(argument);
  return transfer->cancelled && transfer->cancelled->load() ? 1 : 0;
}

std::u16string VerifyErrorText(long code) {
  switch (code) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
      return u"sunucunun sertifikası kendinden imzalı";
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return u"sertifika zincirinde güvenilmeyen bir kök sertifika var";
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return u"sertifikayı imzalayan yetkili tanınmıyor";
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return u"sertifikanın süresi dolmuş";
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return u"sertifika henüz geçerli değil";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return u"sertifika bu sunucu adına verilmemiş";
    case X509_V_ERR_CERT_REVOKED:
      return u"sertifika iptal edilmiş";
    default:
      return Utf8ToUtf16(X509_verify_cert_error_string(code));
  }
}

HttpsResponse Failed(HttpsResponse::Error error, std::u16string reason) {
  HttpsResponse response;
  response.error = error;
  response.reason = std::move(reason);
  return response;
}

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

HttpsResponse PerformHttpsRequest(const HttpsRequest& request,
                                  const std::atomic<bool>* cancelled) {
  GlobalInit();
  // One handle per thread, used again: it keeps the system's store of
  // authorities once read (reading it is most of a request's cost) and
  // open connections to the same server.
  thread_local std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
  if (!curl) {
    return Failed(HttpsResponse::Error::kOther, u"HTTP istemcisi açılamadı");
  }
  CURL* c = curl.get();
  curl_easy_reset(c);
  Transfer transfer;
  transfer.request = &request;
  transfer.cancelled = cancelled;
  char error_text[CURL_ERROR_SIZE] = {};

  curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error_text);
  const long timeout_ms = static_cast<long>(request.timeout.count());
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, timeout_ms);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeout_ms);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_USERAGENT, "Orvanta");
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, KeepBodyStart);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, CheckCancelled);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  // The system's store: the bundle libcurl was built with, or the file
  // SSL_CERT_FILE names, as every OpenSSL program honours it.
  if (const char* file = std::getenv("SSL_CERT_FILE"); file && *file) {
    curl_easy_setopt(c, CURLOPT_CAINFO, file);
  }
  // A pinned certificate is the server's identity itself; the name in it
  // does not matter (a self-hosted server is often reached by address).
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST,
                   request.pin_sha256.empty() ? 2L : 0L);
  curl_easy_setopt(c, CURLOPT_SSL_CTX_FUNCTION, SetUpTls);
  curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, &transfer);

  if (request.method == "GET") {
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  } else {
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.data());
    if (request.method != "POST") {
      curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
  }
  curl_slist* raw_headers = nullptr;
  for (const std::string& header : request.headers) {
    raw_headers = curl_slist_append(raw_headers, header.c_str());
  }
  raw_headers = curl_slist_append(raw_headers, "Expect:");
  std::unique_ptr<curl_slist, ListDeleter> headers(raw_headers);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

  const CURLcode code = curl_easy_perform(c);
  if (code == CURLE_OK) {
    HttpsResponse response;
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    response.status = static_cast<int>(status);
    response.body_start = std::move(transfer.body_start);
    return response;
  }

  if (transfer.pin_checked && !transfer.pin_matched) {
    return Failed(HttpsResponse::Error::kCertificate,
                  std::u16string(kCertificateFailure) +
                      u"sunucunun sertifikası ayarlardaki PIN ile eşleşmiyor "
                      u"(sunucununki: " +
                      Utf8ToUtf16(transfer.seen_sha256) + u")");
  }
  const std::u16string detail = Utf8ToUtf16(
      error_text[0] != '\0' ? error_text : curl_easy_strerror(code));
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return Failed(HttpsResponse::Error::kName,
                    u"sunucu adı bulunamadı (" + detail + u")");
    case CURLE_COULDNT_CONNECT:
      return Failed(HttpsResponse::Error::kConnect,
                    u"sunucuya bağlanılamadı (" + detail + u")");
    case CURLE_OPERATION_TIMEDOUT:
      return Failed(
          HttpsResponse::Error::kTimeout,
          IntToText(timeout_ms / 1000) + u" saniye içinde yanıt gelmedi");
    case CURLE_ABORTED_BY_CALLBACK:
      return Failed(HttpsResponse::Error::kCancelled, u"gönderim durduruldu");
    case CURLE_PEER_FAILED_VERIFICATION: {
      long verify = X509_V_OK;
      curl_easy_getinfo(c, CURLINFO_SSL_VERIFYRESULT, &verify);
      // A name that does not match is found by libcurl itself after the
      // chain was accepted.
      return Failed(
          HttpsResponse::Error::kCertificate,
          std::u16string(kCertificateFailure) +
              (verify != X509_V_OK ? VerifyErrorText(verify)
                                   : u"sertifika bu sunucu adına verilmemiş (" +
                                         detail + u")"));
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE: {
      long verify = X509_V_OK;
      curl_easy_getinfo(c, CURLINFO_SSL_VERIFYRESULT, &verify);
      if (verify != X509_V_OK) {
        return Failed(
            HttpsResponse::Error::kCertificate,
            std::u16string(kCertificateFailure) + VerifyErrorText(verify));
      }
      return Failed(HttpsResponse::Error::kOther,
                    u"güvenli bağlantı kurulamadı (" + detail + u")");
    }
    default:
      return Failed(HttpsResponse::Error::kOther, detail);
  }
}

}  // namespace orvanta
