#ifndef ORVANTA_RECEIVER_HISTORY_VIEW_H_
#define ORVANTA_RECEIVER_HISTORY_VIEW_H_

#include <cstddef>
#include <optional>
#include <string>

#include "receiver/call_history.h"

namespace orvanta {

// The rows of the history window, newest first, read while it draws (a
// list of 10,000 calls is never copied into the view).
class HistoryRows {
 public:
  virtual ~HistoryRows() = default;
  virtual size_t RowCount() const = 0;
  virtual const HistoryEntry& Row(size_t newest_first) const = 0;
};

// The history window "Arama Geçmişi" as a passive view: the list of calls
// (time, line, number, name), "Numarayı Kopyala", "Rehber İçe Aktar...",
// "Rehberi Yenile" and a status line. What is selected after a change, what
// a button does and what the status says is the presenter's decision; the
// view draws, remembers the user's selection and asks for a file.
class HistoryView {
 public:
  virtual ~HistoryView() = default;

  // The rows changed; `rows` stays valid as long as the view.
  virtual void ShowRows(const HistoryRows& rows) = 0;
  // The row the user selected, if any; selecting none clears it.
  virtual std::optional<size_t> SelectedRow() const = 0;
  virtual void SelectRow(std::optional<size_t> row) = 0;
  virtual void SetStatus(const std::u16string& text) = 0;
  // Shows the window in front (restored when minimised).
  virtual void ShowAndActivate() = 0;
  virtual bool IsShown() const = 0;
  // Asks for a phone-book file to import (modal); nothing when cancelled.
  virtual std::optional<std::u16string> AskForPhoneBookFile() = 0;
  virtual void CopyToClipboard(const std::u16string& text) = 0;
};

// What the user does in the window.
class HistoryViewListener {
 public:
  virtual ~HistoryViewListener() = default;
  virtual void OnCopyButton() = 0;                       // "Numarayı Kopyala"
  virtual void OnRowActivated(size_t newest_first) = 0;  // a double click
  virtual void OnImportPhoneBook() = 0;  // "Rehber İçe Aktar..."
  virtual void OnReloadPhoneBook() = 0;  // "Rehberi Yenile"
};

namespace history_text {
inline constexpr char16_t kCaption[] =
    u"Orvanta Al\u0131c\u0131 - Arama Ge\u00e7mi\u015fi";
inline constexpr char16_t kCopyButton[] = u"Numaray\u0131 Kopyala";
inline constexpr char16_t kImportButton[] = u"Rehber \u0130\u00e7e Aktar...";
inline constexpr char16_t kReloadButton[] = u"Rehberi Yenile";
inline constexpr char16_t kListTip[] =
    u"Numaray\u0131 kopyalamak i\u00e7in \u00e7ift t\u0131klay\u0131n";
inline constexpr char16_t kImportDialogTitle[] = u"Rehber \u0130\u00e7e Aktar";
// The file dialog's two filters: a name and its patterns.
inline constexpr char16_t kPhoneBookFilter[] = u"Rehber";
inline constexpr const char16_t* kPhoneBookPatterns[] = {u"*.csv", u"*.txt"};
inline constexpr char16_t kAllFilesFilter[] = u"T\u00fcm dosyalar";
inline constexpr const char16_t* kColumns[] = {u"Zaman", u"Hat", u"Numara",
                                               u"\u0130sim"};
}  // namespace history_text

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_HISTORY_VIEW_H_
