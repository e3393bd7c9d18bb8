#include "settings/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/failure.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

TEST(SettingsFileWindows, FileHeldOpenForWritingCannotBeRead) {
  TempFolder folder;
  const std::u16string path = folder.File(u"Setting.ini");
  WriteBytes(path, "[VmStored]\r\n");
  const HANDLE writer =
      CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  std::u16string message;
  try {
    ReadWholeFile(path);
  } catch (const Failure& failure) {
    message = failure.message();
  }
  CloseHandle(writer);
  EXPECT_TRUE(message.starts_with(u"Cannot open file \"" + path + u"\". "));
  EXPECT_EQ(*ReadWholeFile(path), "[VmStored]\r\n");
}

}  // namespace
}  // namespace orvanta
