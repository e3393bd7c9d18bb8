#ifndef ORVANTA_DESKTOP_QT_WIDGETS_H_
#define ORVANTA_DESKTOP_QT_WIDGETS_H_

#include <QGroupBox>
#include <QSpinBox>
#include <QStringList>
#include <QVector>
#include <QWidget>

class QButtonGroup;
class QRadioButton;

// Controls the forms need that plain Qt widgets do not offer as such. Every
// signal here is raised by the user only; values set by the program raise
// nothing (the window's logic decides what a programmatic change sets off).

namespace orvanta {

// A panel with a bevel of one pixel each: an outer and an inner one, each
// raised, lowered or absent.
class BevelPanel : public QWidget {
 public:
  enum class Bevel { kNone, kRaised, kLowered };
  BevelPanel(QWidget* parent, Bevel outer, Bevel inner);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Bevel outer_;
  Bevel inner_;
};

// A titled group of radio buttons in columns, filled column by column; at most
// one item is chosen, or none (-1). A click reports only a change of item.
class ColumnRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  ColumnRadioGroup(QWidget* parent, const QString& title,
                   const QStringList& items, int columns);

  int ItemIndex() const;
  // Out-of-range values choose nothing.
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const { return buttons_[index]; }

 signals:
  void ItemClicked(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Arrange();

  QVector<QRadioButton*> buttons_;
  QButtonGroup* group_;
  int columns_;
  int index_ = -1;
};

// Whole number from `minimum` to `maximum`, changed only with its arrows and
// the arrow keys; typing is disabled.
class StepOnlySpinBox : public QSpinBox {
 public:
  StepOnlySpinBox(QWidget* parent, int minimum, int maximum);
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_WIDGETS_H_
