#ifndef ORVANTA_RECEIVER_HISTORY_PRESENTER_H_
#define ORVANTA_RECEIVER_HISTORY_PRESENTER_H_

#include <string>

#include "receiver/history_view.h"
#include "receiver/receiver_app.h"

namespace orvanta {

// The history window's behaviour, the same on every platform: the rows
// newest first, the user's selection kept on the same call as new calls
// come in on top, copying a number, importing and reloading the phone book.
class HistoryPresenter : public HistoryViewListener, private HistoryRows {
 public:
  HistoryPresenter(HistoryView& view, ReceiverApp& app);

  // The receiver kept a call: it is the newest row.
  void CallAdded();
  void Show() { view_.ShowAndActivate(); }
  bool IsShown() const { return view_.IsShown(); }
  // A problem the user should see; it goes on the status line.
  void ReportProblem(const std::u16string& text) { view_.SetStatus(text); }

  void OnCopyButton() override;
  void OnRowActivated(size_t newest_first) override;
  void OnImportPhoneBook() override;
  void OnReloadPhoneBook() override;

 private:
  size_t RowCount() const override;
  const HistoryEntry& Row(size_t newest_first) const override;
  void Copy(size_t newest_first);

  HistoryView& view_;
  ReceiverApp& app_;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_HISTORY_PRESENTER_H_
