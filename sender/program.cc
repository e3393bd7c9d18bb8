#include "sender/program.h"

#include <utility>

#include "base/failure.h"
#include "base/host_name.h"
#include "base/text.h"
#include "callerid/device_control.h"
#include "callerid/mqtt_destination.h"
#include "callerid/settings_files.h"
#include "callerid/webhook_destination.h"
#include "desktop/version.h"
#include "sender/shell.h"
#include "serial/serial_device.h"
#include "settings/file_encoding.h"

namespace orvanta {
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

Program::Program(Shell& shell, ProgramOptions options)
    : shell_(shell),
      application_title_(
          ApplicationTitle(shell.ExePath(), shell.PathSeparator())),
      handover_([this] { shell_.WakeUiThread(); }),
      // The log pane is drawn after the handler that added the line, so the
      // call's datagram is out first.
      log_([this](std::function<void()> work) {
        handover_.Post(std::move(work));
      }),
      // A call the network refuses is sent again from the UI thread's queue.
      datagram_(channel_, log_, DeliveryRetry{.ui = &handover_}),
      sender_info_{HostName(), u"Orvanta", u"" ORVANTA_VERSION},
      // Outages and drops reach the log and the balloon on this thread.
      destinations_(DestinationEnvironment{.ui = &handover_,
                                           .log = &log_,
                                           .notice = this,
                                           .sender = sender_info_}),
      // Each call gets an id that every destination carries on every retry.
      announcer_(
          log_, [this] { return channel_.Active(); }, NewCallId),
      port_(handover_, options.serial_device ? options.serial_device()
                                             : MakePlatformSerialDevice()),
      retry_(MakeRetryTimer(handover_)),
      serial_(line_, *retry_, *this, log_),
      modem_timer_(MakeModemTimer(handover_)),
      devices_(options.devices ? options.devices(*this)
                               : MakeDeviceControlFactory(*this)),
      cid2_(*devices_, announcer_, *this),
      arg_(*devices_, announcer_, *this, log_),
      framed_(serial_, store_, announcer_, shell.SettingsFolder()),
      modem_(serial_, store_, announcer_, log_, *this, *modem_timer_,
             shell.SettingsFolder()),
      engine_(EngineParts{store_, broadcast_, *this, log_}) {
  handover_.SetFailureSink(
      [this](const std::u16string& message) { ReportError(message); });
  shell_.SetWakeHandler([this] { handover_.ServePending(); });
  AddSettingsCatalogue(store_);

  // The LAN broadcast is the first destination, before any that may wait.
  announcer_.AddDestination(datagram_);
  // Then the destinations of Hedefler.ini, one kind a line.
  announcer_.AddDestination(destinations_);
  destinations_.AddKind(PlanWebhooks);
  destinations_.AddKind(PlanMqtt);
  // What the "Hedefler" dialog saved is taken on at once.
  destinations_saved = [this] { ReloadDestinations(); };

  engine_.AddSource(kSourceCid2, cid2_);
  engine_.AddSource(kSourceArg, arg_);
  engine_.AddSource(kSourceFramedSerial, framed_);
  engine_.AddSource(kSourceModem, modem_);

  // A failure inside a receive dispatch is reported, posted so that the
  // error box never holds up the port's event thread.
  port_.SetOnFailure(
      [this](const std::u16string& message) { ReportError(message); });
}

// The members go in the opposite order: the sources let go of their
// devices while everything they announce through still exists, and the
// port is closed before the hand-over it uses.
Program::~Program() { shell_.SetWakeHandler(nullptr); }

std::u16string Program::SettingsFolder() const {
  return shell_.SettingsFolder();
}

void Program::ShowInfo(const std::u16string& text) {
  shell_.ShowMessage(text, kInfoTitle, MessageIcon::kInformation,
                     MessageButtons::kOk);
}

void Program::ReportError(const std::u16string& message) {
  shell_.ShowMessage(ErrorReportText(message), application_title_,
                     MessageIcon::kError, MessageButtons::kOk);
}

void Program::ShowTrayBalloon(const std::u16string& text) {
  shell_.ShowBalloon(kBalloonTitle, text, kBalloonTimeoutMs);
}

void Program::ReadSettingsFile() {
  const std::u16string path = SettingsFolder() + kSettingsFileName;
  try {
    store_.SetFileName(path);
    store_.RestoreValues();
  } catch (...) {
    throw Failure(
        u"Ayar dosyası okunamadı; Caller ID başlatılmadı, dosya "
        u"değiştirilmedi.\r\n" +
        FailureText(std::current_exception()));
  }
  if (const auto& problem = store_.FileEncodingProblem()) {
    ReportError(SettingsFileProblemText(path, *problem));
  }
}

void Program::SaveSettingsFile() {
  shell_.CreateSettingsFolder();
  store_.SaveValues();
}

void Program::SavePortSettings() {
  shell_.CreateSettingsFolder();
  port_.StoreSettings(SettingsFolder() + kPortSettingsFileName);
}

void Program::ApplySettings(const WindowSettings& window) {
  ReloadDestinations();
  engine_.ApplySettings(window);
}

void Program::ReloadDestinations() { destinations_.Reload(DestinationsFile()); }

std::u16string Program::DestinationsFile() const {
  return SettingsFolder() + kDestinationsFileName;
}

void Program::ClosingStep() { engine_.ClosingStep(); }

void Program::SendTestDatagram() { datagram_.SendTestDatagram(*this); }

}  // namespace orvanta
