#ifndef ORVANTA_BASE_USER_NOTICE_H_
#define ORVANTA_BASE_USER_NOTICE_H_

#include <string>

namespace orvanta {

// What the core needs from the application shell to talk to the user. The
// shell implements it with modal message boxes; tests record the calls.
class UserNotice {
 public:
  virtual ~UserNotice() = default;
  // Modal box titled "Bilgi", information icon, OK.
  virtual void ShowInfo(const std::u16string& text) = 0;
  // The application's default error report: modal error box titled with the
  // application title; the text is ErrorReportText(message).
  virtual void ReportError(const std::u16string& message) = 0;
  // A short note in the tray icon's balloon, without waiting for the user;
  // nothing where there is no tray.
  virtual void ShowTrayBalloon(const std::u16string& /*text*/) {}
};

}  // namespace orvanta

#endif  // ORVANTA_BASE_USER_NOTICE_H_
