// WinHTTP, a system DLL: the program stays one file that needs nothing
// beside it.

#include <windows.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <cstdio>
#include <memory>
#include <optional>
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
  switch (code) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return Failed(HttpsResponse::Error::kName, u"sunucu adı bulunamadı");
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case WSAECONNREFUSED:
      return Failed(HttpsResponse::Error::kConnect, u"sunucuya bağlanılamadı");
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:  // Wine passes the socket's own error on
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
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      // Some systems (Wine among them) report a refused certificate this
      // way, with its reasons in the callback's flags.
      if (watch.secure_failure &
          ~WINHTTP_CALLBACK_STATUS_FLAG_SECURITY_CHANNEL_ERROR) {
        return Failed(HttpsResponse::Error::kCertificate,
                      std::u16string(kCertificateFailure) +
                          SecureFailureText(watch.secure_failure));
      }
      return Failed(HttpsResponse::Error::kOther,
                    u"güvenli bağlantı kurulamadı");
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

constexpr DWORD kAnyCertificate = SECURITY_FLAG_IGNORE_UNKNOWN_CA |
                                  SECURITY_FLAG_IGNORE_CERT_DATE_INVALID |
                                  SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                                  SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;

// `any_certificate` lets every certificate through (the pin or the probe
// checks it instead); such a connection is never kept for another request,
// which could be one that the system's store must judge.
Handle OpenRequest(HINTERNET connection, const wchar_t* method,
                   const wchar_t* path, bool secure, bool any_certificate) {
  Handle handle(WinHttpOpenRequest(
      connection, method, path, nullptr, WINHTTP_NO_REFERER,
      WINHTTP_DEFAULT_ACCEPT_TYPES,
      (secure ? WINHTTP_FLAG_SECURE : 0) | WINHTTP_FLAG_ESCAPE_DISABLE |
          WINHTTP_FLAG_ESCAPE_DISABLE_QUERY));
  if (!handle) return handle;
  DWORD features = WINHTTP_DISABLE_REDIRECTS;
  if (any_certificate) features |= WINHTTP_DISABLE_KEEP_ALIVE;
  WinHttpSetOption(handle.get(), WINHTTP_OPTION_DISABLE_FEATURE, &features,
                   sizeof features);
  if (any_certificate) {
    DWORD flags = kAnyCertificate;
    WinHttpSetOption(handle.get(), WINHTTP_OPTION_SECURITY_FLAGS, &flags,
                     sizeof flags);
  }
  return handle;
}

// Connects with a request that carries nothing of the caller's ("HEAD /",
// no headers of its own), letting any certificate through, to see which
// certificate the server shows: the pin is checked on it before the real
// request goes out, and a refusal whose reasons the system kept to itself
// is explained from it. Nothing when no connection could be made.
struct Probe {
  std::string sha256;
  std::u16string refusal;  // why the system's store refuses it; empty: fine
};
std::optional<Probe> ProbeCertificate(HINTERNET connection,
                                      const std::wstring& host) {
  Handle probe = OpenRequest(connection, L"HEAD", L"/", true, true);
  if (!probe) return std::nullopt;
  if (!WinHttpSendRequest(probe.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                          WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    return std::nullopt;
  }
  PCCERT_CONTEXT certificate = nullptr;
  DWORD size = sizeof certificate;
  if (!WinHttpQueryOption(probe.get(), WINHTTP_OPTION_SERVER_CERT_CONTEXT,
                          &certificate, &size) ||
      certificate == nullptr) {
    return std::nullopt;
  }
  Probe found;
  found.sha256 = CertificateSha256(probe.get());
  // The system's own judgement, as the real request would meet it.
  CERT_CHAIN_PARA chain_parameters{};
  chain_parameters.cbSize = sizeof chain_parameters;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (CertGetCertificateChain(nullptr, certificate, nullptr,
                              certificate->hCertStore, &chain_parameters, 0,
                              nullptr, &chain)) {
    HTTPSPolicyCallbackData ssl{};
    ssl.cbStruct = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy,
                                         &status)) {
      switch (static_cast<HRESULT>(status.dwError)) {
        case S_OK:
          break;
        case CERT_E_UNTRUSTEDROOT:
        case CERT_E_CHAINING:
          found.refusal = u"sertifikayı imzalayan yetkili tanınmıyor";
          break;
        case CERT_E_CN_NO_MATCH:
          found.refusal = u"sertifika bu sunucu adına verilmemiş";
          break;
        case CERT_E_EXPIRED:
          found.refusal =
              u"sertifikanın süresi dolmuş ya da henüz geçerli değil";
          break;
        case CERT_E_REVOKED:
          found.refusal = u"sertifika iptal edilmiş";
          break;
        case CERT_E_WRONG_USAGE:
          found.refusal = u"sertifika sunucu kimliği için verilmemiş";
          break;
        default:
          found.refusal = u"sertifika geçersiz";
      }
    }
    CertFreeCertificateChain(chain);
  }
  CertFreeCertificateContext(certificate);
  return found;
}

HttpsResponse PinMismatch(const std::string& seen) {
  return Failed(HttpsResponse::Error::kCertificate,
                std::u16string(kCertificateFailure) +
                    u"sunucunun sertifikası ayarlardaki PIN ile eşleşmiyor "
                    u"(sunucununki: " +
                    Utf8ToUtf16(seen) + u")");
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
  const bool pinned = secure && !request.pin_sha256.empty();
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) {
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  }
  if (path.empty()) path = L"/";

  // One session per thread, used again: it keeps open connections and TLS
  // sessions to the same server, as a queue's worker sends to one server.
  thread_local Handle session(
      WinHttpOpen(L"Orvanta", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  thread_local const bool protocols_set = [] {
    if (!session) return false;
    // Older systems default to TLS 1.0; servers today want 1.2 or 1.3. A
    // system that does not know 1.3 refuses the pair: then 1.2 alone.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 |
                      WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS,
                          &protocols, sizeof protocols)) {
      protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
      WinHttpSetOption(session.get(), WINHTTP_OPTION_SECURE_PROTOCOLS,
                       &protocols, sizeof protocols);
    }
    return true;
  }();
  if (!session || !protocols_set) {
    return FailureOf(GetLastError(), Watch{}, timeout_ms);
  }
  const int t = static_cast<int>(timeout_ms);
  WinHttpSetTimeouts(session.get(), t, t, t, t);
  Handle connection(
      WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return FailureOf(GetLastError(), Watch{}, timeout_ms);

  if (pinned) {
    // WinHTTP has no step between the handshake and the request where a
    // program can stop it for good (a callback can close the request, but
    // not every WinHTTP then holds back what it was about to send): the
    // certificate is seen first with a request that carries nothing.
    const std::optional<Probe> probe = ProbeCertificate(connection.get(), host);
    if (!probe) return FailureOf(GetLastError(), Watch{}, timeout_ms);
    if (probe->sha256 != request.pin_sha256) return PinMismatch(probe->sha256);
  }

  const std::wstring method = Wide(request.method);
  // A pinned certificate stands in for the authorities' word: the system's
  // check lets any certificate through, and the pin is checked again on
  // this request's own connection before its body goes out.
  Handle handle = OpenRequest(connection.get(), method.c_str(), path.c_str(),
                              secure, pinned);
  if (!handle) return FailureOf(GetLastError(), Watch{}, timeout_ms);
  HINTERNET h = handle.get();
  // Every step on the request itself too, the wait for the answer's
  // headers included, which has a timeout of its own (90 s by default).
  WinHttpSetTimeouts(h, t, t, t, t);
  DWORD answer_timeout = static_cast<DWORD>(t);
  WinHttpSetOption(h, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &answer_timeout,
                   sizeof answer_timeout);

  Watch watch;
  watch.request = &request;
  WinHttpSetStatusCallback(
      h, OnStatus,
      WINHTTP_CALLBACK_FLAG_SECURE_FAILURE | WINHTTP_CALLBACK_FLAG_SEND_REQUEST,
      0);
  if (pinned) {
    // The pinned certificate stands in for the authorities' word: the
    // system's check lets any certificate through, and the pin is checked
    // again on this request's own connection before its body goes out.
  }

  std::wstring headers;
  for (const std::string& header : request.headers) {
    headers += Wide(header);
    headers += L"\r\n";
  }
  const bool post = request.method != "GET";
  const DWORD body_size = post ? static_cast<DWORD>(request.body.size()) : 0;
  BOOL sent = WinHttpSendRequest(
      h, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
      headers.empty() ? 0 : static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0,
      body_size, reinterpret_cast<DWORD_PTR>(&watch));
  if (watch.pin_checked && !watch.pin_matched) {
    handle.release();  // closed by the callback
    return PinMismatch(watch.seen_sha256);
  }
  if (sent && pinned && CertificateSha256(h) != request.pin_sha256) {
    return PinMismatch(CertificateSha256(h));
  }
  if (sent && body_size > 0) {
    DWORD written = 0;
    sent = WinHttpWriteData(h, request.body.data(), body_size, &written) &&
           written == body_size;
  }
  if (!sent || !WinHttpReceiveResponse(h, nullptr)) {
    const DWORD error = GetLastError();
    if (secure && !pinned && watch.secure_failure == 0 &&
        (error == ERROR_WINHTTP_SECURE_CHANNEL_ERROR ||
         error == ERROR_WINHTTP_SECURE_FAILURE)) {
      // Refused without a reason given: the certificate is looked at again
      // with a request that carries nothing, to say why.
      if (const auto probe = ProbeCertificate(connection.get(), host);
          probe && !probe->refusal.empty()) {
        return Failed(HttpsResponse::Error::kCertificate,
                      std::u16string(kCertificateFailure) + probe->refusal);
      }
    }
    return FailureOf(error, watch, timeout_ms);
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
