#ifndef ORVANTA_DESKTOP_WIN_WINDOW_H_
#define ORVANTA_DESKTOP_WIN_WINDOW_H_

#include <windows.h>

#include <vector>

#include "desktop/layout.h"

namespace orvanta::win {

// Every window class of the shell derives from this: one static window
// procedure per class ties the HWND to its object at WM_NCCREATE and forwards
// each message to HandleMessage.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // The object behind a window of one of the shell's classes, or null.
  static Window* FromHwnd(HWND hwnd);

 protected:
  // Registers `class_name` once per process with the shared procedure.
  static void RegisterClassOnce(const wchar_t* class_name, UINT style,
                                HBRUSH background, HICON icon,
                                HICON small_icon);
  // CreateWindowExW with `this` handed to WM_NCCREATE.
  HWND Create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title,
              DWORD style, int x, int y, int width, int height, HWND parent);
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam);
  // Destroys the window with its children while the derived object, which
  // holds their wrappers and fonts, still exists.
  void DestroyNow();

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam);
  HWND hwnd_ = nullptr;
};

// Child positions in 96-dpi pixels, as designed, with their anchors
// (LayoutAnchor). The parent calls Arrange on every size or dpi change.
class Layout {
 public:
  explicit Layout(LayoutSize design_client = {0, 0}) : design_(design_client) {}
  void SetDesignClient(LayoutSize size) { design_ = size; }
  LayoutSize design_client() const { return design_; }
  void Add(HWND child, const LayoutRect& design,
           unsigned anchors = kLayoutTopLeft);
  // Replaces the designed rectangle of an added child (labels sized to
  // their text).
  void SetDesignRect(HWND child, const LayoutRect& design);
  void Arrange(int client_width, int client_height, UINT dpi) const;

 private:
  struct Item {
    HWND hwnd;
    LayoutRect design;
    unsigned anchors;
  };
  LayoutSize design_;
  std::vector<Item> items_;
};

// Dots per inch of a window (96 on systems without per-monitor scaling).
UINT DpiOf(HWND hwnd);
int Scale(int value, UINT dpi);

// A designed rectangle or size at a dpi.
LayoutRect Scale(const LayoutRect& rect, UINT dpi);
LayoutSize Scale(LayoutSize size, UINT dpi);

// Outer window size for a client area (96-dpi pixels) at a dpi.
SIZE WindowSizeForClient(LayoutSize client, DWORD style, DWORD ex_style,
                         UINT dpi);

// Moves `window` (its size unchanged) to the centre of the work area of the
// monitor nearest to the cursor.
void CentreOnScreen(HWND window);

// A font that deletes itself.
class Font {
 public:
  Font() = default;
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  // `points` at `dpi`, e.g. Tahoma 8 bold.
  void Create(const wchar_t* face, int points, bool bold, UINT dpi);
  HFONT get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// Sends WM_SETFONT to a window and all its descendants.
void SetFontDeep(HWND root, HFONT font);

// Text extent of a single line in a font.
SIZE TextExtent(HFONT font, const wchar_t* text);

}  // namespace orvanta::win

#endif  // ORVANTA_DESKTOP_WIN_WINDOW_H_
