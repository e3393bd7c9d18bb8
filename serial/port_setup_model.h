#ifndef ORVANTA_SERIAL_PORT_SETUP_MODEL_H_
#define ORVANTA_SERIAL_PORT_SETUP_MODEL_H_

// The port setup dialog ("Setup") without its window: the six parameter
// lists, what attaching, choosing and confirming do to the port, and the
// dialog sequence. The application shells draw the window from this.

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace orvanta {

class TComPort;

enum class TComProperty {
  cpNone,
  cpPort,
  cpBaudRate,
  cpDataBits,
  cpStopBits,
  cpParity,
  cpFlowControl
};

// Fills a list with the machine's port names (EnumComPorts by default).
using PortLister = std::function<void(std::vector<std::u16string>&)>;

// A drop-down list bound to one port parameter. It records the value it
// would apply separately from the port; nothing reaches the port before
// ApplySettings (unless AutoApply is switched on).
class TComComboBox {
 public:
  explicit TComComboBox(PortLister lister = {});

  TComProperty ComProperty() const { return property_; }
  // Refills the entries (port names from the lister, otherwise the value
  // texts); selects the first entry while no port is attached, the port's
  // value once one is.
  void SetComProperty(TComProperty value);

  TComPort* ComPort() const { return port_; }
  // Attaching selects the entry whose text is the port's current value
  // text, ignoring case, and records it; with no such entry nothing is
  // selected and an empty port name is recorded.
  void SetComPort(TComPort* port);

  const std::vector<std::u16string>& Items() const { return items_; }
  int ItemIndex() const { return item_index_; }  // -1: none
  // The user's choice: selects and records the entry.
  void SetItemIndex(int index);
  // The selected entry's text, empty without a selection.
  std::u16string Text() const;

  bool AutoApply() const { return auto_apply_; }
  void SetAutoApply(bool value) { auto_apply_ = value; }

  // The recorded value through the port's setters.
  void ApplySettings();

 private:
  void SelectPortValue();
  void Record();

  PortLister lister_;
  TComProperty property_ = TComProperty::cpNone;
  TComPort* port_ = nullptr;
  std::vector<std::u16string> items_;
  int item_index_ = -1;
  bool auto_apply_ = false;
  std::u16string recorded_port_;
  int recorded_value_ = 0;  // index into the value texts
};

// The dialog `ComSetupFrm` as data: Combo1 port, Combo2 baud rate, Combo3
// data bits, Combo4 stop bits, Combo5 parity, Combo6 flow control.
class ComSetupModel {
 public:
  // Fills every list; a failing port enumeration travels on (then no
  // dialog is shown).
  explicit ComSetupModel(const PortLister& lister = {});

  TComComboBox Combo1, Combo2, Combo3, Combo4, Combo5, Combo6;
  std::array<TComComboBox*, 6> Combos() {
    return {&Combo1, &Combo2, &Combo3, &Combo4, &Combo5, &Combo6};
  }

  // Attaches the lists to `port`, Combo1 first.
  void Attach(TComPort& port);
  // OK: the recorded values, Combo1 to Combo6, inside one update bracket,
  // which is closed also when applying fails.
  void ApplyToPort(TComPort& port);
};

enum class SetupResult { kOk, kCancel };

// Shows the model modally and returns how it was closed (any close other
// than the OK button counts as Cancel).
using SetupDialogShower = std::function<SetupResult(ComSetupModel& model)>;

// `ShowSetupDialog`: create, attach, show, apply on OK.
void ShowSetupDialog(TComPort& port, const SetupDialogShower& show_modal,
                     const PortLister& lister = {});

// Texts and layout of the dialog window (client area 231 x 216, font
// "MS Sans Serif" 8 pt, centred on the screen, fixed dialog border).
namespace com_setup_text {
inline constexpr char16_t kCaption[] = u"Setup";
inline constexpr char16_t kGroupBox[] = u" Settings ";
inline constexpr const char16_t* kLabels[6] = {u"Port",      u"Baud rate",
                                               u"Data bits", u"Stop bits",
                                               u"Parity",    u"Flow control"};
inline constexpr char16_t kOk[] = u"OK";
inline constexpr char16_t kCancel[] = u"Cancel";
}  // namespace com_setup_text

namespace com_setup_layout {
struct Place {
  int left, top, width, height;
};
inline constexpr int kClientWidth = 231;
inline constexpr int kClientHeight = 216;
inline constexpr Place kGroupBox = {8, 8, 217, 169};
// Inside the group box; labels are auto-sized (height 0 here).
inline constexpr Place kLabels[6] = {{8, 24, 0, 0},  {8, 48, 0, 0},  {8, 72, 0, 0},
                                     {8, 96, 0, 0},  {8, 120, 0, 0}, {8, 144, 0, 0}};
inline constexpr Place kCombos[6] = {{80, 16, 129, 21},  {80, 40, 129, 21},
                                     {80, 64, 129, 21},  {80, 88, 129, 21},
                                     {80, 112, 129, 21}, {80, 136, 129, 21}};
inline constexpr Place kOkButton = {70, 184, 75, 25};
inline constexpr Place kCancelButton = {150, 184, 75, 25};
}  // namespace com_setup_layout

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_PORT_SETUP_MODEL_H_
