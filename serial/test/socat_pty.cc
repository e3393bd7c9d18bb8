#include "serial/test/socat_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace orvanta {

SocatPty::SocatPty(bool plugged_in) {
  char dir_template[] = "/tmp/orvanta-pty-XXXXXX";
  if (!mkdtemp(dir_template)) throw std::runtime_error("mkdtemp failed");
  dir_ = dir_template;
  device_ = dir_ + "/device";
  far_ = dir_ + "/far";
  if (plugged_in) PlugIn();
}

void SocatPty::PlugIn() {
  if (pid_ > 0) return;
  // Links of an earlier pair, if socat left them.
  unlink(device_.c_str());
  unlink(far_.c_str());
  int log[2];
  if (pipe(log) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, log[1], 2);
  posix_spawn_file_actions_addclose(&actions, log[0]);
  const std::string a = "pty,raw,echo=0,link=" + device_;
  const std::string b = "pty,raw,echo=0,link=" + far_;
  std::vector<char*> argv = {
      const_cast<char*>("socat"),   const_cast<char*>("-d"),
      const_cast<char*>("-d"),      const_cast<char*>(a.c_str()),
      const_cast<char*>(b.c_str()), nullptr};
  const int spawned =
      posix_spawnp(&pid_, "socat", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(log[1]);
  if (spawned != 0) {
    pid_ = -1;
    close(log[0]);
    throw std::runtime_error("cannot start socat");
  }
  // socat reports each pty as it makes it and then starts copying; by
  // then both links exist.
  // The pipe stays open while socat runs, so its later notices cannot
  // kill it with SIGPIPE.
  log_ = fdopen(log[0], "r");
  char line[512];
  bool ready = false;
  while (!ready && fgets(line, sizeof line, log_)) {
    ready = std::string(line).find("starting data transfer loop") !=
            std::string::npos;
  }
  if (!ready) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    fclose(log_);
    log_ = nullptr;
    throw std::runtime_error("socat did not start");
  }
}

SocatPty::~SocatPty() {
  if (far_fd_ >= 0) close(far_fd_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (log_) fclose(log_);
  unlink(device_.c_str());
  unlink(far_.c_str());
  rmdir(dir_.c_str());
}

void SocatPty::OpenFarEnd() {
  if (far_fd_ < 0) far_fd_ = open(far_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (far_fd_ < 0) throw std::runtime_error("cannot open the far end");
}

std::string SocatPty::ReadFarEnd(size_t count) {
  OpenFarEnd();
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string bytes;
  while (bytes.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd readable{far_fd_, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t n = read(far_fd_, chunk, sizeof chunk);
    if (n <= 0) break;
    bytes.append(chunk, static_cast<size_t>(n));
  }
  return bytes;
}

void SocatPty::Write(const std::string& bytes) {
  OpenFarEnd();
  if (write(far_fd_, bytes.data(), bytes.size()) !=
      static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("short write to the far end");
  }
}

void SocatPty::Hangup() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  if (log_) fclose(log_);
  log_ = nullptr;
  // The far end of this pair is of no use any more; PlugIn makes a new one.
  if (far_fd_ >= 0) close(far_fd_);
  far_fd_ = -1;
}

}  // namespace orvanta
