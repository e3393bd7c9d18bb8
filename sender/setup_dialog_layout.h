#ifndef ORVANTA_SENDER_SETUP_DIALOG_LAYOUT_H_
#define ORVANTA_SENDER_SETUP_DIALOG_LAYOUT_H_

#include "desktop/layout.h"

namespace orvanta {

// The serial setup dialog: a fixed client area, the group box with the six
// labelled lists, OK and Cancel below it.
inline constexpr LayoutSize kSetupDialogClientSize = {231, 216};
inline constexpr LayoutRect kSetupDialogGroupBox = {8, 8, 217, 169};
// Row `row` (0..5) of the group box, inside it; labels take their text's size.
constexpr LayoutRect SetupDialogLabel(int row) {
  return {8, 24 + 24 * row, 0, 0};
}
constexpr LayoutRect SetupDialogList(int row) {
  return {80, 16 + 24 * row, 129, 21};
}
inline constexpr LayoutRect kSetupDialogOkButton = {70, 184, 75, 25};
inline constexpr LayoutRect kSetupDialogCancelButton = {150, 184, 75, 25};

// A rectangle inside the group box, in the dialog's client area.
constexpr LayoutRect InSetupDialogGroup(const LayoutRect& rect) {
  return {kSetupDialogGroupBox.left + rect.left,
          kSetupDialogGroupBox.top + rect.top, rect.width, rect.height};
}

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETUP_DIALOG_LAYOUT_H_
