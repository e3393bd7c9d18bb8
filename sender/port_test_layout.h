#ifndef ORVANTA_SENDER_PORT_TEST_LAYOUT_H_
#define ORVANTA_SENDER_PORT_TEST_LAYOUT_H_

#include "desktop/layout.h"

namespace orvanta {

// The port test window at 96 dpi, a fixed size: the running text on the
// left, one line per byte on the right, the "Kapat" button on a raised
// panel along the bottom. Both views build from this.
inline constexpr LayoutSize kPortTestClientSize = {837, 519};
inline constexpr LayoutRect kPortTestTextPane = {0, 0, 652, 478};
inline constexpr LayoutRect kPortTestBytePane = {652, 0, 185, 478};
inline constexpr LayoutRect kPortTestButtonPanel = {0, 478, 837, 41};
// Inside the button panel.
inline constexpr LayoutRect kPortTestCloseButton = {728, 6, 75, 25};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_PORT_TEST_LAYOUT_H_
