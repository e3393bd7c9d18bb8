#include "desktop/win/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "desktop/win/win_text.h"

namespace orvanta::win {

namespace {

constexpr wchar_t kControlProperty[] = L"OrvantaControl";
constexpr wchar_t kPanelClass[] = L"OrvantaPanel";
constexpr wchar_t kGroupClass[] = L"OrvantaRadioGroup";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

bool IsEditControl(HWND hwnd) {
  wchar_t name[16];
  return GetClassNameW(hwnd, name, 16) && _wcsicmp(name, L"Edit") == 0;
}

}  // namespace

void SendToBottom(HWND hwnd) {
  SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void LabelsUnderControls(HWND root) {
  // A sibling made later lies under the earlier ones. Labels must never
  // cover a control they overlap, and group frames lie under everything,
  // labels included.
  struct Found {
    std::vector<HWND> labels, frames;
  } found;
  EnumChildWindows(
      root,
      [](HWND child, LPARAM data) CALLBACK -> BOOL {
        auto* found = reinterpret_cast<Found*>(data);
        wchar_t name[16];
        GetClassNameW(child, name, 16);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (_wcsicmp(name, L"Static") == 0) found->labels.push_back(child);
        if (_wcsicmp(name, L"Button") == 0 &&
            (style & BS_TYPEMASK) == BS_GROUPBOX) {
          found->frames.push_back(child);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  for (HWND label : found.labels) SendToBottom(label);
  for (HWND frame : found.frames) SendToBottom(frame);
}

LRESULT ControlColour(UINT message, HDC dc, HWND control) {
  const bool white = message == WM_CTLCOLOREDIT ||
                     message == WM_CTLCOLORLISTBOX ||
                     (message == WM_CTLCOLORSTATIC && IsEditControl(control));
  if (white) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  SetTextColor(dc,
               RGB(kLabelColour.red, kLabelColour.green, kLabelColour.blue));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

bool Container::HandleChildMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                   LRESULT* result) {
  switch (message) {
    case WM_COMMAND:
      if (lparam) {
        if (Control* control =
                Control::FromHwnd(reinterpret_cast<HWND>(lparam))) {
          control->OnCommand(HIWORD(wparam));
        }
        *result = 0;
        return true;
      }
      return false;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      *result = 0;
      if (Control* control = Control::FromHwnd(header->hwndFrom)) {
        control->OnNotify(header, result);
      }
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      *result = ControlColour(message, reinterpret_cast<HDC>(wparam),
                              reinterpret_cast<HWND>(lparam));
      return true;
  }
  return false;
}

Control::~Control() {
  // The window may outlive the object while its parent is torn down.
  if (hwnd_ && IsWindow(hwnd_)) {
    RemoveWindowSubclass(hwnd_, &Control::SubclassProc, 1);
    RemovePropW(hwnd_, kControlProperty);
  }
}

bool Control::Visible() const {
  return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::SetVisible(bool visible) {
  ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

std::u16string Control::Text() const { return WindowText(hwnd_); }

void Control::SetText(std::u16string_view text) {
  SetWindowTextU16(hwnd_, text);
}

Control* Control::FromHwnd(HWND hwnd) {
  return static_cast<Control*>(GetPropW(hwnd, kControlProperty));
}

void Control::CreateIn(Container& parent, const wchar_t* class_name,
                       const wchar_t* text, DWORD style, DWORD ex_style,
                       const LayoutRect& design, unsigned anchors) {
  hwnd_ = CreateWindowExW(
      ex_style, class_name, text, style | WS_CHILD | WS_CLIPSIBLINGS,
      design.left, design.top, design.width, design.height,
      parent.container_hwnd(), nullptr, Instance(), nullptr);
  SetPropW(hwnd_, kControlProperty, this);
  parent.layout().Add(hwnd_, design, anchors);
}

void Control::Subclass() {
  SetWindowSubclass(hwnd_, &Control::SubclassProc, 1,
                    reinterpret_cast<DWORD_PTR>(this));
}

LRESULT Control::CallDefault(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefSubclassProc(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wparam,
                                       LPARAM lparam, UINT_PTR /*id*/,
                                       DWORD_PTR data) {
  auto* self = reinterpret_cast<Control*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &Control::SubclassProc, 1);
    return DefSubclassProc(hwnd, message, wparam, lparam);
  }
  LRESULT result = 0;
  if (self->Filter(message, wparam, lparam, &result)) return result;
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

// --- Panel -----------------------------------------------------------------

void Panel::Create(Container& parent, const LayoutRect& design,
                   unsigned anchors, Bevel bevel, bool visible) {
  RegisterClassOnce(kPanelClass, 0, GetSysColorBrush(COLOR_BTNFACE), nullptr,
                    nullptr);
  bevel_ = bevel;
  layout_.SetDesignClient({design.width, design.height});
  Window::Create(
      WS_EX_CONTROLPARENT, kPanelClass, L"",
      WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0),
      design.left, design.top, design.width, design.height,
      parent.container_hwnd());
  parent.layout().Add(hwnd(), design, anchors);
}

bool Panel::Visible() const {
  return (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Panel::SetVisible(bool visible) {
  ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result;
  if (HandleChildMessage(message, wparam, lparam, &result)) return result;
  switch (message) {
    case WM_SIZE:
      layout_.Arrange(LOWORD(lparam), HIWORD(lparam), DpiOf(hwnd()));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd(), &paint);
      RECT client;
      GetClientRect(hwnd(), &client);
      if (bevel_ == kRaisedInLoweredOut) {
        DrawEdge(dc, &client, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
      } else if (bevel_ == kRaised) {
        DrawEdge(dc, &client, BDR_RAISEDOUTER, BF_RECT);
      }
      EndPaint(hwnd(), &paint);
      return 0;
    }
  }
  return Default(message, wparam, lparam);
}

// --- Label -----------------------------------------------------------------

void Label::Create(Container& parent, const wchar_t* text,
                   const LayoutRect& design, bool wrap, bool visible) {
  design_ = design;
  CreateIn(parent, L"STATIC", text,
           SS_NOPREFIX | (wrap ? SS_LEFT : SS_LEFTNOWORDWRAP) |
               (visible ? WS_VISIBLE : 0),
           0, design, kLayoutTopLeft);
}

void Label::FitToText(Container& parent, HFONT font, UINT dpi) {
  std::wstring text = Wide(Text());
  SIZE extent = TextExtent(font, text.c_str());
  LayoutRect design = design_;
  design.width = MulDiv(extent.cx, 96, dpi) + 1;
  design.height = MulDiv(extent.cy, 96, dpi);
  parent.layout().SetDesignRect(hwnd_, design);
}

// --- Button ----------------------------------------------------------------

void Button::Create(Container& parent, const wchar_t* text,
                    const LayoutRect& design, unsigned anchors,
                    bool hand_cursor, DWORD extra_style) {
  hand_cursor_ = hand_cursor;
  CreateIn(parent, L"BUTTON", text,
           BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE | extra_style, 0, design,
           anchors);
  if (hand_cursor_) Subclass();
}

void Button::OnCommand(WORD code) {
  if (code == BN_CLICKED && on_click) on_click();
}

bool Button::Filter(UINT message, WPARAM /*wparam*/, LPARAM lparam,
                    LRESULT* result) {
  if (message == WM_SETCURSOR && LOWORD(lparam) == HTCLIENT && hand_cursor_) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    *result = TRUE;
    return true;
  }
  return false;
}

// --- CheckBox --------------------------------------------------------------

void CheckBox::Create(Container& parent, const wchar_t* text,
                      const LayoutRect& design) {
  design_ = design;
  CreateIn(parent, L"BUTTON", text, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE,
           0, design, kLayoutTopLeft);
}

bool CheckBox::Checked() const {
  return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
  SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::FitText(Container& parent, HFONT font, UINT dpi) {
  std::wstring text = Wide(Text());
  const int needed = MulDiv(TextExtent(font, text.c_str()).cx, 96, dpi) +
                     MulDiv(GetSystemMetrics(SM_CXMENUCHECK), 96, dpi) + 8;
  LayoutRect design = design_;
  design.width = std::max<int>(design.width, needed);
  parent.layout().SetDesignRect(hwnd_, design);
}

void CheckBox::OnCommand(WORD code) {
  if (code == BN_CLICKED && on_click) on_click();
}

// --- Edit ------------------------------------------------------------------

void Edit::Create(Container& parent, const wchar_t* text,
                  const LayoutRect& design, bool visible, DWORD extra_style) {
  CreateIn(
      parent, L"EDIT", text,
      ES_AUTOHSCROLL | WS_TABSTOP | (visible ? WS_VISIBLE : 0) | extra_style,
      WS_EX_CLIENTEDGE, design, kLayoutTopLeft);
}

void Edit::OnCommand(WORD code) {
  if (code == EN_CHANGE && on_change) on_change();
}

void NumericEdit::Create(Container& parent, const wchar_t* text,
                         const LayoutRect& design) {
  Edit::Create(parent, text, design);
  Subclass();
}

void NumericEdit::OnCommand(WORD code) {
  Edit::OnCommand(code);
  if (code == EN_KILLFOCUS && on_exit) on_exit();
}

bool NumericEdit::Offer(std::u16string_view inserted, LRESULT* result) {
  DWORD start = 0, end = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  std::u16string text = Text();
  start = std::min<DWORD>(start, text.size());
  end = std::min<DWORD>(std::max(end, start), text.size());
  std::u16string proposed = text.substr(0, start);
  proposed += inserted;
  proposed += text.substr(end);
  if (accepts && !accepts(proposed)) {
    MessageBeep(MB_OK);
    *result = 0;
    return true;  // swallowed
  }
  return false;
}

bool NumericEdit::Filter(UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT* result) {
  switch (message) {
    case WM_GETDLGCODE: {
      // Esc belongs to the edit (it restores the value), not to the
      // window's keyboard navigation.
      auto* pending = reinterpret_cast<const MSG*>(lparam);
      if (pending && pending->message == WM_KEYDOWN &&
          pending->wParam == VK_ESCAPE) {
        *result = CallDefault(message, wparam, lparam) | DLGC_WANTMESSAGE;
        return true;
      }
      return false;
    }
    case WM_CHAR:
      if (wparam == VK_ESCAPE) {
        if (on_escape) on_escape();
        *result = 0;
        return true;
      }
      if (wparam >= 0x20) {
        char16_t typed = static_cast<char16_t>(wparam);
        return Offer(std::u16string_view(&typed, 1), result);
      }
      return false;
    case WM_PASTE: {
      std::u16string pasted;
      if (OpenClipboard(hwnd_)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
          if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            pasted = U16(chars);
            GlobalUnlock(data);
          }
        }
        CloseClipboard();
      }
      return Offer(pasted, result);
    }
  }
  return false;
}

// --- SpinEdit --------------------------------------------------------------

void SpinEdit::Create(Container& parent, const LayoutRect& design, int minimum,
                      int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  // The arrows take the right end of the designed width; both parts are
  // placed by the layout, so they stay together when it moves them.
  const int arrows = 17;
  const LayoutRect edit = {design.left, design.top, design.width - arrows,
                           design.height};
  CreateIn(parent, L"EDIT", L"0",
           ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE,
           WS_EX_CLIENTEDGE, edit, kLayoutTopLeft);
  updown_ = CreateWindowExW(
      0, UPDOWN_CLASSW, L"",
      WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
      0, 0, 0, 0, parent.container_hwnd(), nullptr, Instance(), nullptr);
  parent.layout().Add(
      updown_,
      {design.left + design.width - arrows, design.top, arrows, design.height},
      kLayoutTopLeft);
  SendMessageW(updown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd_), 0);
  SendMessageW(updown_, UDM_SETRANGE32, minimum, maximum);
  SendMessageW(updown_, UDM_SETPOS32, 0, minimum);
}

int SpinEdit::Value() const {
  BOOL failed = FALSE;
  int value = static_cast<int>(SendMessageW(updown_, UDM_GETPOS32, 0,
                                            reinterpret_cast<LPARAM>(&failed)));
  return failed ? 0 : value;
}

void SpinEdit::SetValue(int value) {
  value = std::clamp(value, minimum_, maximum_);
  SendMessageW(updown_, UDM_SETPOS32, 0, value);
}

// --- ComboList -------------------------------------------------------------

void ComboList::Create(Container& parent, const LayoutRect& design,
                       const std::vector<std::u16string>& items, bool visible) {
  // The height of a drop-down list is the height of its open list; the
  // closed field takes its height from the font.
  LayoutRect with_list = design;
  with_list.height = 200;
  CreateIn(
      parent, L"COMBOBOX", L"",
      CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | (visible ? WS_VISIBLE : 0),
      0, with_list, kLayoutTopLeft);
  SetItems(items);
}

void ComboList::SetItems(const std::vector<std::u16string>& items) {
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::u16string& item : items) {
    std::wstring text = Wide(item);
    SendMessageW(hwnd_, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
  }
}

int ComboList::Index() const {
  return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
}

void ComboList::SetIndex(int index) {
  if (index < 0 || index >= Count()) index = -1;
  SendMessageW(hwnd_, CB_SETCURSEL, index, 0);
}

int ComboList::Count() const {
  return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
}

std::u16string ComboList::ItemText(int index) const {
  LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(length + 1, L'\0');
  SendMessageW(hwnd_, CB_GETLBTEXT, index,
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return U16(text);
}

void ComboList::OnCommand(WORD code) {
  if (code == CBN_SELCHANGE && on_change) on_change();
}

// --- ListBox ---------------------------------------------------------------

void ListBox::Create(Container& parent, const LayoutRect& design) {
  // Exactly the designed height, not rounded to whole rows.
  CreateIn(parent, L"LISTBOX", L"",
           LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL |
               WS_TABSTOP | WS_VISIBLE,
           WS_EX_CLIENTEDGE, design, kLayoutTopLeft);
}

void ListBox::SetItems(const std::vector<std::u16string>& items, int chosen,
                       HFONT font) {
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  for (const std::u16string& item : items) {
    const std::wstring text = Wide(item);
    SendMessageW(hwnd_, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
    widest = std::max<int>(widest, TextExtent(font, text.c_str()).cx);
  }
  SendMessageW(hwnd_, LB_SETHORIZONTALEXTENT, widest + 6, 0);
  SendMessageW(
      hwnd_, LB_SETCURSEL,
      chosen >= 0 && chosen < static_cast<int>(items.size()) ? chosen : -1, 0);
  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

int ListBox::Index() const {
  return static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
}

int ListBox::Count() const {
  return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
}

std::u16string ListBox::ItemText(int index) const {
  const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::wstring text(length + 1, L'\0');
  SendMessageW(hwnd_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return U16(text);
}

void ListBox::OnCommand(WORD code) {
  if (code == LBN_SELCHANGE && on_change) on_change();
}

// --- RadioGroup ------------------------------------------------------------

void RadioGroup::Create(Container& parent, const wchar_t* caption,
                        const std::vector<std::u16string>& items, int columns,
                        const LayoutRect& design, unsigned anchors) {
  RegisterClassOnce(kGroupClass, 0, GetSysColorBrush(COLOR_BTNFACE), nullptr,
                    nullptr);
  columns_ = columns;
  design_ = design;
  layout_.SetDesignClient({design.width, design.height});
  Window::Create(WS_EX_CONTROLPARENT, kGroupClass, L"",
                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, design.left,
                 design.top, design.width, design.height,
                 parent.container_hwnd());
  parent.layout().Add(hwnd(), design, anchors);
  frame_ = CreateWindowExW(
      0, L"BUTTON", caption,
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 0, design.width,
      design.height, hwnd(), nullptr, Instance(), nullptr);
  layout_.Add(frame_, {0, 0, design.width, design.height},
              kLayoutLeft | kLayoutTop | kLayoutRight);
  for (size_t i = 0; i < items.size(); ++i) {
    std::wstring text = Wide(items[i]);
    HWND button = CreateWindowExW(
        0, L"BUTTON", text.c_str(),
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_AUTORADIOBUTTON |
            (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
        0, 0, 0, 0, hwnd(), nullptr, Instance(), nullptr);
    buttons_.push_back(button);
    layout_.Add(button, {0, 0, 0, 0}, kLayoutTopLeft);
  }
}

void RadioGroup::ArrangeButtons(HFONT font, UINT dpi) {
  // Columns of equal width; rows share the height below the caption.
  const int count = static_cast<int>(buttons_.size());
  const int per_column = (count + columns_ - 1) / columns_;
  const int text_height = MulDiv(TextExtent(font, L"0").cy, 96, dpi);
  const int width = (design_.width - 10) / columns_;
  const int free = design_.height - text_height - 5;
  const int height = free / per_column;
  const int top = text_height + 1 + (free % per_column) / 2;
  for (int i = 0; i < count; ++i) {
    const LayoutRect rect = {(i / per_column) * width + 8,
                             (i % per_column) * height + top, width, height};
    layout_.SetDesignRect(buttons_[i], rect);
  }
}

int RadioGroup::Index() const { return index_; }

void RadioGroup::SetIndex(int index) {
  const int count = static_cast<int>(buttons_.size());
  index = std::clamp(index, -1, count - 1);
  index_ = index;
  for (int i = 0; i < count; ++i) {
    SendMessageW(buttons_[i], BM_SETCHECK,
                 i == index ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

LRESULT RadioGroup::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      auto from = reinterpret_cast<HWND>(lparam);
      auto found = std::find(buttons_.begin(), buttons_.end(), from);
      if (found != buttons_.end() && HIWORD(wparam) == BN_CLICKED) {
        int index = static_cast<int>(found - buttons_.begin());
        if (index != index_) {
          SetIndex(index);
          if (on_click) on_click();
        }
      }
      return 0;
    }
    case WM_SIZE:
      layout_.Arrange(LOWORD(lparam), HIWORD(lparam), DpiOf(hwnd()));
      return 0;
  }
  LRESULT result;
  if (HandleChildMessage(message, wparam, lparam, &result)) return result;
  return Default(message, wparam, lparam);
}

// --- TextPane --------------------------------------------------------------

void TextPane::Create(Container& parent, const LayoutRect& design,
                      DWORD extra_style) {
  CreateIn(parent, L"EDIT", L"",
           ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP |
               WS_VISIBLE | extra_style,
           WS_EX_CLIENTEDGE, design, kLayoutTopLeft);
  // No length limit.
  SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);
  Subclass();
}

void TextPane::AddLine(std::u16string_view line) {
  std::u16string text = Text();
  std::u16string added;
  if (!text.empty() && !(text.size() >= 2 && text.ends_with(u"\r\n"))) {
    added = u"\r\n";
  }
  added += line;
  added += u"\r\n";
  const int length = GetWindowTextLengthW(hwnd_);
  SendMessageW(hwnd_, EM_SETSEL, length, length);
  std::wstring wide = Wide(added);
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE,
               reinterpret_cast<LPARAM>(wide.c_str()));
}

void TextPane::AddLines(const std::vector<std::u16string>& lines) {
  std::u16string added;
  for (const std::u16string& line : lines) {
    added += line;
    added += u"\r\n";
    line_lengths_.push_back(line.size() + 2);
  }
  const int length = GetWindowTextLengthW(hwnd_);
  SendMessageW(hwnd_, EM_SETSEL, length, length);
  std::wstring wide = Wide(added);
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE,
               reinterpret_cast<LPARAM>(wide.c_str()));
}

void TextPane::RemoveFirstLines(size_t count) {
  size_t characters = 0;
  for (; count > 0 && !line_lengths_.empty(); --count) {
    characters += line_lengths_.front();
    line_lengths_.pop_front();
  }
  SendMessageW(hwnd_, EM_SETSEL, 0, static_cast<LPARAM>(characters));
  SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void TextPane::Clear() {
  SetWindowTextW(hwnd_, L"");
  line_lengths_.clear();
}

bool TextPane::Filter(UINT message, WPARAM /*wparam*/, LPARAM /*lparam*/,
                      LRESULT* /*result*/) {
  if (message == WM_LBUTTONDBLCLK && on_double_click) {
    on_double_click();
  }
  return false;
}

// --- Tooltips --------------------------------------------------------------

Tooltips::~Tooltips() {
  if (tips_) DestroyWindow(tips_);
}

void Tooltips::Add(HWND owner, HWND tool, const wchar_t* text) {
  if (!tips_) {
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, owner, nullptr, Instance(), nullptr);
  }
  TTTOOLINFOW info = {};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace orvanta::win
