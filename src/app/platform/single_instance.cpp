#include "app/platform/single_instance.h"

#include <unistd.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>

namespace quarnel {

namespace {

// A message larger than this is not an argument list of ours and is dropped unread.
constexpr quint32 kMaxMessageBytes = 1u << 20;
constexpr int kTimeoutMs = 3000;

QByteArray Encode(const QStringList& arguments) {
  QByteArray body;
  QDataStream out(&body, QIODevice::WriteOnly);
  out.setVersion(QDataStream::Qt_6_0);
  out << QDir::currentPath() << arguments;
  QByteArray msg;
  QDataStream head(&msg, QIODevice::WriteOnly);
  head << static_cast<quint32>(body.size());
  msg.append(body);
  return msg;
}

}  // namespace

SingleInstance::SingleInstance(const QString& programPath, QObject* parent)
    : QObject(parent), name_(ServerName(programPath)) {}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
}

QString SingleInstance::ServerName(const QString& programPath) {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) user = QString::number(static_cast<qulonglong>(getuid()));
  QString file = QFileInfo(programPath).fileName();
  // One window per user and graphical session: a start on another display or Wayland socket
  // opens a window there instead of handing over to one it cannot see.
  const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
  const QString session = wayland.isEmpty()
                              ? QStringLiteral("x11:") + qEnvironmentVariable("DISPLAY")
                              : QStringLiteral("wayland:") + wayland;
  // Socket names become file names: keep them short and free of odd characters.
  QByteArray hash = QCryptographicHash::hash((file + '\n' + user + '\n' + session).toUtf8(),
                                             QCryptographicHash::Sha1)
                        .toHex()
                        .left(16);
  QString plain;
  for (QChar c : file) plain += (c.isLetterOrNumber() || c == '-' || c == '_') ? c : QChar('_');
  return QStringLiteral("quarnel-%1-%2").arg(plain.left(32), QString::fromLatin1(hash));
}

bool SingleInstance::AnotherInstanceRuns(const QStringList& arguments, bool* failed) {
  if (failed) *failed = false;
  for (int attempt = 0; attempt < 2; ++attempt) {
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(kTimeoutMs)) {
      probe.write(Encode(arguments));
      probe.waitForBytesWritten(kTimeoutMs);
      probe.disconnectFromServer();
      return true;
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (server_->listen(name_)) {
      connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
      return false;
    }
    delete server_;
    server_ = nullptr;
    // A socket left behind by a run that did not end cleanly: nobody answered on it above.
    QLocalServer::removeServer(name_);
  }
  if (failed) *failed = true;
  return false;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* s = server_->nextPendingConnection()) {
    QPointer<QLocalSocket> sock(s);
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    auto tryRead = [this, sock]() {
      if (!sock) return;
      QByteArray all = sock->peek(sock->bytesAvailable());
      if (all.size() < 4) return;
      QDataStream head(all);
      quint32 len = 0;
      head >> len;
      if (len > kMaxMessageBytes) {
        sock->abort();
        return;
      }
      if (static_cast<quint32>(all.size()) < 4 + len) return;
      sock->read(4 + len);
      QDataStream body(all.mid(4, len));
      body.setVersion(QDataStream::Qt_6_0);
      QString cwd;
      QStringList args;
      body >> cwd >> args;
      sock->disconnectFromServer();
      if (body.status() == QDataStream::Ok) emit argumentsReceived(args, cwd);
    };
    connect(s, &QLocalSocket::readyRead, this, tryRead);
    tryRead();
  }
}

QString FirstHandedOverPath(const QStringList& arguments, const QString& workingFolder) {
  if (arguments.size() < 2) return {};
  const QString& p = arguments.at(1);
  if (p.isEmpty()) return {};
  return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(p));
}

}  // namespace quarnel
