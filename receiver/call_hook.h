#ifndef ORVANTA_RECEIVER_CALL_HOOK_H_
#define ORVANTA_RECEIVER_CALL_HOOK_H_

#include <string>
#include <string_view>
#include <vector>

#include "receiver/call_datagram.h"

namespace orvanta {

// What to do for one call, made from the user's template and the call.
struct HookAction {
  enum class Kind { kNone, kCommand, kUrl };
  Kind kind = Kind::kNone;
  std::vector<std::u16string> arguments;  // kCommand: program first
  std::u16string url;                     // kUrl
};

// The template is split into arguments before anything received is put in:
// at blanks, with '...' or "..." grouping (no other shell meaning). Then
// {number}, {name} and {line} are replaced inside each argument, so a
// received text always stays inside the one argument that named it and is
// never read by a shell. A template starting with http:// or https:// is a
// web address instead, with the values percent-encoded.
HookAction MakeHookAction(std::u16string_view hook_template,
                          const IncomingCall& call, std::u16string_view name);

std::vector<std::u16string> SplitHookTemplate(std::u16string_view text);

// UTF-8, every byte outside A-Z a-z 0-9 - . _ ~ as %XX.
std::u16string PercentEncode(std::u16string_view text);

// One command line for CreateProcessW that the C runtime's (and
// CommandLineToArgvW's) parsing splits back into exactly `arguments`.
std::u16string WindowsCommandLine(const std::vector<std::u16string>& arguments);

// Starts the hook's programs; the shells supply the platform's way.
class HookLauncher {
 public:
  virtual ~HookLauncher() = default;
  // Raises Failure when the program cannot be started.
  virtual void Start(const std::vector<std::u16string>& arguments) = 0;
  virtual void OpenUrl(const std::u16string& url) = 0;
};

// The platform's launcher: posix_spawn / CreateProcessW for commands,
// xdg-open / the shell's "open" for addresses. Children are not waited for
// by the caller (they are reaped in the background).
class SystemHookLauncher : public HookLauncher {
 public:
  void Start(const std::vector<std::u16string>& arguments) override;
  void OpenUrl(const std::u16string& url) override;
};

// Starts a program with exactly these arguments and waits for its exit
// code (tests and tools).
int RunAndWait(const std::vector<std::u16string>& arguments);

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_CALL_HOOK_H_
