#include "platform/cdrom/CdRipper.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "platform/cdrom/CdDriveInventory.h"
#include "platform/cdrom/CdSectorReader.h"
#include "platform/cdrom/CdTime.h"
#include "platform/riff/WaveFile.h"

namespace vx::cdrom {
namespace {

// Sectors read between two progress events (about a third of a second of audio).
constexpr long kSectorsPerStep = 25;

// The ripper whose worker this thread is, if any.
thread_local const CdRipper* t_workerOf = nullptr;

}  // namespace

// Everything one copy needs, owned by the worker while it runs.
struct CdRipper::Job {
  std::unique_ptr<CdDisc> disc;
  CdTrack track;
  std::unique_ptr<riff::WaveFileWriter> writer;
  ProgressHandler onProgress;
  DoneHandler onDone;
};

CdRipper::CdRipper(Inventory inventory) : inventory_(std::move(inventory)) {
  if (!inventory_) {
    inventory_ = [] { return ListCdDrives(DeviceConfig::Current()); };
  }
}

CdRipper::~CdRipper() { CancelExtraction(); }

std::int16_t CdRipper::Initialize() {
  drives_ = inventory_();
  initialized_ = true;
  selected_ = -1;
  return drives_.empty() ? kRipNoDrive : kRipOk;
}

std::int16_t CdRipper::SelectDrive(std::int16_t position) {
  if (!initialized_) return kRipNotInitialized;
  if (position < 0 || position >= static_cast<int>(drives_.size())) return kRipNoDrive;
  selected_ = position;
  return kRipOk;
}

std::int16_t CdRipper::ExtractTrack(std::int16_t track, const std::string& wavePath) {
  if (!initialized_) return kRipNotInitialized;
  if (selected_ < 0) return kRipNoDrive;
  if (t_workerOf == this || running_) return kRipBusy;
  Job job;
  job.disc = drives_[selected_].OpenDisc();
  if (job.disc == nullptr) return kRipNoDisc;
  const CdTrack* found = job.disc->Toc().Find(track);
  if (found == nullptr) return kRipNoSuchTrack;
  if (!found->audio) return kRipDataTrack;
  job.track = *found;
  job.writer = std::make_unique<riff::WaveFileWriter>();
  if (!job.writer->Create(wavePath, riff::WaveFormat::Pcm16(2, 44100))) {
    job.writer->Close();
    return kRipCannotWrite;
  }
  job.onProgress = onProgress_;
  job.onDone = onDone_;
  JoinWorker();  // the previous copy has ended; only its thread is left
  cancel_ = false;
  running_ = true;
  try {
    worker_ = std::thread(&CdRipper::Run, this, std::move(job));
  } catch (const std::system_error&) {
    running_ = false;
    return kRipCannotStart;  // the job, and with it the file, was closed
  }
  return kRipOk;
}

std::int16_t CdRipper::CancelExtraction() {
  cancel_ = true;
  if (t_workerOf != this) JoinWorker();
  return kRipOk;
}

void CdRipper::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void CdRipper::Run(Job job) {
  t_workerOf = this;
  const auto report = [&](std::int32_t progress) {
    if (job.onProgress) job.onProgress(progress);
  };
  const auto reader = MakeSectorReader(*job.disc);
  long first = 0;
  long sectors = 0;
  bool ok = reader->Begin(job.track, first, sectors);
  std::vector<std::uint8_t> buffer(kRawSectorBytes * kSectorsPerStep);
  report(0);
  for (long done = 0; ok && done < sectors;) {
    if (cancel_) {
      ok = false;
      break;
    }
    const long step = std::min(kSectorsPerStep, sectors - done);
    for (long i = 0; ok && i < step; ++i) ok = reader->ReadNext(&buffer[i * kRawSectorBytes]);
    ok = ok && job.writer->Append(buffer.data(), step * kRawSectorBytes);
    done += step;
    // 1000 is kept for the end, when the file is complete and closed.
    if (ok) report(static_cast<std::int32_t>(std::min<long>(999, done * 1000 / sectors)));
  }
  ok = job.writer->Close() && ok;
  if (ok) report(1000);
  running_ = false;
  if (job.onDone) job.onDone();
}

}  // namespace vx::cdrom
