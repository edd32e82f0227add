#include "cd/CddbClient.h"

#include <QNetworkAccessManager>
#include <QUrl>
#include <QtGlobal>

#include "cd/CddbReply.h"
#include "cd/CddbText.h"
#include "platform/settings/ProfileSettings.h"

namespace vx::cd {
namespace {

// "host:port" or "host" into the server's host and port; false when the text is unusable.
bool ParseHostPort(const QString& text, CddbClient::Server& server) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return false;
  const qsizetype colon = trimmed.lastIndexOf(QLatin1Char(':'));
  if (colon < 0) {
    server.host = trimmed;
    return true;
  }
  bool ok = false;
  const uint port = trimmed.mid(colon + 1).toUInt(&ok);
  if (!ok || port == 0 || port > 65535 || colon == 0) return false;
  server.host = trimmed.left(colon);
  server.port = static_cast<quint16>(port);
  return true;
}

constexpr qint64 kMaxReplyBytes = 256 * 1024;

}  // namespace

CddbClient::Server CddbClient::ConfiguredServer() {
  Server server;
  server.host = QString::fromLatin1(text::kCddbDefaultHost);
  server.port = text::kCddbDefaultPort;
  server.path = QString::fromLatin1(text::kCddbDefaultPath);
  server.user = QString::fromLatin1(text::kCddbDefaultUser);
  Server chosen = server;
  if (!ParseHostPort(qEnvironmentVariable(text::kCddbServerVariable), chosen)) {
    chosen = server;
    if (!ParseHostPort(ProfileSettings::Get(settings::kCddbServer), chosen)) chosen = server;
  }
  const QString user = ProfileSettings::Get(settings::kCddbUser).trimmed();
  if (!user.isEmpty()) chosen.user = user;
  return chosen;
}

CddbClient::CddbClient(Server server, UserInteraction& ui, QObject* parent)
    : QObject(parent),
      server_(std::move(server)),
      helloUser_(QString::fromStdString(CddbHelloUser(server_.user.toStdString()))),
      ui_(ui) {
  if (server_.path.isEmpty()) server_.path = QString::fromLatin1(text::kCddbDefaultPath);
  limits_.maxBodyBytes = kMaxReplyBytes;
}

CddbClient::~CddbClient() {
  // The transfers go before the network access that carries them, so none reports to a
  // client being destroyed.
  delete lookup_;
  delete version_;
}

bool CddbClient::IsActive() const { return active_; }

bool CddbClient::IsBusy() const { return lookup_ != nullptr && lookup_->IsRunning(); }

void CddbClient::SetLimits(const http::HttpLimits& limits) {
  limits_ = limits;
  if (lookup_ != nullptr) lookup_->SetLimits(limits);
  if (version_ != nullptr) version_->SetLimits(limits);
}

QUrl CddbClient::ServerUrl() const {
  QUrl url;
  url.setScheme(QStringLiteral("http"));
  url.setHost(server_.host, QUrl::StrictMode);
  url.setPort(server_.port);
  return url;
}

bool CddbClient::UsableServer() const {
  const QUrl url = ServerUrl();
  return url.isValid() && !url.host().isEmpty() && server_.port != 0;
}

QUrl CddbClient::Url(const QString& command) const {
  // The command is already percent-encoded where it needs to be.
  return ServerUrl().resolved(QUrl(server_.path + command, QUrl::StrictMode));
}

void CddbClient::Setup(bool useCddb) {
  active_ = useCddb;
  if (!active_) return;
  if (!UsableServer()) {
    ui_.Message(QString::fromLatin1(text::kCddbOpenError), MsgIcon::Exclamation);
    active_ = false;
    return;
  }
  if (network_ == nullptr) {
    network_ = http::NewNetworkAccess(this);
    const QString agent = QString::fromLatin1(text::kCddbUserAgent)
                              .arg(QString::fromLatin1(text::kCddbClientVersion));
    lookup_ = new http::HttpGet(*network_, agent, this);
    version_ = new http::HttpGet(*network_, agent, this);
    lookup_->SetLimits(limits_);
    version_->SetLimits(limits_);
    connect(lookup_, &http::HttpGet::Finished, this, &CddbClient::OnLookupFinished);
    connect(version_, &http::HttpGet::Finished, this, &CddbClient::OnVersionFinished);
  }
  emit StatusChanged(QString::fromLatin1(text::kCddbConnecting).arg(server_.host));
  if (queryPending_) SendQuery();
}

void CddbClient::Deactivate() {
  Abort();
  if (version_ != nullptr) version_->Abort();
  active_ = false;
  queryPending_ = false;
}

void CddbClient::SetDisc(const CddbDiscScan& scan, bool sendQuery) {
  Abort();
  disc_ = scan;
  category_.clear();
  artist_.clear();
  discTitle_.clear();
  FillFallbackNames();
  emit AlbumChanged(QString());
  queryPending_ = sendQuery && network_ == nullptr;
  if (sendQuery && active_ && network_ != nullptr) SendQuery();
}

void CddbClient::SendQuery() {
  queryPending_ = false;
  const std::string::size_type command = disc_.queryPath.find('?');
  if (disc_.audioTracks.empty() || command == std::string::npos) {
    // Nothing a server could name: a disc without audio, or one whose table of contents
    // could not be read whole.
    FallBack();
    return;
  }
  request_ = Request::kQuery;
  lookup_->Start(Url(QString::fromStdString(disc_.queryPath.substr(command))));
}

void CddbClient::RequestVersion() {
  if (!active_ || version_ == nullptr) return;
  version_->Start(Url(QString::fromLatin1(text::kCddbVersionCommand) +
                      QString::fromLatin1(text::kCddbHello)
                          .arg(helloUser_, QString::fromLatin1(text::kCddbClientVersion))));
}

void CddbClient::Abort() {
  if (lookup_ != nullptr) lookup_->Abort();
  request_ = Request::kNone;
}

void CddbClient::OnLookupFinished(const http::HttpResult& result) {
  const Request request = request_;
  request_ = Request::kNone;
  if (request == Request::kQuery) HandleQuery(result);
  if (request == Request::kRead) HandleRead(result);
}

void CddbClient::OnVersionFinished(const http::HttpResult& result) {
  emit StatusChanged(result.Ok() ? QString::fromLatin1(result.body).trimmed()
                                 : QString::fromLatin1(text::kCddbVersionError));
}

void CddbClient::HandleQuery(const http::HttpResult& result) {
  category_.clear();
  artist_.clear();
  discTitle_.clear();
  const std::optional<CddbMatch> match =
      result.Ok() ? ParseQueryReply(result.body) : std::nullopt;
  if (!match) {
    FallBack();
    return;
  }
  category_ = match->category;
  artist_ = match->artist;
  discTitle_ = match->discTitle;
  request_ = Request::kRead;
  lookup_->Start(Url(CddbReadCommand(*match, helloUser_)));
  emit StatusChanged(QString::fromLatin1(text::kCddbReading).arg(match->title));
  emit AlbumChanged(match->title);
}

void CddbClient::HandleRead(const http::HttpResult& result) {
  const int audioTracks = static_cast<int>(disc_.audioTracks.size());
  const std::optional<CddbTrackNames> names =
      result.Ok() ? ParseReadReply(result.body, audioTracks) : std::nullopt;
  if (!names) {
    FallBack();
    return;
  }
  listEntries_ = names->listEntries;
  trackTitles_ = names->titles;
  extendedData_ = names->extendedData;
  emit TrackNamesChanged();
  emit StatusChanged(QString::fromLatin1(text::kCddbComplete));
  emit LookupFinished(true);
}

void CddbClient::FallBack() {
  emit StatusChanged(QString::fromLatin1(text::kCddbNoInformation));
  FillFallbackNames();
  emit AlbumChanged(QString());
  emit LookupFinished(false);
}

void CddbClient::FillFallbackNames() {
  const CddbTrackNames names = cd::FallbackNames(static_cast<int>(disc_.audioTracks.size()));
  listEntries_ = names.listEntries;
  trackTitles_ = names.titles;
  extendedData_ = names.extendedData;
  emit TrackNamesChanged();
}

const QStringList& CddbClient::ListEntries() const { return listEntries_; }
const QStringList& CddbClient::TrackTitles() const { return trackTitles_; }
const QStringList& CddbClient::ExtendedData() const { return extendedData_; }
QString CddbClient::Category() const { return category_; }
QString CddbClient::Artist() const { return artist_; }
QString CddbClient::DiscTitle() const { return discTitle_; }
std::uint32_t CddbClient::DiscId() const { return disc_.discId; }

}  // namespace vx::cd
