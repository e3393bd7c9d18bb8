#include "sender/win/win_shell.h"

#include <shlobj.h>

#include <string>

#include "sender/settings_presenter.h"
#include "sender/win/port_test_window.h"
#include "sender/win/settings_window.h"
#include "sender/win/setup_dialog.h"
#include "desktop/win/destinations_dialog.h"
#include "desktop/win/win_text.h"
#include "base/failure.h"

namespace orvanta::win {

namespace {

UINT IconFlag(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return MB_ICONINFORMATION;
    case MessageIcon::kQuestion:
      return MB_ICONQUESTION;
    case MessageIcon::kError:
      break;
  }
  return MB_ICONERROR;
}

}  // namespace

WinShell::WinShell(SettingsWindow& main_window, HICON program_icon,
                   HICON tray_icon, TrayIcon::NotifyFunction notify)
    : main_window_(main_window),
      program_icon_(program_icon),
      tray_icon_(tray_icon),
      tray_(tray_icon, u"VELMORIS Orvanta", std::move(notify)) {
  tray_.on_double_click = [this] {
    if (listener_) listener_->OnTrayDoubleClick();
  };
  tray_.on_menu = [this] { OpenTrayMenu(); };
  tray_.guard = [this](const std::function<void()>& action) {
    try {
      action();
    } catch (...) {
      if (main_window_.report_stray_failure) {
        main_window_.report_stray_failure(
            FailureText(std::current_exception()));
      }
    }
  };
  // The icon is in the tray from the window's creation on.
  tray_.Add();
}

WinShell::~WinShell() { tray_.Remove(); }

MessageAnswer WinShell::ShowMessage(const std::u16string& text,
                                    const std::u16string& title,
                                    MessageIcon icon, MessageButtons buttons) {
  UINT flags =
      IconFlag(icon) | MB_SETFOREGROUND |
      (buttons == MessageButtons::kYesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK);
  // Owned by the active window; with none (the window hidden), the box
  // disables the program's windows itself.
  HWND owner = GetActiveWindow();
  if (!owner) flags |= MB_TASKMODAL;
  int answer =
      MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(), flags);
  switch (answer) {
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
  }
  return MessageAnswer::kOk;
}

void WinShell::SetTrayTip(const std::u16string& tip) { tray_.SetTip(tip); }

void WinShell::ShowBalloon(const std::u16string& title,
                           const std::u16string& text, uint32_t timeout_ms) {
  tray_.ShowBalloon(title, text, timeout_ms);
}

void WinShell::PostAutoStart() {
  PostMessageW(main_window_.hwnd(), kWmAutoStart, 0, 0);
}

void WinShell::Quit() { PostQuitMessage(0); }

void WinShell::WakeUiThread() {
  PostMessageW(main_window_.hwnd(), kWmHandoverWake, 0, 0);
}

void WinShell::SetWakeHandler(std::function<void()> serve) {
  main_window_.SetWakeHandler(std::move(serve));
}

std::u16string WinShell::SettingsFolder() const {
  if (!settings_folder_.empty()) return settings_folder_;
  return DirectoryOf(ExePath(), PathSeparator());
}

void WinShell::SetSettingsFolder(std::u16string folder) {
  if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/')
    folder += u'\\';
  settings_folder_ = std::move(folder);
}

void WinShell::CreateSettingsFolder() {
  // Makes the missing parents too; an existing folder is no error, and any
  // other failure shows when the file is written.
  std::wstring folder = Wide(SettingsFolder());
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
    folder.pop_back();
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
}

std::u16string WinShell::ExePath() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(),
                                      static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return U16(path);
    }
    path.resize(path.size() * 2);  // long paths
  }
}

uint32_t WinShell::TickCount() const { return GetTickCount(); }

std::unique_ptr<SetupDialogView> WinShell::CreateSetupDialogView() {
  return std::make_unique<SetupDialog>();
}

std::unique_ptr<DestinationsView> WinShell::CreateDestinationsView() {
  return std::make_unique<DestinationsDialog>();
}

std::unique_ptr<PortTestView> WinShell::CreatePortTestView(
    PortTestViewListener& listener) {
  return std::make_unique<PortTestWindow>(listener, program_icon_, tray_icon_);
}

void WinShell::SetListener(ShellListener* listener) {
  listener_ = listener;
  main_window_.SetShellListener(listener);
}

void WinShell::OpenTrayMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kSettingsMenuItem,
              reinterpret_cast<const wchar_t*>(tray_text::kSettingsItem));
  AppendMenuW(menu, MF_STRING, kDestinationsMenuItem,
              reinterpret_cast<const wchar_t*>(tray_text::kDestinationsItem));
  AppendMenuW(menu, MF_STRING, kEndProgramMenuItem,
              reinterpret_cast<const wchar_t*>(tray_text::kEndProgramItem));
  UINT chosen = tray_.TrackMenu(menu);
  DestroyMenu(menu);
  if (!listener_) return;
  if (chosen == kSettingsMenuItem) listener_->OnSettingsMenu();
  if (chosen == kDestinationsMenuItem) listener_->OnDestinationsMenu();
  if (chosen == kEndProgramMenuItem) listener_->OnEndProgramMenu();
}

}  // namespace orvanta::win
