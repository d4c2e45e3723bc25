#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QtGlobal>

#include <unistd.h>

namespace kesta {

namespace {

constexpr QByteArrayView kShowRequest = "show\n";
constexpr QByteArrayView kShownAnswer = "shown\n";
constexpr int kConnectMilliseconds = 2000;
// The running window answers from its event loop; a long command of its may keep it a while.
constexpr int kAnswerMilliseconds = 10000;

}  // namespace

TSingleInstance::TSingleInstance() {
  // Qt makes the folder (mode 0700) when the session has none; where it cannot, the user's id keeps the
  // name apart from other users' in the shared temporary folder.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  m_serverName = folder.isEmpty()
                     ? QDir(QDir::tempPath()).filePath(QString("kesta-%1.instance").arg(::getuid()))
                     : QDir(folder).filePath("kesta.instance");
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { Serve(); });
}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::ClaimOrWake() {
  // Two starts at once: the lock lets one of them look and listen before the other looks. A lock left
  // by a killed start is stale (its process is gone) and taken over.
  QLockFile lock(m_serverName + ".lock");
  // Without the lock (held by a start that hangs) the check is still made, only not alone.
  lock.tryLock(kConnectMilliseconds);
  if (WakeRunningInstance()) return false;
  // Nobody answers: whatever socket file is there was left by an instance that ended without removing
  // it.
  QLocalServer::removeServer(m_serverName);
  if (!m_server.listen(m_serverName))
    qWarning("KESTA: no other start can be told apart from this one: %s", qPrintable(m_server.errorString()));
  return true;
}

bool TSingleInstance::WakeRunningInstance() const {
  QLocalSocket socket;
  socket.connectToServer(m_serverName);
  if (!socket.waitForConnected(kConnectMilliseconds)) return false;
  socket.write(kShowRequest.data(), kShowRequest.size());
  socket.waitForBytesWritten(kConnectMilliseconds);
  // Connected is enough to know it runs; the answer only tells it has done what it was asked.
  while (socket.bytesAvailable() < kShownAnswer.size() && socket.waitForReadyRead(kAnswerMilliseconds)) {
  }
  return true;
}

void TSingleInstance::Serve() {
  while (QLocalSocket* socket = m_server.nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto answer = [this, socket] {
      if (!socket->canReadLine()) return;
      const QByteArray request = socket->readLine();
      if (request == kShowRequest.toByteArray() && m_show) m_show();
      socket->write(kShownAnswer.data(), kShownAnswer.size());
      socket->disconnectFromServer();
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, answer);
    answer();  // what arrived with the connection gives no signal of its own
  }
}

void TSingleInstance::Release() { m_server.close(); }

}  // namespace kesta
