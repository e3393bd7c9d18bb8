#ifndef ORVANTA_APP_COM_SETUP_H_
#define ORVANTA_APP_COM_SETUP_H_

namespace orvanta {

class Shell;
class TComPort;

// `ShowSetupDialog` of the serial port: the dialog "Setup" with its six
// parameter lists, shown modally through the shell; OK applies the chosen
// values to the port, Cancel applies nothing. Failures (the port list
// cannot be made, the chosen port cannot be opened) travel on.
void ShowComSetupDialog(TComPort& port, Shell& shell);

}  // namespace orvanta

#endif  // ORVANTA_APP_COM_SETUP_H_
