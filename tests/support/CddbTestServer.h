// A CDDB server of the tests' own on the loopback interface: it speaks the CDDB commands
// over HTTP as a real server's cddb.cgi does, answering "cddb query", "cddb read" and "ver"
// with the replies the test gives. It runs on the thread that creates it (the test's event
// loop), so a test waits for a client's result with QSignalSpy or QTRY_ macros.
//
// Besides answering, it can misbehave as servers do: accept and never answer, answer one
// byte at a time slowly, or send a reply that never ends.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

namespace vx::test {

class CddbTestServer : public QObject {
  Q_OBJECT
 public:
  enum class Behaviour {
    kAnswer,   // the reply at once, whole
    kSilent,   // reads the request and never answers
    kSlow,     // the reply one byte every slowByteMs
    kEndless,  // a 200 header and then a body that never ends
  };

  struct Reply {
    int httpStatus = 200;
    QByteArray body;  // the CDDB text, sent as it is (Latin-1)
    // false: no Content-Length; the end of the body is the end of the connection.
    bool contentLength = true;
  };

  CddbTestServer();
  ~CddbTestServer() override;

  quint16 Port() const;
  // "127.0.0.1:<port>", as VELUMIX_CDDB_SERVER and Recorder/CddbServer take it.
  QString HostPort() const;

  void SetBehaviour(Behaviour behaviour) { behaviour_ = behaviour; }
  void SetSlowByteMs(int ms) { slowByteMs_ = ms; }
  // The replies to each command; the defaults are 202 (no match), 401 (not found) and a
  // version line.
  void SetQueryReply(Reply reply) { query_ = std::move(reply); }
  void SetReadReply(Reply reply) { read_ = std::move(reply); }
  void SetVersionReply(Reply reply) { version_ = std::move(reply); }
  void SetQueryReply(const QByteArray& body) { query_ = Reply{200, body, true}; }
  void SetReadReply(const QByteArray& body) { read_ = Reply{200, body, true}; }

  // Request targets ("/~cddb/cddb.cgi?cmd=...") in arrival order, and their User-Agent.
  const QStringList& Requests() const { return requests_; }
  const QStringList& UserAgents() const { return userAgents_; }
  // Connections still open (a client that aborted closes its own).
  int OpenConnections() const;

  // CDDB reply texts (CR LF line ends).
  // "200 <category> <id> <title>"
  static QByteArray ExactMatch(const QString& category, const QString& id, const QString& title);
  // "<code> Found matches" and one "<category> <id> <title>" line per match, then ".".
  static QByteArray Matches(int code, const QStringList& matchLines);
  // "210 <category> <id>", the lines (e.g. "TTITLE0=One"), then ".".
  static QByteArray ReadReply(const QString& category, const QString& id,
                              const QStringList& lines);

 private:
  void OnConnection();
  void OnRequestBytes(class QTcpSocket* socket);
  void Answer(QTcpSocket* socket, const Reply& reply);

  QTcpServer server_;
  Behaviour behaviour_ = Behaviour::kAnswer;
  int slowByteMs_ = 50;
  Reply query_;
  Reply read_;
  Reply version_;
  QStringList requests_;
  QStringList userAgents_;
};

}  // namespace vx::test
