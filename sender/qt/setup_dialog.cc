#include "sender/qt/setup_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "desktop/qt/anchors.h"
#include "desktop/qt/fonts.h"
#include "desktop/qt/qt_text.h"

namespace orvanta {

namespace text = setup_dialog_text;

QtSetupDialog::QtSetupDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SetupDialog"));
  setWindowTitle(ToQString(text::kCaption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(SetupDialogFont());
  setFixedSize(ToQSize(kSetupDialogClientSize));

  group_box = new QGroupBox(ToQString(text::kGroupBox), this);
  group_box->setGeometry(ToQRect(kSetupDialogGroupBox));
  for (int i = 0; i < kListCount; ++i) {
    labels[i] = new QLabel(ToQString(text::kLabels[i]), group_box);
    labels[i]->move(ToQRect(SetupDialogLabel(i)).topLeft());
    labels[i]->adjustSize();
    lists[i] = new QComboBox(group_box);
    lists[i]->setGeometry(ToQRect(SetupDialogList(i)));
    labels[i]->setBuddy(lists[i]);
  }
  ok_button = new QPushButton(ToQString(text::kOk), this);
  ok_button->setGeometry(ToQRect(kSetupDialogOkButton));
  ok_button->setDefault(true);
  cancel_button = new QPushButton(ToQString(text::kCancel), this);
  cancel_button->setGeometry(ToQRect(kSetupDialogCancelButton));
  cancel_button->setAutoDefault(false);
  connect(ok_button, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);

  for (int i = 0; i + 1 < kListCount; ++i) setTabOrder(lists[i], lists[i + 1]);
  setTabOrder(lists[kListCount - 1], ok_button);
  setTabOrder(ok_button, cancel_button);
}

void QtSetupDialog::SetList(int list,
                            const std::vector<std::u16string>& entries,
                            int chosen) {
  QComboBox* combo = lists[list];
  combo->clear();
  for (const std::u16string& entry : entries) combo->addItem(ToQString(entry));
  combo->setCurrentIndex(chosen);
}

int QtSetupDialog::ChosenIndex(int list) const {
  return lists[list]->currentIndex();
}

bool QtSetupDialog::ShowModal() { return exec() == QDialog::Accepted; }

}  // namespace orvanta
