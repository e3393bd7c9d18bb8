#include "sender/port_setup_presenter.h"

#include <memory>
#include <span>
#include <utility>

#include "base/text.h"
#include "sender/shell.h"
#include "serial/port_list.h"
#include "serial/serial_port.h"

namespace orvanta {
namespace {

std::vector<std::u16string> Texts(std::span<const std::u16string_view> texts) {
  return std::vector<std::u16string>(texts.begin(), texts.end());
}

// The entry equal to `text` without regard to (ASCII) case; -1 for none.
int IndexOf(const std::vector<std::u16string>& entries,
            std::u16string_view text) {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (SameTextAscii(entries[i], text)) return static_cast<int>(i);
  }
  return -1;
}

// The value chosen by entry `index` of a list in enumeration order; the
// current one when nothing is chosen.
template <typename E>
E ChosenValue(int index, size_t values, E current) {
  if (index < 0 || static_cast<size_t>(index) >= values) return current;
  return static_cast<E>(index);
}

}  // namespace

PortSetupPresenter::PortSetupPresenter(SerialPort& port, PortLister list_ports)
    : port_(port), list_ports_(std::move(list_ports)) {
  if (!list_ports_) list_ports_ = ListSerialPorts;
}

PortSetupPresenter::Lists PortSetupPresenter::ListsFor(
    const LineSettings& line, std::vector<std::u16string> ports) {
  Lists lists;
  lists.entries[SetupDialogView::kPort] = std::move(ports);
  lists.entries[SetupDialogView::kBaudRate] = Texts(BaudRateTexts());
  lists.entries[SetupDialogView::kDataBits] = Texts(DataBitsTexts());
  lists.entries[SetupDialogView::kStopBits] = Texts(StopBitsTexts());
  lists.entries[SetupDialogView::kParity] = Texts(ParityTexts());
  lists.entries[SetupDialogView::kFlowControl] = Texts(FlowControlTexts());
  const std::u16string_view current[SetupDialogView::kListCount] = {
      line.port,
      ValueText(line.baud_rate),
      ValueText(line.data_bits),
      ValueText(line.stop_bits),
      ValueText(line.parity),
      ValueText(line.flow_control)};
  for (int list = 0; list < SetupDialogView::kListCount; ++list) {
    lists.chosen[list] = IndexOf(lists.entries[list], current[list]);
  }
  return lists;
}

LineSettings PortSetupPresenter::ChosenLine(
    const LineSettings& line, const Lists& lists,
    const std::array<int, SetupDialogView::kListCount>& chosen) {
  LineSettings result = line;
  const auto& ports = lists.entries[SetupDialogView::kPort];
  const int port = chosen[SetupDialogView::kPort];
  // The name as listed; none chosen (the port was not listed) empties it.
  result.port = port >= 0 && static_cast<size_t>(port) < ports.size()
                    ? ports[static_cast<size_t>(port)]
                    : std::u16string();
  result.baud_rate = ChosenValue(chosen[SetupDialogView::kBaudRate],
                                 BaudRateTexts().size(), line.baud_rate);
  result.data_bits = ChosenValue(chosen[SetupDialogView::kDataBits],
                                 DataBitsTexts().size(), line.data_bits);
  result.stop_bits = ChosenValue(chosen[SetupDialogView::kStopBits],
                                 StopBitsTexts().size(), line.stop_bits);
  result.parity = ChosenValue(chosen[SetupDialogView::kParity],
                              ParityTexts().size(), line.parity);
  // The last entry, "Custom", is no flow control of its own.
  result.flow_control =
      ChosenValue(chosen[SetupDialogView::kFlowControl],
                  FlowControlTexts().size() - 1, line.flow_control);
  return result;
}

void PortSetupPresenter::Show(Shell& shell) {
  const LineSettings line = port_.Line();
  const Lists lists = ListsFor(line, list_ports_());
  std::unique_ptr<SetupDialogView> view = shell.CreateSetupDialogView();
  for (int list = 0; list < SetupDialogView::kListCount; ++list) {
    view->SetList(list, lists.entries[list], lists.chosen[list]);
  }
  if (!view->ShowModal()) return;
  std::array<int, SetupDialogView::kListCount> chosen;
  for (int list = 0; list < SetupDialogView::kListCount; ++list) {
    chosen[list] = view->ChosenIndex(list);
    // A view that lost its choice keeps the one it was given.
    if (chosen[list] < 0) chosen[list] = lists.chosen[list];
  }
  port_.SetLine(ChosenLine(line, lists, chosen));
}

}  // namespace orvanta
