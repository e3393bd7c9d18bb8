#include "callerid/serial_receiver.h"

#include <exception>
#include <utility>

#include "base/text.h"
#include "serial/serial_port.h"
#include "settings/storage.h"
#include "settings/typed_reading.h"

namespace orvanta {

SerialReceiver::SerialReceiver(SettingsStore& store, Announce announce)
    : store_(store), announce_(std::move(announce)) {}

void SerialReceiver::ComPortCallerIDRxChar(SerialPort& sender, int count) {
  std::string chunk;
  sender.ReadBytes(chunk, count);
  if (test_sink_) {
    test_sink_->ShowChunk(chunk);
    return;
  }
  std::exception_ptr first_failure;
  for (const std::string& body : framing_.Feed(chunk)) {
    try {
      // Read at every packet, so a changed setting applies without a restart.
      const std::string number =
          CutNumber(body, ReadInteger(store_, kCallerIdNoBaslama),
                    ReadInteger(store_, kCallerIdNoUzunluk));
      announce_(FromAnsi(number), u"0");
    } catch (...) {
      if (!first_failure) first_failure = std::current_exception();
    }
  }
  if (first_failure) std::rethrow_exception(first_failure);
}

}  // namespace orvanta
