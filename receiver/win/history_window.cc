#include "receiver/win/history_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>
#include <utility>

#include "desktop/win/win_text.h"
#include "receiver/history_layout.h"

namespace orvanta::win {
namespace {

HWND Child(HWND parent, const wchar_t* cls, const std::u16string& text,
           DWORD style, int id) {
  HWND hwnd = CreateWindowExW(
      0, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd, WM_SETFONT,
               reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               TRUE);
  return hwnd;
}

}  // namespace

HistoryWindow::HistoryWindow(HICON icon) : layout_(kHistoryClientSize) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterClassOnce(kClassName, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                    icon, icon);
  Create(0, kClassName, Wide(history_text::kCaption).c_str(),
         WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 440, nullptr);
  // The client area the table was drawn for, at this window's dpi.
  const UINT dpi = DpiOf(hwnd());
  RECT outer = {0, 0, Scale(kHistoryClientSize.width, dpi),
                Scale(kHistoryClientSize.height, dpi)};
  AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left,
               outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  list_ = Child(hwnd(), WC_LISTVIEWW, u"",
                WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                    LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                kListId);
  ListView_SetExtendedListViewStyle(list_,
                                    LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (int i = 0; i < 4; ++i) {
    std::wstring title = Wide(history_text::kColumns[i]);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title.data();
    column.cx = Scale(kHistoryColumnWidths[i], dpi);
    ListView_InsertColumn(list_, i, &column);
  }
  copy_ = Child(hwnd(), L"BUTTON", history_text::kCopyButton,
                WS_TABSTOP | BS_PUSHBUTTON, kCopyId);
  import_ = Child(hwnd(), L"BUTTON", history_text::kImportButton,
                  WS_TABSTOP | BS_PUSHBUTTON, kImportId);
  reload_ = Child(hwnd(), L"BUTTON", history_text::kReloadButton,
                  WS_TABSTOP | BS_PUSHBUTTON, kReloadId);
  status_ = Child(hwnd(), L"STATIC", u"", SS_LEFT | SS_NOPREFIX, 0);
  const std::pair<HWND, const HistoryControlLayout&> placed[] = {
      {list_, kHistoryList},
      {copy_, kHistoryCopyButton},
      {import_, kHistoryImportButton},
      {reload_, kHistoryReloadButton},
      {status_, kHistoryStatus}};
  for (const auto& [control, layout] : placed) {
    layout_.Add(control, layout.rect, layout.anchors);
  }
  Arrange();
}

HistoryWindow::~HistoryWindow() { DestroyNow(); }

void HistoryWindow::ShowRows(const HistoryRows& rows) {
  rows_ = &rows;
  ListView_SetItemCountEx(list_, static_cast<int>(rows.RowCount()),
                          LVSICF_NOSCROLL);
  InvalidateRect(list_, nullptr, TRUE);
}

std::optional<size_t> HistoryWindow::SelectedRow() const {
  const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<size_t>(row);
}

void HistoryWindow::SelectRow(std::optional<size_t> row) {
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row) {
    ListView_SetItemState(list_, static_cast<int>(*row),
                          LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  }
}

void HistoryWindow::SetStatus(const std::u16string& text) {
  SetWindowTextU16(status_, text);
}

void HistoryWindow::ShowAndActivate() {
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool HistoryWindow::IsShown() const { return IsWindowVisible(hwnd()) != FALSE; }

std::optional<std::u16string> HistoryWindow::AskForPhoneBookFile() {
  // "Rehber (*.csv;*.txt)\0*.csv;*.txt\0Tüm dosyalar (*.*)\0*.*\0\0"
  std::u16string patterns;
  for (const char16_t* pattern : history_text::kPhoneBookPatterns) {
    if (!patterns.empty()) patterns += u';';
    patterns += pattern;
  }
  std::u16string filter = std::u16string(history_text::kPhoneBookFilter) +
                          u" (" + patterns + u")" + u'\0' + patterns + u'\0' +
                          history_text::kAllFilesFilter + u" (*.*)" + u'\0' +
                          u"*.*" + u'\0';
  const std::wstring wide_filter = Wide(filter);
  const std::wstring title = Wide(history_text::kImportDialogTitle);
  std::wstring path(32768, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd();
  dialog.lpstrFilter = wide_filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  path.resize(std::wcslen(path.c_str()));
  return U16(path);
}

void HistoryWindow::CopyToClipboard(const std::u16string& text) {
  if (!OpenClipboard(hwnd())) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory != nullptr) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
  }
  CloseClipboard();
}

void HistoryWindow::Arrange() {
  RECT client;
  GetClientRect(hwnd(), &client);
  layout_.Arrange(client.right, client.bottom, DpiOf(hwnd()));
}

LRESULT HistoryWindow::HandleMessage(UINT message, WPARAM wparam,
                                     LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      if (list_) Arrange();
      return 0;
    case WM_CLOSE:
      ShowWindow(hwnd(), SW_HIDE);  // the program goes on in the tray
      return 0;
    case WM_ENDSESSION:
      if (wparam && on_end_session) on_end_session();
      return 0;
    case WM_COMMAND:
      if (!listener_) break;
      switch (LOWORD(wparam)) {
        case kCopyId:
          listener_->OnCopyButton();
          return 0;
        case kImportId:
          listener_->OnImportPhoneBook();
          return 0;
        case kReloadId:
          listener_->OnReloadPhoneBook();
          return 0;
      }
      break;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
      if (header->hwndFrom != list_) break;
      if (header->code == LVN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lparam);
        const size_t row = static_cast<size_t>(info->item.iItem);
        if ((info->item.mask & LVIF_TEXT) && rows_ && row < rows_->RowCount()) {
          const HistoryEntry& entry = rows_->Row(row);
          const std::u16string* fields[] = {&entry.time, &entry.line,
                                            &entry.number, &entry.name};
          cell_ = Wide(*fields[info->item.iSubItem & 3]);
          lstrcpynW(info->item.pszText, cell_.c_str(), info->item.cchTextMax);
        }
        return 0;
      }
      if (header->code == NM_DBLCLK) {
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(lparam);
        if (activate->iItem >= 0 && listener_) {
          listener_->OnRowActivated(static_cast<size_t>(activate->iItem));
        }
        return 0;
      }
      break;
    }
  }
  return Default(message, wparam, lparam);
}

}  // namespace orvanta::win
