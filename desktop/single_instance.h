#ifndef ORVANTA_DESKTOP_SINGLE_INSTANCE_H_
#define ORVANTA_DESKTOP_SINGLE_INSTANCE_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orvanta {

enum class PathStyle { kWindows, kPosix };

// One spelling of an absolute folder path, so that every way of writing the
// same folder gives the same instance key: "/" and "\\" (Windows) unified,
// doubled separators collapsed (a Windows share's leading "\\\\" kept), "."
// and ".." steps resolved, no trailing separator; on Windows in upper case,
// as its file names ignore letter case. Symbolic links are not followed.
std::u16string NormalisedFolder(std::u16string_view folder, PathStyle style);

// The name that stands for a settings folder among running copies of one
// program: `program`, "-" and 16 hexadecimal digits (a 64-bit FNV-1a hash
// of the normalised folder's UTF-8 bytes). The sender is "orvanta", the
// receiver "orvanta-alici": the two keep their files in one folder, and
// each runs once there.
std::string InstanceKey(std::u16string_view folder, PathStyle style,
                        std::string_view program = "orvanta");

// The one running copy of the program per settings folder (per instance
// key). Implemented by each toolkit: a named mutex and a message window on
// Windows, a lock file and a local socket on Linux.
class SingleInstance {
 public:
  // What a later start found.
  enum class Outcome {
    kFirst,               // this process runs the folder
    kShownInRunning,      // another does; it was asked to show its window
    kRunningUnreachable,  // another does, but did not answer
  };

  // Claims `key` for this process. When another process holds it, asks
  // that one to show its settings window and returns null; `outcome` says
  // which case it was.
  static std::unique_ptr<SingleInstance> Claim(const std::string& key,
                                               Outcome& outcome);
  virtual ~SingleInstance() = default;

  // From now on a later start's request runs `show` on the user-interface
  // thread; `show` tells whether the window is now visible. Null stops
  // listening to requests (they are then answered "not shown").
  virtual void OnShowRequest(std::function<bool()> show) = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_SINGLE_INSTANCE_H_
