#include "callerid/serial_line.h"

#include <utility>

#include "serial/serial_port.h"

namespace orvanta {

PortSerialLine::PortSerialLine(SerialPort& port) : port_(port) {}

void PortSerialLine::LoadSettings(const std::u16string& ini_path) {
  port_.LoadSettings(ini_path);
}
void PortSerialLine::SetModemControl(bool dtr_rts_on) {
  port_.SetModemControl(dtr_rts_on);
}
void PortSerialLine::Open() { port_.Open(); }
void PortSerialLine::Close() { port_.Close(); }
bool PortSerialLine::Connected() const { return port_.Connected(); }
void PortSerialLine::Write(std::string_view bytes) { port_.Write(bytes); }
std::u16string PortSerialLine::PortName() const { return port_.Line().port; }
void PortSerialLine::SetOnReceive(ReceiveHandler receive) {
  port_.SetOnReceive(std::move(receive));
}
void PortSerialLine::SetOnDeviceLost(DeviceLostHandler lost) {
  port_.SetOnDeviceLost(std::move(lost));
}

}  // namespace orvanta
