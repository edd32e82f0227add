// The copies of one Rip: the tracks the user selected, copied one after the other by the
// ripping component, each into a new empty temporary file of the Songs folder. The queue
// keeps the list of files started; a copy that ended short is taken off that list and its
// file deleted, so what the list holds at the end is every complete copy (and, after a
// cancel, the one that was running).
//
// Used from one thread (the dialog's); the component's events are the caller's to deliver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cdrom/CdRipper.h"

namespace vx::cd {

struct RippedTrack {
  std::string path;  // the temporary WAVE file
  int track = 0;     // the disc's own number of the track
  int entry = 0;     // its position in the dialog's track list (the audio tracks, from 0)
};

class CdRipQueue {
 public:
  struct Selected {
    int entry = 0;  // list position
    int track = 0;  // the disc's track number
  };

  // What starting the next copy did.
  struct Step {
    int startedTrack = 0;                 // the copy now running (its disc number)
    bool finished = false;                // nothing was left to copy
    std::int16_t status = cdrom::kRipOk;  // the component refused the copy
  };

  CdRipQueue(cdrom::CdRipper& ripper, std::string songsFolder, std::vector<Selected> tracks);

  // Readies the component for the drive at `drivePosition`: kRipOk or its status.
  std::int16_t Prepare(std::int16_t drivePosition);
  // The running copy has ended with `lastProgress` (1000 = complete). A copy that stopped
  // short loses its file; answers its disc track number then, else 0. Nothing when no copy
  // was running.
  int EndCopy(std::int32_t lastProgress);
  // Starts copying the next selected track into a new temporary file.
  Step StartNext();

  const std::vector<RippedTrack>& Copies() const { return copies_; }
  bool Started() const { return started_; }
  bool Running() const { return running_; }
  int Count() const { return static_cast<int>(tracks_.size()); }

 private:
  cdrom::CdRipper& ripper_;
  std::string songsFolder_;
  std::vector<Selected> tracks_;
  std::size_t next_ = 0;
  bool running_ = false;
  bool started_ = false;
  std::vector<RippedTrack> copies_;
};

}  // namespace vx::cd
