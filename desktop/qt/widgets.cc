#include "desktop/qt/widgets.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>

namespace orvanta {
namespace {

void DrawBevel(QPainter& painter, const QRect& rect, BevelPanel::Bevel bevel,
               const QPalette& palette) {
  if (bevel == BevelPanel::Bevel::kNone) return;
  const bool raised = bevel == BevelPanel::Bevel::kRaised;
  const QColor top_left =
      raised ? palette.light().color() : palette.dark().color();
  const QColor bottom_right =
      raised ? palette.dark().color() : palette.light().color();
  painter.setPen(top_left);
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
  painter.setPen(bottom_right);
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.drawLine(rect.topRight(), rect.bottomRight());
}

// As on Windows, the whole width of its column answers a click, not only
// the circle and the text.
class ColumnRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool hitButton(const QPoint& pos) const override {
    return rect().contains(pos);
  }
};

}  // namespace

BevelPanel::BevelPanel(QWidget* parent, Bevel outer, Bevel inner)
    : QWidget(parent), outer_(outer), inner_(inner) {
  setAutoFillBackground(true);
}

void BevelPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QRect rect = this->rect();
  DrawBevel(painter, rect, outer_, palette());
  if (outer_ != Bevel::kNone) rect.adjust(1, 1, -1, -1);
  DrawBevel(painter, rect, inner_, palette());
}

ColumnRadioGroup::ColumnRadioGroup(QWidget* parent, const QString& title,
                                   const QStringList& items, int columns)
    : QGroupBox(title, parent),
      group_(new QButtonGroup(this)),
      columns_(columns) {
  for (int i = 0; i < items.size(); ++i) {
    QRadioButton* button = new ColumnRadioButton(items[i], this);
    group_->addButton(button, i);
    buttons_.push_back(button);
  }
  connect(group_, &QButtonGroup::idClicked, this, [this](int index) {
    if (index == index_) return;
    index_ = index;
    emit ItemClicked(index);
  });
}

int ColumnRadioGroup::ItemIndex() const { return index_; }

void ColumnRadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < buttons_.size()) {
    index_ = index;
    buttons_[index]->setChecked(true);
    return;
  }
  index_ = -1;
  // An exclusive group cannot be emptied button by button.
  group_->setExclusive(false);
  for (QRadioButton* button : buttons_) button->setChecked(false);
  group_->setExclusive(true);
}

void ColumnRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  Arrange();
}

// Columns of equal width below the title, the spare height shared out evenly.
void ColumnRadioGroup::Arrange() {
  if (buttons_.isEmpty()) return;
  const int text_height = QFontMetrics(font()).height();
  const int per_column = (buttons_.size() + columns_ - 1) / columns_;
  const int width = (this->width() - 10) / columns_;
  const int spare = height() - text_height - 5;
  const int height = spare / per_column;
  const int top = text_height + 1 + (spare % per_column) / 2;
  for (int i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->setGeometry((i / per_column) * width + 8,
                             (i % per_column) * height + top, width, height);
  }
}

StepOnlySpinBox::StepOnlySpinBox(QWidget* parent, int minimum, int maximum)
    : QSpinBox(parent) {
  setRange(minimum, maximum);
  setSingleStep(1);
  lineEdit()->setReadOnly(true);
}

}  // namespace orvanta
