#include "base/failure.h"

#include "base/text.h"

namespace orvanta {

Failure::Failure(std::u16string message)
    : message_(std::move(message)), utf8_(Utf16ToUtf8(message_)) {}

std::u16string FailureText(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const Failure& f) {
    return f.message();
  } catch (const std::exception& e) {
    return Utf8ToUtf16(e.what());
  } catch (...) {
    return u"Unknown failure";
  }
}

std::u16string ErrorReportText(const std::u16string& message) {
  if (!message.empty() && message.back() <= u'.') return message;
  return message + u".";
}

}  // namespace orvanta
