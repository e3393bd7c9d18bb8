// calleridcomport.ini against the Windows profile functions, which wrote
// the file before the program read and wrote it itself.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/test/temp_folder.h"
#include "serial/port_settings_file.h"

namespace orvanta {
namespace {

std::wstring Wide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

TEST(PortSettingsFileWin, WhatTheProfileFunctionsWroteReadsTheSame) {
  TempFolder dir;
  const std::wstring path = Wide(dir.File("calleridcomport.ini"));
  const wchar_t* const lines[][2] = {
      {L"Port", L"COM\u00fc4"},      {L"BaudRate", L"Custom"},
      {L"CustomBaudRate", L"31250"}, {L"StopBits", L"2"},
      {L"DataBits", L"7"},           {L"Parity", L"Even"},
      {L"FlowControl", L"Hardware"},
  };
  for (const auto& [key, value] : lines) {
    ASSERT_TRUE(WritePrivateProfileStringW(L"ComPortCallerID", key, value,
                                           path.c_str()));
  }
  const LineSettings line{.port = u"COM\u00fc4",
                          .baud_rate = BaudRate::kCustom,
                          .custom_baud_rate = 31250,
                          .data_bits = DataBits::kSeven,
                          .stop_bits = StopBits::kTwo,
                          .parity = Parity::kEven,
                          .flow_control = FlowControl::kHardware};
  EXPECT_EQ(ReadPortSettingsFile(dir.File("calleridcomport.ini"), {}), line);
}

TEST(PortSettingsFileWin, WhatTheProgramWritesTheProfileFunctionsReadTheSame) {
  TempFolder dir;
  const std::wstring path = Wide(dir.File("calleridcomport.ini"));
  WritePrivateProfileStringW(L"Other", L"Keep", L"1", path.c_str());
  WritePortSettingsFile(dir.File("calleridcomport.ini"),
                        {.port = u"COM12",
                         .baud_rate = BaudRate::k115200,
                         .parity = Parity::kOdd,
                         .flow_control = FlowControl::kSoftware});
  auto read = [&](const wchar_t* section, const wchar_t* key) {
    wchar_t value[64] = {};
    GetPrivateProfileStringW(section, key, L"<none>", value, 64, path.c_str());
    return std::wstring(value);
  };
  EXPECT_EQ(read(L"ComPortCallerID", L"Port"), L"COM12");
  EXPECT_EQ(read(L"ComPortCallerID", L"BaudRate"), L"115200");
  EXPECT_EQ(read(L"ComPortCallerID", L"CustomBaudRate"), L"<none>");
  EXPECT_EQ(read(L"ComPortCallerID", L"StopBits"), L"1");
  EXPECT_EQ(read(L"ComPortCallerID", L"DataBits"), L"8");
  EXPECT_EQ(read(L"ComPortCallerID", L"Parity"), L"Odd");
  EXPECT_EQ(read(L"ComPortCallerID", L"FlowControl"), L"Software");
  EXPECT_EQ(read(L"Other", L"Keep"), L"1");
}

}  // namespace
}  // namespace orvanta
