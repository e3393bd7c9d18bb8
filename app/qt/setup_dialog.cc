#include "app/qt/setup_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "app/qt/fonts.h"
#include "app/qt/qt_text.h"

namespace orvanta {

namespace text = setup_dialog_text;

namespace {

QRect ToQRect(const LayoutRect& rect) {
  return QRect(rect.left, rect.top, rect.width, rect.height);
}

}  // namespace

QtSetupDialog::QtSetupDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SetupDialog"));
  setWindowTitle(ToQString(text::kCaption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(SetupDialogFont());
  setFixedSize(kSetupDialogClientSize.width, kSetupDialogClientSize.height);

  GroupBox1 = new QGroupBox(ToQString(text::kGroupBox1), this);
  GroupBox1->setGeometry(ToQRect(kSetupDialogGroupBox));
  for (int i = 0; i < kListCount; ++i) {
    Labels[i] = new QLabel(ToQString(text::kLabels[i]), GroupBox1);
    Labels[i]->move(ToQRect(SetupDialogLabel(i)).topLeft());
    Labels[i]->adjustSize();
    Combos[i] = new QComboBox(GroupBox1);
    Combos[i]->setGeometry(ToQRect(SetupDialogList(i)));
    Labels[i]->setBuddy(Combos[i]);
  }
  Button1 = new QPushButton(ToQString(text::kButton1), this);
  Button1->setGeometry(ToQRect(kSetupDialogOkButton));
  Button1->setDefault(true);
  Button2 = new QPushButton(ToQString(text::kButton2), this);
  Button2->setGeometry(ToQRect(kSetupDialogCancelButton));
  Button2->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  for (int i = 0; i + 1 < kListCount; ++i)
    setTabOrder(Combos[i], Combos[i + 1]);
  setTabOrder(Combos[kListCount - 1], Button1);
  setTabOrder(Button1, Button2);
}

void QtSetupDialog::SetList(int list,
                            const std::vector<std::u16string>& entries,
                            int chosen) {
  QComboBox* combo = Combos[list];
  combo->clear();
  for (const std::u16string& entry : entries)
    combo->addItem(ToQString(entry));
  combo->setCurrentIndex(chosen);
}

int QtSetupDialog::ChosenIndex(int list) const {
  return Combos[list]->currentIndex();
}

bool QtSetupDialog::ShowModal() {
  return exec() == QDialog::Accepted;
}

}  // namespace orvanta
