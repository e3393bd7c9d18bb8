#include "callerid/test/fake_device_controls.h"

#include <algorithm>

#include "base/failure.h"
#include "base/text.h"

namespace orvanta {

class FakeCid2Control : public Cid2Control {
 public:
  explicit FakeCid2Control(FakeDeviceControlFactory& factory)
      : factory_(factory) {
    factory_.cid2_.push_back(this);
  }
  ~FakeCid2Control() override {
    std::erase(factory_.cid2_, this);
    factory_.Record("CID2 release");
  }
  void SetOnCallerId(CallerIdHandler handler) override {
    handler_ = std::move(handler);
    factory_.Record("CID2 handler");
  }
  void Hide() override { factory_.Record("CID2 hide"); }
  void Start() override {
    factory_.Check("CID2 Start");
    factory_.Record("CID2 Start");
  }
  bool Fire(const std::u16string& line, const std::u16string& number,
            const std::u16string& date_time) {
    if (!handler_) return false;
    handler_(line, number, date_time);
    return true;
  }

 private:
  FakeDeviceControlFactory& factory_;
  CallerIdHandler handler_;
};

class FakeArgControl : public ArgControl {
 public:
  explicit FakeArgControl(FakeDeviceControlFactory& factory)
      : factory_(factory) {
    factory_.arg_.push_back(this);
  }
  ~FakeArgControl() override {
    std::erase(factory_.arg_, this);
    factory_.Record("ARG release");
  }
  void SetOnCallerId(CallerIdHandler handler) override {
    handler_ = std::move(handler);
    factory_.Record("ARG handler");
  }
  void Hide() override { factory_.Record("ARG hide"); }
  void SetCihazTip(int value) override {
    factory_.Check("ARG CihazTip");
    factory_.Record("ARG CihazTip=" + std::to_string(value));
  }
  void SetAnaBilgisayar(const std::u16string& host) override {
    factory_.Check("ARG AnaBilgisayar");
    factory_.Record("ARG AnaBilgisayar=" + Utf16ToUtf8(host));
  }
  void SetComport(int value) override {
    factory_.Check("ARG Comport");
    factory_.Record("ARG Comport=" + std::to_string(value));
  }
  void Connect() override {
    factory_.Check("ARG Connect");
    factory_.Record("ARG Connect");
  }
  void Disconnect() override {
    factory_.Check("ARG Disconnect");
    factory_.Record("ARG Disconnect");
  }
  bool Fire(const std::u16string& calling_line, const std::u16string& chan_no) {
    if (!handler_) return false;
    handler_(calling_line, chan_no);
    return true;
  }

 private:
  FakeDeviceControlFactory& factory_;
  CallerIdHandler handler_;
};

FakeDeviceControlFactory::FakeDeviceControlFactory(
    std::vector<std::string>& journal)
    : journal_(journal) {}

FakeDeviceControlFactory::~FakeDeviceControlFactory() = default;

std::unique_ptr<Cid2Control> FakeDeviceControlFactory::CreateCid2() {
  Check("CID2 create");
  Record("CID2 create");
  return std::make_unique<FakeCid2Control>(*this);
}

std::unique_ptr<ArgControl> FakeDeviceControlFactory::CreateArg() {
  Check("ARG create");
  Record("ARG create");
  return std::make_unique<FakeArgControl>(*this);
}

void FakeDeviceControlFactory::Fail(const std::string& member,
                                    std::u16string text) {
  failures_[member] = std::move(text);
}

void FakeDeviceControlFactory::Heal(const std::string& member) {
  failures_.erase(member);
}

int FakeDeviceControlFactory::FireCid2(const std::u16string& line,
                                       const std::u16string& number,
                                       const std::u16string& date_time) {
  int fired = 0;
  for (FakeCid2Control* control : std::vector(cid2_)) {
    fired += control->Fire(line, number, date_time) ? 1 : 0;
  }
  return fired;
}

int FakeDeviceControlFactory::FireArg(const std::u16string& calling_line,
                                      const std::u16string& chan_no) {
  int fired = 0;
  for (FakeArgControl* control : std::vector(arg_)) {
    fired += control->Fire(calling_line, chan_no) ? 1 : 0;
  }
  return fired;
}

void FakeDeviceControlFactory::Record(const std::string& entry) {
  journal_.push_back(entry);
}

void FakeDeviceControlFactory::Check(const std::string& member) const {
  auto it = failures_.find(member);
  if (it != failures_.end()) throw Failure(it->second);
}

}  // namespace orvanta
