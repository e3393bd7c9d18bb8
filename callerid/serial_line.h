#ifndef ORVANTA_CALLERID_SERIAL_LINE_H_
#define ORVANTA_CALLERID_SERIAL_LINE_H_

#include <functional>
#include <string>
#include <string_view>

namespace orvanta {

class SerialPort;

// The serial port as the caller-ID sources use it: configured from its
// settings file, opened, read, written, closed.
class SerialLine {
 public:
  virtual ~SerialLine() = default;
  // The line parameters, from the INI file at `ini_path`.
  virtual void LoadSettings(const std::u16string& ini_path) = 0;
  // DTR and RTS raised while the line is open (a modem ignores commands or
  // hangs up while DTR is low), or held low as the framed source wants
  // them. Set before opening; the settings file does not change it.
  virtual void SetModemControl(bool dtr_rts_on) = 0;
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool Connected() const = 0;
  // Sends `bytes` on the open line (a few dozen bytes of commands); raises
  // the driver's failure when the device refuses them or does not take
  // them within a second.
  virtual void Write(std::string_view bytes) = 0;
  // The device name the line opens, as the user chose it.
  virtual std::u16string PortName() const = 0;
  // Called on the UI thread with the bytes that came in. Empty detaches.
  using ReceiveHandler = std::function<void(std::string_view bytes)>;
  virtual void SetOnReceive(ReceiveHandler receive) = 0;
  // Called on the UI thread with the failure's text when the open device
  // stops answering (after which it delivers nothing until closed and
  // opened again); the handler reports it. Must not throw; empty detaches.
  using DeviceLostHandler = std::function<void(const std::u16string& message)>;
  virtual void SetOnDeviceLost(DeviceLostHandler lost) = 0;
};

// The program's serial port behind SerialLine.
class PortSerialLine : public SerialLine {
 public:
  explicit PortSerialLine(SerialPort& port);
  void LoadSettings(const std::u16string& ini_path) override;
  void SetModemControl(bool dtr_rts_on) override;
  void Open() override;
  void Close() override;
  bool Connected() const override;
  void Write(std::string_view bytes) override;
  std::u16string PortName() const override;
  void SetOnReceive(ReceiveHandler receive) override;
  void SetOnDeviceLost(DeviceLostHandler lost) override;

 private:
  SerialPort& port_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_SERIAL_LINE_H_
