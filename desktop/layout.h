#ifndef ORVANTA_DESKTOP_LAYOUT_H_
#define ORVANTA_DESKTOP_LAYOUT_H_

namespace orvanta {

// A control's place inside its parent's client area, in pixels at 96 dpi.
// A width or height of 0 means the control takes the size of its text.
struct LayoutRect {
  int left;
  int top;
  int width;
  int height;
};

struct LayoutSize {
  int width;
  int height;
};

struct LayoutColour {
  int red;
  int green;
  int blue;
};

// The text colour of the labels in every form of both programs: dark slate.
inline constexpr LayoutColour kLabelColour = {36, 44, 53};

// Which sides of its parent a control keeps its distance to when the parent
// grows (the window maximised). Held to both left and right (top and
// bottom) it stretches; held only to the right (bottom) it moves; held to
// left and top alone it stays where it is. Both toolkits' layouts take these
// and place by Anchored below.
enum LayoutAnchor : unsigned {
  kLayoutLeft = 1,
  kLayoutTop = 2,
  kLayoutRight = 4,
  kLayoutBottom = 8,
  kLayoutTopLeft = kLayoutLeft | kLayoutTop,
  kLayoutAll = kLayoutLeft | kLayoutTop | kLayoutRight | kLayoutBottom,
};

// Where a control with the designed rectangle `designed` inside a parent of
// the designed size `parent_designed` goes when the parent has grown to
// `parent_now`, by its anchors.
constexpr LayoutRect Anchored(const LayoutRect& designed,
                              LayoutSize parent_designed, LayoutSize parent_now,
                              unsigned anchors) {
  const int grow_x = parent_now.width - parent_designed.width;
  const int grow_y = parent_now.height - parent_designed.height;
  LayoutRect rect = designed;
  if (anchors & kLayoutRight) {
    if (anchors & kLayoutLeft) {
      rect.width += grow_x;
    } else {
      rect.left += grow_x;
    }
  }
  if (anchors & kLayoutBottom) {
    if (anchors & kLayoutTop) {
      rect.height += grow_y;
    } else {
      rect.top += grow_y;
    }
  }
  return rect;
}

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_LAYOUT_H_
