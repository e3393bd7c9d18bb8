#include "settings/secret_text.h"

#include <cstdint>

namespace orvanta {
namespace {

constexpr char kAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Sextet(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c - u'A';
  if (c >= u'a' && c <= u'z') return c - u'a' + 26;
  if (c >= u'0' && c <= u'9') return c - u'0' + 52;
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return -1;
}

// An encrypted blob starts with its format's version, 1, as a 32-bit
// little-endian number; then come the provider's GUID (Wine writes a
// marker of its own there), descriptions, salts, the data and a signature,
// so no blob is near this short.
constexpr char kBlobVersion[] = {1, 0, 0, 0};
constexpr size_t kShortestBlob = 64;

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) |
                       (uint32_t(uint8_t(bytes[i + 1])) << 8) |
                       uint32_t(uint8_t(bytes[i + 2]));
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i + 1 == bytes.size()) {
    const uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == bytes.size()) {
    const uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) |
                       (uint32_t(uint8_t(bytes[i + 1])) << 8);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

std::optional<std::string> Base64Decode(std::u16string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    int s[4];
    int padding = 0;
    for (int k = 0; k < 4; ++k) {
      const char16_t c = text[i + k];
      if (c == u'=' && last && k >= 2) {
        s[k] = 0;
        ++padding;
        continue;
      }
      if (padding > 0) return std::nullopt;  // data after padding
      s[k] = Sextet(c);
      if (s[k] < 0) return std::nullopt;
    }
    const uint32_t v = (uint32_t(s[0]) << 18) | (uint32_t(s[1]) << 12) |
                       (uint32_t(s[2]) << 6) | uint32_t(s[3]);
    out += char(v >> 16);
    if (padding < 2) out += char((v >> 8) & 0xFF);
    if (padding < 1) out += char(v & 0xFF);
  }
  return out;
}

bool IsProtectedSecret(std::u16string_view stored) {
  const std::u16string_view marker(kProtectedSecretMarker);
  if (!stored.starts_with(marker)) return false;
  const auto blob = Base64Decode(stored.substr(marker.size()));
  return blob && blob->size() >= kShortestBlob &&
         std::string_view(*blob).starts_with(
             std::string_view(kBlobVersion, sizeof kBlobVersion));
}

}  // namespace orvanta
