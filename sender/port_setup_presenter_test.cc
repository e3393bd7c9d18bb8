// The serial setup dialog: what its lists show, and what OK and Cancel do
// to the port.

#include "sender/port_setup_presenter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/ui_handover.h"
#include "sender/test/fake_views.h"
#include "serial/serial_port.h"
#include "serial/test/fake_serial_device.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;

std::vector<std::u16string> ThreePorts() {
  return {u"COM1", u"COM10", u"COM3"};
}

// The index of `text` in `list` of the dialog.
int EntryOf(const FakeSetupDialogView& dialog, int list,
            std::u16string_view text) {
  const auto& entries = dialog.lists[list];
  const auto at = std::find(entries.begin(), entries.end(), text);
  EXPECT_NE(at, entries.end()) << std::string(text.begin(), text.end());
  return static_cast<int>(at - entries.begin());
}

class PortSetupPresenterTest : public ::testing::Test {
 protected:
  PortSetupPresenterTest()
      : hardware(std::make_shared<FakeSerialHardware>()),
        port(ui, std::make_unique<FakeSerialDevice>(hardware)) {}

  // The dialog, with `user` standing for the user; true: OK.
  void Show(std::function<bool(FakeSetupDialogView&)> user,
            PortLister ports = ThreePorts) {
    shell.setup_dialog_user = std::move(user);
    PortSetupPresenter(port, std::move(ports)).Show(shell);
  }

  UiHandover ui;
  std::shared_ptr<FakeSerialHardware> hardware;
  SerialPort port;
  FakeShell shell;
};

TEST_F(PortSetupPresenterTest, ListsShowTheValuesAndThePortsOnesAreChosen) {
  port.SetLine({.port = u"com3",
                .baud_rate = BaudRate::k19200,
                .stop_bits = StopBits::kOneAndHalf,
                .flow_control = FlowControl::kSoftware});
  std::array<std::vector<std::u16string>, SetupDialogView::kListCount> lists;
  std::array<std::u16string, SetupDialogView::kListCount> chosen;
  Show([&](FakeSetupDialogView& dialog) {
    for (int i = 0; i < SetupDialogView::kListCount; ++i) {
      lists[i] = dialog.lists[i];
      chosen[i] = dialog.lists[i][dialog.chosen[i]];
    }
    return false;
  });
  EXPECT_THAT(lists[SetupDialogView::kPort],
              ElementsAre(u"COM1", u"COM10", u"COM3"));
  EXPECT_EQ(lists[SetupDialogView::kBaudRate].size(), 16u);
  EXPECT_EQ(lists[SetupDialogView::kBaudRate].front(), u"Custom");
  EXPECT_EQ(lists[SetupDialogView::kBaudRate].back(), u"256000");
  EXPECT_THAT(lists[SetupDialogView::kDataBits],
              ElementsAre(u"5", u"6", u"7", u"8"));
  EXPECT_THAT(lists[SetupDialogView::kStopBits],
              ElementsAre(u"1", u"1.5", u"2"));
  EXPECT_THAT(lists[SetupDialogView::kParity],
              ElementsAre(u"None", u"Odd", u"Even", u"Mark", u"Space"));
  EXPECT_THAT(lists[SetupDialogView::kFlowControl],
              ElementsAre(u"Hardware", u"Software", u"None", u"Custom"));
  EXPECT_THAT(chosen, ElementsAre(u"COM3", u"19200", u"8", u"1.5", u"None",
                                  u"Software"));
}

TEST_F(PortSetupPresenterTest, OkWithoutAChoiceKeepsTheLineUnderItsListedName) {
  const LineSettings line{.port = u"com3",
                          .baud_rate = BaudRate::kCustom,
                          .custom_baud_rate = 31250,
                          .parity = Parity::kMark,
                          .modem_control = true};
  port.SetLine(line);
  Show([](FakeSetupDialogView&) { return true; });
  LineSettings listed = line;
  listed.port = u"COM3";
  EXPECT_EQ(port.Line(), listed);
}

TEST_F(PortSetupPresenterTest, PortNotListedBecomesAnEmptyName) {
  port.SetLine({.port = u"COM7"});
  int chosen = -2;
  Show([&](FakeSetupDialogView& dialog) {
    chosen = dialog.chosen[SetupDialogView::kPort];
    return true;
  });
  EXPECT_EQ(chosen, -1);
  EXPECT_EQ(port.Line().port, u"");
}

TEST_F(PortSetupPresenterTest, ChoicesReachThePortOnlyOnOk) {
  auto choose = [](FakeSetupDialogView& dialog) {
    dialog.chosen[SetupDialogView::kPort] = 1;  // COM10
    dialog.chosen[SetupDialogView::kBaudRate] =
        EntryOf(dialog, SetupDialogView::kBaudRate, u"38400");
    dialog.chosen[SetupDialogView::kParity] =
        EntryOf(dialog, SetupDialogView::kParity, u"Even");
    dialog.chosen[SetupDialogView::kFlowControl] =
        EntryOf(dialog, SetupDialogView::kFlowControl, u"Hardware");
  };
  Show([&](FakeSetupDialogView& dialog) {
    choose(dialog);
    return false;
  });
  EXPECT_EQ(port.Line(), LineSettings{});

  Show([&](FakeSetupDialogView& dialog) {
    choose(dialog);
    return true;
  });
  EXPECT_EQ(port.Line(),
            (LineSettings{.port = u"COM10",
                          .baud_rate = BaudRate::k38400,
                          .parity = Parity::kEven,
                          .flow_control = FlowControl::kHardware}));

  // "Custom" leaves the flow control as it is.
  Show([&](FakeSetupDialogView& dialog) {
    dialog.chosen[SetupDialogView::kFlowControl] =
        EntryOf(dialog, SetupDialogView::kFlowControl, u"Custom");
    return true;
  });
  EXPECT_EQ(port.Line().flow_control, FlowControl::kHardware);
}

TEST_F(PortSetupPresenterTest, OkOnAnOpenPortReopensItUnderTheNewName) {
  port.Open();
  Show([](FakeSetupDialogView& dialog) {
    dialog.chosen[SetupDialogView::kPort] = 2;  // COM3
    dialog.chosen[SetupDialogView::kBaudRate] =
        EntryOf(dialog, SetupDialogView::kBaudRate, u"19200");
    dialog.chosen[SetupDialogView::kDataBits] =
        EntryOf(dialog, SetupDialogView::kDataBits, u"7");
    return true;
  });
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(hardware->Opens(), 2);
  EXPECT_EQ(hardware->Line()->port, u"COM3");
  EXPECT_EQ(hardware->Line()->BitsPerSecond(), 19200u);
  EXPECT_EQ(hardware->Line()->data_bits, DataBits::kSeven);

  // Other values alone reach the open device without a reopen.
  Show([](FakeSetupDialogView& dialog) {
    dialog.chosen[SetupDialogView::kStopBits] =
        EntryOf(dialog, SetupDialogView::kStopBits, u"2");
    return true;
  });
  EXPECT_EQ(hardware->Opens(), 2);
  EXPECT_EQ(hardware->Line()->stop_bits, StopBits::kTwo);
}

TEST_F(PortSetupPresenterTest, NewPortThatCannotBeOpenedTravelsOn) {
  port.Open();
  hardware->Fail(SerialFailure::kOpen, 5);
  try {
    Show([](FakeSetupDialogView& dialog) {
      dialog.chosen[SetupDialogView::kPort] = 1;
      return true;
    });
    FAIL() << "applied";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.message(), u"COM Port Error: Unable to open com port on COM10");
  }
  EXPECT_FALSE(port.Connected());
}

TEST_F(PortSetupPresenterTest, FailingPortListShowsNoDialog) {
  try {
    Show([](FakeSetupDialogView&) { return true; },
         []() -> std::vector<std::u16string> {
           throw SerialPortSystemError::ForCall(
               u"EnumComPorts", SerialFailure::kPortRegistry, 2);
         });
    FAIL() << "shown";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.message(), u"COM Port Error: Registry error on EnumComPorts");
  }
  EXPECT_EQ(shell.setup_dialogs_created, 0);
}

}  // namespace
}  // namespace orvanta
