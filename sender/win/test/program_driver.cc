#include "sender/win/test/program_driver.h"

#include <commctrl.h>
#include <wincodec.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "sender/win/settings_window.h"
#include "sender/win/test/find_control.h"
#include "desktop/win/tray_icon.h"

namespace orvanta::win {

namespace {

std::wstring ExecutableDirectory() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring result(path, length);
  return result.substr(0, result.rfind(L'\\') + 1);
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(folder + name + L"\\");
      RemoveDirectoryW((folder + name).c_str());
    } else {
      DeleteFileW((folder + name).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

struct WindowSearch {
  DWORD process_id;
  const wchar_t* class_name;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search->process_id) return TRUE;
  wchar_t name[64];
  GetClassNameW(hwnd, name, 64);
  if (wcscmp(name, search->class_name) != 0) return TRUE;
  if (search->title && TextOf(hwnd) != search->title) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  // WM_GETTEXT is carried across processes.
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

void UseBuiltInWindowFrames() {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0,
                      nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const wchar_t no[] = L"N";
  RegSetValueExW(key, L"Decorated", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(no), sizeof(no));
  RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(no),
                 sizeof(no));
  RegCloseKey(key);
}

Program::Program(const std::wstring& name) {
  const std::wstring base = ExecutableDirectory() + L"program_test\\";
  CreateDirectoryW(base.c_str(), nullptr);
  folder_ = base + name + L"\\";
  CreateDirectoryW(folder_.c_str(), nullptr);
  RemoveTree(folder_);
  CopyFileW((ExecutableDirectory() + L"Orvanta.exe").c_str(),
            (folder_ + L"Orvanta.exe").c_str(), FALSE);
}

Program::~Program() {
  if (Running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  if (process_.hProcess) CloseHandle(process_.hProcess);
  if (process_.hThread) CloseHandle(process_.hThread);
}

bool Program::FileExists(const wchar_t* name) const {
  return GetFileAttributesW(FilePath(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Program::ReadFile(const wchar_t* name) const {
  std::ifstream in(std::filesystem::path(FilePath(name)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Program::WriteFile(const wchar_t* name, const std::string& bytes) const {
  std::ofstream out(std::filesystem::path(FilePath(name)), std::ios::binary);
  out << bytes;
}

void Program::Start(const std::wstring& arguments) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  std::wstring exe = folder_ + L"Orvanta.exe";
  std::wstring command = L"\"" + exe + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, folder_.c_str(), &startup, &process_)) {
    return;
  }
  WaitForInputIdle(process_.hProcess, 20000);
  WaitUntil([this] {
    main_window_ = FindTopLevel(SettingsWindow::kClassName);
    tray_window_ = FindTopLevel(L"OrvantaTrayWindow");
    return main_window_ && tray_window_;
  });
}

int Program::RunAnother(const std::wstring& arguments,
                        std::string* output) const {
  const std::wstring output_path = folder_ + L"another-output.txt";
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE file = CreateFileW(output_path.c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = file;
  startup.hStdError = file;
  std::wstring exe = folder_ + L"Orvanta.exe";
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  PROCESS_INFORMATION another = {};
  const BOOL started =
      CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                     nullptr, folder_.c_str(), &startup, &another);
  CloseHandle(file);
  if (!started) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(another.hProcess, 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(another.hProcess, &code);
  } else {
    TerminateProcess(another.hProcess, 1);
  }
  CloseHandle(another.hProcess);
  CloseHandle(another.hThread);
  if (output) *output = ReadFile(L"another-output.txt");
  return static_cast<int>(code);
}

bool Program::Running() const {
  return process_.hProcess &&
         WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

int Program::WaitForExit(std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(process_.hProcess,
                          static_cast<DWORD>(timeout.count())) !=
      WAIT_OBJECT_0) {
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

HWND Program::FindTopLevel(const wchar_t* class_name) const {
  WindowSearch search{process_.dwProcessId, class_name, nullptr, nullptr};
  EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::Control(int id) const { return FindControl(main_window_, id); }

bool Program::TrayIconPresent() const {
  // An update with nothing to change succeeds only for an icon the tray
  // holds.
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = tray_window_;
  data.uID = TrayIcon::kIconId;
  return Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Program::TrayEvent(UINT event) const {
  PostMessageW(tray_window_, TrayIcon::kCallbackMessage, MAKEWPARAM(20, 20),
               MAKELPARAM(event, TrayIcon::kIconId));
}

bool Program::ClickFirstTrayIcon(bool right_button, int clicks) {
  HWND tray = FindWindowW(nullptr, L"Wine System Tray");
  if (!tray || !IsWindowVisible(tray)) return false;
  RECT client;
  GetClientRect(tray, &client);
  // Icons sit side by side from the left, each a square of the tray's
  // height.
  POINT at = {client.bottom / 2, client.bottom / 2};
  ClientToScreen(tray, &at);
  SetCursorPos(at.x, at.y);
  INPUT input[4] = {};
  for (int i = 0; i < 2 * clicks; ++i) {
    input[i].type = INPUT_MOUSE;
    const bool down = i % 2 == 0;
    input[i].mi.dwFlags =
        right_button ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                     : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  }
  return SendInput(2 * clicks, input, sizeof(INPUT)) == UINT(2 * clicks);
}

HWND Program::FindMessageBox(const std::wstring& title) const {
  WindowSearch search{process_.dwProcessId, L"#32770", title.c_str(), nullptr};
  EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found && IsWindowVisible(search.found) ? search.found : nullptr;
}

HWND Program::WaitForMessageBox(const std::wstring& title) const {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindMessageBox(title)) != nullptr; });
  return box;
}

std::wstring Program::MessageText(HWND box) {
  // The longest static text of the box is its message.
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[16];
    GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Static") != 0) continue;
    std::wstring candidate = TextOf(child);
    if (candidate.size() > text.size()) text = candidate;
  }
  return text;
}

void Program::Press(HWND dialog, int button_id) {
  PostMessageW(GetDlgItem(dialog, button_id), BM_CLICK, 0, 0);
}

void Program::Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void Program::Choose(int id, int index) const {
  HWND combo = Control(id);
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

namespace {

// The screen under `frame`, top-down rows of opaque BGRA pixels.
std::vector<BYTE> ScreenPixels(const RECT& frame) {
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  auto* first = static_cast<BYTE*>(bits);
  std::vector<BYTE> pixels(first, first + size_t{4} * width * height);
  DeleteObject(bitmap);
  // The screen has no alpha: make every pixel opaque.
  for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
  return pixels;
}

}  // namespace

bool SaveWindowPng(HWND window, const std::wstring& path) {
  RECT frame;
  if (!GetWindowRect(window, &frame)) return false;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  // The window's thread has painted once it answers a message sent after
  // the redraw; the X server may show it a moment later, so the picture is
  // taken once two reads a poll apart agree (or, should something blink,
  // after a while anyway: a screenshot is only looked at).
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
  std::vector<BYTE> pixels;
  WaitUntil(
      [&] {
        std::vector<BYTE> again = ScreenPixels(frame);
        const bool settled = again == pixels;
        pixels = std::move(again);
        return settled;
      },
      std::chrono::seconds(5));

  bool saved = false;
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame_encode = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                 CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&factory))) &&
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(
          factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame_encode, nullptr)) &&
      SUCCEEDED(frame_encode->Initialize(nullptr)) &&
      SUCCEEDED(frame_encode->SetSize(width, height))) {
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    saved = SUCCEEDED(frame_encode->SetPixelFormat(&format)) &&
            SUCCEEDED(frame_encode->WritePixels(
                height, width * 4, static_cast<UINT>(pixels.size()),
                pixels.data())) &&
            SUCCEEDED(frame_encode->Commit()) && SUCCEEDED(encoder->Commit());
  }
  if (frame_encode) frame_encode->Release();
  if (encoder) encoder->Release();
  if (stream) stream->Release();
  if (factory) factory->Release();
  return saved;
}

}  // namespace orvanta::win
