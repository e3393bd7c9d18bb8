#include "receiver/win/win_receiver_shell.h"

#include "desktop/version.h"
#include "desktop/win/destinations_dialog.h"
#include "desktop/win/win_text.h"
#include "receiver/win/resource.h"

namespace orvanta::win {

LRESULT ReceiverTray::HandleMessage(UINT message, WPARAM wparam,
                                    LPARAM lparam) {
  if (message == kCallbackMessage && LOWORD(lparam) == NIN_BALLOONUSERCLICK) {
    if (on_balloon_click) on_balloon_click();
    return 0;
  }
  if (message == kWakeMessage) {
    if (on_wake) on_wake();
    return 0;
  }
  if (message == WM_ENDSESSION && wparam && on_end_session) {
    TrayIcon::HandleMessage(message, wparam, lparam);
    on_end_session();
    return 0;
  }
  return TrayIcon::HandleMessage(message, wparam, lparam);
}

WinReceiverShell::WinReceiverShell(TrayIcon::NotifyFunction notify)
    : icon_(LoadIconW(GetModuleHandleW(nullptr),
                      MAKEINTRESOURCEW(IDI_RECEIVER))) {
  if (icon_ == nullptr) icon_ = LoadIconW(nullptr, IDI_APPLICATION);
  tray_ = std::make_unique<ReceiverTray>(icon_, u"Orvanta Al\u0131c\u0131",
                                         std::move(notify));
}

WinReceiverShell::~WinReceiverShell() {
  if (window_) window_->SetListener(nullptr);
  presenter_.reset();
  window_.reset();
  tray_->Remove();
}

void WinReceiverShell::Attach(ReceiverApp& app) {
  app_ = &app;
  window_ = std::make_unique<HistoryWindow>(icon_);
  presenter_ = std::make_unique<HistoryPresenter>(*window_, app);
  window_->SetListener(presenter_.get());
  window_->on_end_session = [this] { EndSession(); };
  tray_->on_balloon_click = [this] { app_->NotificationClicked(); };
  tray_->on_double_click = [this] { ShowHistoryWindow(); };
  tray_->on_menu = [this] { ShowMenu(); };
  tray_->on_end_session = [this] { EndSession(); };
  tray_->Add();
}

void WinReceiverShell::EndSession() {
  tray_->Remove();
  PostQuitMessage(0);
}

void WinReceiverShell::ShowMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kMenuHistory, L"Arama Ge\u00e7mi\u015fi");
  AppendMenuW(menu, MF_STRING, kMenuDestinations, L"Hedefler");
  AppendMenuW(menu, MF_STRING, kMenuQuit, L"Program\u0131 Kapat");
  const UINT chosen = tray_->TrackMenu(menu);
  DestroyMenu(menu);
  if (chosen == kMenuHistory) ShowHistoryWindow();
  if (chosen == kMenuDestinations && on_destinations) on_destinations();
  if (chosen == kMenuQuit) PostQuitMessage(0);
}

void WinReceiverShell::ShowNotification(const std::u16string& title,
                                        const std::u16string& text) {
  last_notification_ = title + u"\n" + text;
  tray_->ShowBalloon(title, text, 10000);
}

void WinReceiverShell::ShowHistoryWindow() { presenter_->Show(); }

void WinReceiverShell::HistoryChanged() { presenter_->CallAdded(); }

void WinReceiverShell::ReportProblem(const std::u16string& text) {
  OutputDebugStringW(Wide(u"OrvantaAlici: " + text + u"\n").c_str());
  if (presenter_) presenter_->ReportProblem(text);
  tray_->SetTip(u"Orvanta Al\u0131c\u0131\n" + text);
}

WinReceiverProgram::WinReceiverProgram(std::u16string folder,
                                       TrayIcon::NotifyFunction notify)
    : shell_(std::move(notify)),
      app_(shell_, launcher_, folder),
      destinations_(BridgeDestinationsOptions(
          folder, handover_,
          [] { return std::make_unique<DestinationsDialog>(); },
          [this] {
            if (destinations_saved) destinations_saved();
          })) {
  shell_.on_destinations = [this] { OpenDestinations(); };
  shell_.tray().on_wake = [this] {
    wake_posted_ = false;
    handover_.ServePending();
  };
  // One wake message waits at a time: a flood of datagrams must not fill
  // the message queue with one message per datagram.
  const HWND tray_window = shell_.tray().hwnd();
  handover_.SetWake([this, tray_window] {
    if (wake_posted_.exchange(true)) return;
    if (!PostMessageW(tray_window, ReceiverTray::kWakeMessage, 0, 0)) {
      wake_posted_ = false;
    }
  });
  handover_.SetFailureSink(
      [this](const std::u16string& text) { shell_.ReportProblem(text); });
  app_.Load();
  shell_.Attach(app_);
  bridge_.Load(app_.Folder());
  app_.SetForwarder(&bridge_);
  destinations_saved = [this] { bridge_.Load(app_.Folder()); };
}

WinReceiverProgram::~WinReceiverProgram() { listener_.reset(); }

void WinReceiverProgram::Start() {
  listener_ = std::make_unique<CallListener>(
      app_.settings().port, handover_,
      [this](const std::string& bytes) { app_.OnDatagram(bytes); });
}

uint16_t WinReceiverProgram::Port() const {
  return listener_ ? listener_->LocalPort() : 0;
}

}  // namespace orvanta::win
