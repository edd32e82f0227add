#include "support/CddbTestServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace vx::test {
namespace {

constexpr char kRequestEnd[] = "\r\n\r\n";

QByteArray StatusLine(int status) {
  const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Error";
  return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
}

// Sends `bytes` one at a time every `ms` until they are gone or the peer has left.
void Dribble(QPointer<QTcpSocket> socket, QByteArray bytes, int ms) {
  if (socket.isNull() || socket->state() != QAbstractSocket::ConnectedState) return;
  if (bytes.isEmpty()) {
    socket->disconnectFromHost();
    return;
  }
  socket->write(bytes.left(1));
  QTimer::singleShot(ms, socket, [socket, rest = bytes.mid(1), ms] { Dribble(socket, rest, ms); });
}

// Writes another block of an endless body whenever the last one has left.
void Flood(QTcpSocket* socket) {
  static const QByteArray block(16 * 1024, 'x');
  QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
    if (socket->bytesToWrite() < block.size()) socket->write(block);
  });
  socket->write(block);
}

}  // namespace

CddbTestServer::CddbTestServer()
    : query_{200, "202 No match found.\r\n", true},
      read_{200, "401 Specified CDDB entry not found.\r\n", true},
      version_{200, "200 Velumix test server v1.0\r\n", true} {
  server_.listen(QHostAddress::LocalHost, 0);
  connect(&server_, &QTcpServer::newConnection, this, &CddbTestServer::OnConnection);
}

CddbTestServer::~CddbTestServer() = default;

quint16 CddbTestServer::Port() const { return server_.serverPort(); }

QString CddbTestServer::HostPort() const { return QStringLiteral("127.0.0.1:%1").arg(Port()); }

int CddbTestServer::OpenConnections() const {
  int open = 0;
  for (const QTcpSocket* socket : server_.findChildren<QTcpSocket*>()) {
    if (socket->state() == QAbstractSocket::ConnectedState) ++open;
  }
  return open;
}

void CddbTestServer::OnConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRequestBytes(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  }
}

void CddbTestServer::OnRequestBytes(QTcpSocket* socket) {
  QByteArray pending = socket->property("request").toByteArray() + socket->readAll();
  const qsizetype end = pending.indexOf(kRequestEnd);
  if (end < 0) {
    socket->setProperty("request", pending);
    return;
  }
  socket->setProperty("request", QByteArray());
  const QList<QByteArray> lines = pending.left(end).split('\n');
  const QList<QByteArray> words = lines.front().trimmed().split(' ');
  const QString target = words.size() >= 2 ? QString::fromLatin1(words[1]) : QString();
  requests_ << target;
  QString agent;
  for (const QByteArray& line : lines) {
    if (line.toLower().startsWith("user-agent:")) agent = QString::fromLatin1(line.mid(11).trimmed());
  }
  userAgents_ << agent;

  const Reply* reply = &version_;
  if (target.contains(QLatin1String("cmd=cddb+query"))) reply = &query_;
  if (target.contains(QLatin1String("cmd=cddb+read"))) reply = &read_;
  Answer(socket, *reply);
}

void CddbTestServer::Answer(QTcpSocket* socket, const Reply& reply) {
  QByteArray header = StatusLine(reply.httpStatus) +
                      "Content-Type: text/plain; charset=ISO-8859-1\r\nConnection: close\r\n";
  switch (behaviour_) {
    case Behaviour::kSilent:
      return;
    case Behaviour::kEndless:
      socket->write(header + "\r\n");
      Flood(socket);
      return;
    case Behaviour::kAnswer:
    case Behaviour::kSlow:
      break;
  }
  if (reply.contentLength) header += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
  const QByteArray whole = header + "\r\n" + reply.body;
  if (behaviour_ == Behaviour::kSlow) {
    Dribble(socket, whole, slowByteMs_);
    return;
  }
  socket->write(whole);
  socket->disconnectFromHost();
}

QByteArray CddbTestServer::ExactMatch(const QString& category, const QString& id,
                                      const QString& title) {
  return QStringLiteral("200 %1 %2 %3\r\n").arg(category, id, title).toLatin1();
}

QByteArray CddbTestServer::Matches(int code, const QStringList& matchLines) {
  QByteArray text = QByteArray::number(code) + " Found matches, list follows (until terminating `.')\r\n";
  for (const QString& line : matchLines) text += line.toLatin1() + "\r\n";
  return text + ".\r\n";
}

QByteArray CddbTestServer::ReadReply(const QString& category, const QString& id,
                                     const QStringList& lines) {
  QByteArray text = QStringLiteral("210 %1 %2 CD database entry follows (until terminating `.')\r\n")
                        .arg(category, id)
                        .toLatin1();
  text += "# xmcd\r\n#\r\nDISCID=" + id.toLatin1() + "\r\n";
  for (const QString& line : lines) text += line.toLatin1() + "\r\n";
  return text + ".\r\n";
}

}  // namespace vx::test
