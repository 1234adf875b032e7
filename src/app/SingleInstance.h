// One running window per settings folder. The first start listens on a local socket named
// after the folder; a later start hands it the file it was given and ends. Only the same
// user reaches the socket, in the user's runtime directory.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QByteArray;
class QLocalServer;
class QLocalSocket;

class TSingleInstance : public QObject {
  Q_OBJECT
public:
  // settingsDir: the folder whose settings the window keeps.
  explicit TSingleInstance(const QString& settingsDir, QObject* parent = nullptr);
  ~TSingleInstance() override;

  // True when this start is the one window of its folder and now listens; false when
  // another window runs there, in which case HandOver gives it the file.
  bool Claim();
  // Sends the file (absolute; empty: only raise) to the running window; true once it
  // has taken the request.
  bool HandOver(const QString& path);
  QString SocketPath() const { return Path; }

signals:
  // A later start asked to raise the window and, when path is not empty, open it.
  void Requested(const QString& path);

private:
  void Accept();
  void ReadRequest(QLocalSocket* socket, QByteArray& received);

  QString Path;
  std::unique_ptr<QLockFile> Lock;
  QLocalServer* Server = nullptr;
};
