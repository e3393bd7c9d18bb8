#include "serial/port_setup_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/ui_handover.h"
#include "serial/serial_port.h"
#include "serial/test/fake_com_device.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

void ThreePorts(std::vector<std::u16string>& ports) {
  ports = {u"COM1", u"COM10", u"COM3"};
}

class ComSetupTest : public ::testing::Test {
 protected:
  ComSetupTest()
      : line(std::make_shared<FakeComLine>()),
        port(ui, std::make_unique<FakeComDevice>(line)) {}

  // The dialog, with `choose` standing for the user.
  void Show(const std::function<SetupResult(PortSetupModel&)>& choose) {
    ShowSetupDialog(port, choose, ThreePorts);
  }

  UiHandover ui;
  std::shared_ptr<FakeComLine> line;
  SerialPort port;
};

TEST(PortSetupModel, ListsAreFilledAndTheFirstEntrySelected) {
  PortSetupModel model(ThreePorts);
  EXPECT_THAT(model.Combo1.Items(), ElementsAre(u"COM1", u"COM10", u"COM3"));
  EXPECT_EQ(model.Combo2.Items().size(), 16u);
  EXPECT_EQ(model.Combo2.Items().front(), u"Custom");
  EXPECT_EQ(model.Combo2.Items().back(), u"256000");
  EXPECT_THAT(model.Combo3.Items(), ElementsAre(u"5", u"6", u"7", u"8"));
  EXPECT_THAT(model.Combo4.Items(), ElementsAre(u"1", u"1.5", u"2"));
  EXPECT_THAT(model.Combo5.Items(),
              ElementsAre(u"None", u"Odd", u"Even", u"Mark", u"Space"));
  EXPECT_THAT(model.Combo6.Items(),
              ElementsAre(u"Hardware", u"Software", u"None", u"Custom"));
  for (TComComboBox* combo : model.Combos()) {
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->ComPort(), nullptr);
    EXPECT_FALSE(combo->AutoApply());
  }
  EXPECT_EQ(model.Combo1.ComProperty(), TComProperty::cpPort);
  EXPECT_EQ(model.Combo6.ComProperty(), TComProperty::cpFlowControl);
}

TEST_F(ComSetupTest, AttachingSelectsThePortsValuesIgnoringCase) {
  port.SetPort(u"com3");
  port.SetBaudRate(TBaudRate::br19200);
  port.SetStopBits(TStopBits::sbOne5StopBits);
  port.FlowControl().SetXonXoffIn(true);  // a custom flow control
  Show([](PortSetupModel& model) {
    EXPECT_EQ(model.Combo1.Text(), u"COM3");
    EXPECT_EQ(model.Combo2.Text(), u"19200");
    EXPECT_EQ(model.Combo3.Text(), u"8");
    EXPECT_EQ(model.Combo4.Text(), u"1.5");
    EXPECT_EQ(model.Combo5.Text(), u"None");
    EXPECT_EQ(model.Combo6.Text(), u"Custom");
    return SetupResult::kOk;
  });
  // OK without a choice: the port's values come back; its name as listed.
  EXPECT_EQ(port.Port(), u"COM3");
  EXPECT_EQ(port.BaudRate(), TBaudRate::br19200);
  EXPECT_TRUE(port.FlowControl().XonXoffIn());
}

TEST_F(ComSetupTest, PortNotListedBecomesAnEmptyName) {
  port.SetPort(u"COM7");
  Show([](PortSetupModel& model) {
    EXPECT_EQ(model.Combo1.ItemIndex(), -1);
    EXPECT_EQ(model.Combo1.Text(), u"");
    return SetupResult::kOk;
  });
  EXPECT_EQ(port.Port(), u"");
}

TEST_F(ComSetupTest, ChoicesReachThePortOnlyOnOk) {
  auto choose = [this](PortSetupModel& model) {
    model.Combo1.SetItemIndex(1);     // COM10
    model.Combo2.SetItemIndex(10);    // 38400
    model.Combo5.SetItemIndex(2);     // Even
    model.Combo6.SetItemIndex(0);     // Hardware
    EXPECT_EQ(port.Port(), u"COM1");  // nothing applied yet
    EXPECT_EQ(port.BaudRate(), TBaudRate::br9600);
  };
  Show([&](PortSetupModel& model) {
    choose(model);
    return SetupResult::kCancel;
  });
  EXPECT_EQ(port.Port(), u"COM1");
  EXPECT_EQ(port.BaudRate(), TBaudRate::br9600);
  EXPECT_EQ(port.FlowControl().FlowControl(), TFlowControl::fcNone);

  Show([&](PortSetupModel& model) {
    choose(model);
    return SetupResult::kOk;
  });
  EXPECT_EQ(port.Port(), u"COM10");
  EXPECT_EQ(port.BaudRate(), TBaudRate::br38400);
  EXPECT_EQ(port.Parity().Bits(), TParityBits::prEven);
  EXPECT_EQ(port.FlowControl().FlowControl(), TFlowControl::fcHardware);
}

TEST_F(ComSetupTest, OkOnAnOpenPortReopensAtOnceAndAppliesTheRestTogether) {
  port.Open();
  line->ClearCalls();
  Show([&](PortSetupModel& model) {
    model.Combo1.SetItemIndex(2);  // COM3
    model.Combo2.SetItemIndex(9);  // 19200
    model.Combo3.SetItemIndex(2);  // 7
    return SetupResult::kOk;
  });
  const auto calls = line->Calls();
  // Closed, reopened under the new name, then one application at the end.
  const auto reopened = std::find(calls.begin(), calls.end(), "Open COM3");
  ASSERT_NE(reopened, calls.end());
  EXPECT_THAT(std::vector<std::string>(calls.end() - 3, calls.end()),
              ElementsAre("SetupQueues 1024 1024", "SetState", "SetTimeouts"));
  EXPECT_EQ(std::count(reopened, calls.end(), std::string("SetState")), 2);
  EXPECT_EQ(line->last_state.baud_rate, 19200u);
  EXPECT_EQ(line->last_state.byte_size, 7);
  EXPECT_EQ(port.UpdateCount(), 0);
}

TEST_F(ComSetupTest, NewPortThatCannotBeOpenedClosesThePortAndTheBracket) {
  port.Open();
  line->FailCall("Open", 5);
  try {
    Show([](PortSetupModel& model) {
      model.Combo1.SetItemIndex(1);
      return SetupResult::kOk;
    });
    FAIL() << "applied";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), 1);
    EXPECT_EQ(e.message(), u"COM Port Error: Unable to open com port on COM10");
  }
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.UpdateCount(), 0);
}

TEST_F(ComSetupTest, FailingEnumerationShowsNoDialog) {
  bool shown = false;
  try {
    ShowSetupDialog(
        port,
        [&](PortSetupModel&) {
          shown = true;
          return SetupResult::kOk;
        },
        [](std::vector<std::u16string>&) {
          throw SerialPortSystemError::ForCall(u"EnumComPorts",
                                               com_failure::kRegistry, 2);
        });
    FAIL() << "shown";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.message(), u"COM Port Error: Registry error on EnumComPorts");
  }
  EXPECT_FALSE(shown);
}

TEST_F(ComSetupTest, AutoApplyAppliesEachChoice) {
  TComComboBox combo(ThreePorts);
  combo.SetComProperty(TComProperty::cpDataBits);
  combo.SetComPort(&port);
  EXPECT_EQ(combo.Text(), u"8");
  combo.SetItemIndex(0);
  EXPECT_EQ(port.DataBits(), TDataBits::dbEight);
  combo.SetAutoApply(true);
  combo.SetItemIndex(1);
  EXPECT_EQ(port.DataBits(), TDataBits::dbSix);
  EXPECT_THAT(line->Calls(), IsEmpty());  // the port is closed
}

}  // namespace
}  // namespace orvanta
