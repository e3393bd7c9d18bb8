#ifndef ORVANTA_CALLERID_TEST_FAKE_DEVICE_CONTROLS_H_
#define ORVANTA_CALLERID_TEST_FAKE_DEVICE_CONTROLS_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "callerid/device_control.h"

namespace orvanta {

class FakeCid2Control;
class FakeArgControl;

// A device-control factory for tests: every control it makes writes what is
// done to it into `journal` ("CID2 create", "ARG CihazTip=4", "ARG release",
// ...), fails whatever member the test names, and fires caller-ID events on
// request.
class FakeDeviceControlFactory : public DeviceControlFactory {
 public:
  explicit FakeDeviceControlFactory(std::vector<std::string>& journal);
  ~FakeDeviceControlFactory() override;

  std::unique_ptr<Cid2Control> CreateCid2() override;
  std::unique_ptr<ArgControl> CreateArg() override;

  // `member` is "<kind> <member>": "CID2 create", "CID2 Start",
  // "ARG create", "ARG CihazTip", "ARG AnaBilgisayar", "ARG Comport",
  // "ARG Connect", "ARG Disconnect". The member raises Failure(text) until
  // Heal is called.
  void Fail(const std::string& member, std::u16string text);
  void Heal(const std::string& member);

  // Fire the caller-ID event of every live control of the kind that has a
  // handler; returns how many handlers ran.
  int FireCid2(const std::u16string& line, const std::u16string& number,
               const std::u16string& date_time);
  int FireArg(const std::u16string& calling_line,
              const std::u16string& chan_no);

  int LiveCid2Count() const { return static_cast<int>(cid2_.size()); }
  int LiveArgCount() const { return static_cast<int>(arg_.size()); }

 private:
  friend class FakeCid2Control;
  friend class FakeArgControl;
  void Record(const std::string& entry);
  void Check(const std::string& member) const;  // raises when told to fail

  std::vector<std::string>& journal_;
  std::map<std::string, std::u16string> failures_;
  std::vector<FakeCid2Control*> cid2_;
  std::vector<FakeArgControl*> arg_;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_FAKE_DEVICE_CONTROLS_H_
