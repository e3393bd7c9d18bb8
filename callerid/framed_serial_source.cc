#include "callerid/framed_serial_source.h"

#include <exception>
#include <utility>

#include "base/text.h"
#include "callerid/announcer.h"
#include "callerid/serial_connection.h"
#include "callerid/settings_files.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {

FramedSerialSource::FramedSerialSource(SerialConnection& connection,
                                       const SettingsStore& store,
                                       CallSink& calls,
                                       std::u16string settings_folder)
    : connection_(connection),
      store_(store),
      calls_(calls),
      settings_folder_(std::move(settings_folder)) {}

bool FramedSerialSource::Start(const WindowSettings&) {
  framing_.SetMarkers(DecodeMarker(store_.ReadValue(kCallerIdBaslamaString)),
                      DecodeMarker(store_.ReadValue(kCallerIdBitisString)));
  // DTR and RTS held low, as this source has always had them; a modem
  // source that ran before may have raised them.
  connection_.Line().SetModemControl(false);
  connection_.Open(settings_folder_ + kPortSettingsFileName,
                   [this](std::string_view bytes) { Receive(bytes); });
  return true;
}

void FramedSerialSource::Stop() { connection_.Close(); }

bool FramedSerialSource::Running() const { return connection_.Active(); }

void FramedSerialSource::Receive(std::string_view bytes) {
  std::exception_ptr first_failure;
  for (const std::string& body : framing_.Feed(bytes)) {
    try {
      // Read at every packet, so a changed setting applies without a restart.
      const std::string number =
          CutNumber(body, ReadInteger(store_, kCallerIdNoBaslama),
                    ReadInteger(store_, kCallerIdNoUzunluk));
      const std::string line =
          CutLine(body, ReadInteger(store_, kCallerIdHatBaslama),
                  ReadInteger(store_, kCallerIdHatUzunluk));
      Call call;
      call.number = FromAnsi(number);
      call.line = FromAnsi(line);
      call.origin = CallOrigin::kFramedSerial;
      calls_.Announce(std::move(call));
    } catch (...) {
      if (!first_failure) first_failure = std::current_exception();
    }
  }
  if (first_failure) std::rethrow_exception(first_failure);
}

}  // namespace orvanta
