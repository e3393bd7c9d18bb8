#ifndef ORVANTA_SENDER_SETTINGS_LAYOUT_H_
#define ORVANTA_SENDER_SETTINGS_LAYOUT_H_

#include <cstddef>

#include "desktop/layout.h"

namespace orvanta {

// The settings window's controls, in the order they are created (a later
// one lies over an earlier one where they overlap).
enum class SettingsPart {
  kCallerIdEnabled,
  kCallerIdPanel,
  kPortLabel,
  kPortEdit,
  kTestPortButton,
  kPortExplanation,
  kSourceChoice,
  kArgPanel,
  kArgDeviceKindLabel,
  kArgDeviceKind,
  kArgChoiceLabel,
  kMainMachineIp,
  kArgComPort,
  kConnectButton,
  kLogPane,
  kSerialPanel,
  kPortSettingsButton,
  kStartTextLabel,
  kStartText,
  kEndTextLabel,
  kEndText,
  kNumberStartLabel,
  kNumberStart,
  kNumberLengthLabel,
  kNumberLength,
  kLineLabel,
  kLineStart,
  kLineLength,
  kAsciiCodesHint,
  kOpenPortTestButton,
  kModemPanel,
  kModemPortSettingsButton,
  kModemCommandsLabel,
  kModemCommands,
  kModemLineLabel,
  kModemLine,
  kModemPortTestButton,
  kModemHint,
  kModemLogPane,
  kButtonPanel,
  kSaveButton,
  kApplyButton,
  kHideButton,
  kCloseButton,
  kDestinationsButton,
};
inline constexpr size_t kSettingsPartCount =
    static_cast<size_t>(SettingsPart::kDestinationsButton) + 1;

// How a control's designed size holds on a real screen: exactly; from its
// text (a label); at least the designed width, wider when its text needs it
// (the check box); with the height the list's font gives it (drop-down
// lists); as an edit plus its arrows inside the designed width (spin edits).
enum class LayoutSizing { kFixed, kFitsText, kAtLeastWide, kFontHeight, kSpin };

struct SettingsPlacement {
  SettingsPart part;
  SettingsPart parent;  // the window itself for kCallerIdEnabled,
                        // kCallerIdPanel and kButtonPanel
  LayoutRect rect;      // inside the parent's client area
  unsigned anchors;
  LayoutSizing sizing;
};

// The window's client area.
inline constexpr LayoutSize kSettingsClientSize = {448, 532};

// Every control of the settings window, indexed by SettingsPart. The
// parent of a window-level control is given as the control itself.
inline constexpr SettingsPlacement kSettingsLayout[kSettingsPartCount] = {
    {SettingsPart::kCallerIdEnabled,
     SettingsPart::kCallerIdEnabled,
     {8, 5, 259, 19},
     kLayoutTopLeft,
     LayoutSizing::kAtLeastWide},
    {SettingsPart::kCallerIdPanel,
     SettingsPart::kCallerIdPanel,
     {8, 24, 432, 453},
     kLayoutAll,
     LayoutSizing::kFixed},
    {SettingsPart::kPortLabel,
     SettingsPart::kCallerIdPanel,
     {24, 16, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kPortEdit,
     SettingsPart::kCallerIdPanel,
     {114, 13, 121, 21},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kTestPortButton,
     SettingsPart::kCallerIdPanel,
     {262, 12, 143, 25},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kPortExplanation,
     SettingsPart::kCallerIdPanel,
     {24, 51, 383, 68},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kSourceChoice,
     SettingsPart::kCallerIdPanel,
     {23, 140, 383, 59},
     kLayoutLeft | kLayoutTop | kLayoutRight,
     LayoutSizing::kFixed},
    {SettingsPart::kArgPanel,
     SettingsPart::kCallerIdPanel,
     {23, 205, 383, 219},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kArgDeviceKindLabel,
     SettingsPart::kArgPanel,
     {8, 13, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kArgDeviceKind,
     SettingsPart::kArgPanel,
     {8, 31, 217, 21},
     kLayoutTopLeft,
     LayoutSizing::kFontHeight},
    {SettingsPart::kArgChoiceLabel,
     SettingsPart::kArgPanel,
     {231, 13, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kMainMachineIp,
     SettingsPart::kArgPanel,
     {231, 32, 146, 21},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kArgComPort,
     SettingsPart::kArgPanel,
     {231, 31, 82, 21},
     kLayoutTopLeft,
     LayoutSizing::kFontHeight},
    {SettingsPart::kConnectButton,
     SettingsPart::kArgPanel,
     {9, 119, 115, 25},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kLogPane,
     SettingsPart::kArgPanel,
     {1, 64, 381, 154},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kSerialPanel,
     SettingsPart::kCallerIdPanel,
     {24, 205, 383, 219},
     kLayoutAll,
     LayoutSizing::kFixed},
    {SettingsPart::kPortSettingsButton,
     SettingsPart::kSerialPanel,
     {4, 8, 372, 31},
     kLayoutLeft | kLayoutTop | kLayoutRight,
     LayoutSizing::kFixed},
    {SettingsPart::kStartTextLabel,
     SettingsPart::kSerialPanel,
     {16, 56, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kStartText,
     SettingsPart::kSerialPanel,
     {144, 50, 201, 21},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kEndTextLabel,
     SettingsPart::kSerialPanel,
     {16, 80, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kEndText,
     SettingsPart::kSerialPanel,
     {144, 74, 201, 21},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kNumberStartLabel,
     SettingsPart::kSerialPanel,
     {16, 104, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kNumberStart,
     SettingsPart::kSerialPanel,
     {296, 96, 49, 21},
     kLayoutTopLeft,
     LayoutSizing::kSpin},
    {SettingsPart::kNumberLengthLabel,
     SettingsPart::kSerialPanel,
     {16, 128, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kNumberLength,
     SettingsPart::kSerialPanel,
     {296, 120, 49, 21},
     kLayoutTopLeft,
     LayoutSizing::kSpin},
    // The line of a multi-line device, in one row: its position under the
    // number's position, its length under the number's length.
    {SettingsPart::kLineLabel,
     SettingsPart::kSerialPanel,
     {16, 152, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kLineStart,
     SettingsPart::kSerialPanel,
     {232, 144, 49, 21},
     kLayoutTopLeft,
     LayoutSizing::kSpin},
    {SettingsPart::kLineLength,
     SettingsPart::kSerialPanel,
     {296, 144, 49, 21},
     kLayoutTopLeft,
     LayoutSizing::kSpin},
    {SettingsPart::kAsciiCodesHint,
     SettingsPart::kSerialPanel,
     {8, 181, 329, 13},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kOpenPortTestButton,
     SettingsPart::kSerialPanel,
     {296, 176, 75, 25},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    // The modem's options, in the serial panel's place; its port is the
    // serial source's, set up with the same dialog. The log shows how the
    // modem's initialisation went.
    {SettingsPart::kModemPanel,
     SettingsPart::kCallerIdPanel,
     {24, 205, 383, 219},
     kLayoutAll,
     LayoutSizing::kFixed},
    {SettingsPart::kModemPortSettingsButton,
     SettingsPart::kModemPanel,
     {4, 8, 372, 31},
     kLayoutLeft | kLayoutTop | kLayoutRight,
     LayoutSizing::kFixed},
    {SettingsPart::kModemCommandsLabel,
     SettingsPart::kModemPanel,
     {16, 56, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kModemCommands,
     SettingsPart::kModemPanel,
     {144, 50, 201, 21},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kModemLineLabel,
     SettingsPart::kModemPanel,
     {16, 80, 0, 0},
     kLayoutTopLeft,
     LayoutSizing::kFitsText},
    {SettingsPart::kModemLine,
     SettingsPart::kModemPanel,
     {144, 74, 49, 21},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kModemPortTestButton,
     SettingsPart::kModemPanel,
     {296, 72, 75, 25},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kModemHint,
     SettingsPart::kModemPanel,
     {8, 101, 367, 40},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kModemLogPane,
     SettingsPart::kModemPanel,
     {1, 144, 381, 74},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kButtonPanel,
     SettingsPart::kButtonPanel,
     {8, 483, 432, 41},
     kLayoutLeft | kLayoutRight | kLayoutBottom,
     LayoutSizing::kFixed},
    {SettingsPart::kSaveButton,
     SettingsPart::kButtonPanel,
     {9, 5, 99, 30},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kApplyButton,
     SettingsPart::kButtonPanel,
     {112, 5, 99, 30},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kHideButton,
     SettingsPart::kButtonPanel,
     {216, 5, 99, 30},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    {SettingsPart::kCloseButton,
     SettingsPart::kButtonPanel,
     {321, 5, 99, 30},
     kLayoutTopLeft,
     LayoutSizing::kFixed},
    // "Hedefler", in the free corner beside the caller-ID check box: the
    // places calls go beyond the LAN do not depend on the source.
    {SettingsPart::kDestinationsButton,
     SettingsPart::kDestinationsButton,
     {352, 2, 88, 21},
     kLayoutTop | kLayoutRight,
     LayoutSizing::kFixed},
};

constexpr const SettingsPlacement& Placement(SettingsPart part) {
  return kSettingsLayout[static_cast<size_t>(part)];
}

// A control's rectangle inside its parent when the window's client area has
// the size `client_now` (the designed size, or larger when maximised).
constexpr LayoutRect SettingsRectAt(SettingsPart part, LayoutSize client_now) {
  const SettingsPlacement& placed = Placement(part);
  LayoutSize parent_designed = kSettingsClientSize;
  LayoutSize parent_now = client_now;
  if (placed.parent != part) {
    const LayoutRect parent = Placement(placed.parent).rect;
    const LayoutRect parent_grown = SettingsRectAt(placed.parent, client_now);
    parent_designed = {parent.width, parent.height};
    parent_now = {parent_grown.width, parent_grown.height};
  }
  return Anchored(placed.rect, parent_designed, parent_now, placed.anchors);
}

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETTINGS_LAYOUT_H_
