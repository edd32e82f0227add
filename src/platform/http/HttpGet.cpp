#include "platform/http/HttpGet.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace vx::http {
namespace {

bool IsLoopback(const QString& host) {
  if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
  const QHostAddress address(host);
  return !address.isNull() && address.isLoopback();
}

class SystemProxies : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    if (IsLoopback(query.peerHostName())) return {QNetworkProxy(QNetworkProxy::NoProxy)};
    return systemProxyForQuery(query);
  }
};

}  // namespace

QNetworkAccessManager* NewNetworkAccess(QObject* parent) {
  auto* network = new QNetworkAccessManager(parent);
  network->setProxyFactory(new SystemProxies);
  return network;
}

HttpGet::HttpGet(QNetworkAccessManager& network, QString userAgent, QObject* parent)
    : QObject(parent), network_(network), userAgent_(std::move(userAgent)) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this,
          [this] { Fail(QStringLiteral("The server took too long to answer.")); });
}

HttpGet::~HttpGet() { Release(); }

void HttpGet::Start(const QUrl& url) {
  Release();
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                       QNetworkRequest::AlwaysNetwork);
  request.setTransferTimeout(limits_.idleTimeoutMs);
  body_.clear();
  reply_ = network_.get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &HttpGet::OnReadyRead);
  connect(reply_, &QNetworkReply::finished, this, &HttpGet::OnFinished);
  deadline_.start(limits_.totalTimeoutMs);
}

void HttpGet::Abort() { Release(); }

void HttpGet::OnReadyRead() {
  if (reply_.isNull() || !reply_->isOpen()) return;
  body_ += reply_->read(limits_.maxBodyBytes + 1 - body_.size());
  if (body_.size() > limits_.maxBodyBytes) {
    Fail(QStringLiteral("The server's reply is too long."));
  }
}

void HttpGet::OnFinished() {
  if (reply_.isNull()) return;
  OnReadyRead();
  if (reply_.isNull()) return;  // the last bytes made the body too long
  HttpResult result;
  result.status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  result.transferred = reply_->error() == QNetworkReply::NoError;
  if (!result.transferred) result.errorText = reply_->errorString();
  result.body = std::move(body_);
  Release();
  emit Finished(result);
}

void HttpGet::Fail(const QString& why) {
  if (reply_.isNull()) return;
  HttpResult result;
  result.status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  result.errorText = why;
  body_.truncate(limits_.maxBodyBytes);
  result.body = std::move(body_);
  Release();
  emit Finished(result);
}

void HttpGet::Release() {
  deadline_.stop();
  body_.clear();
  if (reply_.isNull()) return;
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  reply->disconnect(this);
  reply->abort();
  reply->deleteLater();
}

}  // namespace vx::http
