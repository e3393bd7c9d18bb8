#ifndef ORVANTA_RECEIVER_RECEIVER_HELP_H_
#define ORVANTA_RECEIVER_RECEIVER_HELP_H_

#include <string>

#include "base/text.h"
#include "desktop/command_line.h"
#include "desktop/version.h"

namespace orvanta {

// What the receiver's --help says of the program (and its manual page,
// which is made from that text).
inline constexpr ProgramHelp kReceiverHelp = {
    u"Caller-ID receiver: shows each call that Orvanta announces on the LAN, "
    u"with\n"
    u"the caller's name from its phone book, and keeps a history of the "
    u"calls.\n",
    u"Alici.ini, Rehber.csv and AliciGecmis.csv",
    u"(created at start)\n",
    u"history window",
    u"One copy runs per settings folder: starting another one opens the "
    u"history\n"
    u"window of the copy that runs, and ends.\n",
};

// The --version text's caption, as the sender's caption: "VELMORIS Orvanta
// Alıcı s1.02.05f".
inline std::u16string ReceiverCaption() {
  return u"VELMORIS Orvanta Al\u0131c\u0131 " +
         Utf8ToUtf16(ORVANTA_VERSION_TEXT ORVANTA_BUILD_LETTER);
}

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_RECEIVER_HELP_H_
