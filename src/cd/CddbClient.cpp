#include "cd/CddbClient.h"

#include <QtGlobal>

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

}  // namespace

CddbClient::Server CddbClient::ConfiguredServer() {
  Server server;
  server.host = QString::fromLatin1(text::kCddbDefaultHost);
  server.port = text::kCddbDefaultPort;
  server.path = QString::fromLatin1(text::kCddbDefaultPath);
  server.user = QString::fromLatin1(text::kCddbDefaultUser);
  Server chosen = server;
  const QString variable = qEnvironmentVariable(text::kCddbServerVariable);
  if (!ParseHostPort(variable, chosen)) {
    chosen = server;
    if (!ParseHostPort(ProfileSettings::Get(settings::kCddbServer), chosen)) chosen = server;
  }
  const QString user = ProfileSettings::Get(settings::kCddbUser).trimmed();
  if (!user.isEmpty()) chosen.user = user;
  return chosen;
}

CddbClient::CddbClient(Server server, UserInteraction& ui, QObject* parent)
    : QObject(parent), server_(std::move(server)), ui_(ui) {}

CddbClient::~CddbClient() = default;

bool CddbClient::IsActive() const { return active_; }

void CddbClient::Setup(bool useCddb) { active_ = useCddb; }

void CddbClient::Deactivate() {
  Abort();
  active_ = false;
}

void CddbClient::SetDisc(const CddbDiscScan& scan, bool /*sendQuery*/) {
  Abort();
  disc_ = scan;
  category_.clear();
  artist_.clear();
  discTitle_.clear();
  FillFallbackNames();
}

void CddbClient::RequestVersion() {}

void CddbClient::Abort() {}

void CddbClient::FillFallbackNames() {
  listEntries_.clear();
  trackTitles_.clear();
  extendedData_.clear();
  for (int a = 1; a <= static_cast<int>(disc_.audioTracks.size()); ++a) {
    listEntries_ << QString::fromLatin1(text::kListEntry)
                        .arg(a, 2, 10, QLatin1Char('0'))
                        .arg(QString::fromLatin1(text::kUnknownSong));
    trackTitles_ << QString::fromLatin1(text::kTrackTitle).arg(a);
    extendedData_ << QString();
  }
  emit AlbumChanged(QString());
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
