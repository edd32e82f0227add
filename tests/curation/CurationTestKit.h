// Shared by the curation tests: a machine whose only devices are one virtual wave output, one
// virtual MIDI output and one virtual CD tray holding the test disc; a library with songs and
// cues; and a silent song file of any length.
#pragma once

#include <cstdint>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "library/CCueListRec.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/wave/WaveTestSupport.h"

#include <QString>

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace vx::test {

class CurationMachine {
 public:
  explicit CurationMachine(const char* speed = "20");
  ~CurationMachine();

  const std::string& Tape() const { return tape_; }
  const std::string& MidiLog() const { return midiLog_; }
  const std::string& Tray() const { return tray_; }
  dao::DaoDatabase& Db() { return db_; }
  const std::string& LibraryFolder() const { return library_; }

  // The identity of the disc in the tray as the media control layer reports it.
  std::string DiscIdentity();
  // Takes the disc out of the tray, or puts the test disc (or another disc) back in.
  void EmptyTray();
  void LoadTestDisc(long thirdTrackSectors = 167);

  // Sends one media control command on the process's session; its reply.
  std::string Mci(const std::string& command);

 private:
  std::string tape_, midiLog_, tray_, library_;
  wave::test::ScopedEnv devices_;
  wave::test::ScopedEnv speed_;
  dao::DaoDatabase db_;
};

// A 16-bit mono 8 kHz PCM file of silence, `ms` long; sparse, so any length is cheap.
void WriteSilentSong(const std::string& path, long ms);

// Library rows.
void AddSong(dao::DaoDatabase& db, std::int32_t songId, char compression,
             const std::string& name = "SONG");
void AddCue(dao::DaoDatabase& db, std::int32_t songId, const std::string& name, std::int16_t number,
            const std::string& offset);

struct Cue {
  std::string name;
  std::int16_t number;
  std::string offset;
  bool operator==(const Cue&) const = default;
};
void PrintTo(const Cue& cue, std::ostream* out);
// A song's cues in CueNumber order.
std::vector<Cue> CuesOf(dao::DaoDatabase& db, std::int32_t songId);

// The short messages of a virtual MIDI log: device milliseconds and the message ("volume"
// lines carry the volume and volume = true).
struct MidiLine {
  long long ms = 0;
  std::uint32_t value = 0;
  bool volume = false;
};
std::vector<MidiLine> ReadMidiLog(const std::string& path);

}  // namespace vx::test
