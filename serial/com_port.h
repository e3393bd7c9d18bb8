#ifndef ORVANTA_SERIAL_COM_PORT_H_
#define ORVANTA_SERIAL_COM_PORT_H_

// CONTRACT SKETCH (to be completed by the serial work): the members below are
// what the engine and the application shell use; keep their names and types.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/failure.h"

namespace orvanta {

class UiHandover;
class ComDevice;  // the per-platform device back end

// A failure of the driver without a platform error code:
// "<port> Error: <kind text>".
class EComPort : public Failure {
 public:
  EComPort(std::u16string message, int kind);
  int Kind() const { return kind_; }

 private:
  int kind_;
};

// A failed platform call: "COM Port Error: <kind text> on <port>".
class EComPortExt : public EComPort {
 public:
  EComPortExt(std::u16string message, int kind, uint32_t win_code);
  uint32_t WinCode() const { return win_code_; }

 private:
  uint32_t win_code_;
};

enum class TStoreType { stRegistry, stIniFile };

class TComPort {
 public:
  using RxCharHandler = std::function<void(TComPort& sender, int count)>;

  // `ui` carries the event thread's receive notifications to the UI thread.
  explicit TComPort(UiHandover& ui);
  TComPort(UiHandover& ui, std::unique_ptr<ComDevice> device);
  ~TComPort();  // closes

  void Open();
  void Close();
  bool Connected() const;

  // Up to `count` waiting bytes; returns how many were read.
  int ReadStr(std::string& str, int count);

  void SetOnRxChar(RxCharHandler handler);
  // Where failures inside a receive dispatch, and a device that went away,
  // are reported (the default error report). Called on the UI thread.
  void SetOnFailure(std::function<void(const std::u16string&)> report);

  const std::u16string& Port() const;
  void SetPort(const std::u16string& port);

  void LoadSettings(TStoreType type, const std::u16string& path);
  void StoreSettings(TStoreType type, const std::u16string& path);

  // ... parameters, BeginUpdate/EndUpdate, flow control summary ...
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_COM_PORT_H_
