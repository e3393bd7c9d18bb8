#ifndef ORVANTA_NOTIFY_ANNOUNCER_H_
#define ORVANTA_NOTIFY_ANNOUNCER_H_

#include <string>

namespace orvanta {

class UdpChannel;
class UserNotice;

// The settings window's log memo `MemoLog`, as the core sees it.
class CallLog {
 public:
  virtual ~CallLog() = default;
  virtual void AddLogLine(const std::u16string& line) = 0;
  virtual void ClearLog() = 0;
};

// Announces calls: one log line, then one datagram, while the channel is open.
class Announcer {
 public:
  Announcer(UdpChannel& channel, CallLog& log);

  // "Kanal No : " + line + "   Caller ID : " + number, then
  // "HAT=" + line + CR LF + "NUMARA=" + number to the channel's port.
  // Nothing at all while the channel is inactive. Send failures are raised.
  void AnnounceCall(const std::u16string& number, const std::u16string& line);

  // "Portu Test Et": while the channel is open, broadcast the fixed test
  // datagram and confirm with ShowInfo; nothing while it is closed.
  void SendTestDatagram(UserNotice& notice);

 private:
  UdpChannel& channel_;
  CallLog& log_;
};

inline constexpr char16_t kTestDatagram[] = u"HAT=01\r\nNUMARA=555 55 55";
inline constexpr char16_t kTestSentMessage[] =
    u"Ağda bulunan Caller Id destekli VELMORIS programlarına mesaj gönderildi.";

}  // namespace orvanta

#endif  // ORVANTA_NOTIFY_ANNOUNCER_H_
