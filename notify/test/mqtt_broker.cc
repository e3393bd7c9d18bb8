#include "notify/test/mqtt_broker.h"

#include <fcntl.h>
#include <mosquitto.h>
#include <net/if.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "notify/test/private_network.h"

extern char** environ;

namespace orvanta {
namespace {

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", what.c_str(), std::strerror(errno));
  std::exit(1);
}

std::string NewFolder() {
  static std::atomic<int> count{0};
  const char* build = std::getenv("ORVANTA_BINARY_DIR");
  std::filesystem::path folder =
      std::filesystem::path(build ? build : "/tmp") / "mqtt-test" /
      (std::to_string(getpid()) + "-" + std::to_string(count++));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder.string();
}

// Runs a tool from the PATH with its output added to `log`; throws with
// the log when it fails.
void RunTool(const std::vector<std::string>& args, const std::string& log) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int status = -1;
  const int rc =
      posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc == 0) waitpid(pid, &status, 0);
  if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::ifstream file(log);
    std::string text((std::istreambuf_iterator<char>(file)), {});
    throw std::runtime_error("failed: " + args[0] + " " + args[1] + "\n" +
                             text);
  }
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

}  // namespace

void EnterOwnLoopbackNetwork() {
  RequirePrivateTestNetwork();
  if (unshare(CLONE_NEWNET) != 0) Die("unshare(CLONE_NEWNET)");
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Die("socket");
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  if (ioctl(fd, SIOCGIFFLAGS, &request) != 0) Die("SIOCGIFFLAGS lo");
  request.ifr_flags |= IFF_UP;
  if (ioctl(fd, SIOCSIFFLAGS, &request) != 0) Die("SIOCSIFFLAGS lo");
  close(fd);
}

TestBroker::TestBroker() : folder_(NewFolder()) {
  ca_file_ = folder_ + "/ca.pem";
  const std::string log = folder_ + "/setup.log";
  const auto file = [&](const char* name) { return folder_ + "/" + name; };
  // Elliptic-curve keys: made in a moment, unlike RSA ones.
  RunTool({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
           "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", file("ca.key"),
           "-out", ca_file_, "-days", "2", "-subj", "/CN=Orvanta Test CA"},
          log);
  WriteFile(file("server.ext"),
            "subjectAltName=DNS:localhost,IP:127.0.0.1\n"
            "extendedKeyUsage=serverAuth\n");
  RunTool(
      {"openssl", "req", "-newkey", "ec", "-pkeyopt",
       "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", file("server.key"),
       "-out", file("server.csr"), "-subj", "/CN=localhost"},
      log);
  RunTool({"openssl", "x509", "-req", "-in", file("server.csr"), "-CA",
           ca_file_, "-CAkey", file("ca.key"), "-CAcreateserial", "-days", "2",
           "-extfile", file("server.ext"), "-out", file("server.pem")},
          log);
  std::filesystem::create_directory(trusting_folder());
  std::filesystem::copy_file(ca_file_, trusting_folder() + "/ca.pem");
  RunTool({"openssl", "rehash", trusting_folder()}, log);
  RunTool({"mosquitto_passwd", "-c", "-b", file("passwords"), kBrokerUser,
           kBrokerPassword},
          log);
  WriteFile(folder_ + "/mosquitto.conf",
            "per_listener_settings false\n"
            "allow_anonymous false\n"
            "password_file " +
                folder_ +
                "/passwords\n"
                "persistence true\n"
                "persistence_location " +
                folder_ +
                "/\n"
                // The test runs as root and so do the files it made.
                "user root\n"
                "log_dest stderr\n"
                "log_type error\nlog_type warning\nlog_type notice\n"
                "log_type information\n"
                "listener " +
                std::to_string(kBrokerPort) +
                " 127.0.0.1\n"
                "listener " +
                std::to_string(kBrokerTlsPort) +
                " 127.0.0.1\n"
                "cafile " +
                folder_ +
                "/ca.pem\n"
                "certfile " +
                folder_ +
                "/server.pem\n"
                "keyfile " +
                folder_ +
                "/server.key\n"
                // The same certificate at an address it does not name.
                "listener " +
                std::to_string(kBrokerTlsPort) +
                " 127.0.0.2\n"
                "cafile " +
                folder_ +
                "/ca.pem\n"
                "certfile " +
                folder_ +
                "/server.pem\n"
                "keyfile " +
                folder_ + "/server.key\n");
}

TestBroker::~TestBroker() {
  Stop();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TestBroker::Start() {
  if (Running()) return;
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) Die("pipe2");
  const std::string config = folder_ + "/mosquitto.conf";
  const char* argv[] = {"mosquitto", "-c", config.c_str(), nullptr};
  size_t seen;
  {
    std::lock_guard lock(mutex_);
    seen = log_.size();
    output_ended_ = false;
  }
  pid_ = fork();
  if (pid_ == 0) {
    // The broker goes with the test, even one that crashes.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(pipe_fds[1], STDOUT_FILENO);
    dup2(pipe_fds[1], STDERR_FILENO);
    execvp(argv[0], const_cast<char**>(argv));
    _exit(127);
  }
  close(pipe_fds[1]);
  if (pid_ < 0) {
    close(pipe_fds[0]);
    Die("fork");
  }
  reader_ = std::thread([this, fd = pipe_fds[0]] { ReadOutput(fd); });
  // It says "running" once both listeners are open.
  std::unique_lock lock(mutex_);
  const bool up = changed_.wait_for(lock, std::chrono::seconds(20), [&] {
    return log_.find(" running", seen) != std::string::npos || output_ended_;
  });
  if (!up || output_ended_) {
    const std::string log = log_;
    lock.unlock();
    Stop();
    throw std::runtime_error("mosquitto did not start:\n" + log);
  }
}

void TestBroker::Stop() {
  if (!Running()) return;
  kill(pid_, SIGCONT);  // a paused broker could not take the SIGTERM
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  if (reader_.joinable()) reader_.join();
}

void TestBroker::Pause() {
  if (!Running()) return;
  kill(pid_, SIGSTOP);
  // Returns once it has stopped: it takes nothing more from then on.
  int status = 0;
  waitpid(pid_, &status, WUNTRACED);
}

void TestBroker::Resume() {
  if (Running()) kill(pid_, SIGCONT);
}

std::string TestBroker::Log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

bool TestBroker::WaitForLog(const std::function<bool(const std::string&)>& done,
                            std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return done(log_); });
}

size_t Occurrences(const std::string& log, const std::string& text) {
  size_t count = 0;
  for (size_t at = log.find(text); at != std::string::npos;
       at = log.find(text, at + text.size())) {
    ++count;
  }
  return count;
}

void TestBroker::ReadOutput(int fd) {
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    std::lock_guard lock(mutex_);
    log_.append(buffer, static_cast<size_t>(got));
    changed_.notify_all();
  }
  close(fd);
  std::lock_guard lock(mutex_);
  output_ended_ = true;
  changed_.notify_all();
}

TestSubscriber::TestSubscriber(const std::string& client_id,
                               std::vector<std::string> topics)
    : topics_(std::move(topics)) {
  mosquitto_lib_init();
  client_ = mosquitto_new(client_id.c_str(), /*clean_session=*/false, this);
  if (!client_) throw std::runtime_error("mosquitto_new failed");
  mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  mosquitto_username_pw_set(client_, kBrokerUser, kBrokerPassword);
  mosquitto_connect_callback_set(client_, &TestSubscriber::OnConnect);
  mosquitto_subscribe_callback_set(client_, &TestSubscriber::OnSubscribe);
  mosquitto_message_callback_set(client_, &TestSubscriber::OnMessage);
  mosquitto_connect_async(client_, "127.0.0.1", kBrokerPort, 30);
  mosquitto_loop_start(client_);
}

TestSubscriber::~TestSubscriber() {
  const int rc = mosquitto_disconnect(client_);
  mosquitto_loop_stop(client_, /*force=*/rc != MOSQ_ERR_SUCCESS);
  mosquitto_destroy(client_);
}

bool TestSubscriber::WaitFor(
    const std::function<bool(const std::vector<ReceivedMqttMessage>&)>& done,
    std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return done(messages_); });
}

bool TestSubscriber::WaitSubscribed(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return subscribed_; });
}

void TestSubscriber::Publish(const std::string& topic,
                             const std::string& payload) {
  mosquitto_publish(client_, nullptr, topic.c_str(),
                    static_cast<int>(payload.size()), payload.data(),
                    /*qos=*/1, /*retain=*/false);
}

std::vector<ReceivedMqttMessage> TestSubscriber::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::vector<ReceivedMqttMessage> TestSubscriber::On(
    const std::string& topic) const {
  return OnTopic(Messages(), topic);
}

std::vector<ReceivedMqttMessage> OnTopic(
    const std::vector<ReceivedMqttMessage>& messages,
    const std::string& topic) {
  std::vector<ReceivedMqttMessage> found;
  for (const ReceivedMqttMessage& message : messages) {
    if (message.topic == topic) found.push_back(message);
  }
  return found;
}

std::vector<std::string> Payloads(
    const std::vector<ReceivedMqttMessage>& messages) {
  std::vector<std::string> payloads;
  payloads.reserve(messages.size());
  for (const ReceivedMqttMessage& message : messages) {
    payloads.push_back(message.payload);
  }
  return payloads;
}

void TestSubscriber::OnConnect(mosquitto* client, void* self, int code) {
  if (code != 0) return;
  auto& subscriber = *static_cast<TestSubscriber*>(self);
  std::vector<char*> topics;
  topics.reserve(subscriber.topics_.size());
  for (std::string& topic : subscriber.topics_) topics.push_back(topic.data());
  mosquitto_subscribe_multiple(client, nullptr, static_cast<int>(topics.size()),
                               topics.data(), /*qos=*/1, 0, nullptr);
}

void TestSubscriber::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
  auto& subscriber = *static_cast<TestSubscriber*>(self);
  std::lock_guard lock(subscriber.mutex_);
  subscriber.subscribed_ = true;
  subscriber.changed_.notify_all();
}

void TestSubscriber::OnMessage(mosquitto*, void* self,
                               const mosquitto_message* message) {
  auto& subscriber = *static_cast<TestSubscriber*>(self);
  const char* bytes = static_cast<const char*>(message->payload);
  std::lock_guard lock(subscriber.mutex_);
  subscriber.messages_.push_back(
      {message->topic,
       std::string(bytes, bytes ? static_cast<size_t>(message->payloadlen) : 0),
       message->retain});
  subscriber.changed_.notify_all();
}

}  // namespace orvanta
