#include "receiver/win/history_window.h"

#include <commctrl.h>

#include "desktop/win/win_text.h"

namespace orvanta::win {
namespace {

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style,
           int id) {
  HWND hwnd =
      CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd, WM_SETFONT,
               reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               TRUE);
  return hwnd;
}

}  // namespace

HistoryWindow::HistoryWindow(Source source, Actions actions, HICON icon)
    : source_(std::move(source)), actions_(std::move(actions)) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterClassOnce(kClassName, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                    icon, icon);
  Create(0, kClassName, L"Orvanta Al\u0131c\u0131 - Arama Ge\u00e7mi\u015fi",
         WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 440, nullptr);
  list_ = Child(hwnd(), WC_LISTVIEWW, L"",
                WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                    LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                kListId);
  ListView_SetExtendedListViewStyle(list_,
                                    LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  const struct {
    const wchar_t* title;
    int width;
  } columns[] = {
      {L"Zaman", 140}, {L"Hat", 50}, {L"Numara", 170}, {L"\u0130sim", 220}};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    column.cx = columns[i].width;
    ListView_InsertColumn(list_, i, &column);
  }
  copy_ = Child(hwnd(), L"BUTTON", L"Numaray\u0131 Kopyala",
                WS_TABSTOP | BS_PUSHBUTTON, kCopyId);
  reload_ = Child(hwnd(), L"BUTTON", L"Rehberi Yenile",
                  WS_TABSTOP | BS_PUSHBUTTON, kReloadId);
  status_ = Child(hwnd(), L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0);
  Arrange();
  Refresh();
}

HistoryWindow::~HistoryWindow() { DestroyNow(); }

void HistoryWindow::ShowAndActivate() {
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

void HistoryWindow::Refresh() {
  // New calls come in on top: the row the user picked moves down with them,
  // so a copy still takes the number they chose.
  const int old_count = ListView_GetItemCount(list_);
  const int old_row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  const int count = static_cast<int>(source_.count());
  ListView_SetItemCountEx(list_, count, LVSICF_NOSCROLL);
  const int row = old_row < 0 ? 0 : old_row + (count - old_count);
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 0 && row < count) {
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  }
  InvalidateRect(list_, nullptr, TRUE);
}

void HistoryWindow::SetStatus(std::u16string_view text) {
  SetWindowTextU16(status_, text);
}

void HistoryWindow::Arrange() {
  RECT client;
  GetClientRect(hwnd(), &client);
  const UINT dpi = DpiOf(hwnd());
  const int margin = Scale(8, dpi);
  const int button_height = Scale(26, dpi);
  const int status_height = Scale(18, dpi);
  const int width = client.right - 2 * margin;
  const int buttons_top =
      client.bottom - margin - status_height - Scale(4, dpi) - button_height;
  MoveWindow(list_, margin, margin, width, buttons_top - 2 * margin, TRUE);
  MoveWindow(copy_, margin, buttons_top, Scale(140, dpi), button_height, TRUE);
  MoveWindow(reload_, client.right - margin - Scale(120, dpi), buttons_top,
             Scale(120, dpi), button_height, TRUE);
  MoveWindow(status_, margin, client.bottom - margin - status_height, width,
             status_height, TRUE);
}

void HistoryWindow::CopySelected() {
  const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (row >= 0 && actions_.copy_number) {
    actions_.copy_number(static_cast<size_t>(row));
  }
}

LRESULT HistoryWindow::HandleMessage(UINT message, WPARAM wparam,
                                     LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      Arrange();
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);  // the program goes on in the tray
      return 0;
    case WM_ENDSESSION:
      if (wparam && actions_.end_session) actions_.end_session();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kCopyId) {
        CopySelected();
        return 0;
      }
      if (LOWORD(wparam) == kReloadId && actions_.reload_phone_book) {
        actions_.reload_phone_book();
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom != list_) break;
      if (header->code == LVN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lparam);
        const size_t row = static_cast<size_t>(info->item.iItem);
        if ((info->item.mask & LVIF_TEXT) && row < source_.count()) {
          const HistoryEntry& entry = source_.row(row);
          const std::u16string* fields[] = {&entry.time, &entry.line,
                                            &entry.number, &entry.name};
          cell_ = Wide(*fields[info->item.iSubItem & 3]);
          lstrcpynW(info->item.pszText, cell_.c_str(), info->item.cchTextMax);
        }
        return 0;
      }
      if (header->code == NM_DBLCLK) {
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(lparam);
        if (activate->iItem >= 0 && actions_.copy_number) {
          actions_.copy_number(static_cast<size_t>(activate->iItem));
        }
        return 0;
      }
      break;
    }
  }
  return Default(message, wparam, lparam);
}

}  // namespace orvanta::win
