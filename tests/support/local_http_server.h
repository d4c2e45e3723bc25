#pragma once
// A small HTTP/1.1 server on 127.0.0.1 and a free port, for tests of code that downloads. Each path
// answers as set up: a status and body, a body cut short of its announced length, or a connection
// closed without an answer. Runs on the test's event loop.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QStringList>

namespace kesta::test {

class LocalHttpServer : public QObject {
 public:
  struct Answer {
    int status = 200;
    QByteArray body;
    qint64 announcedLength = -1;  // Content-Length when it differs from the body's (a truncated body)
    bool closeWithoutAnswer = false;
  };

  LocalHttpServer() {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }

  bool Listening() const { return m_server.isListening(); }
  QUrl BaseUrl() const { return QUrl(QString("http://127.0.0.1:%1/").arg(m_server.serverPort())); }
  void Serve(const QString& path, Answer answer) { m_answers.insert(path, std::move(answer)); }
  // Request lines' paths, in order.
  const QStringList& Requests() const { return m_requests; }

 private:
  void OnRequest(QTcpSocket* socket) {
    QByteArray& pending = m_pending[socket];
    pending += socket->readAll();
    if (!pending.contains("\r\n\r\n")) return;
    const QList<QByteArray> requestLine = pending.left(pending.indexOf("\r\n")).split(' ');
    m_pending.remove(socket);
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    m_requests << path;
    const auto found = m_answers.constFind(path);
    Answer answer = found != m_answers.constEnd() ? *found : Answer{404, "not here"};
    if (answer.closeWithoutAnswer) {
      socket->abort();
      return;
    }
    const qint64 length = answer.announcedLength >= 0 ? answer.announcedLength : answer.body.size();
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(answer.status) +
                       (answer.status == 200 ? " OK" : answer.status == 404 ? " Not Found" : " Error") +
                       "\r\nContent-Length: " + QByteArray::number(length) +
                       "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n" + answer.body;
    socket->write(reply);
    socket->flush();
    socket->disconnectFromHost();
  }

  QTcpServer m_server;
  QHash<QString, Answer> m_answers;
  QHash<QTcpSocket*, QByteArray> m_pending;
  QStringList m_requests;
};

}  // namespace kesta::test
