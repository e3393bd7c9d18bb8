#ifndef ORVANTA_RECEIVER_HISTORY_LAYOUT_H_
#define ORVANTA_RECEIVER_HISTORY_LAYOUT_H_

#include "desktop/layout.h"

namespace orvanta {

// The history window at 96 dpi: the list fills it, the buttons and the
// status line stay at its bottom as it grows. Both views build from this.
struct HistoryControlLayout {
  LayoutRect rect;
  unsigned anchors;
};
inline constexpr LayoutSize kHistoryClientSize = {624, 404};
inline constexpr HistoryControlLayout kHistoryList = {{8, 8, 608, 330},
                                                      kLayoutAll};
inline constexpr HistoryControlLayout kHistoryCopyButton = {
    {8, 346, 140, 26}, kLayoutLeft | kLayoutBottom};
inline constexpr HistoryControlLayout kHistoryImportButton = {
    {362, 346, 128, 26}, kLayoutRight | kLayoutBottom};
inline constexpr HistoryControlLayout kHistoryReloadButton = {
    {496, 346, 120, 26}, kLayoutRight | kLayoutBottom};
inline constexpr HistoryControlLayout kHistoryStatus = {
    {8, 378, 608, 18}, kLayoutLeft | kLayoutRight | kLayoutBottom};
// The columns' widths, in the order of history_text::kColumns; the last
// one also takes what the list has left.
inline constexpr int kHistoryColumnWidths[] = {150, 50, 170, 220};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_HISTORY_LAYOUT_H_
