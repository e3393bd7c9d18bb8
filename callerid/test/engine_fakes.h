#ifndef ORVANTA_CALLERID_TEST_ENGINE_FAKES_H_
#define ORVANTA_CALLERID_TEST_ENGINE_FAKES_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/program_log.h"
#include "base/text.h"
#include "base/user_notice.h"
#include "callerid/announcer.h"
#include "callerid/broadcast_channel.h"
#include "callerid/engine.h"
#include "callerid/serial_connection.h"
#include "callerid/serial_line.h"

// Stand-ins for the engine's surroundings. Each writes what is done to it
// into one shared journal, so that a test can check the order of
// everything the engine does across channel, sources, log and messages.

namespace orvanta {

using Journal = std::vector<std::string>;

class FakeBroadcastChannel : public BroadcastChannel {
 public:
  explicit FakeBroadcastChannel(Journal& journal) : journal_(journal) {}
  void SetPort(int32_t port) override {
    journal_.push_back("udp port=" + std::to_string(port));
  }
  void SetActive(bool active) override {
    if (active && open_failure) throw Failure(*open_failure);
    journal_.push_back(active ? "udp open" : "udp close");
    this->active = active;
  }
  bool active = false;
  std::optional<std::u16string> open_failure;

 private:
  Journal& journal_;
};

class FakeSerialLine : public SerialLine {
 public:
  explicit FakeSerialLine(Journal& journal) : journal_(journal) {}
  void LoadSettings(const std::u16string& ini_path) override {
    journal_.push_back("serial load " + Utf16ToUtf8(ini_path));
  }
  void Open() override {
    if (open_failure) {
      journal_.push_back("serial open failed");
      throw Failure(*open_failure);
    }
    journal_.push_back("serial open");
    connected = true;
  }
  void Close() override {
    if (close_failure) throw Failure(*close_failure);
    journal_.push_back("serial close");
    connected = false;
  }
  bool Connected() const override { return connected; }
  void SetModemControl(bool dtr_rts_on) override { modem_control = dtr_rts_on; }
  void Write(std::string_view bytes) override {
    if (write_failure) throw Failure(*write_failure);
    written.append(bytes);
  }
  std::u16string PortName() const override { return port_name; }
  void SetOnDeviceLost(DeviceLostHandler lost) override {
    lost_ = std::move(lost);
  }
  void SetOnReceive(ReceiveHandler receive) override {
    receive_ = std::move(receive);
  }

  // Bytes arrive from the device, as the port hands them over.
  void Receive(std::string_view bytes) {
    if (receive_) receive_(bytes);
  }

  // The open device stops answering, as the port tells it.
  void LoseDevice(const std::u16string& message = u"COM Port Error: lost") {
    journal_.push_back("serial device lost");
    if (lost_) lost_(message);
  }
  bool LossHandled() const { return static_cast<bool>(lost_); }

  bool connected = false;
  bool modem_control = false;
  std::string written;
  std::optional<std::u16string> write_failure;
  std::u16string port_name = u"COM4";
  std::optional<std::u16string> open_failure;
  std::optional<std::u16string> close_failure;

 private:
  Journal& journal_;
  DeviceLostHandler lost_;
  ReceiveHandler receive_;
};

// Ticks only when the test says so.
class FakeRetryTimer : public RetryTimer {
 public:
  explicit FakeRetryTimer(Journal& journal) : journal_(journal) {}
  void Start(std::chrono::milliseconds period,
             std::function<void()> work) override {
    journal_.push_back("retry every " + std::to_string(period.count()) + " ms");
    work_ = std::move(work);
  }
  void Stop() override {
    if (!work_) return;
    journal_.push_back("retry stop");
    work_ = nullptr;
  }
  bool Running() const override { return static_cast<bool>(work_); }

  // One period has passed; false when nothing was waiting for it.
  bool Tick() {
    if (!work_) return false;
    const std::function<void()> work = work_;  // work may stop the timer
    work();
    return true;
  }

 private:
  Journal& journal_;
  std::function<void()> work_;
};

class FakeNotice : public UserNotice {
 public:
  explicit FakeNotice(Journal& journal) : journal_(journal) {}
  void ShowInfo(const std::u16string& text) override {
    journal_.push_back("info: " + Utf16ToUtf8(text));
  }
  void ReportError(const std::u16string& message) override {
    journal_.push_back("error: " + Utf16ToUtf8(message));
    // A modal box runs its own message loop: whatever happens meanwhile.
    if (while_error_shown) while_error_shown();
  }
  std::function<void()> while_error_shown;
  void ShowTrayBalloon(const std::u16string& text) override {
    journal_.push_back("balloon: " + Utf16ToUtf8(text));
  }

 private:
  Journal& journal_;
};

class FakeProgramLog : public ProgramLog {
 public:
  explicit FakeProgramLog(Journal& journal) : journal_(journal) {}
  void AddLogLine(const std::u16string& line) override {
    journal_.push_back("log: " + Utf16ToUtf8(line));
  }
  void ClearLog() override { journal_.push_back("log clear"); }

 private:
  Journal& journal_;
};

// Where the sources' calls go: "announce number=<number> line=<line>".
class FakeCallSink : public CallSink {
 public:
  explicit FakeCallSink(Journal& journal) : journal_(journal) {}
  void Announce(Call call) override {
    journal_.push_back("announce number=" + Utf16ToUtf8(call.number) +
                       " line=" + Utf16ToUtf8(call.line));
    calls.push_back(std::move(call));
    if (!failure.empty() && calls.back().number == failure) {
      throw Failure(u"refused " + failure);
    }
  }
  std::vector<Call> calls;
  std::u16string failure;  // a number whose announcement fails

 private:
  Journal& journal_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_ENGINE_FAKES_H_
