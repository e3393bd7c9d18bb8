#ifndef ORVANTA_DESKTOP_QT_ANCHORS_H_
#define ORVANTA_DESKTOP_QT_ANCHORS_H_

#include <QObject>
#include <QRect>
#include <QSize>
#include <QVector>

class QWidget;

namespace orvanta {

// Which sides of its parent a control keeps its distance to. A control held
// to both left and right (or top and bottom) stretches with the parent; one
// held only to the right (bottom) moves with it; one held to the left and top
// alone stays where it is.
enum Anchor : unsigned {
  kAnchorLeft = 1,
  kAnchorTop = 2,
  kAnchorRight = 4,
  kAnchorBottom = 8,
  kAnchorAll = 15,
};

// Where a control with the designed rectangle `designed` inside a parent of
// the designed size `parent_designed` goes when the parent has the size
// `parent_now`.
QRect AnchoredRect(const QRect& designed, const QSize& parent_designed,
                   const QSize& parent_now, unsigned anchors);

// Keeps the anchored children of one parent in place whenever it is resized.
// The parent's and children's geometry at the time of Add is the design.
class AnchorLayout : public QObject {
 public:
  explicit AnchorLayout(QWidget* parent);

  void Add(QWidget* child, unsigned anchors);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QWidget* child;
    QRect designed;
    unsigned anchors;
  };
  void Arrange();

  QWidget* parent_;
  QSize parent_designed_;
  QVector<Entry> entries_;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_ANCHORS_H_
