// One asynchronous HTTP GET at a time over Qt Network, bounded in size and time. The owner's
// thread runs the event loop; the result arrives there through Finished, once per transfer
// started and never for a transfer that was aborted or replaced.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace vx::http {

struct HttpLimits {
  int idleTimeoutMs = 6000;     // no byte moved for this long: the transfer fails
  int totalTimeoutMs = 30000;   // the whole transfer, however busy
  qint64 maxBodyBytes = 1 << 20;  // a longer body fails the transfer
};

struct HttpResult {
  bool transferred = false;  // the body arrived whole
  int status = 0;            // the HTTP status code; 0 when none arrived
  QByteArray body;           // the bytes received, within the size bound (partial on failure)
  QString errorText;         // why the transfer failed; empty when it did not

  bool Ok() const { return transferred && status == 200; }
};

// The network access for one user of HTTP: system proxy settings (direct for loopback
// hosts, which no proxy can reach) and no cache.
QNetworkAccessManager* NewNetworkAccess(QObject* parent);

class HttpGet : public QObject {
  Q_OBJECT
 public:
  HttpGet(QNetworkAccessManager& network, QString userAgent, QObject* parent = nullptr);
  ~HttpGet() override;

  void SetLimits(const HttpLimits& limits) { limits_ = limits; }
  // Starts a transfer; a running one is aborted first.
  void Start(const QUrl& url);
  // Drops the running transfer, if any, without a Finished.
  void Abort();
  bool IsRunning() const { return !reply_.isNull(); }

 signals:
  void Finished(const vx::http::HttpResult& result);

 private:
  void OnReadyRead();
  void OnFinished();
  void Fail(const QString& why);
  void Release();

  QNetworkAccessManager& network_;
  QString userAgent_;
  HttpLimits limits_;
  QPointer<QNetworkReply> reply_;
  QByteArray body_;
  QTimer deadline_;
};

}  // namespace vx::http
