// A test-only in-process COM server playing the two vendor controls: enough
// of each default interface for the members the program uses, a connection
// point for the event interface, and exported functions through which a test
// fires events, makes members fail and reads what was done.

#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "callerid/test/standin/standin_api.h"

namespace {

struct Member {
  const wchar_t* name;
  DISPID id;
  bool property;
};

// Method ids are this server's own choice; the host must look them up.
const Member kCid2Members[] = {
    {L"AboutBox", 1001, false},
    {L"DialThisNumber", 1002, false},
    {L"Start", 1012, false},
};
const Member kArgMembers[] = {
    {L"CihazTip", 221, true},     {L"AnaBilgisayar", 222, true},
    {L"Comport", 223, true},      {L"Start", 1030, false},
    {L"Stop", 1031, false},       {L"Connect", 1039, false},
    {L"Disconnect", 1042, false},
};

struct Kind {
  const wchar_t* name;
  CLSID clsid;
  IID default_interface;
  IID events;
  const Member* members;
  size_t member_count;
};

// The class and interface ids are written out again here rather than shared
// with the program's host: a wrong id in the host must fail the tests, not
// be repeated by the stand-in.
const Kind kKinds[] = {
    {L"CID2",
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
     kCid2Members,
     sizeof kCid2Members / sizeof kCid2Members[0]},
    {L"ARG",
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
     kArgMembers,
     sizeof kArgMembers / sizeof kArgMembers[0]},
};

struct FailRule {
  int mode;
  HRESULT code;
  std::wstring description;
};

// Everything here is touched from the one apartment thread only.
std::wstring g_journal;
std::wstring g_journal_copy;
std::map<std::wstring, FailRule> g_failures;
std::wstring g_deferred_description;
HRESULT g_deferred_code = S_OK;
int g_options = 0;

void Record(const Kind& kind, const std::wstring& what) {
  g_journal += kind.name;
  g_journal += L' ';
  g_journal += what;
  g_journal += L'\n';
}

HRESULT __stdcall DeferredFillIn(EXCEPINFO* info) {
  info->bstrDescription = SysAllocString(g_deferred_description.c_str());
  info->scode = g_deferred_code;
  return S_OK;
}

class Control;
std::vector<Control*> g_live;

class Control : public IDispatch,
                public IPersistStreamInit,
                public IConnectionPointContainer,
                public IOleObject {
 public:
  explicit Control(const Kind& kind) : kind_(kind), point_(*this) {
    g_live.push_back(this);
    Record(kind_, L"created");
  }

  const Kind& kind() const { return kind_; }
  IDispatch* sink() const { return sink_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(iid, kind_.default_interface)) {
      if (g_options & kStandinNoDefaultInterface) return E_NOINTERFACE;
      *out = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(iid, IID_IPersistStreamInit)) {
      if (g_options & kStandinNoPersist) return E_NOINTERFACE;
      *out = static_cast<IPersistStreamInit*>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
      if (g_options & kStandinNoEvents) return E_NOINTERFACE;
      *out = static_cast<IConnectionPointContainer*>(this);
    } else if (IsEqualIID(iid, IID_IOleObject)) {
      *out = static_cast<IOleObject*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count,
                                          LCID, DISPID* ids) override {
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
      const Member* member = Find(names[i]);
      ids[i] = member != nullptr ? member->id : DISPID_UNKNOWN;
      if (member == nullptr) result = DISP_E_UNKNOWNNAME;
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags,
                                   DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (result != nullptr) VariantInit(result);
    const Member* member = Find(id);
    if (member == nullptr) return DISP_E_MEMBERNOTFOUND;
    std::wstring call = member->name;
    if (member->property) {
      if (!(flags & DISPATCH_PROPERTYPUT) || params->cArgs != 1 ||
          params->cNamedArgs != 1 ||
          params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        Record(kind_, L"malformed put " + call);
        return DISP_E_PARAMNOTOPTIONAL;
      }
      call += L"=" + Describe(params->rgvarg[0]);
    } else {
      if (!(flags & DISPATCH_METHOD) || params->cArgs != 0) {
        Record(kind_, L"malformed call " + call);
        return DISP_E_BADPARAMCOUNT;
      }
      call += L"()";
    }
    auto rule = g_failures.find(member->name);
    if (rule != g_failures.end()) {
      Record(kind_, L"failed " + call);
      return Fail(rule->second, exception);
    }
    Record(kind_, call);
    return S_OK;
  }

  // IPersistStreamInit
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    *clsid = kind_.clsid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE InitNew() override {
    if (g_options & kStandinFailInitNew) {
      Record(kind_, L"failed InitNew");
      return E_UNEXPECTED;
    }
    Record(kind_, L"InitNew");
    return S_OK;
  }

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE
  EnumConnectionPoints(IEnumConnectionPoints** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
    *out = nullptr;
    if (!IsEqualIID(iid, kind_.events)) return CONNECT_E_NOCONNECTION;
    *out = &point_;
    point_.AddRef();
    return S_OK;
  }

  // IOleObject: only what a host that never activates the control uses.
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    Record(kind_, site == nullptr ? L"SetClientSite(none)" : L"SetClientSite");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
    *site = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD option) override {
    Record(kind_,
           option == OLECLOSE_NOSAVE ? L"Close(no save)" : L"Close(save)");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD,
                                             IDataObject** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND,
                                   LPCRECT) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override {
    *clsid = kind_.clsid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR* out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
    *status = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override {
    return E_NOTIMPL;
  }

 private:
  // The connection point for the event interface; lives inside its control.
  class Point : public IConnectionPoint {
   public:
    explicit Point(Control& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
      *out = nullptr;
      if (!IsEqualIID(iid, IID_IUnknown) &&
          !IsEqualIID(iid, IID_IConnectionPoint)) {
        return E_NOINTERFACE;
      }
      *out = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
      *iid = owner_.kind_.events;
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** out) override {
      *out = &owner_;
      owner_.AddRef();
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
      if (owner_.sink_ != nullptr) return CONNECT_E_ADVISELIMIT;
      // A sink must answer for the event interface itself.
      IDispatch* events = nullptr;
      if (FAILED(sink->QueryInterface(owner_.kind_.events,
                                      reinterpret_cast<void**>(&events)))) {
        Record(owner_.kind_, L"Advise refused");
        return CONNECT_E_CANNOTCONNECT;
      }
      owner_.sink_ = events;
      *cookie = 7;
      Record(owner_.kind_, L"Advise");
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
      if (cookie != 7 || owner_.sink_ == nullptr) return CONNECT_E_NOCONNECTION;
      IDispatch* sink = owner_.sink_;
      owner_.sink_ = nullptr;
      sink->Release();
      Record(owner_.kind_, L"Unadvise");
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
      *out = nullptr;
      return E_NOTIMPL;
    }

   private:
    Control& owner_;
  };

  virtual ~Control() {
    g_live.erase(std::find(g_live.begin(), g_live.end(), this));
    if (sink_ != nullptr) {
      Record(kind_, L"destroyed while advised");
      sink_->Release();
    }
    Record(kind_, L"destroyed");
  }

  const Member* Find(const wchar_t* name) const {
    for (size_t i = 0; i < kind_.member_count; ++i) {
      if (_wcsicmp(kind_.members[i].name, name) == 0) return &kind_.members[i];
    }
    return nullptr;
  }
  const Member* Find(DISPID id) const {
    for (size_t i = 0; i < kind_.member_count; ++i) {
      if (kind_.members[i].id == id) return &kind_.members[i];
    }
    return nullptr;
  }

  static std::wstring Describe(const VARIANT& value) {
    switch (V_VT(&value)) {
      case VT_I4:
        return L"I4:" + std::to_wstring(V_I4(&value));
      case VT_BSTR:
        return L"BSTR:" +
               std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
      default:
        return L"VT" + std::to_wstring(V_VT(&value));
    }
  }

  static HRESULT Fail(const FailRule& rule, EXCEPINFO* exception) {
    if (rule.mode == kStandinPlain || exception == nullptr) return rule.code;
    ZeroMemory(exception, sizeof *exception);
    if (rule.mode == kStandinDeferred) {
      g_deferred_description = rule.description;
      g_deferred_code = rule.code;
      exception->pfnDeferredFillIn = DeferredFillIn;
    } else {
      exception->bstrDescription = SysAllocString(rule.description.c_str());
      exception->scode = rule.code;
    }
    exception->bstrSource = SysAllocString(L"Standin");
    return DISP_E_EXCEPTION;
  }

  ULONG references_ = 1;
  const Kind& kind_;
  Point point_;
  IDispatch* sink_ = nullptr;
};

class Factory : public IClassFactory {
 public:
  explicit Factory(const Kind& kind) : kind_(kind) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // One static factory per class: nothing to count.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid,
                                           void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Control* control = new Control(kind_);
    const HRESULT hr = control->QueryInterface(iid, out);
    control->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  const Kind& kind_;
};

Factory g_factories[] = {Factory(kKinds[0]), Factory(kKinds[1])};

}  // namespace

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  for (size_t i = 0; i < sizeof kKinds / sizeof kKinds[0]; ++i) {
    if (IsEqualCLSID(clsid, kKinds[i].clsid)) {
      return g_factories[i].QueryInterface(iid, out);
    }
  }
  *out = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

// The test reads the server's state through its exports, so it stays loaded.
STDAPI DllCanUnloadNow() { return S_FALSE; }

void StandinReset() {
  g_journal.clear();
  g_failures.clear();
  g_options = 0;
}

const wchar_t* StandinJournal() {
  g_journal_copy = g_journal;
  return g_journal_copy.c_str();
}

void StandinFail(const wchar_t* member, int mode, HRESULT code,
                 const wchar_t* description) {
  g_failures[member] = FailRule{mode, code, description ? description : L""};
}

void StandinSetOptions(int options) { g_options = options; }

HRESULT StandinFire(const wchar_t* kind, DISPID id, int count,
                    const wchar_t* const* arguments, int by_reference) {
  HRESULT result = CONNECT_E_NOCONNECTION;
  for (Control* control : std::vector<Control*>(g_live)) {
    if (_wcsicmp(control->kind().name, kind) != 0 ||
        control->sink() == nullptr) {
      continue;
    }
    std::vector<BSTR> texts(count);
    std::vector<VARIANT> values(count);
    for (int i = 0; i < count; ++i) {
      texts[i] = SysAllocString(arguments[i]);
      // COM passes the last argument first.
      VARIANT& value = values[count - 1 - i];
      VariantInit(&value);
      if (by_reference) {
        V_VT(&value) = VT_BYREF | VT_BSTR;
        V_BSTRREF(&value) = &texts[i];
      } else {
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = texts[i];
      }
    }
    std::vector<BSTR> sent = texts;
    DISPPARAMS params = {values.data(), nullptr, static_cast<UINT>(count), 0};
    IDispatch* sink = control->sink();
    sink->AddRef();
    result = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                          &params, nullptr, nullptr, nullptr);
    sink->Release();
    for (int i = 0; i < count; ++i) {
      if (texts[i] != sent[i]) {
        // Whoever wrote a new string freed the old one.
        Record(control->kind(),
               L"event argument " + std::to_wstring(i) + L" written");
        SysFreeString(texts[i]);
      } else {
        SysFreeString(sent[i]);
      }
    }
  }
  return result;
}

}  // extern "C"
