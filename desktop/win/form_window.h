#ifndef ORVANTA_DESKTOP_WIN_FORM_WINDOW_H_
#define ORVANTA_DESKTOP_WIN_FORM_WINDOW_H_

#include <windows.h>

#include <functional>

#include "desktop/win/controls.h"
#include "desktop/win/window.h"

namespace orvanta::win {

// A top-level window with a fixed client size in 96-dpi pixels whose
// controls follow the monitor's dpi.
class FormWindow : public Window, public Container {
 public:
  HWND container_hwnd() const override { return hwnd(); }
  UINT dpi() const { return dpi_; }

 protected:
  // Creates the window hidden, sized for `client` (96-dpi pixels) at its
  // monitor's dpi.
  void CreateForm(const wchar_t* class_name, const wchar_t* title, DWORD style,
                  DWORD ex_style, LayoutSize client, HICON icon,
                  HICON small_icon);
  // After the controls exist: fonts for the dpi, then positions.
  void FinishLayout();
  // (Re)creates the fonts for `dpi` and hands them to the controls.
  virtual void ApplyFonts(UINT dpi) = 0;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  UINT dpi_ = 96;
};

// Shows `dialog` modally: every other enabled window of this thread is
// disabled until `done()` turns true; messages keep flowing meanwhile (tray,
// serial hand-over). A WM_QUIT ends the showing and is posted again.
void RunModal(HWND dialog, const std::function<bool()>& done);

// The message loop step shared by every loop of the program: keyboard
// navigation inside the window that holds the focus, then dispatch.
void DispatchWithNavigation(MSG& message);

}  // namespace orvanta::win

#endif  // ORVANTA_DESKTOP_WIN_FORM_WINDOW_H_
