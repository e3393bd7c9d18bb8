// calleridcomport.ini: what is written, how a stored file reads, and the
// port taking it on.

#include "serial/port_settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/test/temp_folder.h"
#include "base/ui_handover.h"
#include "serial/serial_port.h"
#include "serial/test/fake_serial_device.h"

namespace orvanta {
namespace {

using namespace std::string_literals;

constexpr char kDefaultFile[] =
    "[ComPortCallerID]\r\n"
    "Port=COM1\r\n"
    "BaudRate=9600\r\n"
    "StopBits=1\r\n"
    "DataBits=8\r\n"
    "Parity=None\r\n"
    "FlowControl=None\r\n";

// The section's body as the port reads it.
LineSettings Read(const std::string& body, const LineSettings& current = {}) {
  return ReadPortSettings("[ComPortCallerID]\r\n" + body, current);
}

TEST(PortSettingsFile, ANewFileHoldsTheSevenLines) {
  EXPECT_EQ(WritePortSettings("", LineSettings{}), kDefaultFile);

  LineSettings line{.port = u"COM12",
                    .baud_rate = BaudRate::kCustom,
                    .custom_baud_rate = 31250,
                    .data_bits = DataBits::kFive,
                    .stop_bits = StopBits::kOneAndHalf,
                    .parity = Parity::kMark,
                    .flow_control = FlowControl::kSoftware};
  EXPECT_EQ(WritePortSettings("", line),
            "[ComPortCallerID]\r\n"
            "Port=COM12\r\n"
            "BaudRate=Custom\r\n"
            "CustomBaudRate=31250\r\n"
            "StopBits=1.5\r\n"
            "DataBits=5\r\n"
            "Parity=Mark\r\n"
            "FlowControl=Software\r\n");
  // An empty name is written as nothing; the modem control not at all.
  line = LineSettings{.port = u"", .modem_control = true};
  EXPECT_EQ(WritePortSettings("", line),
            "[ComPortCallerID]\r\nPort=\r\n"s + (kDefaultFile + 30));
}

TEST(PortSettingsFile, WritingKeepsWhatElseTheFileHolds) {
  struct Case {
    const char* name;
    std::string before;
    std::string after;  // with the defaults written
  };
  const std::string keys =
      "BaudRate=9600\r\nStopBits=1\r\nDataBits=8\r\nParity=None\r\n"
      "FlowControl=None\r\n";
  const Case cases[] = {
      {"new section after the others", "[Other]\r\na=1\r\n",
       "[Other]\r\na=1\r\n\r\n"s + kDefaultFile},
      {"last line without a line break", "[Other]\r\na=1",
       "[Other]\r\na=1\r\n\r\n"s + kDefaultFile},
      {"section and key in other letter case",
       "[comportcallerid]\r\nport=COM7\r\nX=1\r\n[Other]\r\nPort=COM9\r\n",
       "[comportcallerid]\r\nport=COM1\r\nX=1\r\n" + keys +
           "\r\n[Other]\r\nPort=COM9\r\n"},
      {"only the first of two equal keys",
       "[ComPortCallerID]\r\nPort=COM7\r\nPort=COM8\r\n",
       "[ComPortCallerID]\r\nPort=COM1\r\nPort=COM8\r\n" + keys},
      {"a key for a custom speed stays when the speed is not custom",
       "[ComPortCallerID]\r\nCustomBaudRate=31250\r\n",
       "[ComPortCallerID]\r\nCustomBaudRate=31250\r\nPort=COM1\r\n" + keys},
      {"keys in another order keep their places",
       "[ComPortCallerID]\r\nParity=Odd\r\nPort=COM4\r\n",
       "[ComPortCallerID]\r\nParity=None\r\nPort=COM1\r\nBaudRate=9600\r\n"
       "StopBits=1\r\nDataBits=8\r\nFlowControl=None\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WritePortSettings(c.before, LineSettings{}), c.after);
  }
}

// Files that end in a lone CR: what is written reads back, and writing it
// again changes nothing.
TEST(PortSettingsFile, WrittenValuesReadBackAfterALoneCarriageReturn) {
  const LineSettings odd{.port = u"COM7", .parity = Parity::kOdd};
  for (const char* before : {"\r", "[Other]\r\na=1\r", "[ComPortCallerID]\r",
                             "[ComPortCallerID]\r\nPort=COM3\r"}) {
    SCOPED_TRACE(before);
    const std::string written = WritePortSettings(before, odd);
    EXPECT_EQ(ReadPortSettings(written, LineSettings{}), odd);
    EXPECT_EQ(WritePortSettings(written, odd), written);
  }
}

TEST(PortSettingsFile, NamesAndValuesAreMatchedWithoutRegardToCase) {
  const LineSettings line = ReadPortSettings(
      "; comment\r\n"
      "[Other]\r\nPort=COM9\r\n"
      "[COMPORTCALLERID]\r\n"
      "port=COM4\r\nPort=COM8\r\n"
      "  BAUDRATE  =  115200  \r\n"
      "stopbits=2\r\nDataBits=7\r\nparity=\"even\"\r\nFlowControl='hardware'"
      "\r\n"
      "[ComPortCallerID]\r\nDataBits=5\r\n",
      LineSettings{});
  EXPECT_EQ(line.port, u"COM4");  // the first of equal names
  EXPECT_EQ(line.baud_rate, BaudRate::k115200);
  EXPECT_EQ(line.stop_bits, StopBits::kTwo);
  EXPECT_EQ(line.data_bits, DataBits::kSeven);
  EXPECT_EQ(line.parity, Parity::kEven);
  EXPECT_EQ(line.flow_control, FlowControl::kHardware);

  // A quote that is not closed is part of the value.
  EXPECT_EQ(Read("Port=\"COM5\r\n").port, u"\"COM5");
  EXPECT_EQ(Read("Port=\r\n").port, u"");
  EXPECT_EQ(Read("Port=" + std::string(3000, 'p') + "\r\n").port,
            std::u16string(kPortSettingsValueMax, u'p'));
}

TEST(PortSettingsFile, MissingKeysKeepTheValueUnknownOnesGiveTheDefault) {
  const LineSettings current{.port = u"COM3",
                             .baud_rate = BaudRate::k19200,
                             .data_bits = DataBits::kSix,
                             .stop_bits = StopBits::kTwo,
                             .parity = Parity::kOdd,
                             .flow_control = FlowControl::kSoftware,
                             .modem_control = true};
  EXPECT_EQ(ReadPortSettings("", current), current);
  EXPECT_EQ(ReadPortSettings("[Other]\r\nPort=COM9\r\n", current), current);
  EXPECT_EQ(Read("ModemControl=False\r\nDiscardNull=Yes\r\n", current),
            current);

  const LineSettings line = Read(
      "BaudRate=fast\r\nParity=none2\r\nStopBits=3\r\nDataBits=9\r\n", current);
  EXPECT_EQ(line.port, u"COM3");
  EXPECT_EQ(line.baud_rate, BaudRate::k9600);
  EXPECT_EQ(line.parity, Parity::kNone);
  EXPECT_EQ(line.stop_bits, StopBits::kOne);
  EXPECT_EQ(line.data_bits, DataBits::kEight);

  // "Custom", or a text that names nothing, leaves the flow control.
  for (const char* body : {"FlowControl=Custom\r\n", "FlowControl=often\r\n"}) {
    EXPECT_EQ(Read(body, current).flow_control, FlowControl::kSoftware) << body;
  }
  EXPECT_EQ(Read("FlowControl=none\r\n", current).flow_control,
            FlowControl::kNone);
}

TEST(PortSettingsFile, CustomBaudRate) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"BaudRate=Custom\r\n", 9600},
      {"BaudRate=custom\r\nCustomBaudRate=0x2580\r\n", 9600},
      {"BaudRate=Custom\r\nCustomBaudRate=0X1c200\r\n", 115200},
      {"BaudRate=Custom\r\nCustomBaudRate=31250\r\n", 31250},
      {"BaudRate=Custom\r\nCustomBaudRate=0x\r\n", 9600},
      {"BaudRate=Custom\r\nCustomBaudRate=12ab\r\n", 9600},
      {"BaudRate=Custom\r\nCustomBaudRate=99999999999\r\n", 9600},
  };
  const LineSettings current{.custom_baud_rate = 4800};
  for (const auto& [body, rate] : cases) {
    const LineSettings line = Read(body, current);
    EXPECT_EQ(line.baud_rate, BaudRate::kCustom) << body;
    EXPECT_EQ(line.BitsPerSecond(), rate) << body;
  }
  // Without a custom speed the key is not read.
  const LineSettings line =
      Read("BaudRate=2400\r\nCustomBaudRate=31250\r\n", current);
  EXPECT_EQ(line.custom_baud_rate, 4800);
  EXPECT_EQ(line.BitsPerSecond(), 2400u);
}

TEST(PortSettingsFile, FilesOfEarlierVersionsInTheirEncodings) {
  const std::u16string port = u"COM\u00fc";
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"ANSI code page", "[ComPortCallerID]\r\nPort=COM\xFC\r\n"},
      {"UTF-8", "[ComPortCallerID]\r\nPort=COM\xC3\xBC\r\n"},
      {"UTF-8 with its mark",
       "\xEF\xBB\xBF[ComPortCallerID]\r\nPort=COM\xC3\xBC"},
      {"UTF-16 with its mark",
       "\xFF\xFE[\0C\0o\0m\0P\0o\0r\0t\0C\0a\0l\0l\0e\0r\0I\0D\0]\0\r\0\n\0"
       "P\0o\0r\0t\0=\0C\0O\0M\0\xFC\0\r\0\n\0"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadPortSettings(c.bytes, LineSettings{}).port, port);
  }
  // Written back as UTF-8, without a mark.
  EXPECT_EQ(WritePortSettings(cases[0].bytes, LineSettings{.port = port}),
            "[ComPortCallerID]\r\nPort=COM\xC3\xBC\r\n"s + (kDefaultFile + 30));
}

// The port with the file.
class PortSettingsTest : public ::testing::Test {
 protected:
  PortSettingsTest()
      : hardware(std::make_shared<FakeSerialHardware>()),
        port(ui, std::make_unique<FakeSerialDevice>(hardware)),
        path(dir.File("calleridcomport.ini")) {}

  void Load(const std::string& body) {
    dir.Write("calleridcomport.ini", "[ComPortCallerID]\r\n" + body);
    port.LoadSettings(path);
  }

  TempFolder dir;
  UiHandover ui;
  std::shared_ptr<FakeSerialHardware> hardware;
  SerialPort port;
  std::u16string path;
};

TEST_F(PortSettingsTest, StoredAndLoadedBack) {
  port.StoreSettings(path);
  EXPECT_EQ(dir.Read("calleridcomport.ini"), kDefaultFile);
  // Only the file is left behind, no temporary one.
  EXPECT_EQ(dir.Entries().size(), 1u);

  const LineSettings line{.port = u"COM4", .baud_rate = BaudRate::k57600};
  port.SetLine(line);
  port.StoreSettings(path);
  port.SetLine({});
  port.LoadSettings(path);
  EXPECT_EQ(port.Line(), line);

  // No file: nothing changes.
  port.LoadSettings(dir.File("none.ini"));
  EXPECT_EQ(port.Line(), line);
}

TEST_F(PortSettingsTest, StoreThatFailsSaysSo) {
  try {
    port.StoreSettings(dir.File("missing/calleridcomport.ini"));
    FAIL() << "stored";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kStoreSettings);
    EXPECT_EQ(e.message(), u"COM1 Error: Failed to store settings");
  }
}

TEST_F(PortSettingsTest, ModemControlIsNeitherStoredNorLoaded) {
  port.SetModemControl(true);
  Load("FlowControl=Hardware\r\nModemControl=False\r\n");
  EXPECT_TRUE(port.Line().modem_control);
  port.Open();
  EXPECT_TRUE(hardware->Line()->modem_control);
  EXPECT_EQ(hardware->Line()->flow_control, FlowControl::kHardware);
  port.StoreSettings(dir.File("new.ini"));
  EXPECT_EQ(dir.Read("new.ini"),
            "[ComPortCallerID]\r\nPort=COM1\r\nBaudRate=9600\r\nStopBits=1\r\n"
            "DataBits=8\r\nParity=None\r\nFlowControl=Hardware\r\n");
}

TEST_F(PortSettingsTest, LoadingIntoAnOpenPortTakesEffectAtOnce) {
  port.Open();
  Load("Port=COM1\r\nBaudRate=19200\r\nDataBits=7\r\nParity=Odd\r\n");
  EXPECT_EQ(hardware->Opens(), 1);
  EXPECT_EQ(hardware->Line()->BitsPerSecond(), 19200u);
  EXPECT_EQ(hardware->Line()->data_bits, DataBits::kSeven);
  EXPECT_EQ(hardware->Line()->parity, Parity::kOdd);

  // A new name reopens at once.
  Load("Port=COM5\r\n");
  EXPECT_EQ(hardware->Opens(), 2);
  EXPECT_EQ(hardware->Line()->port, u"COM5");
  EXPECT_TRUE(port.Connected());
}

TEST_F(PortSettingsTest, LoadThatCannotBeTakenOnSaysSo) {
  port.Open();
  hardware->Fail(SerialFailure::kOpen, 2);
  try {
    Load("Port=COM8\r\nBaudRate=4800\r\n");
    FAIL() << "loaded";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kLoadSettings);
    EXPECT_EQ(e.message(), u"COM8 Error: Failed to load settings");
  }
  EXPECT_FALSE(port.Connected());

  hardware->Fail(SerialFailure::kOpen, 0);
  port.Open();
  hardware->Fail(SerialFailure::kLineSettings, 87);
  try {
    Load("BaudRate=2400\r\n");
    FAIL() << "loaded";
  } catch (const SerialPortError& e) {
    EXPECT_EQ(e.message(), u"COM8 Error: Failed to load settings");
  }
  EXPECT_EQ(port.Line().baud_rate, BaudRate::k2400);
  EXPECT_TRUE(port.Connected());
}

}  // namespace
}  // namespace orvanta
