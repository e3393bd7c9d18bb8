// WinHTTP, a system DLL: the program stays one file that needs nothing
// beside it.

#include <windows.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/text.h"
#include "notify/https_request.h"

namespace orvanta {
namespace {

struct HandleCloser {
  void operator()(void* handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

// What the status callback found out while the request ran.
struct Watch {
  const HttpsRequest* request = nullptr;
  DWORD secure_failure = 0;  // WINHTTP_CALLBACK_STATUS_FLAG_* bits
  bool pin_checked = false;
  bool pin_matched = false;
  std::string seen_sha256;
};

std::string CertificateSha256(HINTERNET request) {
  PCCERT_CONTEXT certificate = nullptr;
  DWORD size = sizeof certificate;
  if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT,
                          &certificate, &size) ||
      certificate == nullptr) {
    return {};
  }
  BYTE digest[32];
  DWORD digest_size = sizeof digest;
  std::string hex;
  if (CryptHashCertificate(0, CALG_SHA_256, 0, certificate->pbCertEncoded,
                           certificate->cbCertEncoded, digest, &digest_size) &&
      digest_size == sizeof digest) {
    char pair[3];
    for (BYTE b : digest) {
      std::snprintf(pair, sizeof pair, "%02x", b);
      hex += pair;
    }
  }
  CertFreeCertificateContext(certificate);
  return hex;
}

void CALLBACK OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status,
                       LPVOID information, DWORD /*length*/) {
  auto* watch = reinterpret_cast<Watch*>(context);
  if (watch == nullptr) return;
  if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && information) {
    watch->secure_failure |= *static_cast<DWORD*>(information);
  } else if (status == WINHTTP_CALLBACK_STATUS_SENDING_REQUEST &&
             !watch->request->pin_sha256.empty()) {
    // The handshake is done and nothing has been sent yet: the last moment
    // to refuse a server that shows another certificate.
    watch->pin_checked = true;
    watch->seen_sha256 = CertificateSha256(handle);
    watch->pin_matched = !watch->seen_sha256.empty() &&
                         watch->seen_sha256 == watch->request->pin_sha256;
    if (!watch->pin_matched) WinHttpCloseHandle(handle);
  }
}

std::u16string SecureFailureText(DWORD flags) {
  if (flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA) {
    return u"sertifikayı imzalayan yetkili tanınmıyor";
  }
  if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID) {
    return u"sertifika bu sunucu adına verilmemiş";
  }
  if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID) {
    return u"sertifikanın süresi dolmuş ya da henüz geçerli değil";
  }
  if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED) {
    return u"sertifika iptal edilmiş";
  }
  if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE) {
    return u"sertifika sunucu kimliği için verilmemiş";
  }
  if (flags & WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT) {
    return u"sertifika geçersiz";
  }
  if (flags & WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED) {
    return u"sertifikanın iptal durumu öğrenilemedi";
  }
  return u"güvenli bağlantı kurulamadı";
}

HttpsResponse Failed(HttpsResponse::Error error, std::u16string reason) {
  HttpsResponse response;
  response.error = error;
  response.reason = std::move(reason);
  return response;
}

HttpsResponse FailureOf(DWORD code, const Watch& watch, long timeout_ms) {
  if (watch.pin_checked && !watch.pin_matched) {
    return Failed(HttpsResponse::Error::kCertificate,
                  std::u16string(kCertificateFailure) +
                      u"sunucunun sertifikası ayarlardaki PIN ile eşleşmiyor "
                      u"(sunucununki: " +
                      Utf8ToUtf16(watch.seen_sha256) + u")");
  }
  switch (code) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return Failed(HttpsResponse::Error::kName, u"sunucu adı bulunamadı");
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return Failed(HttpsResponse::Error::kConnect, u"sunucuya bağlanılamadı");
    case ERROR_WINHTTP_TIMEOUT:
      return Failed(
          HttpsResponse::Error::kTimeout,
          IntToText(timeout_ms / 1000) + u" saniye içinde yanıt gelmedi");
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
      return Failed(HttpsResponse::Error::kCertificate,
                    std::u16string(kCertificateFailure) +
                        SecureFailureText(watch.secure_failure));
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return Failed(HttpsResponse::Error::kOther, u"bağlantı koptu");
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return Failed(HttpsResponse::Error::kOther,
                    u"sunucunun yanıtı anlaşılamadı");
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL:
      return Failed(HttpsResponse::Error::kOther, u"adres geçersiz");
    default:
      return Failed(HttpsResponse::Error::kOther,
                    u"WinHTTP hatası " + IntToText(code));
  }
}

}  // namespace

HttpsResponse PerformHttpsRequest(const HttpsRequest& request,
                                  const std::atomic<bool>* cancelled) {
  const long timeout_ms = static_cast<long>(request.timeout.count());
  if (cancelled && cancelled->load()) {
    return Failed(HttpsResponse::Error::kCancelled, u"gönderim durduruldu");
  }
  const std::wstring url = Wide(request.url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0,
                       &parts)) {
    return Failed(HttpsResponse::Error::kOther, u"adres geçersiz");
  }
  const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) {
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  }
  if (path.empty()) path = L"/";

  Handle session(WinHttpOpen(L"Orvanta", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                             WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                             0));
  if (!session) return FailureOf(GetLastError(), Watch{}, timeout_ms);
  const int t = static_cast<int>(timeout_ms);
  WinHttpSetTimeouts(session.get(), t, t, t, t);
  Handle connection(
      WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return FailureOf(GetLastError(), Watch{}, timeout_ms);
  const std::wstring method = Wide(request.method);
  Handle handle(WinHttpOpenRequest(
      connection.get(), method.c_str(), path.c_str(), nullptr,
      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
      (secure ? WINHTTP_FLAG_SECURE : 0) | WINHTTP_FLAG_ESCAPE_DISABLE |
          WINHTTP_FLAG_ESCAPE_DISABLE_QUERY));
  if (!handle) return FailureOf(GetLastError(), Watch{}, timeout_ms);
  HINTERNET h = handle.get();

  Watch watch;
  watch.request = &request;
  WinHttpSetStatusCallback(
      h, OnStatus,
      WINHTTP_CALLBACK_FLAG_SECURE_FAILURE | WINHTTP_CALLBACK_FLAG_SEND_REQUEST,
      0);
  DWORD no_redirects = WINHTTP_DISABLE_REDIRECTS;
  WinHttpSetOption(h, WINHTTP_OPTION_DISABLE_FEATURE, &no_redirects,
                   sizeof no_redirects);
  if (secure && !request.pin_sha256.empty()) {
    // The pinned certificate stands in for the authorities' word: the
    // system's check is told to let any certificate through, and the
    // callback refuses all but the pinned one before anything is sent.
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA |
                  SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
                  SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                  SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    WinHttpSetOption(h, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
  }

  std::wstring headers;
  for (const std::string& header : request.headers) {
    headers += Wide(header);
    headers += L"\r\n";
  }
  const bool post = request.method != "GET";
  const BOOL sent = WinHttpSendRequest(
      h, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
      headers.empty() ? 0 : static_cast<DWORD>(-1),
      post ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA,
      post ? static_cast<DWORD>(request.body.size()) : 0,
      post ? static_cast<DWORD>(request.body.size()) : 0,
      reinterpret_cast<DWORD_PTR>(&watch));
  if (watch.pin_checked && !watch.pin_matched) {
    handle.release();  // closed by the callback
    return FailureOf(0, watch, timeout_ms);
  }
  if (!sent || !WinHttpReceiveResponse(h, nullptr)) {
    return FailureOf(GetLastError(), watch, timeout_ms);
  }
  if (secure && !request.pin_sha256.empty() &&
      (!watch.pin_checked || CertificateSha256(h) != request.pin_sha256)) {
    watch.pin_checked = true;
    watch.pin_matched = false;
    watch.seen_sha256 = CertificateSha256(h);
    return FailureOf(0, watch, timeout_ms);
  }

  HttpsResponse response;
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(
          h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
          WINHTTP_NO_HEADER_INDEX)) {
    return FailureOf(GetLastError(), watch, timeout_ms);
  }
  response.status = static_cast<int>(status);
  char buffer[4096];
  for (;;) {
    if (cancelled && cancelled->load()) break;
    DWORD read = 0;
    if (!WinHttpReadData(h, buffer, sizeof buffer, &read) || read == 0) break;
    const size_t room = kKeptBodyBytes - response.body_start.size();
    response.body_start.append(buffer, read < room ? read : room);
    if (response.body_start.size() >= kKeptBodyBytes) break;
  }
  return response;
}

}  // namespace orvanta
