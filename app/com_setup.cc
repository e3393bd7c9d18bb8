#include "app/com_setup.h"

#include "app/setup_dialog_view.h"
#include "app/shell.h"
#include "serial/com_port.h"

namespace orvanta {

// Provisional: shows the dialog without lists until the serial setup model
// is in place.
void ShowComSetupDialog(TComPort& port, Shell& shell) {
  (void)port;
  shell.CreateSetupDialogView()->ShowModal();
}

}  // namespace orvanta
