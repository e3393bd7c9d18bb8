#ifndef ORVANTA_SENDER_QT_SETUP_DIALOG_H_
#define ORVANTA_SENDER_QT_SETUP_DIALOG_H_

#include <QDialog>

#include <array>
#include <string>
#include <vector>

#include "sender/setup_dialog_layout.h"
#include "sender/setup_dialog_view.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace orvanta {

// The serial port setup dialog "Setup": six lists in a group box, OK and
// Cancel. It only shows the entries it is given and remembers the choices.
class QtSetupDialog : public QDialog, public SetupDialogView {
  Q_OBJECT
 public:
  explicit QtSetupDialog(QWidget* parent = nullptr);

  // SetupDialogView.
  void SetList(int list, const std::vector<std::u16string>& entries,
               int chosen) override;
  int ChosenIndex(int list) const override;
  bool ShowModal() override;

  QGroupBox* group_box;
  std::array<QLabel*, kListCount> labels;
  std::array<QComboBox*, kListCount> lists;
  QPushButton* ok_button;
  QPushButton* cancel_button;
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_QT_SETUP_DIALOG_H_
