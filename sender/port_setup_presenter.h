#ifndef ORVANTA_SENDER_PORT_SETUP_PRESENTER_H_
#define ORVANTA_SENDER_PORT_SETUP_PRESENTER_H_

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "sender/setup_dialog_view.h"
#include "serial/line_settings.h"

namespace orvanta {

class SerialPort;
class Shell;

// The machine's serial ports for the port list; ListSerialPorts when empty.
using PortLister = std::function<std::vector<std::u16string>()>;

// The serial setup dialog "Setup" over its passive view: six lists, top to
// bottom the port, the speed, data bits, stop bits, parity and flow
// control, each with the port's value chosen (ignoring letter case). OK
// gives the port the chosen line at once, as one change: an open port
// under a new name is closed and the new one opened. Cancel, Esc or the
// close box change nothing.
class PortSetupPresenter {
 public:
  PortSetupPresenter(SerialPort& port, PortLister list_ports = {});

  // Lists the ports, then shows the dialog modally. A failure travels on:
  // a port list that cannot be made (then no dialog is shown), a chosen
  // port that cannot be opened.
  void Show(Shell& shell);

  // The lists for `line` and `ports`: the entries of each, and the one
  // chosen (-1 when the line's port is not listed).
  struct Lists {
    std::array<std::vector<std::u16string>, SetupDialogView::kListCount>
        entries;
    std::array<int, SetupDialogView::kListCount> chosen;
  };
  static Lists ListsFor(const LineSettings& line,
                        std::vector<std::u16string> ports);
  // The line `chosen` (one entry per list, -1 for none) makes of `line`.
  // No port chosen gives an empty name; "Custom" flow control keeps the
  // line's.
  static LineSettings ChosenLine(
      const LineSettings& line, const Lists& lists,
      const std::array<int, SetupDialogView::kListCount>& chosen);

 private:
  SerialPort& port_;
  PortLister list_ports_;
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_PORT_SETUP_PRESENTER_H_
