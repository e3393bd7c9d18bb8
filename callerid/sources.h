#ifndef ORVANTA_CALLERID_SOURCES_H_
#define ORVANTA_CALLERID_SOURCES_H_

#include <cstdint>
#include <functional>
#include <string>

namespace orvanta {

class PacketFraming;
class TComPort;
class UdpChannel;

// The serial caller-ID source: the port `ComPortCallerID` together with the
// framing markers its receive handler looks for.
class SerialSource {
 public:
  virtual ~SerialSource() = default;
  // The port's line parameters, from the INI file at `ini_path`.
  virtual void LoadSettings(const std::u16string& ini_path) = 0;
  // The stored start and end texts; their "#N" escapes are decoded here.
  virtual void SetMarkers(const std::u16string& start_text,
                          const std::u16string& end_text) = 0;
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool Connected() const = 0;
  // The device name the source opens, as the user chose it.
  virtual std::u16string PortName() const = 0;
  // Called on the UI thread with the failure's text when the open device
  // stops answering (after which it delivers nothing until closed and
  // opened again); the handler reports it. Must not throw; empty detaches.
  using DeviceLostHandler = std::function<void(const std::u16string& message)>;
  virtual void SetOnDeviceLost(DeviceLostHandler lost) = 0;
};

// The UDP channel as the engine switches it on and off.
class BroadcastChannel {
 public:
  virtual ~BroadcastChannel() = default;
  virtual void SetPort(int32_t port) = 0;
  virtual void SetActive(bool active) = 0;
};

// The real serial port and framing behind SerialSource.
class ComPortSerialSource : public SerialSource {
 public:
  ComPortSerialSource(TComPort& port, PacketFraming& framing);
  void LoadSettings(const std::u16string& ini_path) override;
  void SetMarkers(const std::u16string& start_text,
                  const std::u16string& end_text) override;
  void Open() override;
  void Close() override;
  bool Connected() const override;
  std::u16string PortName() const override;
  void SetOnDeviceLost(DeviceLostHandler lost) override;

 private:
  TComPort& port_;
  PacketFraming& framing_;
};

// The real UDP channel behind BroadcastChannel.
class UdpBroadcastChannel : public BroadcastChannel {
 public:
  explicit UdpBroadcastChannel(UdpChannel& channel);
  void SetPort(int32_t port) override;
  void SetActive(bool active) override;

 private:
  UdpChannel& channel_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_SOURCES_H_
