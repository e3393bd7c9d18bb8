#include "sender/settings_presenter.h"

#include <utility>

#include "base/failure.h"
#include "sender/port_test_presenter.h"
#include "sender/settings_form.h"
#include "sender/port_setup_presenter.h"

namespace orvanta {
namespace {

constexpr size_t kCaptionVersionLength = 8;
constexpr size_t kBetaVersionLength = 11;

}  // namespace

std::u16string BetaSuffix(const std::u16string& version_text) {
  if (version_text.size() != kBetaVersionLength) return {};
  return u" (Beta-" + version_text.substr(version_text.size() - 2) + u")";
}

std::u16string ComposeCaption(const ProgramConstants& constants) {
  return constants.CompanyName + u" " + constants.ProductName + u" " +
         constants.VersionText.substr(0, kCaptionVersionLength) +
         constants.BuildLetter + BetaSuffix(constants.VersionText);
}

bool ClickGuard::Accept(uint32_t tick_count) {
  // Unsigned arithmetic: correct across the tick count's wrap-around.
  if (static_cast<uint32_t>(tick_count - latest_click_time_) < 500)
    return false;
  latest_click_time_ = tick_count;
  return true;
}

SettingsPresenter::SettingsPresenter(SettingsView& view, Shell& shell,
                                     Program& program,
                                     SettingsPresenterOptions options)
    : view_(view),
      shell_(shell),
      program_(program),
      constants_(std::move(options.constants)),
      port_lister_(std::move(options.port_lister)),
      show_window_at_start_(options.show_window_at_start),
      form_(std::make_unique<SettingsForm>(view, program.Log())) {
  view_.SetListener(this);
  shell_.SetListener(this);
}

SettingsPresenter::~SettingsPresenter() {
  shell_.SetListener(nullptr);
  view_.SetListener(nullptr);
}

void SettingsPresenter::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    const std::u16string message = FailureText(std::current_exception());
    try {
      program_.ReportError(message);
    } catch (...) {
      // Nothing is left to tell the user with; the program goes on.
    }
  }
}

void SettingsPresenter::BuildCaption() {
  caption_ = ComposeCaption(constants_);
  view_.SetCaption(caption_);
}

void SettingsPresenter::StartUp() {
  Guarded([this] { DoStartUp(); });
}

void SettingsPresenter::DoStartUp() {
  BuildCaption();
  shell_.SetTrayTip(caption_);
  show_on_start_ = false;
  program_.ReadSettingsFile();
  form_->LoadSettingsToForm(program_.Store());
  if (auto_start_pending_) shell_.PostAutoStart();
  form_->ArgDeviceKindChanged();
}

void SettingsPresenter::ShowAtStartIfDue() {
  Guarded([this] {
    if (show_on_start_ || show_window_at_start_ ||
        (shell_.HasScreen() && !shell_.HasTray())) {
      ShowSettingsWindow();
    }
  });
}

void SettingsPresenter::RunAutoStart() {
  auto_start_pending_ = false;
  program_.ApplySettings(form_->CurrentWindowSettings());
  shell_.ShowBalloon(kBalloonTitle, kBalloonText, kBalloonTimeoutMs);
}

void SettingsPresenter::ShowSettingsWindow() {
  show_on_start_ = true;
  view_.ShowWindow();
  form_->Log().WindowShown();
}

void SettingsPresenter::EndProgram(EndRequest request) {
  Guarded([this, request] {
    if (request == EndRequest::kCloseButton &&
        shell_.ShowMessage(kCloseQuestion, kQuestionTitle,
                           MessageIcon::kQuestion,
                           MessageButtons::kYesNo) == MessageAnswer::kNo) {
      return;
    }
    closing_ = true;
    HideOrQuit();
  });
}

void SettingsPresenter::HideOrQuit() {
  if (!closing_) {
    view_.HideWindow();
    return;
  }
  program_.ClosingStep();
  shell_.Quit();
}

void SettingsPresenter::SaveSettingsFromForm() {
  form_->StoreControls(program_.Store());
  program_.SaveSettingsFile();
  program_.ApplySettings(form_->CurrentWindowSettings());
}

void SettingsPresenter::SaveAndHide() {
  SaveSettingsFromForm();
  view_.HideWindow();
}

void SettingsPresenter::OpenPortSettings() {
  PortSetupPresenter(program_.Port(), port_lister_).Show(shell_);
  program_.SavePortSettings();
}

void SettingsPresenter::OnCallerIdClick() {
  Guarded([this] { form_->CallerIdClicked(); });
}
void SettingsPresenter::OnSourceClick() {
  Guarded([this] { form_->SourceClicked(); });
}
void SettingsPresenter::OnArgDeviceKindChange() {
  Guarded([this] { form_->ArgDeviceKindChanged(); });
}
void SettingsPresenter::OnLogPaneDoubleClick() {
  Guarded([this] { form_->LogPaneDoubleClicked(); });
}
void SettingsPresenter::OnPortEditEscape() {
  Guarded([this] { form_->PortEditEscaped(); });
}
void SettingsPresenter::OnPortEditExit() {
  Guarded([this] { form_->PortEditLeft(); });
}
void SettingsPresenter::OnSave() {
  Guarded([this] { SaveAndHide(); });
}
void SettingsPresenter::OnApply() {
  Guarded([this] { SaveSettingsFromForm(); });
}
void SettingsPresenter::OnHide() {
  Guarded([this] { view_.HideWindow(); });
}
void SettingsPresenter::OnClose() { EndProgram(EndRequest::kCloseButton); }
void SettingsPresenter::OnTestPort() {
  Guarded([this] { program_.SendTestDatagram(); });
}
void SettingsPresenter::OnOpenPortTest() {
  Guarded([this] { ShowPortTestWindow(shell_, program_.Serial()); });
}
void SettingsPresenter::OnPortSettings() {
  Guarded([this] {
    if (com_port_button_guard_.Accept(shell_.TickCount())) {
      OpenPortSettings();
    }
  });
}
void SettingsPresenter::OnDestinations() {
  Guarded([this] { OpenDestinations(); });
}
void SettingsPresenter::OnCloseRequest() {
  Guarded([this] { HideOrQuit(); });
}

void SettingsPresenter::OpenDestinations() {
  if (!destinations_) {
    DestinationsEditorOptions options;
    options.path = program_.SettingsFolder() + kDestinationsFileName;
    options.mqtt = MqttDestinationsAvailable();
    options.make_view = [this] { return shell_.CreateDestinationsView(); };
    options.make_tester = [this] {
      return MakeDestinationTester(program_.Handover(), program_.SenderInfo());
    };
    options.create_folder = [this] { shell_.CreateSettingsFolder(); };
    options.saved = [this] {
      if (program_.destinations_saved) program_.destinations_saved();
    };
    destinations_ = std::make_unique<DestinationsEditor>(std::move(options));
  }
  destinations_->Open();
}

void SettingsPresenter::OnTrayDoubleClick() {
  Guarded([this] { ShowSettingsWindow(); });
}
void SettingsPresenter::OnSettingsMenu() {
  Guarded([this] { ShowSettingsWindow(); });
}
void SettingsPresenter::OnDestinationsMenu() {
  Guarded([this] { OpenDestinations(); });
}
void SettingsPresenter::OnEndProgramMenu() {
  EndProgram(EndRequest::kTrayMenu);
}
void SettingsPresenter::OnAutoStart() {
  Guarded([this] { RunAutoStart(); });
}

// The program ends whatever happens here: the session is going, or the
// system asked it to end, and nobody is left to answer a message box. A
// failure of the closing step is therefore not reported; the parts are
// still taken down when the program object goes.
void SettingsPresenter::OnEndSession() {
  closing_ = true;
  try {
    program_.ClosingStep();
  } catch (...) {
  }
  shell_.Quit();
}

}  // namespace orvanta
