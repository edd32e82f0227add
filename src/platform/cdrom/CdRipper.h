// The CD-ripping component: copies one audio track at a time into a RIFF WAVE file (PCM,
// 44.1 kHz, 16-bit, stereo) on a worker thread. Real drives are read through
// libcdio-paranoia, which verifies and repairs what the drive delivers; images are read
// sector by sector.
//
// Operations answer a status, 0 for success. After a successful ExtractTrack the component
// raises ExtractionProgress (0..1000) any number of times and then exactly one
// ExtractionDone. 1000 is reported only when the whole track has been written and the file
// closed, so a copy that ends with a last progress below 1000 is incomplete (failed read,
// failed write, or cancelled); its partly written file is left for the caller to delete.
//
// The handlers run on the worker thread: they should only hand the event to the caller's
// own thread (post a message) and must not block on it. Call the operations from one thread
// (the dialog's); ExtractTrack from inside a handler answers kRipBusy.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/cdrom/CdDrive.h"

namespace vx::cdrom {

enum CdRipStatus : std::int16_t {
  kRipOk = 0,
  kRipNotInitialized = 1,  // Initialize has not run
  kRipNoDrive = 2,         // no drive, no drive selected, or no drive at that position
  kRipNoDisc = 3,          // the drive holds no readable disc
  kRipNoSuchTrack = 4,
  kRipDataTrack = 5,       // the track holds data, not audio
  kRipBusy = 6,            // a copy is running
  kRipCannotWrite = 7,     // the output file cannot be created
  kRipCannotStart = 8,     // no worker thread
};

class CdRipper {
 public:
  using Inventory = std::function<std::vector<CdDrive>()>;
  using ProgressHandler = std::function<void(std::int32_t progress)>;
  using DoneHandler = std::function<void()>;

  // The inventory is taken by Initialize; by default it is this machine's drives under
  // VELUMIX_DEVICES.
  explicit CdRipper(Inventory inventory = {});
  // Cancels a running copy and waits for it.
  ~CdRipper();
  CdRipper(const CdRipper&) = delete;
  CdRipper& operator=(const CdRipper&) = delete;

  // Event handlers; a copy takes the handlers in force when it starts.
  void SetExtractionProgress(ProgressHandler handler) { onProgress_ = std::move(handler); }
  void SetExtractionDone(DoneHandler handler) { onDone_ = std::move(handler); }

  bool IsReady() const { return initialized_; }
  // Takes the drive inventory. kRipNoDrive when there is no drive at all.
  std::int16_t Initialize();
  // Chooses the drive by its 0-based position in the inventory.
  std::int16_t SelectDrive(std::int16_t position);
  // Starts copying the disc's track `track` (its own number) to wavePath and returns at
  // once. Everything that can be checked before the copy starts is checked here.
  std::int16_t ExtractTrack(std::int16_t track, const std::string& wavePath);
  // Asks a running copy to stop and waits until it has (its ExtractionDone included).
  // From inside a handler it only asks. Harmless when nothing runs.
  std::int16_t CancelExtraction();

 private:
  struct Job;
  void Run(Job job);
  void JoinWorker();

  Inventory inventory_;
  std::vector<CdDrive> drives_;
  bool initialized_ = false;
  int selected_ = -1;
  ProgressHandler onProgress_;
  DoneHandler onDone_;
  std::thread worker_;
  std::atomic<bool> running_{false};
  std::atomic<bool> cancel_{false};
};

}  // namespace vx::cdrom
