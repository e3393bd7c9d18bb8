#ifndef ORVANTA_SERIAL_TEST_SOCAT_PTY_H_
#define ORVANTA_SERIAL_TEST_SOCAT_PTY_H_

#include <sys/types.h>

#include <cstdio>
#include <string>

namespace orvanta {

// A pair of connected pseudo-terminals made by socat, standing in for a
// serial cable: what is written to the far end arrives at the device end.
// socat is started here and ended by its process id.
class SocatPty {
 public:
  // Returns once both ends exist; with `plugged_in` false there are no ends
  // until PlugIn().
  explicit SocatPty(bool plugged_in = true);
  ~SocatPty();
  SocatPty(const SocatPty&) = delete;
  SocatPty& operator=(const SocatPty&) = delete;

  // The end a port opens (a symlink to the /dev/pts device).
  const std::string& device() const { return device_; }
  // The other end, for a stand-in that talks back (a symlink as well; it
  // names the new pair's end after PlugIn).
  const std::string& far_end() const { return far_; }

  // Writes to the far end (opened on first use and kept open, since
  // closing it ends the connection).
  void Write(const std::string& bytes);
  // What the device end sent: waits until `count` bytes have come to the
  // far end, or gives up after a generous while with what there is.
  std::string ReadFarEnd(size_t count);
  // The cable is pulled: socat is ended, which closes both pseudo-terminal
  // masters, so the device end is hung up.
  void Hangup();
  // The cable is plugged in (again): a new socat makes a new pair at the
  // same two paths, as a replugged adapter gets its old stable name back.
  // Returns once both ends exist.
  void PlugIn();

 private:
  void OpenFarEnd();

  std::string dir_;
  std::string device_;
  std::string far_;
  pid_t pid_ = -1;
  int far_fd_ = -1;
  FILE* log_ = nullptr;
};

}  // namespace orvanta

#endif  // ORVANTA_SERIAL_TEST_SOCAT_PTY_H_
