// The tools the song editor opens from its buttons: the BPM counter ("<< &Set") and the cue
// point editor ("Edit C&ue List"). The flow that runs the editor hands it an implementation,
// so the editor depends on this interface only and not on the tools' own dialogs.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vx::dao {
class DaoDatabase;
}

namespace vx {

// The song whose tempo is set. Media 'C' (a CD track) uses the identity, album, track and
// drive; every other media code the file path.
struct BpmRequest {
  double bpm = 0;  // the editor's BPM field as a number
  int midiDevice = -1;
  unsigned char midiNote = 37;
  char media = ' ';
  QString filePath;
  QString name;
  QString cdIdentity;
  QString album;
  int cdTrack = 0;
  char cdDriveLetter = ' ';
};

// The song whose cue points are edited, chosen by media as for BpmRequest.
struct CueListRequest {
  long songId = 0;
  char media = ' ';
  QString filePath;
  QString name;
  QString cdIdentity;
  QString album;
  int cdTrack = 0;
  char cdDriveLetter = ' ';
};

class SongEditorTools {
 public:
  virtual ~SongEditorTools() = default;
  // "<< &Set": the tempo the user set, or nothing when cancelled.
  virtual std::optional<double> CountBpm(QWidget* parent, const BpmRequest& request) = 0;
  // "Edit C&ue List": edits and stores the song's cue points.
  virtual void EditCueList(QWidget* parent, dao::DaoDatabase& database,
                           const CueListRequest& request) = 0;
};

// Stands in while the BPM counter and the cue point editors are not built in: each button
// says so on the given status line and changes nothing.
class UnavailableSongEditorTools : public SongEditorTools {
 public:
  using StatusLine = std::function<void(const QString& text)>;
  explicit UnavailableSongEditorTools(StatusLine statusLine)
      : statusLine_(std::move(statusLine)) {}

  std::optional<double> CountBpm(QWidget* parent, const BpmRequest& request) override;
  void EditCueList(QWidget* parent, dao::DaoDatabase& database,
                   const CueListRequest& request) override;

 private:
  StatusLine statusLine_;
};

}  // namespace vx
