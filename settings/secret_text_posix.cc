#include "settings/secret_text.h"

namespace orvanta {

bool SecretsAreEncrypted() { return false; }

std::u16string ProtectSecret(std::u16string_view plain) {
  return std::u16string(plain);
}

std::optional<std::u16string> UnprotectSecret(std::u16string_view stored,
                                              std::u16string* error) {
  if (IsProtectedSecret(stored)) {
    *error =
        u"değer Windows'ta bir kullanıcı için şifrelenmiş, burada çözülemez; "
        u"yeniden yazılmalı";
    return std::nullopt;
  }
  return std::u16string(stored);
}

}  // namespace orvanta
