#include "desktop/win/window.h"

#include <set>
#include <string>

namespace orvanta::win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD,
                                                 UINT);

// Windows 7 and 8 lack the per-monitor dpi calls; look them up once.
template <typename Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

Window* Window::FromHwnd(HWND hwnd) {
  wchar_t name[64];
  if (!GetClassNameW(hwnd, name, 64) || wcsncmp(name, L"Orvanta", 7) != 0) {
    return nullptr;
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Window::RegisterClassOnce(const wchar_t* class_name, UINT style,
                               HBRUSH background, HICON icon,
                               HICON small_icon) {
  static std::set<std::wstring> registered;
  if (!registered.insert(class_name).second) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = &Window::StaticProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.hIconSm = small_icon;
  wc.lpszClassName = class_name;
  RegisterClassExW(&wc);
}

HWND Window::Create(DWORD ex_style, const wchar_t* class_name,
                    const wchar_t* title, DWORD style, int x, int y, int width,
                    int height, HWND parent) {
  return CreateWindowExW(ex_style, class_name, title, style, x, y, width,
                         height, parent, nullptr, GetModuleHandleW(nullptr),
                         this);
}

void Window::DestroyNow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return Default(message, wparam, lparam);
}

LRESULT Window::Default(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wparam,
                                    LPARAM lparam) {
  Window* self;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  LRESULT result = self->HandleMessage(message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

void Layout::Add(HWND child, const LayoutRect& design, unsigned anchors) {
  items_.push_back({child, design, anchors});
}

void Layout::SetDesignRect(HWND child, const LayoutRect& design) {
  for (Item& item : items_) {
    if (item.hwnd == child) item.design = design;
  }
}

void Layout::Arrange(int client_width, int client_height, UINT dpi) const {
  const LayoutSize designed = Scale(design_, dpi);
  HDWP batch = BeginDeferWindowPos(static_cast<int>(items_.size()));
  for (const Item& item : items_) {
    const LayoutRect rect =
        Anchored(Scale(item.design, dpi), designed,
                 {client_width, client_height}, item.anchors);
    if (batch) {
      batch = DeferWindowPos(batch, item.hwnd, nullptr, rect.left, rect.top,
                             rect.width, rect.height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
      SetWindowPos(item.hwnd, nullptr, rect.left, rect.top, rect.width,
                   rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  if (batch) EndDeferWindowPos(batch);
}

UINT DpiOf(HWND hwnd) {
  static const auto get_dpi =
      User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (get_dpi && hwnd) {
    UINT dpi = get_dpi(hwnd);
    if (dpi) return dpi;
  }
  HDC screen = GetDC(nullptr);
  UINT dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi ? dpi : 96;
}

int Scale(int value, UINT dpi) { return MulDiv(value, dpi, 96); }

LayoutRect Scale(const LayoutRect& rect, UINT dpi) {
  return {Scale(rect.left, dpi), Scale(rect.top, dpi), Scale(rect.width, dpi),
          Scale(rect.height, dpi)};
}

LayoutSize Scale(LayoutSize size, UINT dpi) {
  return {Scale(size.width, dpi), Scale(size.height, dpi)};
}

SIZE WindowSizeForClient(LayoutSize client, DWORD style, DWORD ex_style,
                         UINT dpi) {
  static const auto adjust =
      User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT rect = {0, 0, Scale(client.width, dpi), Scale(client.height, dpi)};
  if (adjust) {
    adjust(&rect, style, FALSE, ex_style, dpi);
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void CentreOnScreen(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  const SIZE size = {frame.right - frame.left, frame.bottom - frame.top};
  POINT cursor;
  GetCursorPos(&cursor);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &info);
  const RECT& area = info.rcWork;
  SetWindowPos(window, nullptr,
               area.left + (area.right - area.left - size.cx) / 2,
               area.top + (area.bottom - area.top - size.cy) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Font::~Font() {
  if (font_) DeleteObject(font_);
}

void Font::Create(const wchar_t* face, int points, bool bold, UINT dpi) {
  if (font_) DeleteObject(font_);
  font_ = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0,
                      bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

void SetFontDeep(HWND root, HFONT font) {
  SendMessageW(root, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(
      root,
      [](HWND child, LPARAM font) CALLBACK -> BOOL {
        // Children that chose their own font (the Arial button) keep it.
        if (!GetPropW(child, L"OrvantaOwnFont")) {
          SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(font));
}

SIZE TextExtent(HFONT font, const wchar_t* text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

}  // namespace orvanta::win
