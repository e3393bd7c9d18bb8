#ifndef ORVANTA_RECEIVER_QT_HISTORY_WINDOW_H_
#define ORVANTA_RECEIVER_QT_HISTORY_WINDOW_H_

#include <QWidget>

#include <cstddef>
#include <functional>

#include "receiver/call_history.h"

class QLabel;
class QPushButton;
class QTableView;

namespace orvanta {

class HistoryModel;

// The call history: time, line, number and name, newest first. A passive
// view: it reads rows through `Source` and forwards the user's actions.
class HistoryWindow : public QWidget {
  Q_OBJECT
 public:
  struct Source {
    std::function<size_t()> count;
    std::function<const HistoryEntry&(size_t newest_first)> row;
  };
  struct Actions {
    std::function<void(size_t newest_first)> copy_number;
    std::function<void()> import_phone_book;  // asks for a file itself
    std::function<void()> reload_phone_book;
  };
  HistoryWindow(Source source, Actions actions);
  ~HistoryWindow() override;

  // The rows changed (a call came in): redraw, keeping the newest on top.
  void Refresh();
  void SetStatus(const QString& text);

  // For tests.
  QTableView* Table() const { return table_; }
  QPushButton* CopyButton() const { return copy_; }

 private:
  void CopySelected();

  Actions actions_;
  HistoryModel* model_;
  QTableView* table_;
  QPushButton* copy_;
  QLabel* status_;
  int shown_rows_ = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_QT_HISTORY_WINDOW_H_
