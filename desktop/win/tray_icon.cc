#include "desktop/win/tray_icon.h"

#include <algorithm>

#include "desktop/win/win_text.h"

namespace orvanta::win {

namespace {

constexpr wchar_t kTrayClass[] = L"OrvantaTrayWindow";

template <size_t N>
void CopyCut(wchar_t (&target)[N], std::u16string_view text) {
  size_t length = std::min(text.size(), N - 1);
  std::copy_n(text.begin(), length, target);
  target[length] = L'\0';
}

}  // namespace

TrayIcon::TrayIcon(HICON icon, std::u16string tip, NotifyFunction notify,
                   SleepFunction sleep)
    : icon_(icon),
      notify_(std::move(notify)),
      sleep_(std::move(sleep)),
      taskbar_created_(RegisterWindowMessageW(L"TaskbarCreated")) {
  if (!notify_)
    notify_ = [](DWORD m, NOTIFYICONDATAW* d) {
      return Shell_NotifyIconW(m, d);
    };
  if (!sleep_) sleep_ = [](DWORD ms) { Sleep(ms); };
  SetTip(tip);
  RegisterClassOnce(kTrayClass, 0, nullptr, nullptr, nullptr);
  // A hidden top-level window: it can become the foreground window for the
  // menu and receives the "TaskbarCreated" broadcast.
  Create(WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr);
}

TrayIcon::~TrayIcon() { Remove(); }

NOTIFYICONDATAW TrayIcon::BaseData() const {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = hwnd();
  data.uID = kIconId;
  return data;
}

bool TrayIcon::Add() {
  NOTIFYICONDATAW data = BaseData();
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_;
  CopyCut(data.szTip, tip_);
  bool added = notify_(NIM_ADD, &data);
  for (int retry = 0; !added && retry < kAddRetries; ++retry) {
    // A busy shell answers with a time-out (or no error at all) and may
    // still have added the icon: wait, try an update, then add again.
    DWORD error = GetLastError();
    if (error != ERROR_TIMEOUT && error != ERROR_SUCCESS) break;
    sleep_(1000);
    added = notify_(NIM_MODIFY, &data) || notify_(NIM_ADD, &data);
  }
  shown_ = added;
  if (added) {
    NOTIFYICONDATAW version = BaseData();
    version.uVersion = NOTIFYICON_VERSION_4;
    notify_(NIM_SETVERSION, &version);
  }
  return added;
}

void TrayIcon::Remove() {
  if (!shown_) return;
  KillTimer(hwnd(), kBalloonTimer);
  balloon_up_ = false;
  NOTIFYICONDATAW data = BaseData();
  notify_(NIM_DELETE, &data);
  shown_ = false;
}

void TrayIcon::SetTip(std::u16string_view tip) {
  tip_ = std::u16string(tip.substr(0, 127));
  if (!shown_) return;
  NOTIFYICONDATAW data = BaseData();
  data.uFlags = NIF_TIP | NIF_SHOWTIP;
  CopyCut(data.szTip, tip_);
  notify_(NIM_MODIFY, &data);
}

void TrayIcon::ShowBalloon(std::u16string_view title, std::u16string_view text,
                           UINT timeout_ms) {
  if (!shown_) return;
  NOTIFYICONDATAW data = BaseData();
  data.uFlags = NIF_INFO;
  CopyCut(data.szInfoTitle, title);
  CopyCut(data.szInfo, text);
  data.dwInfoFlags = NIIF_NONE;
  data.uTimeout = timeout_ms;
  if (!notify_(NIM_MODIFY, &data)) return;
  balloon_up_ = true;
  if (timeout_ms < 10000) SetTimer(hwnd(), kBalloonTimer, timeout_ms, nullptr);
}

void TrayIcon::HideBalloon() {
  KillTimer(hwnd(), kBalloonTimer);
  if (!balloon_up_) return;
  balloon_up_ = false;
  NOTIFYICONDATAW data = BaseData();
  data.uFlags = NIF_INFO;  // an empty text takes the balloon down
  notify_(NIM_MODIFY, &data);
}

UINT TrayIcon::TrackMenu(HMENU menu) {
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close on a click elsewhere;
  // the posted empty message lets it close on the first click.
  SetForegroundWindow(hwnd());
  UINT chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                     at.y, 0, hwnd(), nullptr);
  PostMessageW(hwnd(), WM_NULL, 0, 0);
  return chosen;
}

void TrayIcon::Run(const std::function<void()>& action) {
  if (!action) return;
  if (guard) {
    guard(action);
  } else {
    action();
  }
}

LRESULT TrayIcon::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kCallbackMessage) {
    // Version 4: the event in LOWORD(lparam), the icon id in HIWORD.
    switch (LOWORD(lparam)) {
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK:
        Run(on_double_click);
        break;
      case WM_CONTEXTMENU:  // right click, Shift+F10, the menu key
      case NIN_KEYSELECT:   // Enter or space on the icon
        Run(on_menu);
        break;
    }
    return 0;
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    shown_ = false;
    balloon_up_ = false;
    Add();
    return 0;
  }
  switch (message) {
    case WM_TIMER:
      if (wparam == kBalloonTimer) {
        HideBalloon();
        return 0;
      }
      break;
    case WM_ENDSESSION:
      if (wparam) Remove();
      return 0;
  }
  return Default(message, wparam, lparam);
}

}  // namespace orvanta::win
