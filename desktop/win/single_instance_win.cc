// One running copy per settings folder on Windows: a named mutex says who
// runs the folder (the system lets go of it when the process ends, however
// it ends), and a message-only window named after the same key takes a
// later start's request to show the settings window.

#include <windows.h>

#include <functional>
#include <string>

#include "desktop/single_instance.h"
#include "desktop/win/window.h"

namespace orvanta {
namespace {

constexpr wchar_t kWindowClass[] = L"OrvantaInstanceWindow";

UINT ShowRequestMessage() {
  static const UINT message =
      RegisterWindowMessageW(L"Orvanta.ShowSettingsWindow");
  return message;
}

std::wstring WideKey(const std::string& key) {
  return std::wstring(key.begin(), key.end());  // ASCII by construction
}

class RequestWindow : public win::Window {
 public:
  explicit RequestWindow(const std::wstring& key) {
    RegisterClassOnce(kWindowClass, 0, nullptr, nullptr, nullptr);
    Create(0, kWindowClass, key.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE);
  }
  std::function<bool()> show;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == ShowRequestMessage()) {
      try {
        return show && show() ? 1 : 0;
      } catch (...) {
        return 0;
      }
    }
    return Default(message, wparam, lparam);
  }
};

class WinSingleInstance : public SingleInstance {
 public:
  WinSingleInstance(HANDLE mutex, const std::wstring& key)
      : mutex_(mutex), window_(key) {}
  ~WinSingleInstance() override {
    if (mutex_) CloseHandle(mutex_);
  }
  void OnShowRequest(std::function<bool()> show) override {
    window_.show = std::move(show);
  }

 private:
  HANDLE mutex_;
  RequestWindow window_;
};

SingleInstance::Outcome AskRunningCopy(const std::wstring& key) {
  // The running copy makes its window right after the mutex; it may be
  // just between the two.
  HWND target = nullptr;
  for (int attempt = 0; attempt < 100 && !target; ++attempt) {
    target = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, key.c_str());
    if (!target) Sleep(50);
  }
  if (!target) return SingleInstance::Outcome::kRunningUnreachable;
  // This process was just started by the user and may bring a window to
  // the front; it passes that on to the copy that runs.
  DWORD process = 0;
  GetWindowThreadProcessId(target, &process);
  AllowSetForegroundWindow(process);
  DWORD_PTR shown = 0;
  if (!SendMessageTimeoutW(target, ShowRequestMessage(), 0, 0, SMTO_ABORTIFHUNG,
                           10000, &shown)) {
    return SingleInstance::Outcome::kRunningUnreachable;
  }
  return shown == 1 ? SingleInstance::Outcome::kShownInRunning
                    : SingleInstance::Outcome::kRunningUnreachable;
}

}  // namespace

std::unique_ptr<SingleInstance> SingleInstance::Claim(const std::string& key,
                                                      Outcome& outcome) {
  const std::wstring wide_key = WideKey(key);
  // Per session: a copy in another user's session has its own tray.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, (L"Local\\" + wide_key).c_str());
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS ||
      (!mutex && error == ERROR_ACCESS_DENIED)) {
    if (mutex) CloseHandle(mutex);
    outcome = AskRunningCopy(wide_key);
    return nullptr;
  }
  // No mutex for another reason: run unguarded rather than not at all.
  outcome = Outcome::kFirst;
  return std::make_unique<WinSingleInstance>(mutex, wide_key);
}

}  // namespace orvanta
