#include "desktop/qt/anchors.h"

#include <QEvent>
#include <QWidget>

#include "desktop/layout.h"

namespace orvanta {

QRect AnchoredRect(const QRect& designed, const QSize& parent_designed,
                   const QSize& parent_now, unsigned anchors) {
  const LayoutRect rect = Anchored(
      {designed.x(), designed.y(), designed.width(), designed.height()},
      {parent_designed.width(), parent_designed.height()},
      {parent_now.width(), parent_now.height()}, anchors);
  return QRect(rect.left, rect.top, rect.width, rect.height);
}

AnchorLayout::AnchorLayout(QWidget* parent)
    : QObject(parent), parent_(parent), parent_designed_(parent->size()) {
  parent->installEventFilter(this);
}

void AnchorLayout::Add(QWidget* child, unsigned anchors) {
  entries_.push_back({child, child->geometry(), anchors});
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize) Arrange();
  return QObject::eventFilter(watched, event);
}

void AnchorLayout::Arrange() {
  for (const Entry& entry : entries_) {
    entry.child->setGeometry(AnchoredRect(entry.designed, parent_designed_,
                                          parent_->size(), entry.anchors));
  }
}

}  // namespace orvanta
