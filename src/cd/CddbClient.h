// The CDDB client of the CD dialog: asks a CDDB server over HTTP for the artist, album and
// track titles of the disc in the drive. The dialog owns one client; every step runs on the
// thread that owns it (the transfers are asynchronous), and results come back through
// signals. A lookup is a query (which match the server has for the disc identifier) then a
// read (that match's titles); anything that goes wrong on the way leaves the fallback names.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "cd/CddbDisc.h"
#include "platform/http/HttpGet.h"
#include "platform/ui/UserInteraction.h"

class QNetworkAccessManager;

namespace vx::cd {

struct CddbMatch;

class CddbClient : public QObject {
  Q_OBJECT
 public:
  struct Server {
    QString host;
    quint16 port = 80;
    QString path;
    QString user;
  };
  // Recorder/CddbServer ("host:port"), Recorder/CddbUser, VELUMIX_CDDB_SERVER; defaults
  // gnudb.gnudb.org:80, /~cddb/cddb.cgi.
  static Server ConfiguredServer();

  CddbClient(Server server, UserInteraction& ui, QObject* parent = nullptr);
  ~CddbClient() override;

  bool IsActive() const;
  // The client set-up; shows its own message boxes; may leave the client inactive. A query
  // asked for by SetDisc before the set-up is sent now.
  void Setup(bool useCddb);
  // "&Use CDDB" cleared: aborts, inactive for good.
  void Deactivate();
  // A new disc: aborts any running reply; the names become the fallback names at once;
  // when active, sends the query ("Querying new CD..." is shown by the caller).
  void SetDisc(const CddbDiscScan& scan, bool sendQuery);
  // The CDDB logo button.
  void RequestVersion();
  // Drops the running lookup (the names stay as they are).
  void Abort();
  // True while a query or read is on its way.
  bool IsBusy() const;
  // Bounds of every transfer (the default: 6 seconds without a byte, 30 seconds in all,
  // 256 KiB).
  void SetLimits(const http::HttpLimits& limits);

  // Results, one entry per audio track (fallback names until a read reply gives others).
  const QStringList& ListEntries() const;  // "%02d - %s" / "%02d - Unknown Song"
  const QStringList& TrackTitles() const;  // title or "Track %d"
  const QStringList& ExtendedData() const;
  QString Category() const;
  QString Artist() const;
  QString DiscTitle() const;
  std::uint32_t DiscId() const;

 signals:
  void StatusChanged(const QString& text);  // the dialog's "CDDB Status" line
  void AlbumChanged(const QString& text);   // the album line
  void TrackNamesChanged();                 // ListEntries/TrackTitles replaced
  // A lookup ended, with the server's titles or with the fallback names.
  void LookupFinished(bool found);

 private:
  enum class Request { kNone, kQuery, kRead };

  QUrl ServerUrl() const;
  bool UsableServer() const;
  QUrl Url(const QString& command) const;
  void SendQuery();
  void OnLookupFinished(const http::HttpResult& result);
  void OnVersionFinished(const http::HttpResult& result);
  void HandleQuery(const http::HttpResult& result);
  void HandleRead(const http::HttpResult& result);
  void FallBack();
  void FillFallbackNames();

  Server server_;
  QString helloUser_;
  UserInteraction& ui_;
  bool active_ = false;
  bool queryPending_ = false;
  Request request_ = Request::kNone;
  http::HttpLimits limits_;
  QNetworkAccessManager* network_ = nullptr;
  http::HttpGet* lookup_ = nullptr;
  http::HttpGet* version_ = nullptr;
  CddbDiscScan disc_;
  QStringList listEntries_;
  QStringList trackTitles_;
  QStringList extendedData_;
  QString category_;
  QString artist_;
  QString discTitle_;
};

}  // namespace vx::cd
