#include "callerid/device_control.h"

#include <gtest/gtest.h>

#include "base/failure.h"
#include "base/user_notice.h"

namespace orvanta {
namespace {

class SilentNotice : public UserNotice {
 public:
  void ShowInfo(const std::u16string&) override {}
  void ReportError(const std::u16string&) override {}
};

// Without the vendors' Windows drivers both controls are unknown classes.
TEST(DeviceControlPosix, NeitherControlExists) {
  SilentNotice notice;
  auto factory = MakeDeviceControlFactory(notice);
  for (int kind = 0; kind < 2; ++kind) {
    SCOPED_TRACE(kind);
    try {
      if (kind == 0) {
        factory->CreateCid2();
      } else {
        factory->CreateArg();
      }
      ADD_FAILURE() << "created";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.message(), u"Class not registered");
    }
  }
}

}  // namespace
}  // namespace orvanta
