#include "desktop/test/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace orvanta {

ChildProcess::ChildProcess(
    const std::vector<std::string>& argv,
    const std::map<std::string, std::string>& environment,
    const std::string& output_file) {
  std::map<std::string, std::string> merged;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const size_t equals = text.find('=');
    if (equals != std::string::npos)
      merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : environment) {
    if (value.empty()) {
      merged.erase(name);
    } else {
      merged[name] = value;
    }
  }
  std::vector<std::string> env_texts;
  for (const auto& [name, value] : merged)
    env_texts.push_back(name + "=" + value);
  std::vector<char*> env;
  for (std::string& text : env_texts) env.push_back(text.data());
  env.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> arg_pointers;
  for (std::string& arg : args) arg_pointers.push_back(arg.data());
  arg_pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const int error = posix_spawnp(&pid_, args[0].c_str(), &actions, nullptr,
                                 arg_pointers.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + args[0]);
  }
}

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
    return false;
  }
  return true;
}

void ChildProcess::Signal(int signal_number) {
  if (pid_ > 0) kill(pid_, signal_number);
}

int ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  PollUntil([this] { return !Running(); }, timeout);
  return pid_ > 0 ? -1 : exit_code_;
}

void ChildProcess::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool PollUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::unique_ptr<ChildProcess> StartWithoutDisplay(
    const std::filesystem::path& program, const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  fs::create_directories(folder / "home");
  const fs::path copy = folder / program.filename();
  fs::copy_file(program, copy);
  return std::make_unique<ChildProcess>(
      std::vector<std::string>{copy.string()},
      std::map<std::string, std::string>{{"DISPLAY", ""},
                                         {"WAYLAND_DISPLAY", ""},
                                         {"QT_QPA_PLATFORM", ""},
                                         {"XDG_CONFIG_HOME", ""},
                                         {"XDG_RUNTIME_DIR", ""},
                                         {"HOME", (folder / "home").string()}},
      (folder / "output.txt").string());
}

}  // namespace orvanta
