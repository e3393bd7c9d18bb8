#ifndef ORVANTA_RECEIVER_QT_HISTORY_WINDOW_H_
#define ORVANTA_RECEIVER_QT_HISTORY_WINDOW_H_

#include <QWidget>

#include "receiver/history_view.h"

class QLabel;
class QPushButton;
class QTableView;

namespace orvanta {

class HistoryModel;

// The history window on Linux, built from the layout table; the rows are
// read through the presenter while the table draws.
class HistoryWindow : public QWidget, public HistoryView {
  Q_OBJECT
 public:
  HistoryWindow();
  ~HistoryWindow() override;

  // Set once, before the window is shown.
  void SetListener(HistoryViewListener* listener) { listener_ = listener; }

  void ShowRows(const HistoryRows& rows) override;
  std::optional<size_t> SelectedRow() const override;
  void SelectRow(std::optional<size_t> row) override;
  void SetStatus(const std::u16string& text) override;
  void ShowAndActivate() override;
  bool IsShown() const override;
  std::optional<std::u16string> AskForPhoneBookFile() override;
  void CopyToClipboard(const std::u16string& text) override;

  // For tests.
  QTableView* Table() const { return table_; }
  QPushButton* CopyButton() const { return copy_; }
  QPushButton* ImportButton() const { return import_; }
  QPushButton* ReloadButton() const { return reload_; }
  QLabel* Status() const { return status_; }

 private:
  HistoryViewListener* listener_ = nullptr;
  HistoryModel* model_;
  QTableView* table_;
  QPushButton* copy_;
  QPushButton* import_;
  QPushButton* reload_;
  QLabel* status_;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_QT_HISTORY_WINDOW_H_
