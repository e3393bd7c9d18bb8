// Hedefler.ini text into destination settings. What the parser reads, the
// writer writes so that it reads back the same, and the written text is
// written again unchanged; the checks and the URL helpers take anything.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "callerid/destination_settings.h"
#include "fuzz/fuzz_support.h"

namespace {

using orvanta::fuzz::Broken;

void CheckUrl(const std::u16string& url) {
  std::u16string error;
  const auto parsed = orvanta::ParseUrl(url, &error);
  if (!parsed && error.empty()) Broken("a URL refused without a reason", url);
  if (parsed) {
    if (parsed->host.empty()) Broken("a URL taken without a host", url);
    if (parsed->port < 0 || parsed->port > 65535) {
      Broken("a URL taken with a port out of range", url);
    }
    orvanta::IsPrivateHost(parsed->host);
    if (parsed->password) {
      // Masked, the URL keeps everything but the password.
      std::u16string ignored;
      const auto masked =
          orvanta::ParseUrl(orvanta::MaskUrlPassword(url), &ignored);
      if (!masked || masked->password != u"***" ||
          masked->user != parsed->user || masked->host != parsed->host ||
          masked->port != parsed->port || masked->rest != parsed->rest) {
        Broken("a masked URL differs in more than its password", url);
      }
    }
  }
  // The log form has no user part, path or query, where secrets sit.
  const std::u16string logged = orvanta::UrlForLog(url);
  if (parsed && logged.find_first_of(u"@/?#", logged.find(u"://") + 3) !=
                    std::u16string::npos) {
    Broken("the log form of a URL shows more than the server", url);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = orvanta::Utf8ToUtf16(bytes);

  const orvanta::ParsedDestinations first = orvanta::ParseDestinations(text);
  const std::u16string written = orvanta::DestinationsText(first.settings);
  const orvanta::ParsedDestinations second =
      orvanta::ParseDestinations(written);
  if (!(second.settings == first.settings)) {
    Broken("written settings read back changed", written);
  }
  if (!second.unknown_keys.empty() || !second.problems.empty()) {
    Broken("the written file has keys or values the reader refuses", written);
  }
  if (orvanta::DestinationsText(second.settings) != written) {
    Broken("writing what was read changes the text", written);
  }

  orvanta::ValidateDestinations(first.settings);
  for (const auto& hook : first.settings.webhooks) {
    CheckUrl(hook.url);
    orvanta::NormalizePin(hook.pin);
  }
  if (first.settings.mqtt) {
    CheckUrl(first.settings.mqtt->url);
    orvanta::DefaultMqttPrefix(first.settings.mqtt->client_id);
  }
  return 0;
}
