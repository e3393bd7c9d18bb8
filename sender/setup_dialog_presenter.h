#ifndef ORVANTA_SENDER_SETUP_DIALOG_PRESENTER_H_
#define ORVANTA_SENDER_SETUP_DIALOG_PRESENTER_H_

#include "serial/port_setup_model.h"

namespace orvanta {

class Shell;
class SerialPort;

// `ShowSetupDialog` of the serial port through the shell's dialog view: the
// six parameter lists are drawn as the setup model fills them, the user's
// choices are recorded in the model on OK, and the model applies them to
// the port; Cancel applies nothing. Failures (the port list cannot be made,
// the chosen port cannot be opened) travel on. An empty `lister` lists the
// machine's ports.
void ShowPortSetupDialog(SerialPort& port, Shell& shell,
                         const PortLister& lister = {});

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETUP_DIALOG_PRESENTER_H_
