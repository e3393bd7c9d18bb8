#include "app/qt/anchors.h"

#include <QEvent>
#include <QWidget>

namespace orvanta {

QRect AnchoredRect(const QRect& designed,
                   const QSize& parent_designed,
                   const QSize& parent_now,
                   unsigned anchors) {
  const int dx = parent_now.width() - parent_designed.width();
  const int dy = parent_now.height() - parent_designed.height();
  QRect rect = designed;
  if (anchors & kAnchorRight) {
    if (anchors & kAnchorLeft) {
      rect.setWidth(designed.width() + dx);
    } else {
      rect.moveLeft(designed.left() + dx);
    }
  }
  if (anchors & kAnchorBottom) {
    if (anchors & kAnchorTop) {
      rect.setHeight(designed.height() + dy);
    } else {
      rect.moveTop(designed.top() + dy);
    }
  }
  return rect;
}

AnchorLayout::AnchorLayout(QWidget* parent)
    : QObject(parent), parent_(parent), parent_designed_(parent->size()) {
  parent->installEventFilter(this);
}

void AnchorLayout::Add(QWidget* child, unsigned anchors) {
  entries_.push_back({child, child->geometry(), anchors});
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize)
    Arrange();
  return QObject::eventFilter(watched, event);
}

void AnchorLayout::Arrange() {
  for (const Entry& entry : entries_) {
    entry.child->setGeometry(AnchoredRect(entry.designed, parent_designed_,
                                          parent_->size(), entry.anchors));
  }
}

}  // namespace orvanta
