#include <windows.h>
#include <dpapi.h>

#include "base/failure.h"
#include "base/system_error.h"
#include "base/text.h"
#include "settings/secret_text.h"

namespace orvanta {
namespace {

DATA_BLOB BlobOf(const std::string& bytes) {
  DATA_BLOB blob;
  blob.cbData = static_cast<DWORD>(bytes.size());
  blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
  return blob;
}

std::string TakeBlob(DATA_BLOB& blob) {
  std::string bytes(reinterpret_cast<const char*>(blob.pbData), blob.cbData);
  SecureZeroMemory(blob.pbData, blob.cbData);
  LocalFree(blob.pbData);
  return bytes;
}

}  // namespace

bool SecretsAreEncrypted() { return true; }

std::u16string ProtectSecret(std::u16string_view plain) {
  if (plain.empty()) return {};
  const std::string bytes = EncodeUtf8(plain);
  DATA_BLOB in = BlobOf(bytes);
  DATA_BLOB out{};
  if (!CryptProtectData(&in, nullptr, nullptr, nullptr, nullptr,
                        CRYPTPROTECT_UI_FORBIDDEN, &out)) {
    throw Failure(u"Gizli değer şifrelenemedi. " +
                  SystemErrorText(GetLastError()));
  }
  return kProtectedSecretMarker + Utf8ToUtf16(Base64Encode(TakeBlob(out)));
}

std::optional<std::u16string> UnprotectSecret(std::u16string_view stored,
                                              std::u16string* error) {
  if (!IsProtectedSecret(stored)) return std::u16string(stored);
  const std::string blob = *Base64Decode(
      stored.substr(std::u16string_view(kProtectedSecretMarker).size()));
  DATA_BLOB in = BlobOf(blob);
  DATA_BLOB out{};
  if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr,
                          CRYPTPROTECT_UI_FORBIDDEN, &out)) {
    *error =
        u"şifreli değer çözülemedi (başka bir kullanıcı ya da bilgisayar "
        u"için şifrelenmiş olabilir); yeniden yazılmalı";
    return std::nullopt;
  }
  const std::string bytes = TakeBlob(out);
  if (auto text = DecodeUtf8Strict(bytes)) return text;
  *error = u"şifreli değer çözüldü ama metin değil; yeniden yazılmalı";
  return std::nullopt;
}

}  // namespace orvanta
