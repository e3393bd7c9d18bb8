#include "sender/setup_dialog_presenter.h"

#include "sender/setup_dialog_view.h"
#include "sender/shell.h"
#include "serial/serial_port.h"

namespace orvanta {

void ShowPortSetupDialog(SerialPort& port, Shell& shell,
                         const PortLister& lister) {
  auto show_modal = [&shell](PortSetupModel& model) {
    std::unique_ptr<SetupDialogView> view = shell.CreateSetupDialogView();
    const auto combos = model.Combos();
    for (int i = 0; i < SetupDialogView::kListCount; ++i) {
      view->SetList(i, combos[i]->Items(), combos[i]->ItemIndex());
    }
    if (!view->ShowModal()) return SetupResult::kCancel;
    // A list the user left alone keeps what attaching recorded (for a port
    // name not in the list: none).
    for (int i = 0; i < SetupDialogView::kListCount; ++i) {
      const int chosen = view->ChosenIndex(i);
      if (chosen >= 0 && chosen != combos[i]->ItemIndex()) {
        combos[i]->SetItemIndex(chosen);
      }
    }
    return SetupResult::kOk;
  };
  ShowSetupDialog(port, show_modal, lister);
}

}  // namespace orvanta
