// The port's settings file: what is written and how it is read back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/ui_handover.h"
#include "serial/serial_port.h"
#include "serial/test/fake_com_device.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PortSettingsTest : public ::testing::Test {
 protected:
  PortSettingsTest()
      : line(std::make_shared<FakeComLine>()),
        port(ui, std::make_unique<FakeComDevice>(line)),
        path(dir.File("calleridcomport.ini")) {}

  void Load(const std::string& body) {
    dir.Write("calleridcomport.ini", "[ComPortCallerID]\r\n" + body);
    port.LoadSettings(PortStoreKind::stIniFile, path);
  }

  TempFolder dir;
  UiHandover ui;
  std::shared_ptr<FakeComLine> line;
  SerialPort port;
  std::u16string path;
};

TEST_F(PortSettingsTest, DefaultsGiveTheSevenLines) {
  port.StoreSettings(PortStoreKind::stIniFile, path);
  EXPECT_EQ(dir.Read("calleridcomport.ini"),
            "[ComPortCallerID]\r\n"
            "Port=COM1\r\n"
            "BaudRate=9600\r\n"
            "StopBits=1\r\n"
            "DataBits=8\r\n"
            "Parity=None\r\n"
            "FlowControl=None\r\n");
}

TEST_F(PortSettingsTest, CustomRateAndOtherValuesAreWrittenAsTheirTexts) {
  port.SetPort(u"COM12");
  port.SetBaudRate(TBaudRate::brCustom);
  port.SetCustomBaudRate(31250);
  port.SetStopBits(TStopBits::sbOne5StopBits);
  port.SetDataBits(TDataBits::dbFive);
  port.Parity().SetBits(TParityBits::prMark);
  port.FlowControl().SetFlowControl(TFlowControl::fcSoftware);
  dir.Write("calleridcomport.ini", "[Other]\r\nKeep=1\r\n");
  port.StoreSettings(PortStoreKind::stIniFile, path);
  EXPECT_EQ(dir.Read("calleridcomport.ini"),
            "[Other]\r\nKeep=1\r\n"
            "[ComPortCallerID]\r\n"
            "Port=COM12\r\n"
            "BaudRate=Custom\r\n"
            "CustomBaudRate=31250\r\n"
            "StopBits=1.5\r\n"
            "DataBits=5\r\n"
            "Parity=Mark\r\n"
            "FlowControl=Software\r\n");

  // A custom flow control is written as such; an empty name as nothing.
  port.SetPort(u"");
  port.FlowControl().SetXonXoffIn(false);
  port.StoreSettings(PortStoreKind::stIniFile, path);
  const std::string text = *dir.Read("calleridcomport.ini");
  EXPECT_NE(text.find("\r\nPort=\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nFlowControl=Custom\r\n"), std::string::npos);
}

TEST_F(PortSettingsTest, StoreFailureIsKind16) {
  try {
    port.StoreSettings(PortStoreKind::stIniFile,
                       dir.File("missing/calleridcomport.ini"));
    FAIL() << "stored";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.Kind(), 16);
    EXPECT_EQ(e.message(), u"COM1 Error: Failed to store settings");
  }
}

TEST_F(PortSettingsTest, NoFileLeavesEveryValue) {
  port.SetPort(u"COM3");
  port.SetBaudRate(TBaudRate::br19200);
  port.Parity().SetBits(TParityBits::prOdd);
  port.FlowControl().SetControlDTR(TDTRFlowControl::dtrEnable);
  port.FlowControl().SetXonXoffIn(true);
  port.LoadSettings(PortStoreKind::stIniFile, path);
  EXPECT_EQ(port.Port(), u"COM3");
  EXPECT_EQ(port.BaudRate(), TBaudRate::br19200);
  EXPECT_EQ(port.Parity().Bits(), TParityBits::prOdd);
  EXPECT_TRUE(port.FlowControl().XonXoffIn());
  EXPECT_EQ(port.FlowControl().ControlDTR(), TDTRFlowControl::dtrEnable);
  EXPECT_EQ(port.UpdateCount(), 0);
}

TEST_F(PortSettingsTest, ValuesAreMatchedWithoutRegardToCaseOrDefaulted) {
  Load(
      "port=COM4\r\nBAUDRATE=115200\r\nstopbits=2\r\nDataBits=7\r\nparity="
      "even\r\n");
  EXPECT_EQ(port.Port(), u"COM4");
  EXPECT_EQ(port.BaudRate(), TBaudRate::br115200);
  EXPECT_EQ(port.StopBits(), TStopBits::sbTwoStopBits);
  EXPECT_EQ(port.DataBits(), TDataBits::dbSeven);
  EXPECT_EQ(port.Parity().Bits(), TParityBits::prEven);

  Load(
      "BaudRate=fast\r\nParity=none2\r\nStopBits=3\r\nDataBits="
      "9\r\nDiscardNull=Yes\r\n");
  EXPECT_EQ(port.BaudRate(), TBaudRate::br9600);
  EXPECT_EQ(port.Parity().Bits(), TParityBits::prNone);
  EXPECT_EQ(port.StopBits(), TStopBits::sbOneStopBit);
  EXPECT_EQ(port.DataBits(), TDataBits::dbEight);
  EXPECT_FALSE(port.DiscardNull());
  EXPECT_EQ(port.Port(), u"COM4");  // no key: unchanged

  Load("Port=\r\nStopBits=1.5\r\n");
  EXPECT_EQ(port.Port(), u"");
  EXPECT_EQ(port.StopBits(), TStopBits::sbOne5StopBits);
}

TEST_F(PortSettingsTest, CustomBaudRate) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"BaudRate=Custom\r\n", 9600},
      {"BaudRate=custom\r\nCustomBaudRate=0x2580\r\n", 9600},
      {"BaudRate=Custom\r\nCustomBaudRate=0X1c200\r\n", 115200},
      {"BaudRate=Custom\r\nCustomBaudRate=31250\r\n", 31250},
      {"BaudRate=Custom\r\nCustomBaudRate=0x\r\n", 9600},
      {"BaudRate=Custom\r\nCustomBaudRate=12ab\r\n", 9600},
      {"BaudRate=Custom\r\nCustomBaudRate=99999999999\r\n", 9600},
  };
  for (const auto& [body, rate] : cases) {
    port.SetCustomBaudRate(4800);
    Load(body);
    EXPECT_EQ(port.BaudRate(), TBaudRate::brCustom) << body;
    EXPECT_EQ(port.DeviceState().baud_rate, rate) << body;
  }
  // Without brCustom the key is not read.
  port.SetCustomBaudRate(4800);
  Load("BaudRate=2400\r\nCustomBaudRate=31250\r\n");
  EXPECT_EQ(port.CustomBaudRate(), 4800);
  EXPECT_EQ(port.DeviceState().baud_rate, 2400u);
}

TEST_F(PortSettingsTest, FlowControlLine) {
  Load("FlowControl=Hardware\r\n");
  EXPECT_EQ(port.FlowControl().ControlRTS(), TRTSFlowControl::rtsHandshake);
  EXPECT_TRUE(port.FlowControl().OutCTSFlow());
  EXPECT_EQ(port.DeviceState().rts_control, 2);
  EXPECT_TRUE(port.DeviceState().out_cts_flow);

  // Custom, or a text that matches nothing, leaves the members.
  port.FlowControl().SetXonXoffIn(true);
  Load("FlowControl=Custom\r\n");
  Load("FlowControl=sometimes\r\n");
  EXPECT_EQ(port.FlowControl().ControlRTS(), TRTSFlowControl::rtsHandshake);
  EXPECT_TRUE(port.FlowControl().XonXoffIn());

  Load("FlowControl=none\r\n");
  EXPECT_EQ(port.FlowControl().FlowControl(), TFlowControl::fcNone);
}

TEST_F(PortSettingsTest, ModemControlIsNeitherStoredNorLoaded) {
  port.SetModemControl(true);
  Load("FlowControl=None\r\n");
  EXPECT_TRUE(port.ModemControl());
  port.Open();
  EXPECT_EQ(line->last_state.dtr_control, 1);
  EXPECT_EQ(line->last_state.rts_control, 1);
  port.StoreSettings(PortStoreKind::stIniFile, dir.File("new.ini"));
  EXPECT_EQ(dir.Read("new.ini"),
            "[ComPortCallerID]\r\n"
            "Port=COM1\r\n"
            "BaudRate=9600\r\n"
            "StopBits=1\r\n"
            "DataBits=8\r\n"
            "Parity=None\r\n"
            "FlowControl=None\r\n");
}

TEST_F(PortSettingsTest, LoadingIntoAnOpenPortAppliesOnceAtTheEnd) {
  port.Open();
  line->ClearCalls();
  Load(
      "Port=COM1\r\nBaudRate=19200\r\nDataBits=7\r\nParity=Odd\r\nFlowControl="
      "Hardware\r\n");
  EXPECT_THAT(line->Calls(),
              ElementsAre("SetupQueues 1024 1024", "SetState", "SetTimeouts"));
  EXPECT_EQ(line->last_state.baud_rate, 19200u);
  EXPECT_EQ(line->last_state.byte_size, 7);

  // A new name reopens at once, inside the load.
  line->ClearCalls();
  Load("Port=COM5\r\n");
  const auto calls = line->Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "Open COM5"), calls.end());
  EXPECT_TRUE(port.Connected());
}

TEST_F(PortSettingsTest, FailedLoadIsKind17AndClosesTheBracket) {
  port.Open();
  line->FailCall("Open", 2);
  try {
    Load("Port=COM8\r\nBaudRate=4800\r\n");
    FAIL() << "loaded";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.Kind(), 17);
    EXPECT_EQ(e.message(), u"COM8 Error: Failed to load settings");
  }
  EXPECT_EQ(port.UpdateCount(), 0);
  EXPECT_FALSE(port.Connected());

  // Applying at the end of the bracket fails the same way.
  line->FailCall("Open", 0);
  port.Open();
  line->FailCall("SetState", 87);
  try {
    Load("BaudRate=2400\r\n");
    FAIL() << "loaded";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.Kind(), 17);
    EXPECT_EQ(e.message(), u"COM8 Error: Failed to load settings");
  }
  EXPECT_EQ(port.UpdateCount(), 0);
  EXPECT_EQ(port.BaudRate(), TBaudRate::br2400);
}

TEST_F(PortSettingsTest, OnlyTheIniFileIsSupported) {
  EXPECT_THROW(port.StoreSettings(PortStoreKind::stRegistry, path),
               SerialPortError);
  EXPECT_THROW(port.LoadSettings(PortStoreKind::stRegistry, path),
               SerialPortError);
  EXPECT_THAT(line->Calls(), IsEmpty());
}

}  // namespace
}  // namespace orvanta
