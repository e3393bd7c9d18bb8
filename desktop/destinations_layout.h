#ifndef ORVANTA_DESKTOP_DESTINATIONS_LAYOUT_H_
#define ORVANTA_DESKTOP_DESTINATIONS_LAYOUT_H_

#include <cstddef>

#include "desktop/layout.h"

namespace orvanta {

// The "Hedefler" dialog's controls, in the order they are created, which is
// also the order the Tab key visits them: the list with its two buttons and
// the note under it; the webhook's fields and, in the same place, the
// broker's; "Test" with its answer; the chosen destination's problems; the
// status line and the three buttons.
enum class DestinationsPart {
  kList,
  kAddButton,
  kRemoveButton,
  kNote,
  kWebhookPanel,
  kWebhookUrlLabel,
  kWebhookUrl,
  kWebhookMethodLabel,
  kWebhookMethod,
  kWebhookHeadersLabel,
  kWebhookHeaders,
  kWebhookHeadersHint,
  kWebhookPinLabel,
  kWebhookPin,
  kWebhookEnabled,
  kMqttPanel,
  kMqttUrlLabel,
  kMqttUrl,
  kMqttUserLabel,
  kMqttUser,
  kMqttPasswordLabel,
  kMqttPassword,
  kMqttClientIdLabel,
  kMqttClientId,
  kMqttPrefixLabel,
  kMqttPrefix,
  kMqttCaFileLabel,
  kMqttCaFile,
  kMqttEnabled,
  kTestButton,
  kTestAnswer,
  kProblems,
  kStatus,
  kSaveButton,
  kApplyButton,
  kCancelButton,
};
inline constexpr size_t kDestinationsPartCount =
    static_cast<size_t>(DestinationsPart::kCancelButton) + 1;

struct DestinationsPlacement {
  DestinationsPart part;
  // The panel it lies in, or the part itself for the dialog.
  DestinationsPart parent;
  // Inside the parent's client area; a label with width and height 0 takes
  // the size of its text, every other control the size given.
  LayoutRect rect;
};

// A fixed client area, not resizable.
inline constexpr LayoutSize kDestinationsClientSize = {560, 376};

// Every control of the dialog, indexed by DestinationsPart.
inline constexpr DestinationsPlacement
    kDestinationsLayout[kDestinationsPartCount] = {
        {DestinationsPart::kList, DestinationsPart::kList, {8, 8, 200, 190}},
        {DestinationsPart::kAddButton,
         DestinationsPart::kAddButton,
         {8, 204, 98, 25}},
        {DestinationsPart::kRemoveButton,
         DestinationsPart::kRemoveButton,
         {110, 204, 98, 25}},
        {DestinationsPart::kNote, DestinationsPart::kNote, {8, 236, 200, 92}},
        {DestinationsPart::kWebhookPanel,
         DestinationsPart::kWebhookPanel,
         {216, 8, 336, 190}},
        {DestinationsPart::kWebhookUrlLabel,
         DestinationsPart::kWebhookPanel,
         {0, 4, 0, 0}},
        {DestinationsPart::kWebhookUrl,
         DestinationsPart::kWebhookPanel,
         {96, 0, 240, 21}},
        {DestinationsPart::kWebhookMethodLabel,
         DestinationsPart::kWebhookPanel,
         {0, 31, 0, 0}},
        {DestinationsPart::kWebhookMethod,
         DestinationsPart::kWebhookPanel,
         {96, 27, 80, 21}},
        {DestinationsPart::kWebhookHeadersLabel,
         DestinationsPart::kWebhookPanel,
         {0, 58, 0, 0}},
        {DestinationsPart::kWebhookHeaders,
         DestinationsPart::kWebhookPanel,
         {96, 54, 240, 66}},
        {DestinationsPart::kWebhookHeadersHint,
         DestinationsPart::kWebhookPanel,
         {0, 74, 92, 44}},
        {DestinationsPart::kWebhookPinLabel,
         DestinationsPart::kWebhookPanel,
         {0, 130, 0, 0}},
        {DestinationsPart::kWebhookPin,
         DestinationsPart::kWebhookPanel,
         {96, 126, 240, 21}},
        {DestinationsPart::kWebhookEnabled,
         DestinationsPart::kWebhookPanel,
         {96, 154, 140, 19}},
        {DestinationsPart::kMqttPanel,
         DestinationsPart::kMqttPanel,
         {216, 8, 336, 190}},
        {DestinationsPart::kMqttUrlLabel,
         DestinationsPart::kMqttPanel,
         {0, 4, 0, 0}},
        {DestinationsPart::kMqttUrl,
         DestinationsPart::kMqttPanel,
         {96, 0, 240, 21}},
        {DestinationsPart::kMqttUserLabel,
         DestinationsPart::kMqttPanel,
         {0, 31, 0, 0}},
        {DestinationsPart::kMqttUser,
         DestinationsPart::kMqttPanel,
         {96, 27, 240, 21}},
        {DestinationsPart::kMqttPasswordLabel,
         DestinationsPart::kMqttPanel,
         {0, 58, 0, 0}},
        {DestinationsPart::kMqttPassword,
         DestinationsPart::kMqttPanel,
         {96, 54, 240, 21}},
        {DestinationsPart::kMqttClientIdLabel,
         DestinationsPart::kMqttPanel,
         {0, 85, 0, 0}},
        {DestinationsPart::kMqttClientId,
         DestinationsPart::kMqttPanel,
         {96, 81, 240, 21}},
        {DestinationsPart::kMqttPrefixLabel,
         DestinationsPart::kMqttPanel,
         {0, 112, 0, 0}},
        {DestinationsPart::kMqttPrefix,
         DestinationsPart::kMqttPanel,
         {96, 108, 240, 21}},
        {DestinationsPart::kMqttCaFileLabel,
         DestinationsPart::kMqttPanel,
         {0, 139, 0, 0}},
        {DestinationsPart::kMqttCaFile,
         DestinationsPart::kMqttPanel,
         {96, 135, 240, 21}},
        {DestinationsPart::kMqttEnabled,
         DestinationsPart::kMqttPanel,
         {96, 163, 140, 19}},
        {DestinationsPart::kTestButton,
         DestinationsPart::kTestButton,
         {312, 204, 80, 25}},
        {DestinationsPart::kTestAnswer,
         DestinationsPart::kTestAnswer,
         {312, 233, 240, 28}},
        {DestinationsPart::kProblems,
         DestinationsPart::kProblems,
         {216, 266, 336, 62}},
        {DestinationsPart::kStatus,
         DestinationsPart::kStatus,
         {8, 334, 300, 40}},
        {DestinationsPart::kSaveButton,
         DestinationsPart::kSaveButton,
         {316, 342, 76, 25}},
        {DestinationsPart::kApplyButton,
         DestinationsPart::kApplyButton,
         {396, 342, 76, 25}},
        {DestinationsPart::kCancelButton,
         DestinationsPart::kCancelButton,
         {476, 342, 76, 25}},
};

// Each row sits at its part's index, so that Placement() finds it.
constexpr bool DestinationsLayoutInOrder() {
  for (size_t i = 0; i < kDestinationsPartCount; ++i) {
    if (static_cast<size_t>(kDestinationsLayout[i].part) != i) return false;
  }
  return true;
}
static_assert(DestinationsLayoutInOrder());

constexpr const DestinationsPlacement& Placement(DestinationsPart part) {
  return kDestinationsLayout[static_cast<size_t>(part)];
}

// Whether the control lies on the dialog itself rather than in a panel.
constexpr bool OnDialog(const DestinationsPlacement& placed) {
  return placed.parent == placed.part;
}

// Whether the control takes the size of its text.
constexpr bool FitsText(const DestinationsPlacement& placed) {
  return placed.rect.width == 0 && placed.rect.height == 0;
}

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_DESTINATIONS_LAYOUT_H_
