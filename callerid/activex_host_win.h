#ifndef ORVANTA_CALLERID_ACTIVEX_HOST_WIN_H_
#define ORVANTA_CALLERID_ACTIVEX_HOST_WIN_H_

// Windows only: hosts an ActiveX control without a window, with plain COM.

#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <functional>
#include <map>
#include <string>

namespace orvanta {

class UserNotice;

// An owned COM interface pointer.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = other.pointer_;
      other.pointer_ = nullptr;
    }
    return *this;
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For out-parameters of QueryInterface and friends.
  void** Receive() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }
  void Reset() {
    if (T* old = pointer_) {
      pointer_ = nullptr;
      old->Release();
    }
  }

 private:
  T* pointer_ = nullptr;
};

// The identities of one control class.
struct ActiveXClass {
  CLSID clsid;
  IID default_interface;  // dual, derived from IDispatch
  IID events;             // outgoing dispatch interface
};

// The text of a failed COM call: the system's message for `code`, or
// "OLE error " and the code in eight upper-case hex digits when the system
// has none.
std::u16string HresultText(HRESULT code);

// One control object: created at once, initialised as a new object on first
// use, with its events delivered to handlers by dispatch id. Calls must come
// from the thread that created it (a single-threaded apartment).
class ActiveXHost {
 public:
  using EventHandler = std::function<void(const DISPPARAMS& params)>;

  // Creates the COM object (in-process or local server); raises Failure.
  // Failures raised by event handlers are passed to `errors.ReportError`.
  ActiveXHost(const ActiveXClass& identity, UserNotice& errors);
  // Closes the object without saving, disconnects the events, releases the
  // interfaces and then the object.
  ~ActiveXHost();
  ActiveXHost(const ActiveXHost&) = delete;
  ActiveXHost& operator=(const ActiveXHost&) = delete;

  // An empty handler clears the slot.
  void SetEventHandler(DISPID id, EventHandler handler);

  // Property put through IDispatch; raises Failure.
  void PutProperty(DISPID id, VARIANT& value);
  // A method without arguments, looked up by name, called through the
  // default interface; raises Failure.
  void CallMethod(const wchar_t* name);

  bool Initialised() const { return initialised_; }

 private:
  class EventSink;
  friend class EventSink;

  void EnsureInitialised();
  void ConnectEvents();
  void DeliverEvent(DISPID id, const DISPPARAMS& params);

  ActiveXClass identity_;
  UserNotice& errors_;
  ComRef<IUnknown> object_;
  ComRef<IDispatch> dispatch_;
  ComRef<IDispatch> default_;  // the default interface, as its IDispatch part
  ComRef<IConnectionPoint> events_;
  DWORD events_cookie_ = 0;
  EventSink* sink_ = nullptr;
  bool initialised_ = false;
  std::map<DISPID, EventHandler> handlers_;
  std::map<std::wstring, DISPID> method_ids_;
};

// The text of an event argument: a string by value or by reference (or
// anything the system can turn into one). Raises Failure otherwise.
std::u16string VariantText(const VARIANT& value);

// Argument `position` of an event, counted in declared order (COM passes
// them last first). Missing arguments read as empty.
std::u16string EventArgumentText(const DISPPARAMS& params, unsigned position);

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_ACTIVEX_HOST_WIN_H_
