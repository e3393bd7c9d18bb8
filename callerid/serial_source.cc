#include "callerid/serial_source.h"

#include <utility>

#include "callerid/packet_framing.h"
#include "serial/serial_port.h"

namespace orvanta {

ComPortSerialSource::ComPortSerialSource(SerialPort& port,
                                         PacketFraming& framing)
    : port_(port), framing_(framing) {}

void ComPortSerialSource::LoadSettings(const std::u16string& ini_path) {
  port_.LoadSettings(PortStoreKind::stIniFile, ini_path);
}

void ComPortSerialSource::SetMarkers(const std::u16string& start_text,
                                     const std::u16string& end_text) {
  framing_.SetMarkers(DecodeMarker(start_text), DecodeMarker(end_text));
}

void ComPortSerialSource::Open() { port_.Open(); }

void ComPortSerialSource::Close() { port_.Close(); }

bool ComPortSerialSource::Connected() const { return port_.Connected(); }

std::u16string ComPortSerialSource::PortName() const { return port_.Port(); }

void ComPortSerialSource::SetOnDeviceLost(DeviceLostHandler lost) {
  port_.SetOnDeviceLost(std::move(lost));
}

}  // namespace orvanta
