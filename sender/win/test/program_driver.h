#ifndef ORVANTA_SENDER_WIN_TEST_PROGRAM_DRIVER_H_
#define ORVANTA_SENDER_WIN_TEST_PROGRAM_DRIVER_H_

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace orvanta::win {

// Waits, polling, until `done` is true; false on time-out.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(20));

// A copy of Orvanta.exe in a folder of its own, started and driven from
// outside through window messages, as a user (or the shell) would.
class Program {
 public:
  // Makes a fresh folder named `name` beside the test executable and copies
  // Orvanta.exe (built beside the test) into it.
  explicit Program(const std::wstring& name);
  ~Program();  // ends the program if it still runs
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  const std::wstring& folder() const { return folder_; }
  std::wstring FilePath(const wchar_t* name) const { return folder_ + name; }
  bool FileExists(const wchar_t* name) const;
  // UTF-8 text of a file in the folder (empty when missing).
  std::string ReadFile(const wchar_t* name) const;
  void WriteFile(const wchar_t* name, const std::string& bytes) const;

  // Starts the program with `arguments` and waits for its main window.
  void Start(const std::wstring& arguments = L"");
  // Starts another process of the program with `arguments`, its output and
  // errors going to `output`, and waits for its end: its exit code, or -1
  // on time-out.
  int RunAnother(const std::wstring& arguments, std::string* output) const;
  bool Running() const;
  // Waits for the process to end; its exit code, or -1 on time-out.
  int WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  DWORD process_id() const { return process_.dwProcessId; }

  HWND main_window() const { return main_window_; }
  HWND tray_window() const { return tray_window_; }
  // A control of the settings window by its id.
  HWND Control(int id) const;
  // Whether the tray still holds the program's icon.
  bool TrayIconPresent() const;
  // What the shell sends to the icon's owner for a mouse or keyboard event.
  void TrayEvent(UINT event) const;
  // Real mouse clicks on the first icon of Wine's stand-alone tray window
  // ("Wine System Tray"); false when there is no such window.
  static bool ClickFirstTrayIcon(bool right_button, int clicks);

  // A top-level window of the program: a message box (class "#32770")
  // titled `title`, or null.
  HWND FindMessageBox(const std::wstring& title) const;
  HWND WaitForMessageBox(const std::wstring& title) const;
  // The text of a message box.
  static std::wstring MessageText(HWND box);
  // Presses a button (IDOK, IDYES, IDNO ...) of a dialog.
  static void Press(HWND dialog, int button_id);

  // Presses a button of the settings window as a click would: posted, so
  // that a message box it opens does not block the caller.
  void Click(int id) const;
  // Chooses item `index` of a drop-down list as the user would.
  void Choose(int id, int index) const;
  // A top-level window of the program with this class, or null.
  HWND FindTopLevel(const wchar_t* class_name) const;

 private:
  std::wstring folder_;
  PROCESS_INFORMATION process_ = {};
  HWND main_window_ = nullptr;
  HWND tray_window_ = nullptr;
};

// Writes the pixels of the screen under `window` to a PNG file, once the
// window has drawn itself afresh.
bool SaveWindowPng(HWND window, const std::wstring& path);

// The text of any window, also of another process.
std::wstring TextOf(HWND window);

// Wine draws the window frames itself and needs no window manager for them
// (the suite runs on a bare X server).
void UseBuiltInWindowFrames();

}  // namespace orvanta::win

#endif  // ORVANTA_SENDER_WIN_TEST_PROGRAM_DRIVER_H_
