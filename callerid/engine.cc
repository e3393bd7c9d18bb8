#include "callerid/engine.h"

#include <cstdint>
#include <exception>
#include <utility>

#include "base/failure.h"
#include "base/user_notice.h"
#include "callerid/broadcast_channel.h"
#include "callerid/device_control.h"
#include "callerid/serial_source.h"
#include "callerid/settings_files.h"
#include "notify/announcer.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {

namespace {

// Radio group items of the settings window.
constexpr int kChoiceArg = 1;
constexpr int kChoiceLast = 2;

// Stored CALLERIDTYPE values.
constexpr int32_t kTypeCid2 = 0;
constexpr int32_t kTypeArg = 1;
constexpr int32_t kTypeSerial = 2;

std::u16string CurrentFailureText() {
  return FailureText(std::current_exception());
}

}  // namespace

CallerIdEngine::CallerIdEngine(EngineLinks links) : links_(std::move(links)) {
  AttachToSerial();
}

CallerIdEngine::~CallerIdEngine() {
  links_.retry.Stop();
  links_.serial.SetOnDeviceLost({});
}

void CallerIdEngine::AttachToSerial() {
  links_.serial.SetOnDeviceLost(
      [this](const std::u16string& message) { SerialDeviceLost(message); });
}

void CallerIdEngine::ApplySettings() {
  const int choice = links_.controls.RadioGroupCihazIndex();
  if (choice < 0 || choice > kChoiceLast) return;
  if (ReadBoolean(links_.store, kCallerIdKullan)) {
    if (choice == kChoiceArg) links_.log.ClearLog();
    if (running_) SwitchCallerId(false);
    if (!SwitchCallerId(true)) links_.notice.ShowInfo(kStartFailedMessage);
  } else if (running_) {
    // Every choice, ARG included: turning caller-ID off must turn it off.
    if (!SwitchCallerId(false)) links_.notice.ShowInfo(kStopFailedMessage);
  }
}

bool CallerIdEngine::SwitchCallerId(bool start) {
  return start ? Start() : Stop();
}

void CallerIdEngine::ClosingStep() {
  if (arg_) arg_->Disconnect();
  SwitchCallerId(false);
}

void CallerIdEngine::ForgetArgControl() { arg_.reset(); }

bool CallerIdEngine::Start() {
  try {
    links_.channel.SetPort(ReadInteger(links_.store, kUdpPort));
    links_.channel.SetActive(true);
  } catch (...) {
    links_.notice.ShowInfo(kUdpOpenFailedMessage +
                           links_.controls.EditPortText());
    return false;
  }

  bool result = false;
  const int32_t type = ReadInteger(links_.store, kCallerIdType);
  if (type == kTypeCid2) {
    result = StartCid2();
  } else if (type == kTypeArg) {
    result = StartArg();
  } else if (type == kTypeSerial) {
    // Failures here are the user's to see in the default error report, so
    // they pass through and leave the running flag as it was.
    StartSerial();
    result = true;
  }
  running_ = result;
  return result;
}

bool CallerIdEngine::StartCid2() {
  if (cid2_) return false;
  try {
    cid2_ = links_.devices.CreateCid2();
    cid2_->SetOnCallerId(
        [this](const std::u16string& line, const std::u16string& number,
               const std::u16string&) { links_.announce(number, line); });
    cid2_->Hide();
    cid2_->Start();
    return true;
  } catch (...) {
    const std::u16string text = CurrentFailureText();
    // A control that did not start is of no use; holding on to it would
    // make every later start give up without trying again.
    std::unique_ptr<Cid2Control> failed = std::move(cid2_);
    failed.reset();
    links_.notice.ShowInfo(kCid2FailedMessage + text);
    return false;
  }
}

bool CallerIdEngine::StartArg() {
  if (arg_) return false;
  try {
    arg_ = links_.devices.CreateArg();
    arg_->SetOnCallerId([this](const std::u16string& calling_line,
                               const std::u16string& chan_no) {
      links_.announce(calling_line, chan_no);
    });
    arg_->Hide();
    try {
      ConfigureAndConnectArg();
    } catch (...) {
      const std::u16string text = CurrentFailureText();
      arg_->Disconnect();
      links_.log.AddLogLine(kArgConnectFailedLogLine);
      links_.notice.ShowInfo(kArgFailedMessage + text);
    }
    // The control is held even when its device did not answer: the source
    // counts as started.
    return true;
  } catch (...) {
    links_.notice.ShowInfo(kArgFailedMessage + CurrentFailureText());
    return false;
  }
}

void CallerIdEngine::ConfigureAndConnectArg() {
  const int kind = links_.controls.ComboCihazIndex();
  switch (kind) {
    case kArgCallerId:
    case kArgHidUsb:
      arg_->SetCihazTip(kind);
      arg_->Connect();
      break;
    case kArgRecorder:
      arg_->SetCihazTip(kArgRecorder);
      arg_->SetAnaBilgisayar(links_.controls.EditIpText());
      arg_->Connect();
      break;
    case kArgHidComPort:
      // The control wants its port before it learns the device kind.
      arg_->SetComport(links_.controls.ComboPortIndex() + 1);
      arg_->SetCihazTip(kArgHidComPort);
      arg_->Connect();
      break;
    default:
      // No device kind chosen: nothing to configure or connect.
      break;
  }
}

void CallerIdEngine::StartSerial() {
  links_.retry.Stop();
  links_.serial.LoadSettings(links_.exe_directory + kPortSettingsFileName);
  links_.serial.SetMarkers(links_.store.ReadValue(kCallerIdBaslamaString),
                           links_.store.ReadValue(kCallerIdBitisString));
  try {
    links_.serial.Open();
  } catch (...) {
    // The device may simply not be there yet (a USB adapter found after
    // logon): the failure is reported once, as it is, and the port is tried
    // again in the background. The source counts as started, so that the
    // next apply or stop ends the trying. A port that did open and only
    // failed its last step delivers already.
    if (!links_.serial.Connected()) {
      links_.retry.Start(kSerialRetryPeriod, [this] { RetrySerial(); });
    }
    running_ = true;
    throw;
  }
}

void CallerIdEngine::SerialDeviceLost(const std::u16string& message) {
  // Closed at once: while the old device is held open, the system may give
  // the replugged adapter another name. The trying starts before the
  // report, a modal box that may stay up for hours.
  CloseSerialQuietly();
  links_.retry.Start(kSerialRetryPeriod, [this] { RetrySerial(); });
  // A device that comes and goes while nobody is there would otherwise
  // pile box upon box, each inside the message loop of the one before.
  if (reporting_serial_loss_) return;
  reporting_serial_loss_ = true;
  try {
    links_.notice.ReportError(message);
  } catch (...) {
    // Nothing is left to tell the user with; the trying goes on.
  }
  reporting_serial_loss_ = false;
}

void CallerIdEngine::RetrySerial() {
  try {
    links_.serial.Open();
  } catch (...) {
    // Still away: no word about it, the next period tries again. A port
    // that did open and only failed its last step delivers all the same.
  }
  if (!links_.serial.Connected()) return;
  links_.retry.Stop();
  const std::u16string text = kSerialDeviceBackText + links_.serial.PortName();
  links_.log.AddLogLine(text);
  links_.notice.ShowTrayBalloon(text);
}

void CallerIdEngine::CloseSerialQuietly() {
  try {
    if (links_.serial.Connected()) links_.serial.Close();
  } catch (...) {
    // A device that is gone may refuse the close's first step; the port is
    // closed all the same, and the loss has been reported already.
  }
}

bool CallerIdEngine::Stop() {
  // First, so that no try comes between the steps below.
  links_.retry.Stop();
  links_.channel.SetActive(false);
  // Whatever type is stored now, everything started earlier goes: a source
  // left behind would keep announcing once the channel opens again.
  if (cid2_) {
    std::unique_ptr<Cid2Control> control = std::move(cid2_);
    control.reset();
  }
  if (arg_) {
    std::unique_ptr<ArgControl> control = std::move(arg_);
    control.reset();
  }
  if (links_.serial.Connected()) links_.serial.Close();
  running_ = false;
  return true;
}

}  // namespace orvanta
