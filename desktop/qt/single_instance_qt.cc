// One running copy per settings folder on Linux: a lock file held with
// flock() says who runs it (the kernel lets go when the process ends, however
// it ends), and a local socket beside it carries a later start's request to
// show the settings window. Both live in the temporary folder, shared by
// every user, so a folder used by two accounts still has one copy.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include "desktop/single_instance.h"

namespace orvanta {
namespace {

constexpr char kRequest[] = "show\n";
constexpr char kShown[] = "shown\n";
constexpr char kNotShown[] = "hidden\n";

class QtSingleInstance : public SingleInstance {
 public:
  QtSingleInstance(int lock_fd, const QString& socket_path)
      : lock_fd_(lock_fd) {
    // A socket left by a copy that died: the lock says nobody uses it.
    QLocalServer::removeServer(socket_path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(socket_path)) {
      QObject::connect(&server_, &QLocalServer::newConnection, &server_,
                       [this] { Accept(); });
    }
  }
  ~QtSingleInstance() override {
    server_.close();
    if (lock_fd_ >= 0) close(lock_fd_);
  }

  void OnShowRequest(std::function<bool()> show) override {
    show_ = std::move(show);
  }

 private:
  void Accept() {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      QObject::connect(client, &QLocalSocket::disconnected, client,
                       &QObject::deleteLater);
      QObject::connect(client, &QLocalSocket::readyRead, client,
                       [this, client] { Answer(client); });
    }
  }

  void Answer(QLocalSocket* client) {
    if (!client->canReadLine()) return;
    const bool asked = client->readLine() == kRequest;
    const bool shown = asked && show_ && show_();
    client->write(shown ? kShown : kNotShown);
    client->flush();
    client->disconnectFromServer();
  }

  int lock_fd_;
  QLocalServer server_;
  std::function<bool()> show_;
};

// Asks the copy that listens at `socket_path` to show its window.
SingleInstance::Outcome AskRunningCopy(const QString& socket_path) {
  QLocalSocket socket;
  // The running copy may have taken the lock a moment ago and not be
  // listening yet.
  for (int attempt = 0; attempt < 20; ++attempt) {
    socket.connectToServer(socket_path);
    if (socket.waitForConnected(1000)) break;
    QThread::msleep(100);
  }
  if (socket.state() != QLocalSocket::ConnectedState)
    return SingleInstance::Outcome::kRunningUnreachable;
  socket.write(kRequest);
  socket.waitForBytesWritten(5000);
  // Its event loop may be busy finishing its start: give it time.
  while (!socket.canReadLine() && socket.waitForReadyRead(10000)) {
  }
  return socket.canReadLine() && socket.readLine() == kShown
             ? SingleInstance::Outcome::kShownInRunning
             : SingleInstance::Outcome::kRunningUnreachable;
}

}  // namespace

std::unique_ptr<SingleInstance> SingleInstance::Claim(const std::string& key,
                                                      Outcome& outcome) {
  const QString base =
      QDir::tempPath() + QLatin1Char('/') + QString::fromStdString(key);
  const QByteArray lock_path = (base + QStringLiteral(".lock")).toLocal8Bit();
  const QString socket_path = base + QStringLiteral(".socket");

  int fd = open(lock_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // Another account's lock file can still be locked, read-only.
  if (fd < 0) fd = open(lock_path.constData(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    outcome = AskRunningCopy(socket_path);
    return nullptr;
  }
  // No lock file at all (a temporary folder nobody may write): run
  // unguarded rather than not at all.
  outcome = Outcome::kFirst;
  return std::make_unique<QtSingleInstance>(fd, socket_path);
}

}  // namespace orvanta
