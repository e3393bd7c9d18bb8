#ifndef ORVANTA_CALLERID_DEVICE_CONTROL_SOURCES_H_
#define ORVANTA_CALLERID_DEVICE_CONTROL_SOURCES_H_

#include <memory>

#include "callerid/call_source.h"

namespace orvanta {

class ArgControl;
class CallSink;
class Cid2Control;
class DeviceControlFactory;
class ProgramLog;
class UserNotice;

// The CID2 vendor control: created and started at the source's start,
// released at its stop; each of its caller-ID events is a call.
class Cid2Source : public CallSource {
 public:
  Cid2Source(DeviceControlFactory& devices, CallSink& calls,
             UserNotice& notice);
  ~Cid2Source() override;

  // False, with a message, when the control cannot be created or started;
  // also false while a control is still held.
  bool Start(const WindowSettings& window) override;
  void Stop() override;
  bool Running() const override { return control_ != nullptr; }

  Cid2Control* Held() const { return control_.get(); }

 private:
  DeviceControlFactory& devices_;
  CallSink& calls_;
  UserNotice& notice_;
  std::unique_ptr<Cid2Control> control_;
};

// The ARG vendor control, configured for the device kind the window shows
// and connected; held even when its device does not answer, so that a
// later stop releases it.
class ArgSource : public CallSource {
 public:
  ArgSource(DeviceControlFactory& devices, CallSink& calls, UserNotice& notice,
            ProgramLog& log);
  ~ArgSource() override;

  bool Start(const WindowSettings& window) override;
  void Stop() override;
  bool Running() const override { return control_ != nullptr; }
  // Disconnects a held control; its failure passes through.
  void PrepareToClose() override;

  ArgControl* Held() const { return control_.get(); }

 private:
  void ConfigureAndConnect(const WindowSettings& window);

  DeviceControlFactory& devices_;
  CallSink& calls_;
  UserNotice& notice_;
  ProgramLog& log_;
  std::unique_ptr<ArgControl> control_;
};

// Messages the sources show.
inline constexpr char16_t kCid2FailedMessage[] =
    u"CID2(Sistemler) tipi baglanti acilamadi. Cihazin suruculerinin "
    u"yuklendiginden emin olunuz.\r\n";
inline constexpr char16_t kArgFailedMessage[] =
    u"ARG tipi baglanti acilamadi. Cihazin suruculerinin yuklendiginden emin "
    u"olunuz.\r\n";
inline constexpr char16_t kArgConnectFailedLogLine[] =
    u" Bağlantı Başarısız...";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_DEVICE_CONTROL_SOURCES_H_
