// Orvanta.exe itself, started in a folder of its own and driven from outside
// through the messages a user's clicks and the shell produce.

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/win/destinations_dialog.h"
#include "sender/win/resource.h"
#include "sender/win/settings_window.h"
#include "sender/win/test/find_control.h"
#include "sender/win/test/fire_hook.h"
#include "sender/win/test/program_driver.h"
#include "notify/test/private_network.h"
#include "notify/test/udp_listener.h"

namespace orvanta::win {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr wchar_t kBalloonText[] = L"VELMORIS Orvanta çalışıyor...";

class ProgramTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The program opens its UDP channel when caller ID is on.
    RequirePrivateTestNetwork();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    UseBuiltInWindowFrames();
    CreateDirectoryW(ScreenshotFolder().c_str(), nullptr);
  }

  // A path of the build, as the Windows side sees it (Wine maps the Unix
  // root to drive Z:).
  static std::wstring WindowsPath(std::string path) {
    std::wstring result(path.begin(), path.end());
    if (!result.empty() && result[0] == L'/') result = L"Z:" + result;
    for (wchar_t& c : result) {
      if (c == L'/') c = L'\\';
    }
    return result;
  }

  // build/<preset>/screenshots/
  static std::wstring ScreenshotFolder() {
    char value[MAX_PATH] = {};
    GetEnvironmentVariableA("ORVANTA_BINARY_DIR", value, MAX_PATH);
    return WindowsPath(value) + L"\\screenshots\\";
  }

  static void Screenshot(HWND window, const wchar_t* name) {
    EXPECT_TRUE(SaveWindowPng(window, ScreenshotFolder() + name)) << name;
  }

  static bool Visible(const Program& program, int id) {
    return IsWindowVisible(program.Control(id));
  }

  // The balloon: a visible tooltip of the tray showing `text`.
  static HWND FindBalloon(const wchar_t* text) {
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr))) {
      if (IsWindowVisible(tip) && TextOf(tip) == text) return tip;
    }
    return nullptr;
  }

  // Dismisses a message box and returns its text.
  static std::wstring Answer(const Program& program, const wchar_t* title,
                             int button) {
    HWND box = program.WaitForMessageBox(title);
    if (!box) return L"(no box titled " + std::wstring(title) + L")";
    std::wstring text = Program::MessageText(box);
    Program::Press(box, button);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
    return text;
  }

  // The tray menu's items.
  static constexpr int kSettingsMenuItem = 0;
  static constexpr int kDestinationsMenuItem = 1;
  static constexpr int kEndProgramMenuItem = 2;

  // Opens the tray menu, by the shell's message or by a real right click on
  // the icon, and chooses an item with the keyboard.
  static void ChooseFromTrayMenu(const Program& program, int item,
                                 bool real_click = false) {
    if (real_click) {
      ASSERT_TRUE(Program::ClickFirstTrayIcon(true, 1));
    } else {
      program.TrayEvent(WM_CONTEXTMENU);
    }
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      menu = program.FindTopLevel(L"#32768");
      return menu && IsWindowVisible(menu);
    }));
    for (int i = 0; i <= item; ++i) {
      PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    }
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  }

  static void ShowFromTray(const Program& program) {
    program.TrayEvent(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(
        WaitUntil([&] { return IsWindowVisible(program.main_window()); }));
  }
};

TEST_F(ProgramTest, TheExecutableCarriesItsVersionIconsAndManifest) {
  Program program(L"resources");
  const std::wstring exe = program.FilePath(L"Orvanta.exe");
  DWORD ignored = 0;
  std::vector<BYTE> version(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  ASSERT_FALSE(version.empty());
  ASSERT_TRUE(GetFileVersionInfoW(
      exe.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  for (auto [name, expected] : {std::pair{L"CompanyName", L"VELMORIS"},
                                std::pair{L"ProductName", L"Orvanta"},
                                std::pair{L"FileVersion", L"s1.02.05f"},
                                std::pair{L"ProductVersion", L"s1.02.05f"}}) {
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring key = std::wstring(L"\\StringFileInfo\\041F04E6\\") + name;
    ASSERT_TRUE(VerQueryValueW(version.data(), key.c_str(),
                               reinterpret_cast<void**>(&value), &length))
        << key;
    EXPECT_STREQ(value, expected);
  }

  HMODULE module =
      LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module);
  // One 32 x 32 program icon and one 16 x 16 tray icon, 32-bit colour.
  for (auto [id, size] :
       {std::pair{IDI_PROGRAM, 32}, std::pair{IDI_TRAY, 16}}) {
    SCOPED_TRACE(id);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    ASSERT_TRUE(found);
    const BYTE* group =
        static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    ASSERT_EQ(*reinterpret_cast<const WORD*>(group + 4), 1);  // one image
    const BYTE* entry = group + 6;
    EXPECT_EQ(entry[0], size);
    EXPECT_EQ(entry[1], size);
    EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32);
  }
  HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_TRUE(manifest);
  std::string text(
      static_cast<const char*>(LockResource(LoadResource(module, manifest))),
      SizeofResource(module, manifest));
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
  FreeLibrary(module);
}

TEST_F(ProgramTest, StartsHiddenInTheTrayAndAnnouncesItselfWithABalloon) {
  Program program(L"start");
  program.Start();
  ASSERT_TRUE(program.main_window());
  EXPECT_TRUE(program.TrayIconPresent());
  EXPECT_FALSE(IsWindowVisible(program.main_window()));
  EXPECT_EQ(TextOf(program.main_window()), L"VELMORIS Orvanta s1.02.05f");

  // After the start-up apply the balloon shows, and its own timer takes it
  // down after five seconds.
  HWND balloon = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (balloon = FindBalloon(kBalloonText)); }));
  EXPECT_TRUE(
      WaitUntil([&] { return !FindBalloon(kBalloonText); }, seconds(12)));
  EXPECT_FALSE(IsWindowVisible(program.main_window()));
  // Nothing is written until the user saves.
  EXPECT_FALSE(program.FileExists(L"Setting.ini"));
  EXPECT_FALSE(program.FileExists(L"calleridcomport.ini"));

  // A real double-click on the icon in the tray shows the window.
  ASSERT_TRUE(Program::ClickFirstTrayIcon(false, 2));
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(program.main_window()); }));

  // "Programı Kapat" ends the program without a question, and the icon
  // leaves the tray.
  ChooseFromTrayMenu(program, kEndProgramMenuItem, true);
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_FALSE(program.TrayIconPresent());
}

TEST_F(ProgramTest, SettingsWindowFromTheTrayInEachOfItsStates) {
  Program program(L"states");
  program.Start();
  ChooseFromTrayMenu(program, kSettingsMenuItem);
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowVisible(program.main_window()); }));
  // The window is shown first and brought to the front after: on a slow
  // machine the tray window that held the menu can still be in front.
  EXPECT_TRUE(WaitUntil([&] {
    return GetForegroundWindow() == program.main_window();
  })) << GetForegroundWindow();

  // No settings file: caller ID off, everything below hidden.
  EXPECT_FALSE(Visible(program, kIdCallerIdPanel));
  Screenshot(program.main_window(), L"settings-callerid-off.png");

  program.Click(kIdCallerIdEnabled);
  ASSERT_TRUE(WaitUntil([&] { return Visible(program, kIdCallerIdPanel); }));
  EXPECT_EQ(TextOf(program.Control(kIdPortEdit)), L"18900");
  EXPECT_EQ(SendMessageW(program.Control(kIdSourceItem0), BM_GETCHECK, 0, 0),
            BST_CHECKED);
  EXPECT_FALSE(Visible(program, kIdArgPanel));
  EXPECT_FALSE(Visible(program, kIdSerialPanel));
  Screenshot(program.main_window(), L"settings-cid2.png");

  program.Click(kIdSourceItem0 + 1);
  ASSERT_TRUE(WaitUntil([&] { return Visible(program, kIdArgPanel); }));
  EXPECT_EQ(TextOf(program.Control(kIdArgDeviceKind)), L"(1) CALLER ID");
  EXPECT_FALSE(Visible(program, kIdMainMachineIp));
  EXPECT_FALSE(Visible(program, kIdArgComPort));
  Screenshot(program.main_window(), L"settings-arg-1.png");
  struct Kind {
    int index;
    bool ip, port;
    const wchar_t* label;
    const wchar_t* screenshot;
  };
  const Kind kinds[] = {
      {2, false, false, nullptr, L"settings-arg-2.png"},
      {3, true, false, L"AnaMakina IP", L"settings-arg-3.png"},
      {4, false, true, L"ComPort Seçimi", L"settings-arg-4.png"},
      {0, false, false, nullptr, L"settings-arg-0.png"},
  };
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.index);
    program.Choose(kIdArgDeviceKind, kind.index);
    EXPECT_TRUE(WaitUntil(
        [&] { return Visible(program, kIdMainMachineIp) == kind.ip; }));
    EXPECT_TRUE(WaitUntil(
        [&] { return Visible(program, kIdArgComPort) == kind.port; }));
    EXPECT_EQ(Visible(program, kIdArgChoiceLabel), kind.label != nullptr);
    if (kind.label) {
      EXPECT_EQ(TextOf(program.Control(kIdArgChoiceLabel)), kind.label);
    }
    Screenshot(program.main_window(), kind.screenshot);
  }
  EXPECT_EQ(TextOf(program.Control(kIdArgComPort)), L"COM 2");

  program.Click(kIdSourceItem0 + 2);
  ASSERT_TRUE(WaitUntil([&] {
    return Visible(program, kIdSerialPanel) && !Visible(program, kIdArgPanel);
  }));
  EXPECT_EQ(TextOf(program.Control(kIdStartText)), L"S");
  EXPECT_EQ(TextOf(program.Control(kIdEndText)), L"E");
  EXPECT_EQ(TextOf(program.Control(kIdNumberStart)), L"3");
  EXPECT_EQ(TextOf(program.Control(kIdNumberLength)), L"15");
  Screenshot(program.main_window(), L"settings-serial.png");

  // "Comport Ayarlari": the setup dialog; the port's settings file is
  // written after it, also when it was cancelled.
  program.Click(kIdPortSettingsButton);
  HWND setup = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    setup = program.FindTopLevel(L"OrvantaSetupDialog");
    return setup && IsWindowVisible(setup);
  }));
  EXPECT_EQ(TextOf(setup), L"Setup");
  EXPECT_FALSE(IsWindowEnabled(program.main_window()));
  HWND baud = GetDlgItem(setup, 202);
  EXPECT_EQ(TextOf(baud), L"9600");
  EXPECT_EQ(SendMessageW(baud, CB_GETCOUNT, 0, 0), 16);
  Screenshot(setup, L"setup-dialog.png");
  Program::Press(setup, IDCANCEL);
  // The file may be seen before its bytes are all in: wait for its end.
  std::string port_file;
  EXPECT_TRUE(WaitUntil([&] {
    port_file = program.ReadFile(L"calleridcomport.ini");
    return port_file.find("BaudRate=") != std::string::npos;
  }));
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowEnabled(program.main_window()); }));
  EXPECT_NE(port_file.find("[ComPortCallerID]"), std::string::npos)
      << port_file;
  EXPECT_NE(port_file.find("BaudRate=9600"), std::string::npos) << port_file;

  // "Test Ekranı": the port test window, modal over the settings window.
  program.Click(kIdOpenPortTestButton);
  HWND test_window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    test_window = program.FindTopLevel(L"OrvantaPortTestWindow");
    return test_window && IsWindowVisible(test_window);
  }));
  EXPECT_EQ(TextOf(test_window), L"Comport Test");
  EXPECT_FALSE(IsWindowEnabled(program.main_window()));
  Screenshot(test_window, L"port-test-window.png");
  PostMessageW(test_window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowEnabled(program.main_window()); }));

  // "Modem": its own options and log in the serial panel's place; the
  // line its calls go out on is "0" until the user names another.
  program.Click(kIdSourceItem0 + 3);
  ASSERT_TRUE(WaitUntil([&] {
    return Visible(program, kIdModemPanel) && !Visible(program, kIdSerialPanel);
  }));
  EXPECT_EQ(TextOf(program.Control(kIdModemCommands)), L"");
  EXPECT_EQ(TextOf(program.Control(kIdModemLine)), L"0");
  EXPECT_TRUE(Visible(program, kIdModemLogPane));
  Screenshot(program.main_window(), L"settings-modem.png");
  program.Click(kIdSourceItem0 + 2);
  ASSERT_TRUE(WaitUntil([&] { return Visible(program, kIdSerialPanel); }));

  // The close box only hides; the program stays in the tray.
  PostMessageW(program.main_window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(
      WaitUntil([&] { return !IsWindowVisible(program.main_window()); }));
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(program.TrayIconPresent());
  // Shown again, it holds what was left in it.
  ShowFromTray(program);
  EXPECT_TRUE(Visible(program, kIdSerialPanel));

  // "Kapat" asks; No changes nothing, Yes ends the program.
  program.Click(kIdCloseButton);
  EXPECT_EQ(Answer(program, L"Soru", IDNO), L"Program kapatılsın mı ?");
  // The program's user-interface thread answers a message only once the
  // click's handler has returned: by then the answer has been acted on.
  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutW(program.main_window(), WM_NULL, 0, 0,
                                SMTO_ABORTIFHUNG, 10000, &ignored),
            0);
  EXPECT_TRUE(program.Running());
  EXPECT_TRUE(IsWindowVisible(program.main_window()));
  program.Click(kIdCloseButton);
  EXPECT_EQ(Answer(program, L"Soru", IDYES), L"Program kapatılsın mı ?");
  EXPECT_EQ(program.WaitForExit(), 0);
  // Nothing was saved.
  EXPECT_FALSE(program.FileExists(L"Setting.ini"));
}

TEST_F(ProgramTest, TestDatagramAndUygula) {
  UdpListener listener;
  Program program(L"apply");
  // Caller ID on with a stored type that names no source: the channel opens,
  // no source starts.
  program.WriteFile(L"Setting.ini",
                    "\xEF\xBB\xBF[VmStored]\r\nCALLERIDKULLAN=True\r\n"
                    "CALLERIDTYPE=5\r\nUDPPORT=" +
                        std::to_string(listener.port()) + "\r\n");
  program.Start();
  EXPECT_EQ(Answer(program, L"Bilgi", IDOK),
            L"Caller ID sistemi baslatilamadi.");
  EXPECT_TRUE(WaitUntil([&] { return FindBalloon(kBalloonText) != nullptr; }));
  ShowFromTray(program);
  EXPECT_TRUE(Visible(program, kIdSerialPanel));  // type 5 shows as serial

  program.Click(kIdTestPortButton);  // "Portu Test Et"
  std::optional<ReceivedDatagram> datagram = listener.Receive();
  ASSERT_TRUE(datagram);
  EXPECT_EQ(datagram->bytes, "HAT=01\r\nNUMARA=555 55 55");
  EXPECT_EQ(Answer(program, L"Bilgi", IDOK),
            L"Ağda bulunan Caller Id destekli VELMORIS programlarına mesaj "
            L"gönderildi.");

  // "Uygula" with caller ID switched off and another port: the file is
  // written, nothing was running, so nothing is stopped or shown.
  SetWindowTextW(program.Control(kIdPortEdit), L"18901");
  program.Click(kIdCallerIdEnabled);
  ASSERT_TRUE(WaitUntil([&] { return !Visible(program, kIdCallerIdPanel); }));
  program.Click(kIdApplyButton);
  ASSERT_TRUE(WaitUntil([&] {
    return program.FileExists(L"Setting.ini") &&
           program.ReadFile(L"Setting.ini").find("UDPPORT=18901") !=
               std::string::npos;
  }));
  const std::string saved = program.ReadFile(L"Setting.ini");
  EXPECT_NE(saved.find("CALLERIDKULLAN=False"), std::string::npos) << saved;
  EXPECT_NE(saved.find("CALLERIDTYPE=2"), std::string::npos) << saved;
  EXPECT_TRUE(IsWindowVisible(program.main_window()));
  EXPECT_FALSE(program.FindMessageBox(L"Bilgi"));

  // The channel stays open on the port of its last start.
  program.Click(kIdCallerIdEnabled);
  ASSERT_TRUE(WaitUntil([&] { return Visible(program, kIdCallerIdPanel); }));
  program.Click(kIdTestPortButton);
  datagram = listener.Receive();
  ASSERT_TRUE(datagram);
  EXPECT_EQ(datagram->bytes.size(), 24u);
  Answer(program, L"Bilgi", IDOK);

  // "Kaydet" saves and hides the window; the program goes on in the tray.
  DeleteFileW(program.FilePath(L"Setting.ini").c_str());
  program.Click(kIdCallerIdEnabled);
  ASSERT_TRUE(WaitUntil([&] { return !Visible(program, kIdCallerIdPanel); }));
  program.Click(kIdSaveButton);
  EXPECT_TRUE(
      WaitUntil([&] { return !IsWindowVisible(program.main_window()); }));
  EXPECT_TRUE(program.FileExists(L"Setting.ini"));
  EXPECT_TRUE(program.Running());

  ChooseFromTrayMenu(program, kEndProgramMenuItem);
  EXPECT_EQ(program.WaitForExit(), 0);
}

// "Hedefler" from the tray and from the window: the dialog over Hedefler.ini
// beside Setting.ini. "Kaydet" writes the file and closes the dialog.
TEST_F(ProgramTest, TheDestinationsDialogFromTheTrayAndTheWindow) {
  using P = DestinationsPart;
  Program program(L"destinations");
  program.Start();
  HWND dialog = nullptr;
  auto dialog_shown = [&] {
    dialog = program.FindTopLevel(DestinationsDialog::kClassName);
    return dialog && IsWindowVisible(dialog);
  };
  auto control = [&](P part) {
    return FindControl(dialog, DestinationsDialog::IdOf(part));
  };

  ChooseFromTrayMenu(program, kDestinationsMenuItem);
  ASSERT_TRUE(WaitUntil(dialog_shown));
  EXPECT_EQ(TextOf(dialog), L"Hedefler");
  PostMessageW(control(P::kAddButton), BM_CLICK, 0, 0);
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowVisible(control(P::kWebhookUrl)); }));
  SendMessageW(control(P::kWebhookUrl), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"http://hooks.example.com/arama"));
  // Plain HTTP beyond the private ranges is warned of, under the fields.
  EXPECT_TRUE(WaitUntil([&] {
    return TextOf(control(P::kProblems)).find(L"Uyar\u0131") !=
           std::wstring::npos;
  })) << TextOf(control(P::kProblems));
  Screenshot(dialog, L"destinations-dialog.png");
  PostMessageW(control(P::kSaveButton), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !dialog_shown(); }));
  EXPECT_NE(program.ReadFile(L"Hedefler.ini")
                .find("URL=http://hooks.example.com/arama"),
            std::string::npos);

  // From the settings window it opens again, listing what was saved.
  ShowFromTray(program);
  program.Click(kIdDestinationsButton);
  ASSERT_TRUE(WaitUntil(dialog_shown));
  EXPECT_EQ(SendMessageW(control(P::kList), LB_GETCOUNT, 0, 0), 1);
  EXPECT_FALSE(IsWindowEnabled(program.main_window()));
  PostMessageW(control(P::kCancelButton), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !dialog_shown(); }));
  EXPECT_TRUE(IsWindowEnabled(program.main_window()));

  ChooseFromTrayMenu(program, kEndProgramMenuItem);
  EXPECT_EQ(program.WaitForExit(), 0);
}

// One copy per settings folder: a second start shows the first one's window
// and ends, leaving nothing of its own behind.
TEST_F(ProgramTest, ASecondStartShowsTheRunningCopysWindowAndEnds) {
  Program program(L"second");
  program.Start();
  ASSERT_TRUE(program.main_window());
  EXPECT_FALSE(IsWindowVisible(program.main_window()));
  std::string output;
  EXPECT_EQ(program.RunAnother(L"", &output), 0) << output;
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(program.main_window()); }));
  EXPECT_TRUE(program.Running());
  ChooseFromTrayMenu(program, kEndProgramMenuItem);
  EXPECT_EQ(program.WaitForExit(), 0);
}

// --settings-dir moves the settings files to a folder made when they are
// first written; --show opens the window at start; the same folder, spelled
// another way, is the same copy.
TEST_F(ProgramTest, SettingsFolderAndWindowFromTheCommandLine) {
  Program program(L"command line");
  program.Start(L"--show --settings-dir \"" + program.FilePath(L"yeni\\ayar") +
                L"\"");
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowVisible(program.main_window()); }));
  EXPECT_FALSE(program.FileExists(L"yeni"));
  program.Click(kIdApplyButton);  // "Uygula"
  EXPECT_TRUE(WaitUntil(
      [&] { return program.FileExists(L"yeni\\ayar\\Setting.ini"); }));
  EXPECT_FALSE(program.FileExists(L"Setting.ini"));

  std::string output;
  EXPECT_EQ(program.RunAnother(L"--settings-dir=YENI/ayar/./", &output), 0)
      << output;
  EXPECT_TRUE(program.Running());
  ChooseFromTrayMenu(program, kEndProgramMenuItem);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramTest, HelpVersionAndUnknownOptionsAnswerOnTheOutput) {
  Program program(L"answers");
  struct Case {
    const wchar_t* arguments;
    int exit_code;
    const char* says;
  };
  const Case cases[] = {
      {L"--help", 0, "Usage: Orvanta.exe [OPTION]...\r\n"},
      {L"--version", 0, "VELMORIS Orvanta s1.02.05f\r\n"},
      {L"--show --bogus", 2, "Orvanta.exe: unknown option '--bogus'\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    std::string output;
    EXPECT_EQ(program.RunAnother(c.arguments, &output), c.exit_code);
    EXPECT_NE(output.find(c.says), std::string::npos) << output;
  }
}

// A settings file saved as "Unicode" in Notepad: the start says so in a box
// that names the file, goes on with caller ID off, and leaves the file as
// it was.
TEST_F(ProgramTest, AnUndecodableSettingsFileIsReportedAtStart) {
  Program program(L"unicode");
  // UTF-16 with its byte-order mark: what Notepad writes as "Unicode".
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[VmStored]\r\nCALLERIDKULLAN=True\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  program.WriteFile(L"Setting.ini", utf16);
  program.Start();
  const std::wstring text = Answer(program, L"Orvanta", IDOK);
  EXPECT_EQ(text.rfind(L"Ayar dosyası okunamadı:", 0), 0u) << text;
  EXPECT_NE(text.find(program.FilePath(L"Setting.ini")), std::wstring::npos)
      << text;
  EXPECT_NE(text.find(L"UTF-16"), std::wstring::npos) << text;
  EXPECT_TRUE(WaitUntil([&] { return FindBalloon(kBalloonText) != nullptr; }));
  // Caller ID stayed off.
  ShowFromTray(program);
  EXPECT_FALSE(Visible(program, kIdCallerIdPanel));
  EXPECT_EQ(program.ReadFile(L"Setting.ini"), utf16);
  ChooseFromTrayMenu(program, kEndProgramMenuItem);
  EXPECT_EQ(program.WaitForExit(), 0);
}

// Logging off runs the closing step and ends the program as "Programı
// Kapat" does.
TEST_F(ProgramTest, TheEndOfTheSessionEndsTheProgram) {
  Program program(L"session");
  program.Start();
  ASSERT_TRUE(WaitUntil([&] { return FindBalloon(kBalloonText) != nullptr; }));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(program.main_window(), WM_ENDSESSION, TRUE,
                      ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &ignored);
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_FALSE(program.TrayIconPresent());
}

// The stand-in control plays the CID2 device: registered for this user, it
// is what the program creates for "CID2 (Sistemler)".
void RegisterStandinAsCid2(const std::wstring& server) {
  for (auto [root, prefix] :
       {std::pair{HKEY_CURRENT_USER, L"Software\\Classes\\"},
        std::pair{HKEY_CLASSES_ROOT, L""}}) {
    std::wstring path = std::wstring(prefix) +
                        L"CLSID\\{999DD9D2-8906-4232-98EF-9EECB9B10DAD}"
                        L"\\InprocServer32";
    HKEY key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
      continue;
    }
    const std::wstring apartment = L"Apartment";
    RegSetValueExW(key, nullptr, 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(
        key, L"ThreadingModel", 0, REG_SZ,
        reinterpret_cast<const BYTE*>(apartment.c_str()),
        static_cast<DWORD>((apartment.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
}

TEST_F(ProgramTest, CallFromTheCid2ControlIsLoggedAndBroadcast) {
  RegisterStandinAsCid2(WindowsPath(ORVANTA_STANDIN_PATH));
  UdpListener listener;
  Program program(L"cid2");
  program.WriteFile(L"Setting.ini",
                    "\xEF\xBB\xBF[VmStored]\r\nCALLERIDKULLAN=True\r\n"
                    "CALLERIDTYPE=0\r\nUDPPORT=" +
                        std::to_string(listener.port()) + "\r\n");
  program.Start();
  // Started without a message: the balloon follows the start-up apply.
  ASSERT_TRUE(WaitUntil([&] { return FindBalloon(kBalloonText) != nullptr; }));
  EXPECT_FALSE(program.FindMessageBox(L"Bilgi"));

  // The telephone rings: the control's event, on the program's own thread.
  HMODULE hook_module =
      LoadLibraryW(WindowsPath(ORVANTA_FIRE_HOOK_PATH).c_str());
  ASSERT_TRUE(hook_module);
  auto hook_proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(hook_module, "FireHookProc")));
  HHOOK hook = SetWindowsHookExW(
      WH_GETMESSAGE, hook_proc, hook_module,
      GetWindowThreadProcessId(program.main_window(), nullptr));
  ASSERT_TRUE(hook);
  PostMessageW(program.main_window(),
               RegisterWindowMessageW(kFireCallerIdMessage), 0, 0);
  std::optional<ReceivedDatagram> datagram = listener.Receive();
  UnhookWindowsHookEx(hook);
  FreeLibrary(hook_module);
  ASSERT_TRUE(datagram);
  EXPECT_EQ(datagram->bytes, "HAT=1\r\nNUMARA=05321234567");
  // The hidden window's log pane catches up when it is shown.
  ShowFromTray(program);
  EXPECT_TRUE(WaitUntil([&] {
    return TextOf(program.Control(kIdLogPane)) ==
           L"Kanal No : 1   Caller ID : 05321234567\r\n";
  })) << TextOf(program.Control(kIdLogPane)).size();

  ChooseFromTrayMenu(program, kEndProgramMenuItem);
  EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace orvanta::win
