// The installer run silently, as an office deploys it: what it puts in
// place, the program started from there, an upgrade over a running program
// and the uninstaller. Each test starts from a user with nothing installed.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvanta";
constexpr wchar_t kMainWindowClass[] = L"OrvantaMainWindow";

// The build hands over a Unix path; Wine maps the root to drive Z:.
std::wstring WindowsPath(const char* unix_path) {
  std::wstring result;
  for (const char* c = unix_path; *c; ++c) result += *c == '/' ? L'\\' : wchar_t(*c);
  if (!result.empty() && result[0] == L'\\') result = L"Z:" + result;
  return result;
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
  return path;
}

std::wstring InstallFolder() {
  return ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Orvanta\\";
}
std::wstring Shortcut() { return ShellFolder(CSIDL_PROGRAMS) + L"\\Orvanta.lnk"; }

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

// A text value of the current user's registry, or nothing.
std::optional<std::wstring> RegistryText(const wchar_t* key, const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

bool KeyExists(const wchar_t* key) {
  HKEY handle;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

bool WaitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

// Runs a command line to its end; its exit code.
DWORD RunToEnd(std::wstring command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start the command, error " << GetLastError();
    return ~DWORD{0};
  }
  CloseHandle(process.hThread);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
  DWORD code = ~DWORD{0};
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  return code;
}

DWORD InstallSilently() {
  return RunToEnd(L"\"" + WindowsPath(ORVANTA_SETUP_PATH) + L"\" /S");
}

// The uninstaller hands over to a copy of itself in the temporary folder and
// returns at once; it is done when its uninstall entry, removed last, is gone.
void UninstallSilently() {
  EXPECT_EQ(RunToEnd(L"\"" + InstallFolder() + L"uninstall.exe\" /S"), 0u);
  EXPECT_TRUE(WaitUntil([] { return !KeyExists(kUninstallKey); }));
}

// The process of this user's Orvanta main window, or 0.
DWORD RunningProgram() {
  HWND window = FindWindowW(kMainWindowClass, nullptr);
  DWORD process_id = 0;
  if (window) GetWindowThreadProcessId(window, &process_id);
  return process_id;
}

void EndProcess(DWORD process_id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id);
  ASSERT_NE(process, nullptr);
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 30000);
  CloseHandle(process);
}

// A started program; ended by its process handle if it still runs.
class Started {
 public:
  explicit Started(std::wstring path) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command_line = L"\"" + path + L"\"";
    EXPECT_TRUE(CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr,
                               FALSE, 0, nullptr, nullptr, &startup, &process_));
  }
  ~Started() {
    if (!process_.hProcess) return;
    if (Running()) TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 30000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  bool Ended() const { return WaitForSingleObject(process_.hProcess, 60000) == WAIT_OBJECT_0; }
  DWORD id() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_{};
};

class InstallerTest : public ::testing::Test {
 protected:
  // Nothing of an earlier run stays: no program, folder, shortcut or keys.
  void SetUp() override {
    while (DWORD id = RunningProgram()) EndProcess(id);
    // An ended program lets go of its file a moment later.
    const std::wstring folder = InstallFolder();
    EXPECT_TRUE(WaitUntil([&] {
      for (const wchar_t* name : {L"Orvanta.exe", L"uninstall.exe", L"Setting.ini",
                                  L"calleridcomport.ini"}) {
        DeleteFileW((folder + name).c_str());
      }
      RemoveDirectoryW(folder.c_str());
      return !Exists(folder);
    }));
    DeleteFileW(Shortcut().c_str());
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Orvanta");
    RegDeleteKeyW(HKEY_CURRENT_USER, kUninstallKey);
    ASSERT_FALSE(Exists(folder));
  }
  void TearDown() override {
    while (DWORD id = RunningProgram()) EndProcess(id);
  }
};

TEST_F(InstallerTest, SilentInstallPutsEverythingInPlaceAndTheProgramRunsFromThere) {
  ASSERT_EQ(InstallSilently(), 0u);

  const std::wstring program = InstallFolder() + L"Orvanta.exe";
  EXPECT_TRUE(Exists(program));
  EXPECT_TRUE(Exists(InstallFolder() + L"uninstall.exe"));
  EXPECT_TRUE(Exists(Shortcut()));
  EXPECT_EQ(RegistryText(kRunKey, L"Orvanta"), L"\"" + program + L"\"");
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayName"), L"Orvanta");
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayVersion"), L"" ORVANTA_VERSION);
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"),
            L"\"" + InstallFolder() + L"uninstall.exe\"");
  EXPECT_EQ(RegistryText(kUninstallKey, L"QuietUninstallString"),
            L"\"" + InstallFolder() + L"uninstall.exe\" /S");
  // A silent first install leaves the start to the next logon.
  EXPECT_EQ(RunningProgram(), 0u);

  // Started from there it comes up with its (hidden) main window and stays.
  Started started(program);
  ASSERT_TRUE(WaitUntil([&] { return RunningProgram() == started.id(); }));
  EXPECT_TRUE(started.Running());
}

TEST_F(InstallerTest, UpgradeKeepsTheSettingsAndRestartsTheRunningProgram) {
  ASSERT_EQ(InstallSilently(), 0u);
  const std::string settings = "[CALLERID]\r\nUDPPORT=18911\r\n";
  const std::string port_settings = "[COMPORT]\r\nBaudRate=9600\r\n";
  WriteBytes(InstallFolder() + L"Setting.ini", settings);
  WriteBytes(InstallFolder() + L"calleridcomport.ini", port_settings);
  Started before(InstallFolder() + L"Orvanta.exe");
  ASSERT_TRUE(WaitUntil([&] { return RunningProgram() == before.id(); }));

  ASSERT_EQ(InstallSilently(), 0u);

  EXPECT_TRUE(before.Ended());
  EXPECT_EQ(ReadBytes(InstallFolder() + L"Setting.ini"), settings);
  EXPECT_EQ(ReadBytes(InstallFolder() + L"calleridcomport.ini"), port_settings);
  EXPECT_TRUE(Exists(InstallFolder() + L"Orvanta.exe"));
  EXPECT_TRUE(WaitUntil([&] {
    const DWORD now = RunningProgram();
    return now != 0 && now != before.id();
  }));
}

TEST_F(InstallerTest, SilentUninstallRemovesAllButTheSettingsFiles) {
  ASSERT_EQ(InstallSilently(), 0u);
  WriteBytes(InstallFolder() + L"Setting.ini", "[CALLERID]\r\n");
  WriteBytes(InstallFolder() + L"calleridcomport.ini", "[COMPORT]\r\n");
  Started running(InstallFolder() + L"Orvanta.exe");
  ASSERT_TRUE(WaitUntil([&] { return RunningProgram() == running.id(); }));

  UninstallSilently();

  EXPECT_TRUE(running.Ended());
  EXPECT_FALSE(Exists(InstallFolder() + L"Orvanta.exe"));
  EXPECT_FALSE(Exists(Shortcut()));
  EXPECT_EQ(RegistryText(kRunKey, L"Orvanta"), std::nullopt);
  EXPECT_FALSE(KeyExists(kUninstallKey));
  EXPECT_EQ(ReadBytes(InstallFolder() + L"Setting.ini"), "[CALLERID]\r\n");
  EXPECT_EQ(ReadBytes(InstallFolder() + L"calleridcomport.ini"), "[COMPORT]\r\n");
}

TEST_F(InstallerTest, UninstallOfAnUntouchedInstallLeavesNoFolder) {
  ASSERT_EQ(InstallSilently(), 0u);
  UninstallSilently();
  EXPECT_FALSE(Exists(InstallFolder()));
}

}  // namespace
