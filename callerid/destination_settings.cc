#include "callerid/destination_settings.h"

#include <algorithm>
#include <map>
#include <utility>

#include "base/text.h"
#include "settings/ini_image.h"
#include "settings/secret_text.h"
#include "settings/settings_file.h"

namespace orvanta {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
using Severity = SettingsProblem::Severity;

std::u16string AsciiUpperText(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = AsciiUpper(c);
  return out;
}

std::u16string AsciiLowerText(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A positive number of at most nine digits after `prefix`, or nothing.
std::optional<long> NumberAfter(std::u16string_view upper_name,
                                std::u16string_view prefix) {
  if (!upper_name.starts_with(prefix)) return std::nullopt;
  const std::u16string_view digits = upper_name.substr(prefix.size());
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  long n = 0;
  for (char16_t c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    n = n * 10 + (c - u'0');
  }
  if (n == 0) return std::nullopt;
  return n;
}

// What a value may hold: no control characters (they could split a line),
// no blanks at its ends (the file's reader trims them).
std::u16string CleanValue(std::u16string_view value) {
  std::u16string out;
  for (char16_t c : value) {
    if (c >= 0x20 && c != 0x7F) out += c;
  }
  return std::u16string(TrimControls(out));
}

std::optional<bool> ReadBool(std::u16string_view value) {
  const std::u16string upper = AsciiUpperText(value);
  if (upper == u"TRUE" || upper == u"1") return true;
  if (upper == u"FALSE" || upper == u"0") return false;
  return std::nullopt;
}

std::u16string BoolText(bool value) { return value ? u"True" : u"False"; }

std::u16string WebhookLabel(size_t index) {
  return u"Webhook " + IntToText(static_cast<long long>(index) + 1);
}

struct PendingWebhook {
  WebhookSettings settings;
  std::map<long, std::u16string> headers;
  std::vector<std::u16string> problems;
};

// "Name: value" split at the first colon; the value without its blanks.
std::pair<std::u16string_view, std::u16string_view> SplitHeader(
    std::u16string_view header) {
  const size_t colon = header.find(u':');
  if (colon == std::u16string_view::npos) return {header, {}};
  return {TrimSpacesAndTabs(header.substr(0, colon)),
          TrimSpacesAndTabs(header.substr(colon + 1))};
}

bool IsTokenCharacter(char16_t c) {
  if (c >= 0x7F || c <= 0x20) return false;
  return std::u16string_view(u"()<>@,;:\\\"/[]?={}").find(c) ==
         std::u16string_view::npos;
}

std::optional<uint32_t> ParseIpv4(std::u16string_view host) {
  uint32_t address = 0;
  int parts = 0;
  size_t pos = 0;
  while (parts < 4) {
    size_t end = host.find(u'.', pos);
    if (end == std::u16string_view::npos) end = host.size();
    const std::u16string_view part = host.substr(pos, end - pos);
    if (part.empty() || part.size() > 3) return std::nullopt;
    unsigned value = 0;
    for (char16_t c : part) {
      if (!IsDigit(c)) return std::nullopt;
      value = value * 10 + (c - u'0');
    }
    if (value > 255) return std::nullopt;
    address = (address << 8) | value;
    ++parts;
    if (end == host.size()) break;
    pos = end + 1;
  }
  if (parts != 4 || pos > host.size()) return std::nullopt;
  if (host.find(u'.', pos) != std::u16string_view::npos) return std::nullopt;
  return address;
}

std::optional<unsigned> FirstHextet(std::u16string_view host) {
  const size_t colon = host.find(u':');
  const std::u16string_view first = host.substr(0, colon);
  if (first.empty() || first.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char16_t c : first) {
    const char16_t u = AsciiUpper(c);
    if (IsDigit(u)) {
      value = value * 16 + (u - u'0');
    } else if (u >= u'A' && u <= u'F') {
      value = value * 16 + (u - u'A' + 10);
    } else {
      return std::nullopt;
    }
  }
  return value;
}

bool ValidHostCharacter(char16_t c, bool ipv6) {
  if (ipv6) {
    return IsDigit(c) || (AsciiUpper(c) >= u'A' && AsciiUpper(c) <= u'F') ||
           c == u':' || c == u'.';
  }
  return IsDigit(c) || (AsciiUpper(c) >= u'A' && AsciiUpper(c) <= u'Z') ||
         c == u'-' || c == u'.' || c == u'_' || c >= 0x80;
}

int DefaultPort(std::u16string_view scheme) {
  if (scheme == u"http") return 80;
  if (scheme == u"https") return 443;
  if (scheme == u"mqtt") return 1883;
  if (scheme == u"mqtts") return 8883;
  return 0;
}

void ValidateWebhook(const WebhookSettings& hook, int index,
                     std::vector<SettingsProblem>& out) {
  const std::u16string label = WebhookLabel(index) + u": ";
  auto add = [&](Severity severity, const std::u16string& text) {
    out.push_back({severity, index, false, label + text});
  };
  if (hook.url.empty()) {
    add(Severity::kError, u"adres (URL) boş.");
  } else {
    std::u16string error;
    const auto url = ParseUrl(hook.url, &error);
    if (!url) {
      add(Severity::kError, error);
    } else if (url->scheme != u"http" && url->scheme != u"https") {
      add(Severity::kError, u"bilinmeyen şema \"" + url->scheme +
                                u"\"; adres http:// ya da https:// ile "
                                u"başlamalı.");
    } else if (url->scheme == u"http") {
      if (!IsPrivateHost(url->host)) {
        add(Severity::kWarning,
            u"şifresiz http:// ile özel ağ dışındaki bir adrese gidiyor; "
            u"aramalar yolda okunabilir. https:// önerilir.");
      }
      if (!hook.pin.empty()) {
        add(Severity::kWarning,
            u"PIN yalnızca https:// adreslerinde işe "
            u"yarar.");
      }
    }
  }
  for (size_t i = 0; i < hook.headers.size(); ++i) {
    const std::u16string key =
        u"HEADER" + IntToText(static_cast<long long>(i) + 1);
    const auto [name, value] = SplitHeader(hook.headers[i]);
    if (hook.headers[i].find(u':') == std::u16string::npos) {
      add(Severity::kError, key + u" \"Ad: değer\" biçiminde olmalı.");
    } else if (name.empty() ||
               !std::all_of(name.begin(), name.end(), IsTokenCharacter)) {
      add(Severity::kError,
          key + u" başlık adı geçersiz; harf, rakam ve - kullanılabilir.");
    } else if (std::any_of(value.begin(), value.end(),
                           [](char16_t c) { return c < 0x20 || c == 0x7F; })) {
      add(Severity::kError, key + u" değeri denetim karakteri içeriyor.");
    }
  }
  if (!hook.pin.empty() && !NormalizePin(hook.pin)) {
    add(Severity::kError,
        u"PIN, sertifikanın SHA-256 parmak izi olmalı: 64 onaltılık basamak "
        u"(arada : olabilir).");
  }
}

void ValidateMqtt(const MqttSettings& mqtt, std::vector<SettingsProblem>& out) {
  auto add = [&](Severity severity, const std::u16string& text) {
    out.push_back({severity, -1, true, u"MQTT: " + text});
  };
  if (mqtt.url.empty()) {
    add(Severity::kError, u"sunucu adresi (URL) boş.");
  } else {
    std::u16string error;
    const auto url = ParseUrl(mqtt.url, &error);
    if (!url) {
      add(Severity::kError, error);
    } else if (url->scheme != u"mqtt" && url->scheme != u"mqtts") {
      add(Severity::kError, u"bilinmeyen şema \"" + url->scheme +
                                u"\"; adres mqtt:// ya da mqtts:// ile "
                                u"başlamalı.");
    } else {
      if (!url->user.empty() || url->password) {
        add(Severity::kError,
            u"kullanıcı adı ve parola adreste değil, USER ve PASSWORD "
            u"ile verilir.");
      }
      if (!url->rest.empty() && url->rest != u"/") {
        add(Severity::kError, u"adreste sunucu ve porttan sonrası olmaz.");
      }
      if (url->scheme == u"mqtt" && !IsPrivateHost(url->host)) {
        add(Severity::kWarning,
            u"şifresiz mqtt:// ile özel ağ dışındaki bir sunucuya gidiyor; "
            u"aramalar ve parola yolda okunabilir. mqtts:// önerilir.");
      }
      if (url->scheme == u"mqtt" && !mqtt.ca_file.empty()) {
        add(Severity::kWarning, u"CAFILE yalnızca mqtts:// ile kullanılır.");
      }
    }
  }
  const std::u16string& prefix = mqtt.prefix;
  if (prefix.find_first_of(u"+#") != std::u16string::npos ||
      (!prefix.empty() && (prefix.front() == u'/' || prefix.back() == u'/'))) {
    add(Severity::kError,
        u"PREFIX + ya da # içeremez, / ile başlayıp bitemez.");
  }
  if (!mqtt.password.empty() && mqtt.user.empty()) {
    add(Severity::kWarning, u"PASSWORD verilmiş ama USER boş.");
  }
}

bool UrlHasPassword(std::u16string_view url) {
  std::u16string error;
  const auto parsed = ParseUrl(url, &error);
  return parsed && parsed->password.has_value();
}

}  // namespace

ParsedDestinations ParseDestinations(std::u16string_view text) {
  ParsedDestinations result;
  const IniImage image(text);
  std::map<long, PendingWebhook> hooks;
  std::optional<MqttSettings> mqtt;
  std::vector<std::u16string> mqtt_problems;

  for (const IniImage::Section& section : image.sections) {
    const std::u16string section_name = AsciiUpperText(section.name);
    const auto number = NumberAfter(section_name, u"WEBHOOK");
    PendingWebhook* hook = nullptr;
    if (number) {
      hook = &(hooks[*number] = PendingWebhook{});  // a repeat replaces
    } else if (section_name == u"MQTT") {
      mqtt = MqttSettings{};
      mqtt_problems.clear();
    } else {
      result.unknown_keys.push_back(u"[" + section.name + u"]");
      continue;
    }
    for (const std::u16string& line : section.lines) {
      const size_t equals = line.find(u'=');
      if (equals == std::u16string::npos) {
        // The line is not shown: it may be a secret with its key forgotten.
        result.unknown_keys.push_back(u"[" + section.name +
                                      u"] (\"=\" içermeyen satır)");
        continue;
      }
      const std::u16string key = AsciiUpperText(line.substr(0, equals));
      std::u16string value =
          CleanValue(std::u16string_view(line).substr(equals + 1));
      std::vector<std::u16string>& problems =
          hook ? hook->problems : mqtt_problems;
      auto bool_value = [&](bool& target) {
        if (const auto b = ReadBool(value)) {
          target = *b;
        } else {
          problems.push_back(key + u" True ya da False olmalı.");
        }
      };
      if (hook) {
        WebhookSettings& s = hook->settings;
        if (key == u"URL") {
          s.url = std::move(value);
        } else if (key == u"METHOD") {
          const std::u16string method = AsciiUpperText(value);
          if (method == u"POST" || method.empty()) {
            s.method = WebhookMethod::kPost;
          } else if (method == u"GET") {
            s.method = WebhookMethod::kGet;
          } else {
            problems.push_back(u"METHOD POST ya da GET olmalı.");
          }
        } else if (const auto n = NumberAfter(key, u"HEADER")) {
          if (value.empty()) {
            hook->headers.erase(*n);
          } else {
            hook->headers[*n] = std::move(value);
          }
        } else if (key == u"PIN") {
          s.pin = std::move(value);
        } else if (key == u"ENABLED") {
          bool_value(s.enabled);
        } else {
          result.unknown_keys.push_back(u"[" + section.name + u"] " + key);
        }
      } else {
        MqttSettings& s = *mqtt;
        if (key == u"URL") {
          s.url = std::move(value);
        } else if (key == u"USER") {
          s.user = std::move(value);
        } else if (key == u"PASSWORD") {
          s.password = std::move(value);
        } else if (key == u"CLIENTID") {
          s.client_id = std::move(value);
        } else if (key == u"PREFIX") {
          s.prefix = std::move(value);
        } else if (key == u"CAFILE") {
          s.ca_file = std::move(value);
        } else if (key == u"ENABLED") {
          bool_value(s.enabled);
        } else {
          result.unknown_keys.push_back(u"[" + section.name + u"] " + key);
        }
      }
    }
  }

  for (auto& [number, hook] : hooks) {
    for (auto& [n, header] : hook.headers) {
      hook.settings.headers.push_back(std::move(header));
    }
    const int index = static_cast<int>(result.settings.webhooks.size());
    for (const std::u16string& text : hook.problems) {
      result.problems.push_back({Severity::kError, index, false,
                                 WebhookLabel(index) + u": " + text +
                                     u" Bu hedef kapalı tutuluyor."});
    }
    if (!hook.problems.empty()) hook.settings.enabled = false;
    result.settings.webhooks.push_back(std::move(hook.settings));
  }
  if (mqtt) {
    for (const std::u16string& text : mqtt_problems) {
      result.problems.push_back(
          {Severity::kError, -1, true,
           u"MQTT: " + text + u" Bu hedef kapalı tutuluyor."});
    }
    if (!mqtt_problems.empty()) mqtt->enabled = false;
  }
  result.settings.mqtt = std::move(mqtt);
  return result;
}

std::u16string DestinationsText(const DestinationSettings& settings) {
  std::u16string text;
  auto line = [&](std::u16string_view key, std::u16string_view value) {
    text += key;
    text += u'=';
    text += CleanValue(value);
    text += u"\r\n";
  };
  for (size_t i = 0; i < settings.webhooks.size(); ++i) {
    const WebhookSettings& hook = settings.webhooks[i];
    text += u"[Webhook" + IntToText(static_cast<long long>(i) + 1) + u"]\r\n";
    line(u"URL", hook.url);
    line(u"METHOD", hook.method == WebhookMethod::kGet ? u"GET" : u"POST");
    long long n = 0;
    for (const std::u16string& header : hook.headers) {
      if (CleanValue(header).empty()) continue;
      line(u"HEADER" + IntToText(++n), header);
    }
    if (!CleanValue(hook.pin).empty()) line(u"PIN", hook.pin);
    line(u"ENABLED", BoolText(hook.enabled));
    text += u"\r\n";
  }
  if (settings.mqtt) {
    const MqttSettings& mqtt = *settings.mqtt;
    text += u"[MQTT]\r\n";
    line(u"URL", mqtt.url);
    line(u"USER", mqtt.user);
    line(u"PASSWORD", mqtt.password);
    line(u"CLIENTID", mqtt.client_id);
    line(u"PREFIX", mqtt.prefix);
    line(u"CAFILE", mqtt.ca_file);
    line(u"ENABLED", BoolText(mqtt.enabled));
    text += u"\r\n";
  }
  return text;
}

std::vector<SettingsProblem> ValidateDestinations(
    const DestinationSettings& settings) {
  std::vector<SettingsProblem> problems;
  for (size_t i = 0; i < settings.webhooks.size(); ++i) {
    ValidateWebhook(settings.webhooks[i], static_cast<int>(i), problems);
  }
  if (settings.mqtt) ValidateMqtt(*settings.mqtt, problems);
  return problems;
}

bool HasErrors(const std::vector<SettingsProblem>& problems) {
  return std::any_of(problems.begin(), problems.end(), [](const auto& p) {
    return p.severity == Severity::kError;
  });
}

std::optional<ParsedUrl> ParseUrl(std::u16string_view url,
                                  std::u16string* error) {
  auto fail = [&](std::u16string text) -> std::optional<ParsedUrl> {
    *error = std::move(text);
    return std::nullopt;
  };
  if (std::any_of(url.begin(), url.end(),
                  [](char16_t c) { return c <= 0x20 || c == 0x7F; })) {
    return fail(u"adreste boşluk ya da denetim karakteri var.");
  }
  const size_t separator = url.find(u"://");
  if (separator == std::u16string_view::npos) {
    return fail(u"adres \"şema://sunucu\" biçiminde değil.");
  }
  ParsedUrl parsed;
  const std::u16string_view scheme = url.substr(0, separator);
  const bool scheme_ok =
      !scheme.empty() && AsciiUpper(scheme[0]) >= u'A' &&
      AsciiUpper(scheme[0]) <= u'Z' &&
      std::all_of(scheme.begin(), scheme.end(), [](char16_t c) {
        const char16_t u = AsciiUpper(c);
        return (u >= u'A' && u <= u'Z') || IsDigit(c) || c == u'+' ||
               c == u'-' || c == u'.';
      });
  if (!scheme_ok) return fail(u"adresin şeması geçersiz.");
  parsed.scheme = AsciiLowerText(scheme);

  const size_t authority_start = separator + 3;
  size_t authority_end = url.find_first_of(u"/?#", authority_start);
  if (authority_end == std::u16string_view::npos) authority_end = url.size();
  std::u16string_view authority =
      url.substr(authority_start, authority_end - authority_start);
  parsed.rest = std::u16string(url.substr(authority_end));

  const size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) {
    const std::u16string_view userinfo = authority.substr(0, at);
    const size_t colon = userinfo.find(u':');
    parsed.user = std::u16string(userinfo.substr(0, colon));
    if (colon != std::u16string_view::npos) {
      parsed.password = std::u16string(userinfo.substr(colon + 1));
    }
    authority.remove_prefix(at + 1);
  }

  std::u16string_view port_text;
  bool has_port = false;
  bool ipv6 = false;
  if (!authority.empty() && authority.front() == u'[') {
    const size_t close = authority.find(u']');
    if (close == std::u16string_view::npos) {
      return fail(u"IPv6 adresi \"]\" ile kapanmıyor.");
    }
    ipv6 = true;
    parsed.host = std::u16string(authority.substr(1, close - 1));
    const std::u16string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != u':')
        return fail(
            u"IPv6 adresinden sonra port "
            u"\":\" ile gelmeli.");
      has_port = true;
      port_text = after.substr(1);
    }
    if (parsed.host.find(u':') == std::u16string::npos) {
      return fail(u"köşeli ayraç içindeki sunucu bir IPv6 adresi değil.");
    }
  } else {
    const size_t colon = authority.find(u':');
    parsed.host = std::u16string(authority.substr(0, colon));
    if (colon != std::u16string_view::npos) {
      has_port = true;
      port_text = authority.substr(colon + 1);
    }
  }
  if (parsed.host.empty()) return fail(u"adreste sunucu adı yok.");
  if (!std::all_of(parsed.host.begin(), parsed.host.end(),
                   [&](char16_t c) { return ValidHostCharacter(c, ipv6); })) {
    return fail(u"sunucu adı geçersiz karakter içeriyor.");
  }
  if (has_port) {
    long value = 0;
    const bool digits =
        !port_text.empty() && port_text.size() <= 5 &&
        std::all_of(port_text.begin(), port_text.end(), IsDigit);
    if (digits) {
      for (char16_t c : port_text) value = value * 10 + (c - u'0');
    }
    if (!digits || value < 1 || value > 65535) {
      return fail(u"port \"" + std::u16string(port_text) +
                  u"\" geçersiz; 1 ile 65535 arasında bir sayı olmalı.");
    }
    parsed.port = static_cast<int>(value);
    parsed.port_given = true;
  } else {
    parsed.port = DefaultPort(parsed.scheme);
  }
  return parsed;
}

std::u16string MaskUrlPassword(std::u16string_view url) {
  const size_t separator = url.find(u"://");
  if (separator == std::u16string_view::npos) return std::u16string(url);
  const size_t start = separator + 3;
  size_t end = url.find_first_of(u"/?#", start);
  if (end == std::u16string_view::npos) end = url.size();
  const size_t at = url.substr(start, end - start).rfind(u'@');
  if (at == std::u16string_view::npos) return std::u16string(url);
  const size_t colon = url.substr(start, at).find(u':');
  if (colon == std::u16string_view::npos) return std::u16string(url);
  std::u16string masked(url.substr(0, start + colon + 1));
  masked += u"***";
  masked += url.substr(start + at);
  return masked;
}

std::u16string UrlForLog(std::u16string_view url) {
  std::u16string error;
  const auto parsed = ParseUrl(url, &error);
  if (!parsed) return u"(geçersiz adres)";
  std::u16string text = parsed->scheme + u"://";
  if (parsed->host.find(u':') != std::u16string::npos) {
    text += u"[" + parsed->host + u"]";
  } else {
    text += parsed->host;
  }
  if (parsed->port_given) {
    text += u":" + IntToText(parsed->port);
  }
  return text;
}

bool IsPrivateHost(std::u16string_view host) {
  std::u16string name = AsciiLowerText(host);
  if (!name.empty() && name.back() == u'.') name.pop_back();
  if (const auto v4 = ParseIpv4(name)) {
    const uint32_t a = *v4;
    return (a >> 24) == 10 || (a >> 24) == 127 || (a >> 20) == 0xAC1 ||
           (a >> 16) == 0xC0A8 || (a >> 16) == 0xA9FE;
  }
  if (name.find(u':') != std::u16string::npos) {
    if (name == u"::1") return true;
    const auto first = FirstHextet(name);
    if (!first) return false;
    return (*first & 0xFE00) == 0xFC00 || (*first & 0xFFC0) == 0xFE80;
  }
  if (name.empty()) return false;
  if (name == u"localhost" || name.find(u'.') == std::u16string::npos) {
    return true;
  }
  for (const std::u16string_view suffix :
       {u".localhost", u".local", u".lan", u".localdomain", u".internal",
        u".home.arpa"}) {
    if (name.ends_with(suffix)) return true;
  }
  return false;
}

std::optional<std::string> NormalizePin(std::u16string_view pin) {
  std::string hex;
  for (char16_t c : pin) {
    if (c == u':' || c == u' ' || c == u'\t') continue;
    const char16_t u = AsciiUpper(c);
    if (IsDigit(u)) {
      hex += static_cast<char>(u);
    } else if (u >= u'A' && u <= u'F') {
      hex += static_cast<char>(u - u'A' + 'a');
    } else {
      return std::nullopt;
    }
  }
  if (hex.size() != 64) return std::nullopt;
  return hex;
}

std::u16string DefaultMqttPrefix(std::u16string_view host,
                                 std::u16string_view root) {
  std::u16string name = AsciiLowerText(host);
  for (char16_t& c : name) {
    if (c == u'+' || c == u'#' || c == u'/' || c <= 0x20) c = u'_';
  }
  return name.empty() ? std::u16string(root)
                      : std::u16string(root) + u"/" + name;
}

bool WebhookUsable(const LoadedDestinations& loaded, size_t index) {
  if (index >= loaded.settings.webhooks.size()) return false;
  const bool failed = std::any_of(loaded.problems.begin(),
                                  loaded.problems.end(), [&](const auto& p) {
                                    return p.severity == Severity::kError &&
                                           p.webhook == static_cast<int>(index);
                                  });
  return loaded.settings.webhooks[index].enabled && !failed;
}

std::vector<WebhookSettings> UsableWebhooks(const LoadedDestinations& loaded) {
  std::vector<WebhookSettings> usable;
  const auto& hooks = loaded.settings.webhooks;
  for (size_t i = 0; i < hooks.size(); ++i) {
    if (WebhookUsable(loaded, i)) usable.push_back(hooks[i]);
  }
  return usable;
}

std::optional<MqttSettings> UsableMqtt(const LoadedDestinations& loaded) {
  const auto& mqtt = loaded.settings.mqtt;
  if (!mqtt || !mqtt->enabled) return std::nullopt;
  for (const SettingsProblem& p : loaded.problems) {
    if (p.severity == Severity::kError && p.mqtt) return std::nullopt;
  }
  return mqtt;
}

LoadedDestinations LoadDestinations(const std::u16string& path,
                                    std::set<std::u16string>& reported) {
  LoadedDestinations loaded;
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return loaded;
  std::string_view content(*bytes);
  if (content.starts_with(kByteOrderMark)) content.remove_prefix(3);
  const auto text = DecodeUtf8Strict(content);
  if (!text) {
    loaded.problems.push_back(
        {Severity::kError, -1, false,
         std::u16string(kDestinationsFileName) +
             u" UTF-8 metin olarak okunamadı; hedefler kullanılmıyor."});
    return loaded;
  }
  ParsedDestinations parsed = ParseDestinations(*text);
  for (const std::u16string& key : parsed.unknown_keys) {
    if (!reported.insert(key).second) continue;
    loaded.problems.push_back({Severity::kWarning, -1, false,
                               std::u16string(kDestinationsFileName) +
                                   u": bilinmeyen " + key + u" yok sayıldı."});
  }
  loaded.problems.insert(loaded.problems.end(), parsed.problems.begin(),
                         parsed.problems.end());

  auto open = [&](std::u16string& value, const std::u16string& label,
                  std::u16string_view key, int webhook, bool mqtt,
                  bool& enabled) {
    if (value.empty()) return;
    if (!IsProtectedSecret(value)) {
      loaded.plain_secrets = true;
      return;
    }
    std::u16string error;
    if (auto plain = UnprotectSecret(value, &error)) {
      value = std::move(*plain);
    } else {
      loaded.problems.push_back({Severity::kError, webhook, mqtt,
                                 label + u": " + std::u16string(key) + u" " +
                                     error + u". Bu hedef kapalı tutuluyor."});
      value.clear();
      enabled = false;
    }
  };
  DestinationSettings& settings = parsed.settings;
  for (size_t i = 0; i < settings.webhooks.size(); ++i) {
    WebhookSettings& hook = settings.webhooks[i];
    const std::u16string label = WebhookLabel(i);
    const int index = static_cast<int>(i);
    if (IsProtectedSecret(hook.url)) {
      open(hook.url, label, u"URL", index, false, hook.enabled);
    } else if (UrlHasPassword(hook.url)) {
      loaded.plain_secrets = true;
    }
    for (size_t h = 0; h < hook.headers.size(); ++h) {
      if (hook.headers[h].find(u':') == std::u16string::npos) continue;
      const auto [name, value] = SplitHeader(hook.headers[h]);
      if (value.empty()) continue;
      std::u16string secret(value);
      open(secret, label, u"HEADER" + IntToText(static_cast<long long>(h) + 1),
           index, false, hook.enabled);
      hook.headers[h] = std::u16string(name) + u": " + secret;
    }
  }
  if (settings.mqtt) {
    open(settings.mqtt->password, u"MQTT", u"PASSWORD", -1, true,
         settings.mqtt->enabled);
  }
  if (!SecretsAreEncrypted()) loaded.plain_secrets = false;

  const auto found = ValidateDestinations(settings);
  loaded.problems.insert(loaded.problems.end(), found.begin(), found.end());
  loaded.settings = std::move(settings);
  return loaded;
}

std::vector<SettingsProblem> SaveDestinations(
    const std::u16string& path, const DestinationSettings& settings) {
  std::vector<SettingsProblem> problems = ValidateDestinations(settings);
  if (HasErrors(problems)) return problems;
  DestinationSettings stored = settings;
  for (WebhookSettings& hook : stored.webhooks) {
    if (UrlHasPassword(hook.url)) hook.url = ProtectSecret(hook.url);
    for (std::u16string& header : hook.headers) {
      const auto [name, value] = SplitHeader(header);
      if (value.empty()) continue;
      header = std::u16string(name) + u": " + ProtectSecret(value);
    }
  }
  if (stored.mqtt) {
    stored.mqtt->password = ProtectSecret(stored.mqtt->password);
  }
  ReplaceFile(path, kByteOrderMark + EncodeUtf8(DestinationsText(stored)),
              WriteAll, FileReaders::kOwnerOnly);
  return problems;
}

}  // namespace orvanta
