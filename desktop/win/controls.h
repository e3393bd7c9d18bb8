#ifndef ORVANTA_DESKTOP_WIN_CONTROLS_H_
#define ORVANTA_DESKTOP_WIN_CONTROLS_H_

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "desktop/layout.h"
#include "desktop/win/window.h"

namespace orvanta::win {

// A window that hosts controls: positions them by its Layout and hands their
// notifications back to the control objects.
class Container {
 public:
  virtual ~Container() = default;
  virtual HWND container_hwnd() const = 0;
  Layout& layout() { return layout_; }

 protected:
  // Routes WM_COMMAND, WM_NOTIFY and the WM_CTLCOLOR* messages of child
  // controls. True when the message was one of those.
  bool HandleChildMessage(UINT message, WPARAM wparam, LPARAM lparam,
                          LRESULT* result);
  Layout layout_;
};

// Base of the control wrappers: a standard control created inside a
// container, found again from its HWND.
class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND hwnd() const { return hwnd_; }
  // The control's own visibility flag (a control inside a hidden panel keeps
  // its flag).
  bool Visible() const;
  void SetVisible(bool visible);
  std::u16string Text() const;
  void SetText(std::u16string_view text);

  static Control* FromHwnd(HWND hwnd);

  // Notifications reflected by the container.
  virtual void OnCommand(WORD /*code*/) {}
  virtual bool OnNotify(NMHDR* /*header*/, LRESULT* /*result*/) {
    return false;
  }

 protected:
  void CreateIn(Container& parent, const wchar_t* class_name,
                const wchar_t* text, DWORD style, DWORD ex_style,
                const LayoutRect& design, unsigned anchors);
  // Routes the control's own messages to Filter first.
  void Subclass();
  virtual bool Filter(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/,
                      LRESULT* /*result*/) {
    return false;
  }
  LRESULT CallDefault(UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam,
                                       LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR data);
};

// A panel: a container child window with an optional bevel.
class Panel : public Window, public Container {
 public:
  enum Bevel { kFlat, kRaised, kRaisedInLoweredOut };
  void Create(Container& parent, const LayoutRect& design, unsigned anchors,
              Bevel bevel, bool visible);
  HWND container_hwnd() const override { return hwnd(); }
  bool Visible() const;
  void SetVisible(bool visible);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  Bevel bevel_ = kFlat;
};

class Label : public Control {
 public:
  // `wrap`: fixed width and height, text broken into lines; otherwise the
  // label takes the size of its text (FitToText).
  void Create(Container& parent, const wchar_t* text, const LayoutRect& design,
              bool wrap, bool visible = true);
  void FitToText(Container& parent, HFONT font, UINT dpi);

 private:
  LayoutRect design_ = {};
};

class Button : public Control {
 public:
  void Create(Container& parent, const wchar_t* text, const LayoutRect& design,
              unsigned anchors = kLayoutTopLeft, bool hand_cursor = true,
              DWORD extra_style = 0);
  void OnCommand(WORD code) override;
  std::function<void()> on_click;

 protected:
  bool Filter(UINT message, WPARAM wparam, LPARAM lparam,
              LRESULT* result) override;

 private:
  bool hand_cursor_ = false;
};

class CheckBox : public Control {
 public:
  void Create(Container& parent, const wchar_t* text, const LayoutRect& design);
  bool Checked() const;
  void SetChecked(bool checked);  // raises no on_click
  // Widens the box beyond its designed width when its text needs more room.
  void FitText(Container& parent, HFONT font, UINT dpi);
  void OnCommand(WORD code) override;
  std::function<void()> on_click;

 private:
  LayoutRect design_ = {};
};

class Edit : public Control {
 public:
  void Create(Container& parent, const wchar_t* text, const LayoutRect& design,
              bool visible = true, DWORD extra_style = 0);
  void OnCommand(WORD code) override;
  // The text changed, by the user or by SetText alike (the edit control
  // does not tell them apart).
  std::function<void()> on_change;
};

// Whole-number edit: every keystroke and paste is offered to `accepts` with
// the text it would produce; Esc calls `on_escape`; leaving it calls
// `on_exit`.
class NumericEdit : public Edit {
 public:
  void Create(Container& parent, const wchar_t* text, const LayoutRect& design);
  std::function<bool(const std::u16string& text)> accepts;
  std::function<void()> on_escape;
  std::function<void()> on_exit;
  void OnCommand(WORD code) override;

 protected:
  bool Filter(UINT message, WPARAM wparam, LPARAM lparam,
              LRESULT* result) override;

 private:
  bool Offer(std::u16string_view inserted, LRESULT* result);
};

// Read-only edit with an up-down control: values 0..500 in steps of 1,
// changed with the arrows and the arrow keys only.
class SpinEdit : public Control {
 public:
  void Create(Container& parent, const LayoutRect& design, int minimum,
              int maximum);
  int Value() const;
  void SetValue(int value);  // taken into the range
  HWND updown() const { return updown_; }

 private:
  HWND updown_ = nullptr;
  int minimum_ = 0;
  int maximum_ = 0;
};

// Drop-down list: only items of the list can be chosen.
class ComboList : public Control {
 public:
  void Create(Container& parent, const LayoutRect& design,
              const std::vector<std::u16string>& items, bool visible = true);
  int Index() const;
  void SetIndex(int index);  // outside the list: no item; raises no on_change
  void SetItems(const std::vector<std::u16string>& items);
  std::u16string ItemText(int index) const;
  int Count() const;
  void OnCommand(WORD code) override;
  std::function<void()> on_change;
};

// A list of text rows, one chosen at a time, with both scroll bars as
// needed.
class ListBox : public Control {
 public:
  void Create(Container& parent, const LayoutRect& design);
  // Replaces the rows and chooses one (outside the list: none); raises no
  // on_change. `font` measures the widest row for the horizontal scroll.
  void SetItems(const std::vector<std::u16string>& items, int chosen,
                HFONT font);
  int Index() const;
  int Count() const;
  std::u16string ItemText(int index) const;
  void OnCommand(WORD code) override;
  // The user chose another row.
  std::function<void()> on_change;
};

// Group box with auto radio buttons, filled column by column.
class RadioGroup : public Window, public Container {
 public:
  void Create(Container& parent, const wchar_t* caption,
              const std::vector<std::u16string>& items, int columns,
              const LayoutRect& design, unsigned anchors);
  HWND container_hwnd() const override { return hwnd(); }
  int Index() const;
  void SetIndex(int index);  // raises no on_click
  HWND button(int index) const { return buttons_[index]; }
  // A user's choice of a different item.
  std::function<void()> on_click;
  // Places the buttons for the current font.
  void ArrangeButtons(HFONT font, UINT dpi);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  HWND frame_ = nullptr;
  std::vector<HWND> buttons_;
  int columns_ = 1;
  int index_ = -1;
  LayoutRect design_ = {};
};

// Multi-line edit with a vertical scroll bar: a log pane (read-only) or the
// port test window's text panes.
class TextPane : public Control {
 public:
  void Create(Container& parent, const LayoutRect& design,
              DWORD extra_style = 0);
  void AddLine(std::u16string_view line);
  // For a memo filled only through these two: new last lines, each ended by
  // CR LF, appended without reading the text back; the first `count` of
  // them removed.
  void AddLines(const std::vector<std::u16string>& lines);
  void RemoveFirstLines(size_t count);
  void Clear();
  std::function<void()> on_double_click;

 protected:
  bool Filter(UINT message, WPARAM wparam, LPARAM lparam,
              LRESULT* result) override;

 private:
  // Characters of each line added by AddLines, CR LF included: the edit
  // control's own line numbers count wrapped rows, not lines.
  std::deque<size_t> line_lengths_;
};

// Hover hints for some controls of one top-level window.
class Tooltips {
 public:
  ~Tooltips();
  void Add(HWND owner, HWND tool, const wchar_t* text);

 private:
  HWND tips_ = nullptr;
};

// Puts a child under all its siblings.
void SendToBottom(HWND hwnd);
// Puts every label and group frame below `root` under its siblings.
void LabelsUnderControls(HWND root);

// Colours for a WM_CTLCOLOR* message: labels in kLabelColour, edits, lists
// and read-only edits black on white.
LRESULT ControlColour(UINT message, HDC dc, HWND control);

}  // namespace orvanta::win

#endif  // ORVANTA_DESKTOP_WIN_CONTROLS_H_
