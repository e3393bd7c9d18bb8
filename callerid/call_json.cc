#include "callerid/call_json.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <random>

#include "base/text.h"

namespace orvanta {
namespace {

const char* MissingName(MissingNumber missing) {
  switch (missing) {
    case MissingNumber::kPrivate:
      return "private";
    case MissingNumber::kUnavailable:
      return "unavailable";
    case MissingNumber::kNone:
      break;
  }
  return nullptr;
}

void AddField(std::string& json, const char* key, const std::string& value) {
  if (json.size() > 1) json += ',';
  json += '"';
  json += key;
  json += "\":";
  json += value;
}

std::string Quoted(const char* ascii) {
  return std::string("\"") + ascii + "\"";
}

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  // Escaping works on UTF-16 code units: every unit that needs escaping is
  // below U+0080 or is U+2028/U+2029, none of which is part of a pair.
  std::string out = "\"";
  size_t plain_from = 0;
  auto flush = [&](size_t to) {
    out += EncodeUtf8(text.substr(plain_from, to - plain_from));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const char* escape = nullptr;
    char buffer[8];
    switch (c) {
      case u'"':
        escape = "\\\"";
        break;
      case u'\\':
        escape = "\\\\";
        break;
      case u'\b':
        escape = "\\b";
        break;
      case u'\f':
        escape = "\\f";
        break;
      case u'\n':
        escape = "\\n";
        break;
      case u'\r':
        escape = "\\r";
        break;
      case u'\t':
        escape = "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F || c == 0x2028 || c == 0x2029) {
          std::snprintf(buffer, sizeof buffer, "\\u%04x",
                        static_cast<unsigned>(c));
          escape = buffer;
        }
    }
    if (escape == nullptr) continue;
    flush(i);
    out += escape;
    plain_from = i + 1;
  }
  flush(text.size());
  out += '"';
  return out;
}

std::string CallTimeText(const Call& call) {
  using namespace std::chrono;
  const auto local =
      floor<seconds>(call.time) + minutes(call.utc_offset_minutes);
  const auto day = floor<days>(local);
  const year_month_day date(day);
  const hh_mm_ss<seconds> clock(local - day);
  const int offset = call.utc_offset_minutes;
  const int magnitude = offset < 0 ? -offset : offset;
  char buffer[40];
  std::snprintf(
      buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02d%c%02d:%02d",
      static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
      static_cast<unsigned>(date.day()),
      static_cast<int>(clock.hours().count()),
      static_cast<int>(clock.minutes().count()),
      static_cast<int>(clock.seconds().count()), offset < 0 ? '-' : '+',
      magnitude / 60, magnitude % 60);
  return buffer;
}

std::string CallJson(const Call& call, const CallSender& sender) {
  std::string json = "{";
  AddField(json, "event",
           Quoted(call.origin == CallOrigin::kTest ? "test" : "call"));
  AddField(json, "id", JsonString(Utf8ToUtf16(call.id)));
  AddField(json, "line", JsonString(call.line));
  const char* missing = MissingName(call.missing);
  AddField(json, "number", JsonString(missing ? u"" : call.number));
  AddField(json, "missing", missing ? Quoted(missing) : "null");
  AddField(json, "name", JsonString(call.name));
  AddField(json, "time", Quoted(CallTimeText(call).c_str()));
  AddField(json, "source", Quoted(OriginName(call.origin)));
  AddField(json, "host", JsonString(sender.host));
  AddField(json, "program", JsonString(sender.program));
  AddField(json, "version", JsonString(sender.version));
  json += '}';
  return json;
}

std::string PercentEncode(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string ExpandUrlTemplate(std::u16string_view url_template,
                              const Call& call) {
  const bool missing = call.missing != MissingNumber::kNone;
  const struct {
    std::u16string_view name;
    std::string value;
  } fields[] = {
      {u"{number}", missing ? std::string() : EncodeUtf8(call.number)},
      {u"{name}", EncodeUtf8(call.name)},
      {u"{line}", EncodeUtf8(call.line)},
      {u"{time}", CallTimeText(call)},
  };
  std::string out;
  size_t i = 0;
  size_t plain_from = 0;
  while (i < url_template.size()) {
    bool replaced = false;
    if (url_template[i] == u'{') {
      for (const auto& field : fields) {
        if (url_template.substr(i, field.name.size()) == field.name) {
          out += EncodeUtf8(url_template.substr(plain_from, i - plain_from));
          out += PercentEncode(field.value);
          i += field.name.size();
          plain_from = i;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) ++i;
  }
  out += EncodeUtf8(url_template.substr(plain_from));
  return out;
}

std::string NewCallId() {
  static std::mutex mutex;
  static std::mt19937_64 generator = [] {
    std::random_device device;
    std::seed_seq seed{
        device(),
        device(),
        device(),
        device(),
        static_cast<unsigned>(
            std::chrono::system_clock::now().time_since_epoch().count()),
        static_cast<unsigned>(
            std::chrono::steady_clock::now().time_since_epoch().count())};
    return std::mt19937_64(seed);
  }();
  uint64_t high;
  uint64_t low;
  {
    std::lock_guard<std::mutex> lock(mutex);
    high = generator();
    low = generator();
  }
  high = (high & ~0xF000ull) | 0x4000ull;      // version 4
  low = (low & ~(3ull << 62)) | (2ull << 62);  // RFC 4122 variant
  // Written digit by digit: this runs for every call before its datagram
  // goes out, and a formatted print took several times as long.
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string id(36, '-');
  const uint64_t halves[2] = {high, low};
  size_t at = 0;
  for (int digit = 0; digit < 32; ++digit) {
    if (at == 8 || at == 13 || at == 18 || at == 23) ++at;
    const uint64_t half = halves[digit / 16];
    id[at++] = kDigits[(half >> (60 - 4 * (digit % 16))) & 0xF];
  }
  return id;
}

}  // namespace orvanta
