#include "receiver/receiver_app.h"

#include <ctime>

#include "base/failure.h"
#include "base/text.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {

ReceiverSettings LoadReceiverSettings(const std::u16string& path) {
  const bool exists = ReadWholeFile(path).has_value();
  SettingsStore store;
  StoredValue& port_value = store.StoredValues().Add();
  port_value.Name = kReceiverPortKey;
  port_value.Value = IntToText(kDefaultReceiverPort);
  store.StoredValues().Add().Name = kReceiverHookKey;
  store.SetFileName(path);
  if (!exists) store.SaveValues();
  ReceiverSettings settings;
  try {
    const int32_t port = ReadInteger(store, kReceiverPortKey);
    if (port >= 1 && port <= 65535) settings.port = static_cast<uint16_t>(port);
  } catch (const Failure&) {
    // Not a number: the default port.
  }
  settings.hook = store.ReadValue(kReceiverHookKey);
  return settings;
}

std::u16string LocalTimeText() {
  const std::time_t now = std::time(nullptr);
  char text[32] = {};
  // The one user-interface thread is the only caller.
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  return Utf8ToUtf16(text);
}

std::u16string NotificationTitle(const IncomingCall& call,
                                 const std::u16string& name) {
  if (IsTestCall(call)) return u"Test mesajı";
  if (!name.empty()) return name;
  return call.number.empty() ? u"Gizli numara" : call.number;
}

std::u16string NotificationText(const IncomingCall& call,
                                const std::u16string& name) {
  std::u16string text;
  if (IsTestCall(call)) {
    text = u"Orvanta'nın \"Portu Test Et\" mesajı alındı.\n";
  }
  if (!name.empty() || IsTestCall(call)) {
    text += call.number.empty() ? u"Gizli numara" : call.number;
    text += u'\n';
  }
  text += u"Hat: " + (call.line.empty() ? u"-" : call.line);
  return text;
}

ReceiverApp::ReceiverApp(ReceiverShell& shell, HookLauncher& launcher,
                         std::u16string folder, Clocks clocks,
                         size_t history_limit)
    : shell_(shell),
      launcher_(launcher),
      folder_(std::move(folder)),
      clocks_(std::move(clocks)),
      history_(folder_ + kHistoryFile, history_limit) {
  if (!clocks_.steady)
    clocks_.steady = [] { return std::chrono::steady_clock::now(); };
  if (!clocks_.local_time_text) clocks_.local_time_text = LocalTimeText;
}

void ReceiverApp::Load() {
  settings_ = LoadReceiverSettings(folder_ + kReceiverSettingsFile);
  ReloadPhoneBook();
  try {
    history_.Load();
  } catch (const Failure& failure) {
    shell_.ReportProblem(failure.message());
  }
}

bool ReceiverApp::ReloadPhoneBook() {
  try {
    phone_book_.Load(PhoneBookPath());
    return true;
  } catch (const Failure& failure) {
    shell_.ReportProblem(failure.message());
    return false;
  }
}

int ReceiverApp::ImportPhoneBook(const std::u16string& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) throw Failure(u"Dosya bulunamadı: " + path);
  const int added = phone_book_.Merge(*bytes);
  phone_book_.Save(PhoneBookPath());
  return added;
}

void ReceiverApp::OnDatagram(std::string_view bytes) {
  const ParsedDatagram parsed = ParseCallDatagram(bytes);
  if (parsed.verdict == DatagramVerdict::kOversized) {
    ++counters_.oversized;
    return;
  }
  if (parsed.verdict == DatagramVerdict::kMalformed) {
    ++counters_.malformed;
    return;
  }
  const auto now = clocks_.steady();
  if (!repeats_.Accept(parsed.call, now)) {
    ++counters_.repeats;
    return;
  }
  std::u16string name = phone_book_.NameOf(parsed.call.number);
  ++counters_.calls;
  try {
    history_.Add(
        {clocks_.local_time_text(), parsed.call.line, parsed.call.number,
         name.empty() && IsTestCall(parsed.call) ? u"Test mesajı" : name});
  } catch (const Failure& failure) {
    shell_.ReportProblem(failure.message());
  }
  shell_.HistoryChanged();
  if (gate_.Allow(now)) {
    shell_.ShowNotification(NotificationTitle(parsed.call, name),
                            NotificationText(parsed.call, name));
  } else {
    ++counters_.quiet_calls;
  }
  // Every call kept, flood or not: the destinations' queues are bounded.
  if (forwarder_ != nullptr) forwarder_->Forward(parsed.call, name);
  if (settings_.hook.empty()) return;
  if (hook_limiter_.Allow(now)) {
    RunHook(parsed.call, name);
  } else {
    ++counters_.hooks_skipped;
  }
}

void ReceiverApp::RunHook(const IncomingCall& call,
                          const std::u16string& name) {
  const HookAction action = MakeHookAction(settings_.hook, call, name);
  try {
    if (action.kind == HookAction::Kind::kCommand) {
      launcher_.Start(action.arguments);
    } else if (action.kind == HookAction::Kind::kUrl) {
      launcher_.OpenUrl(action.url);
    }
  } catch (const Failure& failure) {
    shell_.ReportProblem(failure.message());
  }
}

void ReceiverApp::NotificationClicked() { shell_.ShowHistoryWindow(); }

size_t ReceiverApp::HistorySize() const { return history_.entries().size(); }

const HistoryEntry& ReceiverApp::HistoryRow(size_t newest_first) const {
  const auto& entries = history_.entries();
  return entries[entries.size() - 1 - newest_first];
}

}  // namespace orvanta
