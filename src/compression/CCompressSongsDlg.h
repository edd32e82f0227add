// The "Compress all songs" dialog: converts every uncompressed song file of the library to
// ADPCM, one song after another, on the conversion thread; puts each new file in place of
// the old one and marks the song's row with the compressor's code letter.
//
// A one-second timer drives the run. A song whose conversion or replacement fails keeps its
// file and its row and the run goes on with the next song. A song still marked uncompressed
// whose file already holds the compressor's format (a run ended between the file's
// replacement and the row's update) is simply marked. The songs' record set is opened with
// writes denied to others and stays open for the whole run.
//
// Controls by object name: "compressorList", "goButton", "cancelButton", "overallBar",
// "songBar", "upperText", "lowerText"; the timer "compressTimer".
#pragma once

#include <QDialog>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/acm/AcmDriver.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace vx {

namespace dao {
class DaoDatabase;
}
class CAcmThread;
class CSongRecordset;
struct AcmStatus;

// What the dialog takes from the outside world; tests shorten the waits.
struct CompressSongsEnvironment {
  std::chrono::milliseconds tick{1000};
  std::chrono::milliseconds threadWait{15000};
  std::function<std::chrono::steady_clock::time_point()> now = std::chrono::steady_clock::now;
  std::function<std::optional<acm::AcmDriverId>(std::uint16_t)> findCodec;  // FindCodecForTag
};

// "Elapsed time: D days HH hrs MM mins" for a span of whole seconds.
QString ElapsedTimeText(std::chrono::seconds elapsed);

class CCompressSongsDlg : public QDialog {
  Q_OBJECT
 public:
  // Posted to the dialog when the last song is done.
  static constexpr QEvent::Type kCompletionMessage = QEvent::Type(QEvent::User + 101);
  // Posted by the conversion thread with a failure to show.
  static constexpr QEvent::Type kThreadMessage = QEvent::Type(QEvent::User + 102);

  using Environment = CompressSongsEnvironment;

  CCompressSongsDlg(dao::DaoDatabase& database, std::string songsFolder,
                    Environment environment = {}, QWidget* parent = nullptr);
  ~CCompressSongsDlg() override;

  // The opening steps: count the songs to do, list the compressor, start the thread. False
  // when the dialog has closed as cancelled instead (after its message).
  bool OnInitDialog();

  long SongCount() const { return count_; }
  // The SongID being converted, or -1.
  long CurrentSongId() const { return currentSongId_; }
  bool IsComplete() const { return complete_; }
  // The conversion thread, for tests; null before the dialog opened and after it closed.
  CAcmThread* Thread() const { return thread_.get(); }

 public slots:
  void OnGo();
  void OnTimer();
  void done(int result) override;

 protected:
  void customEvent(QEvent* event) override;

 private:
  // Runs work under the dialog's catch order; after a failure closes the dialog as cancelled.
  bool Guarded(const std::function<void()>& work);
  void StartSongs();
  void EndSong(const AcmStatus& status);
  void MarkCurrentSong();
  void OnCompletion();
  void CloseDown();
  void RemoveLeftoverTempFiles() const;

  dao::DaoDatabase& database_;
  std::string songsFolder_;
  Environment env_;

  QListWidget* compressorList_;
  QPushButton* goButton_;
  QPushButton* cancelButton_;
  QProgressBar* overallBar_;
  QProgressBar* songBar_;
  QLabel* upperText_;
  QLabel* lowerText_;
  QTimer timer_{this};  // a child, so that tools can find it by its name

  std::unique_ptr<CSongRecordset> songs_;
  std::unique_ptr<CAcmThread> thread_;
  long count_ = 0;
  long songNumber_ = 1;
  long currentSongId_ = -1;
  std::uint16_t formatTag_ = 0;
  char codeLetter_ = ' ';
  std::chrono::steady_clock::time_point startTime_;
  bool threadStarted_ = false;
  bool complete_ = false;
  bool closed_ = false;
  bool inTimer_ = false;
};

}  // namespace vx
