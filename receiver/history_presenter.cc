#include "receiver/history_presenter.h"

#include <optional>

#include "base/failure.h"
#include "base/text.h"

namespace orvanta {

HistoryPresenter::HistoryPresenter(HistoryView& view, ReceiverApp& app)
    : view_(view), app_(app) {
  view_.ShowRows(*this);
  view_.SelectRow(RowCount() > 0 ? std::optional<size_t>(0) : std::nullopt);
}

size_t HistoryPresenter::RowCount() const { return app_.HistorySize(); }

const HistoryEntry& HistoryPresenter::Row(size_t newest_first) const {
  return app_.HistoryRow(newest_first);
}

void HistoryPresenter::CallAdded() {
  // New calls come in on top: the row the user picked moves down with them,
  // so a copy still takes the number they chose. Once the history is full
  // the oldest call leaves at the bottom, and a selection on it goes too.
  const std::optional<size_t> selected = view_.SelectedRow();
  view_.ShowRows(*this);
  const size_t row = selected ? *selected + 1 : 0;
  view_.SelectRow(row < RowCount() ? std::optional<size_t>(row) : std::nullopt);
}

void HistoryPresenter::OnCopyButton() {
  if (const std::optional<size_t> row = view_.SelectedRow()) Copy(*row);
}

void HistoryPresenter::OnRowActivated(size_t newest_first) {
  Copy(newest_first);
}

void HistoryPresenter::Copy(size_t newest_first) {
  if (newest_first >= RowCount()) return;
  const std::u16string number = Row(newest_first).number;
  view_.CopyToClipboard(number);
  view_.SetStatus(u"Kopyaland\u0131: " + number);
}

void HistoryPresenter::OnImportPhoneBook() {
  const std::optional<std::u16string> path = view_.AskForPhoneBookFile();
  if (!path) return;
  try {
    const int added = app_.ImportPhoneBook(*path);
    view_.SetStatus(IntToText(added) + u" ki\u015fi rehbere eklendi.");
  } catch (const Failure& failure) {
    view_.SetStatus(failure.message());
  }
}

void HistoryPresenter::OnReloadPhoneBook() {
  if (app_.ReloadPhoneBook()) {
    view_.SetStatus(u"Rehber yeniden y\u00fcklendi.");
  }
}

}  // namespace orvanta
