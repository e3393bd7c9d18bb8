#include "sender/settings_presenter.h"

#include <utility>

#include "sender/setup_dialog_presenter.h"
#include "sender/port_test_window.h"
#include "sender/settings_form.h"
#include "base/failure.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/device_control.h"
#include "callerid/engine.h"
#include "callerid/settings_files.h"
#include "callerid/serial_receiver.h"
#include "notify/announcer.h"
#include "notify/udp_channel.h"
#include "serial/com_device.h"
#include "serial/serial_port.h"
#include "settings/storage.h"

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

std::u16string ApplicationTitle(std::u16string_view exe_path,
                                char16_t separator) {
  const size_t slash = exe_path.rfind(separator);
  std::u16string_view name = slash == std::u16string_view::npos
                                 ? exe_path
                                 : exe_path.substr(slash + 1);
  name = name.substr(0, name.find(u'.'));
  std::u16string title(name);
  // The Linux executable's name is all lower case; its title is not.
  if (!title.empty()) title[0] = UpperLatinTurkish(title[0]);
  for (size_t i = 1; i < title.size(); ++i)
    title[i] = LowerLatinTurkish(title[i]);
  return title;
}

std::u16string DirectoryOf(std::u16string_view path, char16_t separator) {
  const size_t slash = path.rfind(separator);
  if (slash == std::u16string_view::npos) return {};
  return std::u16string(path.substr(0, slash + 1));
}

std::u16string SettingsFileProblemText(const std::u16string& path,
                                       const EncodingProblem& problem) {
  std::u16string why;
  std::u16string outcome =
      u"Ayarların varsayılan değerleri kullanılıyor, Caller ID kapalı. Dosya "
      u"değiştirilmedi; ayarlar kaydedildiğinde UTF-8 olarak yeniden yazılır, "
      u"eski hali \"" +
      std::u16string(kSettingsFileName) + u".bak\" adıyla saklanır";
  const std::u16string byte =
      IntToText(static_cast<long long>(problem.offset) + 1);
  switch (problem.kind) {
    case EncodingProblem::Kind::kUtf16:
      why =
          u"Dosya UTF-16 (\"Unicode\") olarak kaydedilmiş; program yalnızca "
          u"UTF-8 okur.";
      break;
    case EncodingProblem::Kind::kNotUtf8:
      why = u"Dosya geçerli bir UTF-8 metni değil (ilk hatalı bayt: " + byte +
            u". bayt).";
      break;
    case EncodingProblem::Kind::kNulByte:
      why = u"Dosyanın " + byte + u". baytı NUL (0); ondan sonrası okunmadı.";
      outcome =
          u"Okunamayan ayarların varsayılan değerleri kullanılıyor. Dosya "
          u"değiştirilmedi; ayarlar kaydedildiğinde yeniden yazılır";
      break;
  }
  const std::u16string heading = problem.kind == EncodingProblem::Kind::kNulByte
                                     ? u"Ayar dosyası tam okunamadı:"
                                     : u"Ayar dosyası okunamadı:";
  return heading + u"\r\n" + path + u"\r\n" + why + u"\r\n" + outcome;
}

bool ClickGuard::Accept(uint32_t tick_count) {
  // Unsigned arithmetic: correct across the tick count's wrap-around.
  if (static_cast<uint32_t>(tick_count - latest_click_time_) < 500)
    return false;
  latest_click_time_ = tick_count;
  return true;
}

SettingsPresenter::SettingsPresenter(SettingsView& view, Shell& shell,
                                     SettingsPresenterOptions options)
    : view_(view),
      shell_(shell),
      constants_(std::move(options.constants)),
      port_lister_(std::move(options.port_lister)),
      show_window_at_start_(options.show_window_at_start) {
  application_title_ =
      ApplicationTitle(shell_.ExePath(), shell_.PathSeparator());

  handover_ = std::make_unique<UiHandover>([this] { shell_.WakeUiThread(); });
  handover_->SetFailureSink(
      [this](const std::u16string& message) { ReportError(message); });

  store_ = std::make_unique<SettingsStore>();
  AddSettingsCatalogue(*store_);
  channel_ = std::make_unique<UdpChannel>();
  // The log pane is drawn after the handler that added the line, so the
  // call's datagram is out first.
  form_ = std::make_unique<SettingsForm>(
      view_,
      [this](std::function<void()> work) { handover_->Post(std::move(work)); });
  // A call the network refuses is sent again from the UI thread's queue.
  announcer_ = std::make_unique<Announcer>(
      *channel_, *form_, DeliveryRetry{.ui = handover_.get()});

  port_ = options.com_device
              ? std::make_unique<SerialPort>(*handover_, options.com_device())
              : std::make_unique<SerialPort>(*handover_);
  receiver_ = std::make_unique<SerialReceiver>(
      *store_,
      [this](const std::u16string& number, const std::u16string& line) {
        announcer_->AnnounceCall(number, line);
      });
  // The receive handler is not guarded here: the port catches a failure of
  // its dispatch itself and hands it to SetOnFailure below, posted so that
  // the error box never holds up its event thread.
  port_->SetOnRxChar([this](SerialPort& sender, int count) {
    receiver_->ComPortCallerIDRxChar(sender, count);
  });
  port_->SetOnFailure(
      [this](const std::u16string& message) { ReportError(message); });

  devices_ = options.devices ? options.devices(*this)
                             : MakeDeviceControlFactory(*this);
  engine_ = std::make_unique<CallerIdEngine>(EngineParts{
      *store_, *channel_, *announcer_, *port_, receiver_->Framing(), *devices_,
      *this, *form_, *form_, SettingsFolder(), *handover_});

  view_.SetListener(this);
  shell_.SetListener(this);
}

SettingsPresenter::~SettingsPresenter() {
  shell_.SetListener(nullptr);
  view_.SetListener(nullptr);
  // The sources go first (they announce through the parts below them); the
  // port is closed before the receive handler and the hand-over it uses
  // disappear.
  engine_.reset();
  devices_.reset();
  port_.reset();
}

void SettingsPresenter::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    const std::u16string message = FailureText(std::current_exception());
    try {
      ReportError(message);
    } catch (...) {
      // Nothing is left to tell the user with; the program goes on.
    }
  }
}

void SettingsPresenter::ShowInfo(const std::u16string& text) {
  shell_.ShowMessage(text, kInfoTitle, MessageIcon::kInformation,
                     MessageButtons::kOk);
}

void SettingsPresenter::ReportError(const std::u16string& message) {
  shell_.ShowMessage(ErrorReportText(message), application_title_,
                     MessageIcon::kError, MessageButtons::kOk);
}

void SettingsPresenter::ShowTrayBalloon(const std::u16string& text) {
  shell_.ShowBalloon(kBalloonTitle, text, kBalloonTimeoutMs);
}

std::u16string SettingsPresenter::SettingsFolder() const {
  return shell_.SettingsFolder();
}

void SettingsPresenter::BuildCaption() {
  caption_ = ComposeCaption(constants_);
  view_.SetCaption(caption_);
}

void SettingsPresenter::FormCreate() {
  Guarded([this] { DoFormCreate(); });
}

void SettingsPresenter::DoFormCreate() {
  BuildCaption();
  shell_.SetTrayTip(caption_);
  show_on_start_ = false;
  ReadSettingsFile();
  form_->LoadSettingsToForm(*store_);
  if (auto_start_pending_) shell_.PostAutoStart();
  engine_->ForgetArgControl();
  form_->ArgDeviceKindChanged();
}

// A settings file that cannot be read stops the start as before, with a
// sentence that says which file it is about; one that reads as no text at
// all (the wrong encoding) leaves every setting at its default, caller-ID
// off, which the user hears about here instead of finding it out later.
void SettingsPresenter::ReadSettingsFile() {
  const std::u16string path = SettingsFolder() + kSettingsFileName;
  try {
    store_->SetFileName(path);
    store_->RestoreValues();
  } catch (...) {
    throw Failure(
        u"Ayar dosyası okunamadı; Caller ID başlatılmadı, dosya "
        u"değiştirilmedi.\r\n" +
        FailureText(std::current_exception()));
  }
  if (const auto& problem = store_->FileEncodingProblem()) {
    ReportError(SettingsFileProblemText(path, *problem));
  }
}

void SettingsPresenter::ShowAtStartIfDue() {
  Guarded([this] {
    if (show_on_start_ || show_window_at_start_ ||
        (shell_.HasScreen() && !shell_.HasTray())) {
      ShowSettingsWindow();
    }
  });
}

void SettingsPresenter::WmAutoStart() {
  auto_start_pending_ = false;
  engine_->ApplySettings();
  shell_.ShowBalloon(kBalloonTitle, kBalloonText, kBalloonTimeoutMs);
}

void SettingsPresenter::ShowSettingsWindow() {
  show_on_start_ = true;
  view_.ShowWindow();
  form_->Log().WindowShown();
}

void SettingsPresenter::EndProgram(Sender sender) {
  Guarded([this, sender] {
    if (sender == Sender::kCloseButton &&
        shell_.ShowMessage(kCloseQuestion, kQuestionTitle,
                           MessageIcon::kQuestion,
                           MessageButtons::kYesNo) == MessageAnswer::kNo) {
      return;
    }
    closing_ = true;
    FormClose();
  });
}

void SettingsPresenter::FormClose() {
  if (!closing_) {
    view_.HideWindow();
    return;
  }
  engine_->ClosingStep();
  shell_.Quit();
}

void SettingsPresenter::SaveSettingsFromForm() {
  form_->StoreControls(*store_);
  shell_.CreateSettingsFolder();
  store_->SaveValues();
  engine_->ApplySettings();
}

void SettingsPresenter::SaveAndHide() {
  SaveSettingsFromForm();
  view_.HideWindow();
}

void SettingsPresenter::TestPort() { announcer_->SendTestDatagram(*this); }

void SettingsPresenter::OpenPortTest() {
  ShowPortTestWindow(shell_, *receiver_);
}

void SettingsPresenter::OpenPortSettings() {
  ShowPortSetupDialog(*port_, shell_, port_lister_);
  shell_.CreateSettingsFolder();
  port_->StoreSettings(PortStoreKind::stIniFile,
                       SettingsFolder() + kPortSettingsFileName);
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
void SettingsPresenter::OnClose() { EndProgram(Sender::kCloseButton); }
void SettingsPresenter::OnTestPort() {
  Guarded([this] { TestPort(); });
}
void SettingsPresenter::OnOpenPortTest() {
  Guarded([this] { OpenPortTest(); });
}
void SettingsPresenter::OnPortSettings() {
  Guarded([this] {
    if (com_port_button_guard_.Accept(shell_.TickCount())) {
      OpenPortSettings();
    }
  });
}
void SettingsPresenter::OnCloseRequest() {
  Guarded([this] { FormClose(); });
}

void SettingsPresenter::OnTrayDblClick() {
  Guarded([this] { ShowSettingsWindow(); });
}
void SettingsPresenter::OnSettingsMenu() {
  Guarded([this] { ShowSettingsWindow(); });
}
void SettingsPresenter::OnEndProgramMenu() { EndProgram(Sender::kTrayMenu); }
void SettingsPresenter::OnAutoStart() {
  Guarded([this] { WmAutoStart(); });
}
void SettingsPresenter::OnHandoverWake() {
  Guarded([this] { handover_->ServePending(); });
}

// The program ends whatever happens here: the session is going, or the
// system asked it to end, and nobody is left to answer a message box. A
// failure of the closing step is therefore not reported; the parts are
// still taken down when the shell destroys the main window.
void SettingsPresenter::OnEndSession() {
  closing_ = true;
  try {
    engine_->ClosingStep();
  } catch (...) {
  }
  shell_.Quit();
}

}  // namespace orvanta
