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

class SerialPort;

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

  SerialPort* ComPort() const { return port_; }
  // Attaching selects the entry whose text is the port's current value
  // text, ignoring case, and records it; with no such entry nothing is
  // selected and an empty port name is recorded.
  void SetComPort(SerialPort* port);

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
  SerialPort* port_ = nullptr;
  std::vector<std::u16string> items_;
  int item_index_ = -1;
  bool auto_apply_ = false;
  std::u16string recorded_port_;
  int recorded_value_ = 0;  // index into the value texts
};

// The serial setup dialog as data: its six lists, top to bottom: port, baud
// rate, data bits, stop bits, parity, flow control.
class PortSetupModel {
 public:
  // Fills every list; a failing port enumeration travels on (then no
  // dialog is shown).
  explicit PortSetupModel(const PortLister& lister = {});

  TComComboBox Combo1, Combo2, Combo3, Combo4, Combo5, Combo6;
  std::array<TComComboBox*, 6> Combos() {
    return {&Combo1, &Combo2, &Combo3, &Combo4, &Combo5, &Combo6};
  }

  // Attaches the lists to `port`, the port list first.
  void Attach(SerialPort& port);
  // OK: the recorded values, top to bottom, inside one update bracket,
  // which is closed also when applying fails.
  void ApplyToPort(SerialPort& port);
};

enum class SetupResult { kOk, kCancel };

// Shows the model modally and returns how it was closed (any close other
// than the OK button counts as Cancel).
using SetupDialogShower = std::function<SetupResult(PortSetupModel& model)>;

// `ShowSetupDialog`: create, attach, show, apply on OK.
void ShowSetupDialog(SerialPort& port, const SetupDialogShower& show_modal,
                     const PortLister& lister = {});

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_PORT_SETUP_MODEL_H_
