#ifndef ORVANTA_RECEIVER_QT_TEST_TWO_PROGRAMS_H_
#define ORVANTA_RECEIVER_QT_TEST_TWO_PROGRAMS_H_

#include <filesystem>
#include <string>

#include "base/test/temp_folder.h"

namespace orvanta {

// The settings folders "sender" and "receiver" in `folder` for a call's
// whole road between two PCs: the sender reads the serial caller-ID device
// at `device` (the whole packet body is the number) and announces to
// `port`, where the receiver listens, with a phone book that names
// "+90 532 123 45 67" Mehmet Öz.
inline void WriteSenderAndReceiverSettings(const TempFolder& folder,
                                           const std::string& device,
                                           const std::string& port) {
  std::filesystem::create_directories(folder.Path("sender"));
  std::filesystem::create_directories(folder.Path("receiver"));
  folder.Write("sender/Setting.ini",
               "\xEF\xBB\xBF[VmStored]\r\nCALLERIDKULLAN=True\r\n"
               "CALLERIDTYPE=2\r\nCALLERIDNOBASLAMA=1\r\n"
               "CALLERIDNOUZUNLUK=0\r\nUDPPORT=" +
                   port + "\r\n");
  folder.Write("sender/calleridcomport.ini",
               "[ComPortCallerID]\r\nPort=" + device + "\r\nBaudRate=9600\r\n");
  folder.Write("receiver/Alici.ini", "[VmStored]\r\nUDPPORT=" + port + "\r\n");
  folder.Write("receiver/Rehber.csv", "+90 532 123 45 67;Mehmet \xC3\x96z\n");
}

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_QT_TEST_TWO_PROGRAMS_H_
