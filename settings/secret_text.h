#ifndef ORVANTA_SETTINGS_SECRET_TEXT_H_
#define ORVANTA_SETTINGS_SECRET_TEXT_H_

// Secrets (passwords, tokens, header values) as a settings file keeps them.
//
// Windows: encrypted with DPAPI for the current user and written as
// "dpapi:" followed by the base64 of the encrypted blob. A value is only
// taken for encrypted when it also decodes to a blob of DPAPI's form (its
// version number first, and far longer than anything typed), so a plain
// value an administrator typed is never mistaken for one.
// Elsewhere: as typed; the file that holds them is readable by its owner
// alone.

#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

// Whether this platform stores secrets encrypted (Windows).
bool SecretsAreEncrypted();

// The stored form of a secret; an empty secret stays empty. Raises a
// Failure when the system cannot encrypt.
std::u16string ProtectSecret(std::u16string_view plain);

// The secret from its stored form: a plain value as it is, an encrypted
// one decrypted. Nothing, with `*error` set (Turkish), when it is encrypted
// and cannot be decrypted here (another user, another computer, another
// system).
std::optional<std::u16string> UnprotectSecret(std::u16string_view stored,
                                              std::u16string* error);

// Whether a stored value is an encrypted secret (portable: the marker, valid
// base64, and a blob of DPAPI's form).
bool IsProtectedSecret(std::u16string_view stored);

inline constexpr char16_t kProtectedSecretMarker[] = u"dpapi:";

// Base64 (RFC 4648, with padding), for the encrypted blobs.
std::string Base64Encode(std::string_view bytes);
std::optional<std::string> Base64Decode(std::u16string_view text);

}  // namespace orvanta

#endif  // ORVANTA_SETTINGS_SECRET_TEXT_H_
