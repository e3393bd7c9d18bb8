#include <memory>

#include "base/failure.h"
#include "callerid/device_control.h"

namespace orvanta {

namespace {

// The vendors ship their controls for Windows only; here both behave like a
// Windows machine without the drivers installed.
class MissingDeviceControls : public DeviceControlFactory {
 public:
  std::unique_ptr<Cid2Control> CreateCid2() override {
    throw Failure(u"Class not registered");
  }
  std::unique_ptr<ArgControl> CreateArg() override {
    throw Failure(u"Class not registered");
  }
};

}  // namespace

std::unique_ptr<DeviceControlFactory> MakeDeviceControlFactory(UserNotice&) {
  return std::make_unique<MissingDeviceControls>();
}

}  // namespace orvanta
