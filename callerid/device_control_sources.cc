#include "callerid/device_control_sources.h"

#include <exception>
#include <utility>

#include "base/failure.h"
#include "base/program_log.h"
#include "base/user_notice.h"
#include "callerid/announcer.h"
#include "callerid/device_control.h"

namespace orvanta {
namespace {

std::u16string CurrentFailureText() {
  return FailureText(std::current_exception());
}

Call ControlCall(const std::u16string& line, const std::u16string& number,
                 CallOrigin origin) {
  Call call;
  call.line = line;
  call.number = number;
  call.origin = origin;
  return call;
}

// Releasing a control may call back into its owner; the member is emptied
// first.
template <typename Control>
void Release(std::unique_ptr<Control>& held) {
  std::unique_ptr<Control> control = std::move(held);
  control.reset();
}

}  // namespace

Cid2Source::Cid2Source(DeviceControlFactory& devices, CallSink& calls,
                       UserNotice& notice)
    : devices_(devices), calls_(calls), notice_(notice) {}

Cid2Source::~Cid2Source() = default;

bool Cid2Source::Start(const WindowSettings&) {
  if (control_) return false;
  try {
    control_ = devices_.CreateCid2();
    control_->SetOnCallerId([this](const std::u16string& line,
                                   const std::u16string& number,
                                   const std::u16string&) {
      calls_.Announce(ControlCall(line, number, CallOrigin::kCid2Control));
    });
    control_->Hide();
    control_->Start();
    return true;
  } catch (...) {
    const std::u16string text = CurrentFailureText();
    // A control that did not start is of no use; holding on to it would
    // make every later start give up without trying again.
    Release(control_);
    notice_.ShowInfo(kCid2FailedMessage + text);
    return false;
  }
}

void Cid2Source::Stop() {
  if (control_) Release(control_);
}

ArgSource::ArgSource(DeviceControlFactory& devices, CallSink& calls,
                     UserNotice& notice, ProgramLog& log)
    : devices_(devices), calls_(calls), notice_(notice), log_(log) {}

ArgSource::~ArgSource() = default;

bool ArgSource::Start(const WindowSettings& window) {
  if (control_) return false;
  try {
    control_ = devices_.CreateArg();
    control_->SetOnCallerId([this](const std::u16string& calling_line,
                                   const std::u16string& chan_no) {
      calls_.Announce(
          ControlCall(chan_no, calling_line, CallOrigin::kArgControl));
    });
    control_->Hide();
    try {
      ConfigureAndConnect(window);
    } catch (...) {
      const std::u16string text = CurrentFailureText();
      control_->Disconnect();
      log_.AddLogLine(kArgConnectFailedLogLine);
      notice_.ShowInfo(kArgFailedMessage + text);
    }
    // The control is held even when its device did not answer: the source
    // counts as started.
    return true;
  } catch (...) {
    notice_.ShowInfo(kArgFailedMessage + CurrentFailureText());
    return false;
  }
}

void ArgSource::ConfigureAndConnect(const WindowSettings& window) {
  const int kind = window.arg_device_kind;
  switch (kind) {
    case kArgCallerId:
    case kArgHidUsb:
      control_->SetCihazTip(kind);
      control_->Connect();
      break;
    case kArgRecorder:
      control_->SetCihazTip(kArgRecorder);
      control_->SetAnaBilgisayar(window.main_machine_ip);
      control_->Connect();
      break;
    case kArgHidComPort:
      // The control wants its port before it learns the device kind.
      control_->SetComport(window.arg_com_port + 1);
      control_->SetCihazTip(kArgHidComPort);
      control_->Connect();
      break;
    default:
      // No device kind chosen: nothing to configure or connect.
      break;
  }
}

void ArgSource::Stop() {
  if (control_) Release(control_);
}

void ArgSource::PrepareToClose() {
  if (control_) control_->Disconnect();
}

}  // namespace orvanta
