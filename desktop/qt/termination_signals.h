#ifndef ORVANTA_DESKTOP_QT_TERMINATION_SIGNALS_H_
#define ORVANTA_DESKTOP_QT_TERMINATION_SIGNALS_H_

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace orvanta {

// SIGTERM, SIGINT and SIGHUP, turned into a call on the user-interface
// thread, so that the program ends through its own closing step (which
// closes the serial port and lifts its exclusive mode) instead of being
// killed. The handler only writes the signal's number into a socket pair;
// the event loop reads it. One object at a time; it restores the default
// actions when it goes.
class TerminationSignals : public QObject {
  Q_OBJECT
 public:
  explicit TerminationSignals(std::function<void()> on_signal);
  ~TerminationSignals() override;

 private:
  void Drain();

  std::function<void()> on_signal_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_TERMINATION_SIGNALS_H_
