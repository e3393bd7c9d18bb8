#ifndef ORVANTA_CALLERID_DEVICE_CONTROL_H_
#define ORVANTA_CALLERID_DEVICE_CONTROL_H_

#include <functional>
#include <memory>
#include <string>

namespace orvanta {

class UserNotice;

// The CID2 vendor control (`TCIDshowPlus`), as the engine drives it.
class Cid2Control {
 public:
  // OnCallerID(ReceivedFromLine, PhoneNumber, DateTime)
  using CallerIdHandler = std::function<void(const std::u16string& line,
                                             const std::u16string& number,
                                             const std::u16string& date_time)>;
  virtual ~Cid2Control() = default;  // releases the control
  virtual void SetOnCallerId(CallerIdHandler handler) = 0;
  virtual void Hide() = 0;
  virtual void Start() = 0;  // Failure on error
};

// The ARG control's device kinds (its `CihazTip`), numbered as the settings
// window's device list shows them (its first item, 0, chooses none).
inline constexpr int kArgCallerId = 1;
inline constexpr int kArgHidUsb = 2;
inline constexpr int kArgRecorder =
    3;  // reached over the network: needs the host
inline constexpr int kArgHidComPort = 4;  // needs its COM port

// The ARG vendor control (`TARGUSBCIDX`), as the engine drives it.
class ArgControl {
 public:
  // OnCallerId: only CallingLine (number) and ChanNo (line) are used.
  using CallerIdHandler = std::function<void(const std::u16string& calling_line,
                                             const std::u16string& chan_no)>;
  virtual ~ArgControl() = default;  // releases the control
  virtual void SetOnCallerId(CallerIdHandler handler) = 0;
  virtual void Hide() = 0;
  virtual void SetCihazTip(int value) = 0;
  virtual void SetAnaBilgisayar(const std::u16string& host) = 0;
  virtual void SetComport(int value) = 0;
  virtual void Connect() = 0;     // Failure on error
  virtual void Disconnect() = 0;  // Failure on error
};

// Creates the controls; creation failures are raised as Failure with the
// system's text (Linux: "Class not registered").
class DeviceControlFactory {
 public:
  virtual ~DeviceControlFactory() = default;
  virtual std::unique_ptr<Cid2Control> CreateCid2() = 0;
  virtual std::unique_ptr<ArgControl> CreateArg() = 0;
};

// The platform's factory. Failures raised inside event handlers go to
// `errors.ReportError` (the default error report).
std::unique_ptr<DeviceControlFactory> MakeDeviceControlFactory(
    UserNotice& errors);

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_DEVICE_CONTROL_H_
