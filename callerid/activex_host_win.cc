#include "callerid/activex_host_win.h"

#include <olectl.h>

#include <cstdio>
#include <exception>
#include <utility>

#include "base/failure.h"
#include "base/system_error.h"
#include "base/user_notice.h"

namespace orvanta {

namespace {

// Standard mouse and keyboard events (click, double click, key down/press/
// up, mouse down/move/up) never reach the handlers.
constexpr DISPID kFirstStockEvent = -607;
constexpr DISPID kLastStockEvent = -600;

std::u16string BstrText(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text),
                        SysStringLen(text));
}

[[noreturn]] void RaiseHresult(HRESULT code) {
  throw Failure(HresultText(code));
}

// Takes the strings of an EXCEPINFO with it.
class ExceptionInfo {
 public:
  ExceptionInfo() { ZeroMemory(&info_, sizeof info_); }
  ~ExceptionInfo() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
  }
  ExceptionInfo(const ExceptionInfo&) = delete;
  ExceptionInfo& operator=(const ExceptionInfo&) = delete;

  EXCEPINFO* get() { return &info_; }

  // The control's own description, else the system's text for its code.
  std::u16string Text() {
    if (info_.pfnDeferredFillIn != nullptr) {
      auto fill_in = info_.pfnDeferredFillIn;
      info_.pfnDeferredFillIn = nullptr;
      fill_in(&info_);
    }
    std::u16string description =
        TrimMessageEnd(BstrText(info_.bstrDescription));
    if (!description.empty()) return description;
    return HresultText(info_.scode != 0 ? info_.scode : DISP_E_EXCEPTION);
  }

 private:
  EXCEPINFO info_;
};

void Invoke(IDispatch& target, DISPID id, WORD flags, DISPPARAMS& params) {
  ExceptionInfo exception;
  VARIANT result;
  VariantInit(&result);
  UINT argument_error = 0;
  const HRESULT hr =
      target.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                    (flags & DISPATCH_PROPERTYPUT) != 0 ? nullptr : &result,
                    exception.get(), &argument_error);
  VariantClear(&result);
  if (hr == DISP_E_EXCEPTION) throw Failure(exception.Text());
  if (FAILED(hr)) RaiseHresult(hr);
}

}  // namespace

std::u16string HresultText(HRESULT code) {
  std::u16string text = SystemErrorText(static_cast<uint32_t>(code));
  if (!text.empty()) return text;
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(code));
  text = u"OLE error ";
  for (const char* c = digits; *c != '\0'; ++c)
    text += static_cast<char16_t>(*c);
  return text;
}

// Receives the control's events. It outlives the host only as long as the
// control keeps a reference; after the host is gone it ignores everything.
class ActiveXHost::EventSink : public IDispatch {
 public:
  EventSink(ActiveXHost* host, const IID& events)
      : host_(host), events_(events) {}

  void Detach() { host_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, events_)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD,
                                   DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (result != nullptr) VariantInit(result);
    if (host_ != nullptr) {
      DISPPARAMS none = {nullptr, nullptr, 0, 0};
      host_->DeliverEvent(id, params != nullptr ? *params : none);
    }
    // Whatever happened is ours to report, not the control's.
    return S_OK;
  }

 private:
  virtual ~EventSink() = default;

  ULONG references_ = 1;
  ActiveXHost* host_;
  IID events_;
};

ActiveXHost::ActiveXHost(const ActiveXClass& identity, UserNotice& errors)
    : identity_(identity), errors_(errors) {
  const HRESULT hr = CoCreateInstance(
      identity_.clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
      IID_IUnknown, object_.Receive());
  if (FAILED(hr)) RaiseHresult(hr);
  sink_ = new EventSink(this, identity_.events);
}

ActiveXHost::~ActiveXHost() {
  ComRef<IOleObject> ole;
  if (FAILED(object_->QueryInterface(IID_IOleObject, ole.Receive()))) {
    ole.Reset();
  }
  if (ole) ole->Close(OLECLOSE_NOSAVE);
  if (events_) {
    events_->Unadvise(events_cookie_);
    events_.Reset();
  }
  default_.Reset();
  dispatch_.Reset();
  if (ole) {
    ole->SetClientSite(nullptr);
    ole.Reset();
  }
  sink_->Detach();
  sink_->Release();
  object_.Reset();
}

void ActiveXHost::SetEventHandler(DISPID id, EventHandler handler) {
  if (handler) {
    handlers_[id] = std::move(handler);
  } else {
    handlers_.erase(id);
  }
}

void ActiveXHost::PutProperty(DISPID id, VARIANT& value) {
  EnsureInitialised();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  Invoke(*dispatch_.get(), id, DISPATCH_PROPERTYPUT, params);
}

void ActiveXHost::CallMethod(const wchar_t* name) {
  EnsureInitialised();
  auto known = method_ids_.find(name);
  if (known == method_ids_.end()) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr =
        default_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) RaiseHresult(hr);
    known = method_ids_.emplace(name, id).first;
  }
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  Invoke(*default_.get(), known->second, DISPATCH_METHOD, none);
}

void ActiveXHost::EnsureInitialised() {
  if (initialised_) return;
  // A fresh control with no saved state.
  {
    ComRef<IPersistStreamInit> persist;
    if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit,
                                          persist.Receive())) &&
        persist) {
      const HRESULT hr = persist->InitNew();
      if (FAILED(hr)) RaiseHresult(hr);
    }
  }
  HRESULT hr = object_->QueryInterface(IID_IDispatch, dispatch_.Receive());
  if (SUCCEEDED(hr)) {
    hr = object_->QueryInterface(identity_.default_interface,
                                 default_.Receive());
  }
  if (FAILED(hr)) {
    default_.Reset();
    dispatch_.Reset();
    RaiseHresult(hr);
  }
  ConnectEvents();
  initialised_ = true;
}

void ActiveXHost::ConnectEvents() {
  // A control without the expected connection point delivers no events;
  // that is not an error.
  ComRef<IConnectionPointContainer> container;
  if (FAILED(object_->QueryInterface(IID_IConnectionPointContainer,
                                     container.Receive())) ||
      !container) {
    return;
  }
  ComRef<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(
          identity_.events,
          reinterpret_cast<IConnectionPoint**>(point.Receive()))) ||
      !point) {
    return;
  }
  DWORD cookie = 0;
  if (FAILED(point->Advise(sink_, &cookie))) return;
  events_cookie_ = cookie;
  events_ = std::move(point);
}

void ActiveXHost::DeliverEvent(DISPID id, const DISPPARAMS& params) {
  if (id >= kFirstStockEvent && id <= kLastStockEvent) return;
  auto slot = handlers_.find(id);
  if (slot == handlers_.end()) return;
  // A copy: the handler may replace its own slot.
  const EventHandler handler = slot->second;
  try {
    handler(params);
  } catch (...) {
    errors_.ReportError(FailureText(std::current_exception()));
  }
}

std::u16string VariantText(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_BSTR:
      return BstrText(V_BSTR(&value));
    case VT_BYREF | VT_BSTR:
      return V_BSTRREF(&value) != nullptr ? BstrText(*V_BSTRREF(&value))
                                          : std::u16string();
    case VT_BYREF | VT_VARIANT:
      return V_VARIANTREF(&value) != nullptr
                 ? VariantText(*V_VARIANTREF(&value))
                 : std::u16string();
    case VT_EMPTY:
      return {};
    default: {
      VARIANT text;
      VariantInit(&text);
      const HRESULT hr =
          VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR);
      if (FAILED(hr)) RaiseHresult(hr);
      std::u16string result = BstrText(V_BSTR(&text));
      VariantClear(&text);
      return result;
    }
  }
}

std::u16string EventArgumentText(const DISPPARAMS& params, unsigned position) {
  if (params.rgvarg == nullptr || position >= params.cArgs) return {};
  return VariantText(params.rgvarg[params.cArgs - 1 - position]);
}

}  // namespace orvanta
