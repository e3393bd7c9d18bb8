#ifndef ORVANTA_APP_TEST_FAKE_DEVICES_H_
#define ORVANTA_APP_TEST_FAKE_DEVICES_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/failure.h"
#include "callerid/device_control.h"

namespace orvanta {

// The vendor device controls as the main window's tests need them: each
// member call is written to `calls` ("CID2 Start", "ARG Disconnect", ...),
// a member named in `failures` raises Failure with the given text, and the
// last control made of each kind can fire its caller-ID event.
struct FakeDeviceBench {
  std::vector<std::string> calls;
  std::map<std::string, std::u16string> failures;
  Cid2Control::CallerIdHandler cid2_handler;
  ArgControl::CallerIdHandler arg_handler;

  void Call(const std::string& member) {
    calls.push_back(member);
    auto it = failures.find(member);
    if (it != failures.end()) throw Failure(it->second);
  }
  int CountOf(const std::string& member) const {
    int n = 0;
    for (const std::string& call : calls) n += call == member;
    return n;
  }
};

class FakeCid2 : public Cid2Control {
 public:
  explicit FakeCid2(FakeDeviceBench& bench) : bench_(bench) {}
  ~FakeCid2() override { bench_.calls.push_back("CID2 release"); }
  void SetOnCallerId(CallerIdHandler handler) override {
    bench_.cid2_handler = std::move(handler);
  }
  void Hide() override { bench_.Call("CID2 Hide"); }
  void Start() override { bench_.Call("CID2 Start"); }

 private:
  FakeDeviceBench& bench_;
};

class FakeArg : public ArgControl {
 public:
  explicit FakeArg(FakeDeviceBench& bench) : bench_(bench) {}
  ~FakeArg() override { bench_.calls.push_back("ARG release"); }
  void SetOnCallerId(CallerIdHandler handler) override {
    bench_.arg_handler = std::move(handler);
  }
  void Hide() override { bench_.Call("ARG Hide"); }
  void SetCihazTip(int value) override {
    bench_.Call("ARG CihazTip=" + std::to_string(value));
  }
  void SetAnaBilgisayar(const std::u16string&) override {
    bench_.Call("ARG AnaBilgisayar");
  }
  void SetComport(int value) override {
    bench_.Call("ARG Comport=" + std::to_string(value));
  }
  void Connect() override { bench_.Call("ARG Connect"); }
  void Disconnect() override { bench_.Call("ARG Disconnect"); }

 private:
  FakeDeviceBench& bench_;
};

class FakeDeviceFactory : public DeviceControlFactory {
 public:
  explicit FakeDeviceFactory(FakeDeviceBench& bench) : bench_(bench) {}
  std::unique_ptr<Cid2Control> CreateCid2() override {
    bench_.Call("CID2 create");
    return std::make_unique<FakeCid2>(bench_);
  }
  std::unique_ptr<ArgControl> CreateArg() override {
    bench_.Call("ARG create");
    return std::make_unique<FakeArg>(bench_);
  }

 private:
  FakeDeviceBench& bench_;
};

}  // namespace orvanta

#endif  // ORVANTA_APP_TEST_FAKE_DEVICES_H_
