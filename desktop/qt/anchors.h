#ifndef ORVANTA_DESKTOP_QT_ANCHORS_H_
#define ORVANTA_DESKTOP_QT_ANCHORS_H_

#include <QObject>
#include <QRect>
#include <QSize>
#include <QVector>

#include "desktop/layout.h"

class QWidget;

namespace orvanta {

// A layout table's rectangle and size as Qt takes them.
QRect ToQRect(const LayoutRect& rect);
QSize ToQSize(LayoutSize size);

// Keeps the anchored children of one parent in place whenever it is resized,
// by their anchors (LayoutAnchor). The parent's and children's geometry at
// the time of Add is the design.
class AnchorLayout : public QObject {
 public:
  explicit AnchorLayout(QWidget* parent);

  void Add(QWidget* child, unsigned anchors);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QWidget* child;
    LayoutRect designed;
    unsigned anchors;
  };
  void Arrange();

  QWidget* parent_;
  LayoutSize parent_designed_;
  QVector<Entry> entries_;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_ANCHORS_H_
