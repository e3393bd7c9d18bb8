#include "receiver/call_hook.h"

#include "base/text.h"

namespace orvanta {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string Substitute(std::u16string_view text,
                          const std::u16string& number,
                          const std::u16string& name,
                          const std::u16string& line) {
  static constexpr std::u16string_view kNumber = u"{number}";
  static constexpr std::u16string_view kName = u"{name}";
  static constexpr std::u16string_view kLine = u"{line}";
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    const std::u16string_view rest = text.substr(i);
    if (rest.starts_with(kNumber)) {
      out += number;
      i += kNumber.size();
    } else if (rest.starts_with(kName)) {
      out += name;
      i += kName.size();
    } else if (rest.starts_with(kLine)) {
      out += line;
      i += kLine.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace

std::vector<std::u16string> SplitHookTemplate(std::u16string_view text) {
  std::vector<std::u16string> arguments;
  std::u16string current;
  bool in_argument = false;
  char16_t quote = 0;
  for (char16_t c : text) {
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        current += c;
      }
    } else if (c == u'\'' || c == u'"') {
      quote = c;
      in_argument = true;
    } else if (IsBlank(c)) {
      if (in_argument) arguments.push_back(std::move(current));
      current.clear();
      in_argument = false;
    } else {
      current += c;
      in_argument = true;
    }
  }
  if (in_argument) arguments.push_back(std::move(current));
  return arguments;
}

std::u16string PercentEncode(std::u16string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string out;
  for (unsigned char byte : EncodeUtf8(text)) {
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
        byte == '_' || byte == '~') {
      out += static_cast<char16_t>(byte);
    } else {
      out += u'%';
      out += static_cast<char16_t>(kHex[byte >> 4]);
      out += static_cast<char16_t>(kHex[byte & 15]);
    }
  }
  return out;
}

HookAction MakeHookAction(std::u16string_view hook_template,
                          const IncomingCall& call, std::u16string_view name) {
  HookAction action;
  const std::u16string_view text = TrimSpacesAndTabs(hook_template);
  if (text.empty()) return action;
  if (text.starts_with(u"http://") || text.starts_with(u"https://")) {
    action.kind = HookAction::Kind::kUrl;
    action.url = Substitute(text, PercentEncode(call.number),
                            PercentEncode(name), PercentEncode(call.line));
    return action;
  }
  const std::u16string name_text(name);
  for (const std::u16string& argument : SplitHookTemplate(text)) {
    action.arguments.push_back(
        Substitute(argument, call.number, name_text, call.line));
  }
  action.kind = HookAction::Kind::kCommand;
  return action;
}

std::u16string WindowsCommandLine(
    const std::vector<std::u16string>& arguments) {
  std::u16string line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += u' ';
    const std::u16string& argument = arguments[i];
    if (i == 0) {
      // The program name is read up to the next quote, without escapes:
      // it can hold no quote and needs one pair only when it has blanks.
      line += u'"';
      for (char16_t c : argument) {
        if (c != u'"') line += c;
      }
      line += u'"';
      continue;
    }
    if (!argument.empty() &&
        argument.find_first_of(u" \t\n\v\"") == std::u16string::npos) {
      line += argument;
      continue;
    }
    line += u'"';
    size_t backslashes = 0;
    for (char16_t c : argument) {
      if (c == u'\\') {
        ++backslashes;
        continue;
      }
      if (c == u'"') {
        // Backslashes before a quote are doubled, and the quote escaped.
        line.append(backslashes * 2 + 1, u'\\');
      } else {
        line.append(backslashes, u'\\');
      }
      backslashes = 0;
      line += c;
    }
    // Backslashes before the closing quote are doubled.
    line.append(backslashes * 2, u'\\');
    line += u'"';
  }
  return line;
}

}  // namespace orvanta
