#include "desktop/win/form_window.h"

#include <vector>

namespace orvanta::win {

void FormWindow::CreateForm(const wchar_t* class_name, const wchar_t* title,
                            DWORD style, DWORD ex_style, LayoutSize client,
                            HICON icon, HICON small_icon) {
  RegisterClassOnce(class_name, 0, GetSysColorBrush(COLOR_BTNFACE), icon,
                    small_icon);
  layout_.SetDesignClient(client);
  Create(ex_style | WS_EX_CONTROLPARENT, class_name, title, style,
         CW_USEDEFAULT, CW_USEDEFAULT, client.width, client.height, nullptr);
  dpi_ = DpiOf(hwnd());
  SIZE outer = WindowSizeForClient(client, style, ex_style, dpi_);
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::FinishLayout() {
  LabelsUnderControls(hwnd());
  ApplyFonts(dpi_);
  RECT client;
  GetClientRect(hwnd(), &client);
  layout_.Arrange(client.right, client.bottom, dpi_);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result;
  if (HandleChildMessage(message, wparam, lparam, &result)) return result;
  switch (message) {
    case WM_SIZE:
      if (wparam != SIZE_MINIMIZED) {
        layout_.Arrange(LOWORD(lparam), HIWORD(lparam), dpi_);
      }
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wparam);
      ApplyFonts(dpi_);
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left,
                   suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      RECT client;
      GetClientRect(hwnd(), &client);
      layout_.Arrange(client.right, client.bottom, dpi_);
      return 0;
    }
  }
  return Default(message, wparam, lparam);
}

void DispatchWithNavigation(MSG& message) {
  HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (top && Window::FromHwnd(top) && IsDialogMessageW(top, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void RunModal(HWND dialog, const std::function<bool()>& done) {
  struct Search {
    HWND dialog;
    std::vector<HWND> disabled;
  } search{dialog, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM data) CALLBACK -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        if (hwnd != search->dialog && IsWindowEnabled(hwnd)) {
          search->disabled.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  for (HWND hwnd : search.disabled) EnableWindow(hwnd, FALSE);

  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  MSG message;
  while (!done()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    DispatchWithNavigation(message);
  }
  // Enable the others before hiding so that activation returns to them.
  for (HWND hwnd : search.disabled) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
  ShowWindow(dialog, SW_HIDE);
}

}  // namespace orvanta::win
