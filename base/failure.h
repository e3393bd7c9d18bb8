#ifndef ORVANTA_BASE_FAILURE_H_
#define ORVANTA_BASE_FAILURE_H_

#include <exception>
#include <string>

namespace orvanta {

// A failure carries the message text the user sees. Every failure the
// program raises derives from this; handlers that catch "any failure" catch
// this type (and turn stray std::exceptions into one with FailureText).
class Failure : public std::exception {
 public:
  explicit Failure(std::u16string message);
  const std::u16string& message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::u16string message_;
  std::string utf8_;
};

// The message of whatever is in flight inside a catch (...) block.
std::u16string FailureText(std::exception_ptr failure);

// The default error report's text: the message, plus "." unless its last
// character's code is at most that of ".".
std::u16string ErrorReportText(const std::u16string& message);

}  // namespace orvanta

#endif  // ORVANTA_BASE_FAILURE_H_
