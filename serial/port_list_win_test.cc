#include "serial/port_list_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "serial/serial_error.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;

constexpr wchar_t kTestKey[] = L"Software\\OrvantaSerialTest\\SERIALCOMM";

class PortsInRegistryKeyTest : public ::testing::Test {
 protected:
  ~PortsInRegistryKeyTest() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrvantaSerialTest");
  }
  void AddPort(const wchar_t* device, const wchar_t* name) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, device, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
};

TEST_F(PortsInRegistryKeyTest, ValueDataSortedWithoutRegardToCase) {
  AddPort(L"\\Device\\Serial0", L"COM2");
  AddPort(L"\\Device\\Serial1", L"COM10");
  AddPort(L"\\Device\\VCP0", L"com3");
  EXPECT_THAT(ListPortsInRegistryKey(HKEY_CURRENT_USER, kTestKey),
              ElementsAre(u"COM10", u"COM2", u"com3"));
}

TEST_F(PortsInRegistryKeyTest, MissingKeyIsARegistryError) {
  try {
    ListPortsInRegistryKey(HKEY_CURRENT_USER, kTestKey);
    FAIL() << "listed";
  } catch (const SerialPortSystemError& e) {
    EXPECT_EQ(e.Kind(), SerialFailure::kPortRegistry);
    EXPECT_EQ(e.SystemErrorCode(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(e.message(), u"COM Port Error: Registry error on EnumComPorts");
  }
}

}  // namespace
}  // namespace orvanta
