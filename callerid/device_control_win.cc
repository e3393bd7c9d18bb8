#include "callerid/device_control.h"

#include <cstdint>
#include <memory>
#include <utility>

#include "base/failure.h"
#include "callerid/activex_host_win.h"

namespace orvanta {

namespace {

// TCIDshowPlus: class, ICIDshowPlus, its event interface.
const ActiveXClass kCid2Class = {
    {0x999DD9D2,
     0x8906,
     0x4232,
     {0x98, 0xEF, 0x9E, 0xEC, 0xB9, 0xB1, 0x0D, 0xAD}},
    {0x9956A803,
     0x787B,
     0x4B43,
     {0x86, 0x84, 0x7B, 0x7A, 0x10, 0xBF, 0xB3, 0xAB}},
    {0x99D27981,
     0x4897,
     0x441B,
     {0xBA, 0x0B, 0x35, 0x2B, 0x55, 0x41, 0x3A, 0x63}},
};

// TARGUSBCIDX: class, IARGUSBCIDX, its event interface.
const ActiveXClass kArgClass = {
    {0xCF7AD0F4,
     0x50A7,
     0x49BF,
     {0x8C, 0xE1, 0x0C, 0xCF, 0x94, 0x09, 0x11, 0x52}},
    {0x1CDBB647,
     0x0048,
     0x4AAA,
     {0xB4, 0x1D, 0xC3, 0xC0, 0x5B, 0x5C, 0xC2, 0x4E}},
    {0xB181C36B,
     0x753A,
     0x48C0,
     {0xA8, 0xDE, 0x41, 0xF1, 0x01, 0xEB, 0x07, 0xD1}},
};

constexpr DISPID kCid2OnCallerId = 202;
constexpr DISPID kArgOnCallerId = 211;
constexpr DISPID kArgCihazTip = 221;
constexpr DISPID kArgAnaBilgisayar = 222;
constexpr DISPID kArgComport = 223;

// Positions of the ARG event's arguments that are used.
constexpr unsigned kArgCallingLine = 1;
constexpr unsigned kArgChanNo = 10;

// The controls take a signed byte; only its low 8 bits travel.
void PutByteProperty(ActiveXHost& host, DISPID id, int value) {
  VARIANT argument;
  VariantInit(&argument);
  V_VT(&argument) = VT_I4;
  V_I4(&argument) = static_cast<int8_t>(static_cast<uint8_t>(value & 0xFF));
  host.PutProperty(id, argument);
}

class ComCid2Control : public Cid2Control {
 public:
  explicit ComCid2Control(UserNotice& errors) : host_(kCid2Class, errors) {}

  void SetOnCallerId(CallerIdHandler handler) override {
    if (!handler) {
      host_.SetEventHandler(kCid2OnCallerId, {});
      return;
    }
    // OnCallerID(ReceivedFromLine, PhoneNumber, DateTime)
    host_.SetEventHandler(kCid2OnCallerId, [handler = std::move(handler)](
                                               const DISPPARAMS& params) {
      handler(EventArgumentText(params, 0), EventArgumentText(params, 1),
              EventArgumentText(params, 2));
    });
  }

  // The control is never given a window, so hiding it only marks it.
  void Hide() override { visible_ = false; }

  void Start() override { host_.CallMethod(L"Start"); }

 private:
  ActiveXHost host_;
  bool visible_ = true;
};

class ComArgControl : public ArgControl {
 public:
  explicit ComArgControl(UserNotice& errors) : host_(kArgClass, errors) {}

  void SetOnCallerId(CallerIdHandler handler) override {
    if (!handler) {
      host_.SetEventHandler(kArgOnCallerId, {});
      return;
    }
    // OnCallerId(Time, CallingLine, Reserved, Reason, Reserved2,
    // Callqualifier, Name, Reason2, Waitingnotif, DevNo, ChanNo), all by
    // reference; nothing is written back.
    host_.SetEventHandler(kArgOnCallerId, [handler = std::move(handler)](
                                              const DISPPARAMS& params) {
      handler(EventArgumentText(params, kArgCallingLine),
              EventArgumentText(params, kArgChanNo));
    });
  }

  void Hide() override { visible_ = false; }

  void SetCihazTip(int value) override {
    PutByteProperty(host_, kArgCihazTip, value);
  }

  void SetAnaBilgisayar(const std::u16string& host) override {
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) =
        SysAllocStringLen(reinterpret_cast<const OLECHAR*>(host.data()),
                          static_cast<UINT>(host.size()));
    struct Clear {
      VARIANT& v;
      ~Clear() { VariantClear(&v); }
    } clear{argument};
    if (V_BSTR(&argument) == nullptr) throw Failure(HresultText(E_OUTOFMEMORY));
    host_.PutProperty(kArgAnaBilgisayar, argument);
  }

  void SetComport(int value) override {
    PutByteProperty(host_, kArgComport, value);
  }

  void Connect() override { host_.CallMethod(L"Connect"); }
  void Disconnect() override { host_.CallMethod(L"Disconnect"); }

 private:
  ActiveXHost host_;
  bool visible_ = true;
};

class ComDeviceControls : public DeviceControlFactory {
 public:
  explicit ComDeviceControls(UserNotice& errors) : errors_(errors) {}

  std::unique_ptr<Cid2Control> CreateCid2() override {
    return std::make_unique<ComCid2Control>(errors_);
  }
  std::unique_ptr<ArgControl> CreateArg() override {
    return std::make_unique<ComArgControl>(errors_);
  }

 private:
  UserNotice& errors_;
};

}  // namespace

std::unique_ptr<DeviceControlFactory> MakeDeviceControlFactory(
    UserNotice& errors) {
  return std::make_unique<ComDeviceControls>(errors);
}

}  // namespace orvanta
