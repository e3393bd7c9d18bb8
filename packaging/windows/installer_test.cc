// The installer run silently, as an office deploys it: what it puts in
// place, the programs started from there, an upgrade over running programs
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
#include <utility>

namespace {

constexpr wchar_t kRunKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvanta";
constexpr wchar_t kMainWindowClass[] = L"OrvantaMainWindow";
constexpr wchar_t kReceiverWindowClass[] = L"OrvantaAliciHistory";
constexpr wchar_t kReceiverRunValue[] = L"OrvantaAlici";
// The files each program keeps beside itself, and what the tests write there.
const std::pair<const wchar_t*, std::string> kSenderFiles[] = {
    {L"Setting.ini", "[CALLERID]\r\nUDPPORT=18911\r\n"},
    {L"calleridcomport.ini", "[COMPORT]\r\nBaudRate=9600\r\n"}};
const std::pair<const wchar_t*, std::string> kReceiverFiles[] = {
    {L"Alici.ini", "[VmStored]\r\nUDPPORT=18976\r\n"},
    {L"AliciGecmis.csv",
     "2026-01-02 10:11:12;1;0212 555 01 02;Ay\xC5\x9F"
     "e\r\n"},
    {L"Rehber.csv",
     "0212 555 01 02;Ay\xC5\x9F"
     "e\n"}};

// The build hands over a Unix path; Wine maps the root to drive Z:.
std::wstring WindowsPath(const char* unix_path) {
  std::wstring result;
  for (const char* c = unix_path; *c; ++c)
    result += *c == '/' ? L'\\' : wchar_t(*c);
  if (!result.empty() && result[0] == L'\\') result = L"Z:" + result;
  return result;
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path),
            S_OK);
  return path;
}

std::wstring InstallFolder() {
  return ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Orvanta\\";
}
std::wstring Shortcut() {
  return ShellFolder(CSIDL_PROGRAMS) + L"\\Orvanta.lnk";
}
std::wstring ReceiverShortcut() {
  return ShellFolder(CSIDL_PROGRAMS) + L"\\Orvanta Alici.lnk";
}
std::wstring Receiver() { return InstallFolder() + L"OrvantaAlici.exe"; }

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
std::optional<std::wstring> RegistryText(const wchar_t* key,
                                         const wchar_t* name) {
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
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) !=
      ERROR_SUCCESS)
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

// `options` follow /S, each with a blank before it.
DWORD InstallSilently(const std::wstring& options = L"") {
  return RunToEnd(L"\"" + WindowsPath(ORVANTA_SETUP_PATH) + L"\" /S" + options);
}

// The uninstaller hands over to a copy of itself in the temporary folder and
// returns at once; it is done when its uninstall entry, removed last, is gone.
void UninstallSilently() {
  EXPECT_EQ(RunToEnd(L"\"" + InstallFolder() + L"uninstall.exe\" /S"), 0u);
  EXPECT_TRUE(WaitUntil([] { return !KeyExists(kUninstallKey); }));
}

// The process of a program of this user, by its window class, or 0.
DWORD RunningProcess(const wchar_t* window_class) {
  HWND window = FindWindowW(window_class, nullptr);
  DWORD process_id = 0;
  if (window) GetWindowThreadProcessId(window, &process_id);
  return process_id;
}
DWORD RunningProgram() { return RunningProcess(kMainWindowClass); }
DWORD RunningReceiver() { return RunningProcess(kReceiverWindowClass); }

template <size_t N>
void WriteAll(const std::pair<const wchar_t*, std::string> (&files)[N]) {
  for (const auto& [name, bytes] : files)
    WriteBytes(InstallFolder() + name, bytes);
}
template <size_t N>
void ExpectKept(const std::pair<const wchar_t*, std::string> (&files)[N]) {
  for (const auto& [name, bytes] : files) {
    EXPECT_EQ(ReadBytes(InstallFolder() + name), bytes) << name;
  }
}

void EndProcess(DWORD process_id) {
  HANDLE process =
      OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id);
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
    EXPECT_TRUE(CreateProcessW(path.c_str(), command_line.data(), nullptr,
                               nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process_));
  }
  ~Started() {
    if (!process_.hProcess) return;
    if (Running()) TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 30000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool Running() const {
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }
  bool Ended() const {
    return WaitForSingleObject(process_.hProcess, 60000) == WAIT_OBJECT_0;
  }
  DWORD id() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_{};
};

void EndAllPrograms() {
  while (DWORD id = RunningProgram()) EndProcess(id);
  while (DWORD id = RunningReceiver()) EndProcess(id);
}

// Nothing of an earlier install stays: no program, folder, shortcut or keys.
void RemoveEverything() {
  EndAllPrograms();
  // An ended program lets go of its file a moment later.
  const std::wstring folder = InstallFolder();
  EXPECT_TRUE(WaitUntil([&] {
    for (const wchar_t* name :
         {L"Orvanta.exe", L"OrvantaAlici.exe", L"uninstall.exe", L"Setting.ini",
          L"calleridcomport.ini", L"Alici.ini", L"AliciGecmis.csv",
          L"Rehber.csv"}) {
      DeleteFileW((folder + name).c_str());
    }
    RemoveDirectoryW(folder.c_str());
    return !Exists(folder);
  }));
  DeleteFileW(Shortcut().c_str());
  DeleteFileW(ReceiverShortcut().c_str());
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Orvanta");
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kReceiverRunValue);
  RegDeleteKeyW(HKEY_CURRENT_USER, kUninstallKey);
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveEverything();
    ASSERT_FALSE(Exists(InstallFolder()));
  }
  void TearDown() override { EndAllPrograms(); }
};

TEST_F(InstallerTest,
       SilentInstallPutsEverythingInPlaceAndTheProgramRunsFromThere) {
  ASSERT_EQ(InstallSilently(), 0u);

  const std::wstring program = InstallFolder() + L"Orvanta.exe";
  EXPECT_TRUE(Exists(program));
  EXPECT_TRUE(Exists(InstallFolder() + L"uninstall.exe"));
  EXPECT_TRUE(Exists(Shortcut()));
  EXPECT_EQ(RegistryText(kRunKey, L"Orvanta"), L"\"" + program + L"\"");
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayName"), L"Orvanta");
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayVersion"),
            L"" ORVANTA_VERSION);
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

// What a silent install sets up, by its command line: the receiver only when
// asked for, Orvanta's start at logon unless turned off (a PC that only
// receives).
TEST_F(InstallerTest, TheCommandLineChoosesTheComponents) {
  const struct {
    const wchar_t* options;
    bool receiver;
    bool sender_autostart;
  } cases[] = {
      {L"", false, true},
      {L" /ALICI", true, true},
      {L" /alici=1 /AUTOSTART=0", true, false},
      {L" /ALICI=0", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "options:" << c.options);
    RemoveEverything();
    ASSERT_EQ(InstallSilently(c.options), 0u);
    EXPECT_TRUE(Exists(InstallFolder() + L"Orvanta.exe"));
    EXPECT_TRUE(Exists(Shortcut()));
    EXPECT_EQ(RegistryText(kRunKey, L"Orvanta").has_value(),
              c.sender_autostart);
    EXPECT_EQ(Exists(Receiver()), c.receiver);
    EXPECT_EQ(Exists(ReceiverShortcut()), c.receiver);
    EXPECT_EQ(
        RegistryText(kRunKey, kReceiverRunValue),
        c.receiver ? std::optional(L"\"" + Receiver() + L"\"") : std::nullopt);
    EXPECT_EQ(RunningReceiver(), 0u);
  }
}

// Both programs running: an upgrade ends both, replaces them, keeps every
// file they wrote, and starts both again. An installed receiver stays
// without /ALICI.
TEST_F(InstallerTest,
       UpgradeKeepsTheReceiverAndItsFilesAndRestartsBothPrograms) {
  ASSERT_EQ(InstallSilently(L" /ALICI"), 0u);
  WriteAll(kSenderFiles);
  WriteAll(kReceiverFiles);
  Started sender(InstallFolder() + L"Orvanta.exe");
  Started receiver(Receiver());
  ASSERT_TRUE(WaitUntil([&] { return RunningProgram() == sender.id(); }));
  ASSERT_TRUE(WaitUntil([&] { return RunningReceiver() == receiver.id(); }));

  ASSERT_EQ(InstallSilently(), 0u);

  EXPECT_TRUE(sender.Ended());
  EXPECT_TRUE(receiver.Ended());
  ExpectKept(kSenderFiles);
  ExpectKept(kReceiverFiles);
  EXPECT_TRUE(Exists(Receiver()));
  EXPECT_TRUE(Exists(ReceiverShortcut()));
  EXPECT_EQ(RegistryText(kRunKey, kReceiverRunValue),
            L"\"" + Receiver() + L"\"");
  EXPECT_TRUE(WaitUntil([&] {
    const DWORD now = RunningReceiver();
    return now != 0 && now != receiver.id();
  }));
  EXPECT_TRUE(WaitUntil([&] {
    const DWORD now = RunningProgram();
    return now != 0 && now != sender.id();
  }));
}

// /ALICI=0 over an installed receiver takes it away, but not what it wrote.
TEST_F(InstallerTest, UpgradeWithoutTheReceiverRemovesItAndKeepsItsFiles) {
  ASSERT_EQ(InstallSilently(L" /ALICI"), 0u);
  WriteAll(kReceiverFiles);
  Started receiver(Receiver());
  ASSERT_TRUE(WaitUntil([&] { return RunningReceiver() == receiver.id(); }));

  ASSERT_EQ(InstallSilently(L" /ALICI=0"), 0u);

  EXPECT_TRUE(receiver.Ended());
  EXPECT_FALSE(Exists(Receiver()));
  EXPECT_FALSE(Exists(ReceiverShortcut()));
  EXPECT_EQ(RegistryText(kRunKey, kReceiverRunValue), std::nullopt);
  ExpectKept(kReceiverFiles);
  EXPECT_EQ(RunningReceiver(), 0u);
  EXPECT_TRUE(Exists(InstallFolder() + L"Orvanta.exe"));
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
  ASSERT_EQ(InstallSilently(L" /ALICI"), 0u);
  WriteAll(kSenderFiles);
  WriteAll(kReceiverFiles);
  Started running(InstallFolder() + L"Orvanta.exe");
  Started receiver(Receiver());
  ASSERT_TRUE(WaitUntil([&] { return RunningProgram() == running.id(); }));
  ASSERT_TRUE(WaitUntil([&] { return RunningReceiver() == receiver.id(); }));

  UninstallSilently();

  EXPECT_TRUE(running.Ended());
  EXPECT_TRUE(receiver.Ended());
  EXPECT_FALSE(Exists(InstallFolder() + L"Orvanta.exe"));
  EXPECT_FALSE(Exists(Receiver()));
  EXPECT_FALSE(Exists(InstallFolder() + L"uninstall.exe"));
  EXPECT_FALSE(Exists(Shortcut()));
  EXPECT_FALSE(Exists(ReceiverShortcut()));
  EXPECT_EQ(RegistryText(kRunKey, L"Orvanta"), std::nullopt);
  EXPECT_EQ(RegistryText(kRunKey, kReceiverRunValue), std::nullopt);
  EXPECT_FALSE(KeyExists(kUninstallKey));
  ExpectKept(kSenderFiles);
  ExpectKept(kReceiverFiles);
}

TEST_F(InstallerTest, UninstallOfAnUntouchedInstallLeavesNoFolder) {
  ASSERT_EQ(InstallSilently(), 0u);
  UninstallSilently();
  EXPECT_FALSE(Exists(InstallFolder()));
}

}  // namespace
