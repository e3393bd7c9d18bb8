#ifndef ORVANTA_DESKTOP_QT_DESTINATIONS_DIALOG_H_
#define ORVANTA_DESKTOP_QT_DESTINATIONS_DIALOG_H_

#include <QDialog>

#include <array>
#include <string>
#include <vector>

#include "base/destinations_view.h"
#include "desktop/destinations_layout.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace orvanta {

// "Hedefler" with Qt: every control at its place in the layout table,
// drawing what the presenter gives it and reporting what the user does.
class QtDestinationsDialog : public QDialog, public DestinationsView {
  Q_OBJECT
 public:
  explicit QtDestinationsDialog(QWidget* parent = nullptr);

  // DestinationsView.
  void SetListener(DestinationsViewListener* listener) override {
    listener_ = listener;
  }
  void SetRows(const std::vector<std::u16string>& rows, int chosen) override;
  void ShowPanel(Panel panel) override;
  std::u16string Text(Field field) const override;
  void SetText(Field field, const std::u16string& text) override;
  bool Checked(Check check) const override;
  void SetChecked(Check check, bool checked) override;
  int MethodIndex() const override;
  void SetMethodIndex(int index) override;
  void SetButtonEnabled(Button button, bool enabled) override;
  void SetTestAnswer(const std::u16string& text) override;
  void SetProblems(const std::u16string& text) override;
  void SetNote(const std::u16string& text) override;
  void SetStatus(const std::u16string& text) override;
  void ShowModal() override;
  void Close() override;
  void BringToFront() override;

  // A control by its place in the layout table (for the tests).
  QWidget* Of(DestinationsPart part) const {
    return by_part_[static_cast<size_t>(part)];
  }

 protected:
  // Esc, the close box: the presenter decides.
  void reject() override;

 private:
  void Build();
  QWidget* EditOf(Field field) const;
  void Report(void (DestinationsViewListener::*action)());

  DestinationsViewListener* listener_ = nullptr;
  std::array<QWidget*, kDestinationsPartCount> by_part_{};
  QListWidget* list_ = nullptr;
  QComboBox* method_ = nullptr;
  QPlainTextEdit* headers_ = nullptr;
  QCheckBox* webhook_enabled_ = nullptr;
  QCheckBox* mqtt_enabled_ = nullptr;
  QLabel* note_ = nullptr;
  QLabel* answer_ = nullptr;
  QLabel* problems_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_DESTINATIONS_DIALOG_H_
