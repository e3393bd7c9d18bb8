#ifndef ORVANTA_SENDER_SETUP_DIALOG_VIEW_H_
#define ORVANTA_SENDER_SETUP_DIALOG_VIEW_H_

#include <string>
#include <vector>

namespace orvanta {

// The serial port setup dialog "Setup" as a passive view:
// six drop-down lists (no free text) and OK / Cancel. Which entries the
// lists hold, which one is chosen at the start and what happens on OK is
// decided by the presenter; the view only draws and remembers the choices.
class SetupDialogView {
 public:
  // The lists, top to bottom.
  enum List {
    kPort = 0,
    kBaudRate,
    kDataBits,
    kStopBits,
    kParity,
    kFlowControl
  };
  static constexpr int kListCount = 6;

  virtual ~SetupDialogView() = default;

  // Replace the entries of a list and choose one (-1: nothing chosen).
  virtual void SetList(int list, const std::vector<std::u16string>& entries,
                       int chosen) = 0;
  // The entry the user left chosen, -1 for none.
  virtual int ChosenIndex(int list) const = 0;

  // Show modally; true when the dialog ended with OK (button or Enter),
  // false for Cancel, Esc or the close box.
  virtual bool ShowModal() = 0;
};

namespace setup_dialog_text {
inline constexpr char16_t kCaption[] = u"Setup";
inline constexpr char16_t kGroupBox[] = u" Settings ";
inline constexpr const char16_t* kLabels[] = {u"Port",      u"Baud rate",
                                              u"Data bits", u"Stop bits",
                                              u"Parity",    u"Flow control"};
inline constexpr char16_t kOk[] = u"OK";
inline constexpr char16_t kCancel[] = u"Cancel";
}  // namespace setup_dialog_text

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETUP_DIALOG_VIEW_H_
