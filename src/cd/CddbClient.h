// The CDDB client of the CD dialog: asks a CDDB server over HTTP for the artist, album and
// track titles of the disc in the drive. The dialog owns one client; every step runs on the
// thread that owns it, and the results come back through signals.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "cd/CddbDisc.h"
#include "platform/ui/UserInteraction.h"

namespace vx::cd {

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
  // The client set-up; shows its own message boxes; may leave the client inactive.
  void Setup(bool useCddb);
  // "&Use CDDB" cleared: aborts, inactive for good.
  void Deactivate();
  // A new disc: aborts any running reply; the names become the fallback names at once;
  // when active, sends the query ("Querying new CD..." is shown by the caller).
  void SetDisc(const CddbDiscScan& scan, bool sendQuery);
  // The CDDB logo button.
  void RequestVersion();
  void Abort();

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

 private:
  void FillFallbackNames();

  Server server_;
  UserInteraction& ui_;
  bool active_ = false;
  CddbDiscScan disc_;
  QStringList listEntries_;
  QStringList trackTitles_;
  QStringList extendedData_;
  QString category_;
  QString artist_;
  QString discTitle_;
};

}  // namespace vx::cd
