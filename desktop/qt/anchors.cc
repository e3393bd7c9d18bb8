#include "desktop/qt/anchors.h"

#include <QEvent>
#include <QWidget>

namespace orvanta {

QRect ToQRect(const LayoutRect& rect) {
  return QRect(rect.left, rect.top, rect.width, rect.height);
}

QSize ToQSize(LayoutSize size) { return QSize(size.width, size.height); }

AnchorLayout::AnchorLayout(QWidget* parent)
    : QObject(parent),
      parent_(parent),
      parent_designed_{parent->width(), parent->height()} {
  parent->installEventFilter(this);
}

void AnchorLayout::Add(QWidget* child, unsigned anchors) {
  const QRect designed = child->geometry();
  entries_.push_back(
      {child,
       {designed.x(), designed.y(), designed.width(), designed.height()},
       anchors});
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize) Arrange();
  return QObject::eventFilter(watched, event);
}

void AnchorLayout::Arrange() {
  const LayoutSize now = {parent_->width(), parent_->height()};
  for (const Entry& entry : entries_) {
    entry.child->setGeometry(ToQRect(
        Anchored(entry.designed, parent_designed_, now, entry.anchors)));
  }
}

}  // namespace orvanta
