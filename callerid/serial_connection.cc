#include "callerid/serial_connection.h"

#include <utility>

#include "base/periodic_call.h"
#include "base/program_log.h"
#include "base/user_notice.h"

namespace orvanta {
namespace {

class PeriodicRetryTimer : public RetryTimer {
 public:
  explicit PeriodicRetryTimer(UiHandover& ui) : call_(ui) {}
  void Start(std::chrono::milliseconds period,
             std::function<void()> work) override {
    call_.Start(period, std::move(work));
  }
  void Stop() override { call_.Stop(); }
  bool Running() const override { return call_.Running(); }

 private:
  PeriodicCall call_;
};

}  // namespace

std::unique_ptr<RetryTimer> MakeRetryTimer(UiHandover& ui) {
  return std::make_unique<PeriodicRetryTimer>(ui);
}

SerialConnection::SerialConnection(SerialLine& line, RetryTimer& retry,
                                   UserNotice& notice, ProgramLog& log)
    : line_(line), retry_(retry), notice_(notice), log_(log) {
  line_.SetOnReceive([this](std::string_view bytes) { Received(bytes); });
  line_.SetOnDeviceLost(
      [this](const std::u16string& message) { DeviceLost(message); });
}

SerialConnection::~SerialConnection() {
  retry_.Stop();
  line_.SetOnDeviceLost({});
  line_.SetOnReceive({});
}

void SerialConnection::Open(const std::u16string& ini_path,
                            SerialLine::ReceiveHandler receive,
                            std::function<void()> opened) {
  retry_.Stop();
  line_.LoadSettings(ini_path);
  receive_ = std::move(receive);
  opened_ = std::move(opened);
  try {
    line_.Open();
  } catch (...) {
    // The device may simply not be there yet (a USB adapter found after
    // logon): the failure is reported once, as it is, and the port is tried
    // again in the background. A port that did open and only failed its
    // last step delivers already.
    if (!line_.Connected()) {
      retry_.Start(kSerialRetryPeriod, [this] { Retry(); });
    }
    throw;
  }
  if (opened_) opened_();
}

void SerialConnection::Close() {
  // First, so that no try comes between the steps below.
  retry_.Stop();
  opened_ = nullptr;
  if (line_.Connected()) line_.Close();
}

bool SerialConnection::Active() const {
  return line_.Connected() || retry_.Running();
}

void SerialConnection::Received(std::string_view bytes) {
  if (test_sink_) {
    test_sink_->ShowChunk(bytes);
    return;
  }
  if (receive_) receive_(bytes);
}

void SerialConnection::DeviceLost(const std::u16string& message) {
  // Closed at once: while the old device is held open, the system may give
  // the replugged adapter another name. The trying starts before the
  // report, a modal box that may stay up for hours.
  CloseQuietly();
  retry_.Start(kSerialRetryPeriod, [this] { Retry(); });
  // A device that comes and goes while nobody is there would otherwise
  // pile box upon box, each inside the message loop of the one before.
  if (reporting_loss_) return;
  reporting_loss_ = true;
  try {
    notice_.ReportError(message);
  } catch (...) {
    // Nothing is left to tell the user with; the trying goes on.
  }
  reporting_loss_ = false;
}

void SerialConnection::Retry() {
  try {
    line_.Open();
  } catch (...) {
    // Still away: no word about it, the next period tries again. A port
    // that did open and only failed its last step delivers all the same.
  }
  if (!line_.Connected()) return;
  retry_.Stop();
  const std::u16string text = kSerialDeviceBackText + line_.PortName();
  log_.AddLogLine(text);
  notice_.ShowTrayBalloon(text);
  if (opened_) opened_();
}

void SerialConnection::CloseQuietly() {
  try {
    if (line_.Connected()) line_.Close();
  } catch (...) {
    // A device that is gone may refuse the close's first step; the port is
    // closed all the same, and the loss has been reported already.
  }
}

}  // namespace orvanta
