#include "serial/serial_error.h"

#include <utility>

namespace orvanta {

std::u16string SerialFailureText(SerialFailure failure) {
  switch (failure) {
    case SerialFailure::kOpen:
      return u"Unable to open com port";
    case SerialFailure::kWrite:
      return u"WriteFile function failed";
    case SerialFailure::kRead:
      return u"ReadFile function failed";
    case SerialFailure::kAbortIo:
      return u"PurgeComm function failed";
    case SerialFailure::kLineSettings:
      return u"SetCommState function failed";
    case SerialFailure::kTimeouts:
      return u"SetCommTimeouts failed";
    case SerialFailure::kQueueSizes:
      return u"SetupComm function failed";
    case SerialFailure::kInputCount:
      return u"ClearCommError function failed";
    case SerialFailure::kWaitForInput:
      return u"WaitForEvent method failed";
    case SerialFailure::kStoreSettings:
      return u"Failed to store settings";
    case SerialFailure::kLoadSettings:
      return u"Failed to load settings";
    case SerialFailure::kPortRegistry:
      return u"Registry error";
    case SerialFailure::kPortFolder:
      return u"Unable to list serial ports";
  }
  return {};
}

SerialPortError::SerialPortError(std::u16string message, SerialFailure failure)
    : Failure(std::move(message)), kind_(failure) {}

SerialPortError SerialPortError::ForPort(const std::u16string& port,
                                         SerialFailure failure) {
  return SerialPortError(port + u" Error: " + SerialFailureText(failure),
                         failure);
}

SerialPortSystemError::SerialPortSystemError(std::u16string message,
                                             SerialFailure failure,
                                             uint32_t system_error_code)
    : SerialPortError(std::move(message), failure),
      system_error_code_(system_error_code) {}

SerialPortSystemError SerialPortSystemError::ForCall(
    const std::u16string& name, SerialFailure failure,
    uint32_t system_error_code) {
  return SerialPortSystemError(
      u"COM Port Error: " + SerialFailureText(failure) + u" on " + name,
      failure, system_error_code);
}

SerialPortSystemError SerialPortSystemError::PortInUse(
    const std::u16string& port, uint32_t system_error_code) {
  return SerialPortSystemError(
      ForCall(port, SerialFailure::kOpen, system_error_code).message() +
          kPortInUseText,
      SerialFailure::kOpen, system_error_code);
}

}  // namespace orvanta
