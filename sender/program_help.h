#ifndef ORVANTA_SENDER_PROGRAM_HELP_H_
#define ORVANTA_SENDER_PROGRAM_HELP_H_

#include "desktop/command_line.h"

namespace orvanta {

// What Orvanta's --help says of the program (and its manual page, which is
// made from that text).
inline constexpr ProgramHelp kSenderHelp = {
    u"Caller-ID tray program: announces the number of each incoming call to "
    u"the LAN\n"
    u"as one UDP broadcast datagram.\n",
    u"Setting.ini and calleridcomport.ini",
    u"(created when the settings are first saved)\n",
    u"settings window",
    u"One copy runs per settings folder: starting another one opens the "
    u"settings\n"
    u"window of the copy that runs, and ends.\n",
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_PROGRAM_HELP_H_
