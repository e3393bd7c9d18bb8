#ifndef ORVANTA_CALLERID_DESTINATION_SETTINGS_H_
#define ORVANTA_CALLERID_DESTINATION_SETTINGS_H_

// The destinations beyond the LAN broadcast (webhooks, an MQTT broker), as
// Hedefler.ini in the settings folder keeps them:
//
//   [Webhook1]            one section per webhook, numbered from 1
//   URL=https://example.com/hook
//   METHOD=POST           or GET (the URL is then a template)
//   HEADER1=Authorization: Bearer …
//   PIN=                  hex SHA-256 of the server's certificate (DER)
//   ENABLED=True
//
//   [MQTT]
//   URL=mqtts://broker:8883
//   USER= PASSWORD= CLIENTID= PREFIX= CAFILE= ENABLED=True
//
// Parsing and writing the text are pure; reading and writing the file, with
// the secrets in their stored form, are LoadDestinations/SaveDestinations.

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

enum class WebhookMethod { kPost, kGet };

struct WebhookSettings {
  std::u16string url;
  WebhookMethod method = WebhookMethod::kPost;
  std::vector<std::u16string> headers;  // each "Name: value"
  // Hex SHA-256 of the one certificate accepted, for a self-hosted server
  // whose certificate no authority signed; empty: the system's store
  // decides. Colons and blanks between the digits are allowed.
  std::u16string pin;
  bool enabled = true;
  bool operator==(const WebhookSettings&) const = default;
};

struct MqttSettings {
  std::u16string url;  // mqtt://host:1883 or mqtts://host:8883
  std::u16string user;
  std::u16string password;
  std::u16string client_id;
  std::u16string prefix;   // empty: DefaultMqttPrefix(host)
  std::u16string ca_file;  // a PEM file for a private CA
  bool enabled = true;
  bool operator==(const MqttSettings&) const = default;
};

struct DestinationSettings {
  std::vector<WebhookSettings> webhooks;
  std::optional<MqttSettings> mqtt;  // no [MQTT] section: none
  bool operator==(const DestinationSettings&) const = default;
};

// Something wrong with the settings, for the log or the dialog. The text
// names the destination and the key, never a secret value.
struct SettingsProblem {
  enum class Severity { kError, kWarning };
  Severity severity = Severity::kError;
  // Which destination: the webhook's index in DestinationSettings::webhooks,
  // or -1 for MQTT and for the file as a whole.
  int webhook = -1;
  bool mqtt = false;
  std::u16string text;
  bool operator==(const SettingsProblem&) const = default;
};

struct ParsedDestinations {
  DestinationSettings settings;  // secrets in their stored form
  // Keys and sections the program does not know: "[Webhook1] COLOR",
  // "[Yazici]". They are ignored, and dropped at the next save.
  std::vector<std::u16string> unknown_keys;
  // Values that cannot be read (METHOD=PUT, ENABLED=belki). The
  // destination is then left disabled until the file is put right.
  std::vector<SettingsProblem> problems;
};

// The text of Hedefler.ini (without its byte-order mark) into settings.
// Section and key names are read ignoring ASCII letter case; webhooks come
// in the order of their numbers, headers too. Never fails.
ParsedDestinations ParseDestinations(std::u16string_view text);

// The settings as file text, lines ended by CR LF: webhooks numbered from 1
// in order, then [MQTT] when there is one. Control characters in values
// are left out, so that a value can never become two lines.
std::u16string DestinationsText(const DestinationSettings& settings);

// Errors (the settings must not be saved or used) and warnings (plain
// http:// or mqtt:// beyond the private ranges; a pin on plain http), in
// Turkish, for each destination. Disabled destinations are checked too, as
// they are saved.
std::vector<SettingsProblem> ValidateDestinations(
    const DestinationSettings& settings);
bool HasErrors(const std::vector<SettingsProblem>& problems);

// --- URLs ---

struct ParsedUrl {
  std::u16string scheme;  // lower case
  std::u16string user;
  std::optional<std::u16string> password;
  std::u16string host;  // an IPv6 address without its brackets
  int port = 0;         // as given, or the scheme's default
  bool port_given = false;
  std::u16string rest;  // path, query and fragment, from the first / ? #
};

// Nothing, with `*error` set (Turkish), for a malformed URL: no "://", a
// blank or a control character, a bad scheme, no host, a port that is not
// a number from 1 to 65535. Schemes other than http, https, mqtt and mqtts
// parse (their port must be given); the caller decides which it takes.
std::optional<ParsedUrl> ParseUrl(std::u16string_view url,
                                  std::u16string* error);

// The URL with the password of its user part replaced by "***"; anything
// that does not parse comes back as it is.
std::u16string MaskUrlPassword(std::u16string_view url);

// "https://host:port" with no user, path or query (where tokens hide): how
// log lines name a destination. "(geçersiz adres)" when it does not parse.
std::u16string UrlForLog(std::u16string_view url);

// Whether a host is on this machine or a private network: loopback,
// 10/8, 172.16/12, 192.168/16, 169.254/16, IPv6 ::1, fc00::/7, fe80::/10,
// "localhost", a name without a dot, or one under .local, .lan,
// .localdomain, .internal, .home.arpa.
bool IsPrivateHost(std::u16string_view host);

// The pin as 64 lower-case hex digits, colons and blanks taken out; nothing
// when it is not a SHA-256.
std::optional<std::string> NormalizePin(std::u16string_view pin);

// What the default MQTT prefix starts with: the sender's, and the
// receiver's when it forwards the calls it hears.
inline constexpr char16_t kSenderMqttPrefixRoot[] = u"orvanta";
inline constexpr char16_t kBridgeMqttPrefixRoot[] = u"orvanta-alici";

// "orvanta/<host>" with the host in lower case and the characters MQTT
// gives a meaning to (+ # /) and blanks made "_"; `root` in place of
// "orvanta".
std::u16string DefaultMqttPrefix(
    std::u16string_view host, std::u16string_view root = kSenderMqttPrefixRoot);

// --- The file ---

inline constexpr char16_t kDestinationsFileName[] = u"Hedefler.ini";

struct LoadedDestinations {
  DestinationSettings settings;  // secrets in plain text
  // For the log: unknown keys (each name once per `reported` set), values
  // that could not be read, secrets that could not be decrypted (that
  // destination disabled), and ValidateDestinations' findings.
  std::vector<SettingsProblem> problems;
  // A secret was found in plain text where this system encrypts them: the
  // next save encrypts it.
  bool plain_secrets = false;
};

// Reads Hedefler.ini at `path`; no file means no destinations. Unknown
// keys already in `reported` are not reported again; new ones are added.
// Raises a Failure when the file is there but cannot be read.
LoadedDestinations LoadDestinations(const std::u16string& path,
                                    std::set<std::u16string>& reported);

// The destinations to run: enabled, and with no error found for them.
std::vector<WebhookSettings> UsableWebhooks(const LoadedDestinations& loaded);
// The same for the webhook at `index` of loaded.settings.webhooks.
bool WebhookUsable(const LoadedDestinations& loaded, size_t index);
std::optional<MqttSettings> UsableMqtt(const LoadedDestinations& loaded);

// Validates, then writes the whole file anew (UTF-8 with a byte-order mark,
// through a temporary file; readable by its owner alone on POSIX, secrets
// encrypted on Windows). Returns the problems; when any is an error,
// nothing is written. Raises a Failure when writing fails.
std::vector<SettingsProblem> SaveDestinations(
    const std::u16string& path, const DestinationSettings& settings);

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_DESTINATION_SETTINGS_H_
