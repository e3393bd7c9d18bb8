#ifndef ORVANTA_RECEIVER_RECEIVER_APP_H_
#define ORVANTA_RECEIVER_RECEIVER_APP_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "receiver/call_datagram.h"
#include "receiver/call_history.h"
#include "receiver/call_hook.h"
#include "receiver/phone_book.h"

namespace orvanta {

// The receiver's files, all in its settings folder.
inline constexpr char16_t kReceiverSettingsFile[] = u"Alici.ini";
inline constexpr char16_t kHistoryFile[] = u"AliciGecmis.csv";
inline constexpr char16_t kPhoneBookFile[] = u"Rehber.csv";
// Keys of Alici.ini (section VmStored, like the sender's Setting.ini).
inline constexpr char16_t kReceiverPortKey[] = u"UDPPORT";
inline constexpr char16_t kReceiverHookKey[] = u"CALLCOMMAND";
inline constexpr uint16_t kDefaultReceiverPort = 18900;

struct ReceiverSettings {
  uint16_t port = kDefaultReceiverPort;
  std::u16string hook;  // empty: no hook
};

// Reads the settings file; a missing one is written with the defaults so
// that the user finds the keys to edit. A port outside 1..65535 reads as
// the default.
ReceiverSettings LoadReceiverSettings(const std::u16string& path);

// What the receiver asks of its platform shell (tray, notifications, the
// history window).
class ReceiverShell {
 public:
  virtual ~ReceiverShell() = default;
  // A notification near the tray; clicking it calls NotificationClicked().
  virtual void ShowNotification(const std::u16string& title,
                                const std::u16string& text) = 0;
  virtual void ShowHistoryWindow() = 0;
  // The history gained a call, its newest (an open history window
  // redraws).
  virtual void HistoryChanged() = 0;
  // Something went wrong that must not stop listening (a hook that cannot
  // start, a history file that cannot be written).
  virtual void ReportProblem(const std::u16string& text) = 0;
};

// Where the receiver hands each call it keeps, beyond its own history and
// notification: the bridge to the destinations of Hedefler.ini.
class CallForwarder {
 public:
  virtual ~CallForwarder() = default;
  // `name` is the phone book's, empty when it knows none. Returns at once.
  virtual void Forward(const IncomingCall& call,
                       const std::u16string& name) = 0;
};

struct ReceiverCounters {
  uint64_t calls = 0;          // kept in the history
  uint64_t malformed = 0;      // not a call announcement
  uint64_t oversized = 0;      // longer than any announcement
  uint64_t repeats = 0;        // dropped as a repeat of a call just heard
  uint64_t quiet_calls = 0;    // kept, but not shown (notification flood)
  uint64_t hooks_skipped = 0;  // the hook was not started (flood)
};

// The receiver's behaviour, over passive views. Everything runs on the
// user-interface thread; the listener thread only hands datagrams over.
class ReceiverApp {
 public:
  // Hook starts allowed in a burst (then one a second).
  static constexpr int kHookBurst = 5;

  struct Clocks {
    std::function<std::chrono::steady_clock::time_point()> steady;
    std::function<std::u16string()> local_time_text;
  };

  // `folder` ends in a path separator. The history keeps the newest
  // `history_limit` calls, in memory and in its file.
  ReceiverApp(ReceiverShell& shell, HookLauncher& launcher,
              std::u16string folder, Clocks clocks = {},
              size_t history_limit = CallHistory::kDefaultLimit);

  // Reads the settings, the phone book and the history. Problems with the
  // phone book or the history are reported and leave them empty.
  void Load();
  const ReceiverSettings& settings() const { return settings_; }

  // Where the calls kept go as well; null: nowhere. It must outlive the
  // calls.
  void SetForwarder(CallForwarder* forwarder) { forwarder_ = forwarder; }
  // The settings folder, ending in a path separator.
  const std::u16string& Folder() const { return folder_; }

  void OnDatagram(std::string_view bytes);
  void NotificationClicked();

  // The history window's rows, newest first.
  size_t HistorySize() const;
  const HistoryEntry& HistoryRow(size_t newest_first) const;

  // Adds the entries of a "number;name" file to the phone book and saves
  // it; returns how many were taken. Raises Failure when a file fails.
  int ImportPhoneBook(const std::u16string& path);
  // Reads the phone book again; false when it could not be read (the
  // problem is reported, and the book is then empty).
  bool ReloadPhoneBook();
  std::u16string PhoneBookPath() const { return folder_ + kPhoneBookFile; }
  std::u16string HistoryPath() const { return history_.path(); }

  const ReceiverCounters& counters() const { return counters_; }

 private:
  void RunHook(const IncomingCall& call, const std::u16string& name);

  ReceiverShell& shell_;
  HookLauncher& launcher_;
  std::u16string folder_;
  Clocks clocks_;
  ReceiverSettings settings_;
  PhoneBook phone_book_;
  CallHistory history_;
  RepeatFilter repeats_;
  NotificationGate gate_;
  BurstLimiter hook_limiter_{kHookBurst, std::chrono::seconds(1)};
  ReceiverCounters counters_;
  CallForwarder* forwarder_ = nullptr;
};

// The notification's title and text for a call.
std::u16string NotificationTitle(const IncomingCall& call,
                                 const std::u16string& name);
std::u16string NotificationText(const IncomingCall& call,
                                const std::u16string& name);

// "2026-12-10 13:45:02", the machine's local time now.
std::u16string LocalTimeText();

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_RECEIVER_APP_H_
