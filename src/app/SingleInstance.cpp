#include "app/SingleInstance.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>

#include "model/Instance.h"

namespace {

constexpr int HandOverMs = 5000; // a window that is still starting gets this long to listen
const QByteArray Taken = "ok\n";

QString CanonicalFolder(const QString& dir) {
  // The folder may not exist before the first close writes it.
  const QString canonical = QFileInfo(dir).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(QDir(dir).absolutePath()) : canonical;
}

} // namespace

TSingleInstance::TSingleInstance(const QString& settingsDir, QObject* parent) : QObject(parent) {
  const QString name =
      QString::fromStdString(InstanceName(CanonicalFolder(settingsDir).toStdString()));
  // The runtime directory belongs to the user alone (Qt makes one with mode 0700 when
  // XDG_RUNTIME_DIR is not set).
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  Path = dir + '/' + name;
}

TSingleInstance::~TSingleInstance() {
  if (Server != nullptr) Server->close();
}

bool TSingleInstance::Claim() {
  // The lock decides who listens; a lock left by a crashed start is stale and taken over.
  Lock = std::make_unique<QLockFile>(Path + ".lock");
  Lock->setStaleLockTime(0);
  if (!Lock->tryLock(0)) return false;
  // A socket file left by a crash would stop the listening.
  QLocalServer::removeServer(Path);
  Server = new QLocalServer(this);
  Server->setSocketOptions(QLocalServer::UserAccessOption);
  if (!Server->listen(Path)) {
    // The window still starts; later starts find no listener and start their own.
    qWarning("vantel: cannot listen on %s: %s", qPrintable(Path),
             qPrintable(Server->errorString()));
    return true;
  }
  connect(Server, &QLocalServer::newConnection, this, &TSingleInstance::Accept);
  return true;
}

bool TSingleInstance::HandOver(const QString& path) {
  const std::string request = EncodeInstanceRequest(QFile::encodeName(path).toStdString());
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < HandOverMs) {
    QLocalSocket socket;
    socket.connectToServer(Path);
    if (socket.waitForConnected(1000)) {
      socket.write(request.data(), qint64(request.size()));
      if (!socket.waitForBytesWritten(HandOverMs)) return false;
      while (socket.bytesAvailable() < Taken.size() && socket.waitForReadyRead(HandOverMs)) {
      }
      return socket.read(Taken.size()) == Taken;
    }
    // Still starting: the lock is held but the socket not yet listening.
    QThread::msleep(100);
  }
  return false;
}

void TSingleInstance::Accept() {
  while (QLocalSocket* socket = Server->nextPendingConnection()) {
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket, received] { ReadRequest(socket, *received); });
    // A peer that never finishes its request is dropped.
    QTimer::singleShot(HandOverMs, socket, [socket] { socket->abort(); });
    ReadRequest(socket, *received);
  }
}

void TSingleInstance::ReadRequest(QLocalSocket* socket, QByteArray& received) {
  // Never more than a request can be: a peer cannot make the window hold more.
  received += socket->read(qint64(MaxInstanceRequest) + 1 - received.size());
  if (received.size() > qsizetype(MaxInstanceRequest)) {
    socket->abort();
    return;
  }
  if (!received.endsWith('\0')) return; // the rest is still to come
  const std::optional<std::string> path =
      DecodeInstanceRequest(std::string(received.constData(), std::size_t(received.size())));
  received.clear();
  if (!path) {
    socket->abort();
    return;
  }
  socket->write(Taken);
  socket->flush();
  socket->disconnectFromServer();
  emit Requested(QFile::decodeName(QByteArray::fromStdString(*path)));
}
