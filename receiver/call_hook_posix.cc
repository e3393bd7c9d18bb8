#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/failure.h"
#include "base/text.h"
#include "receiver/call_hook.h"

extern char** environ;

namespace orvanta {
namespace {

// posix_spawnp with an argument vector: no shell ever reads the arguments.
pid_t Spawn(const std::vector<std::u16string>& arguments) {
  if (arguments.empty()) throw Failure(u"Komut boş.");
  std::vector<std::string> utf8;
  for (const std::u16string& argument : arguments) {
    utf8.push_back(EncodeUtf8(argument));
  }
  std::vector<char*> argv;
  for (std::string& argument : utf8) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error =
      posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (error != 0) {
    throw Failure(u"Komut başlatılamadı: " + arguments[0] + u"\r\n" +
                  Utf8ToUtf16(std::strerror(error)));
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

void SystemHookLauncher::Start(const std::vector<std::u16string>& arguments) {
  const pid_t pid = Spawn(arguments);
  std::thread([pid] { Wait(pid); }).detach();
}

void SystemHookLauncher::OpenUrl(const std::u16string& url) {
  Start({u"xdg-open", url});
}

int RunAndWait(const std::vector<std::u16string>& arguments) {
  return Wait(Spawn(arguments));
}

}  // namespace orvanta
