#include "platform/mci/CdAudioDriver.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/cdrom/CdTime.h"
#include "platform/mci/MciErrors.h"

namespace vx::mci {
namespace {

// The audio of a disc as one stream of 16-bit stereo frames from LSN 0, read a few sectors
// at a time.
class CdAudioSource : public PcmSource {
 public:
  explicit CdAudioSource(std::shared_ptr<const cdrom::CdDisc> disc)
      : disc_(std::move(disc)), format_(riff::WaveFormat::Pcm16(2, 44100)),
        cache_(kCacheSectors * cdrom::kRawSectorBytes) {}

  const riff::WaveFormat& Format() const override { return format_; }

  bool Seek(std::uint64_t frame) override {
    frame_ = frame;
    return true;
  }

  std::size_t Read(std::uint8_t* out, std::size_t frames) override {
    constexpr std::size_t kFrameBytes = 4;
    std::size_t done = 0;
    while (done < frames) {
      const long sector = static_cast<long>(frame_ / cdrom::kSampleFramesPerSector);
      if (!Load(sector)) break;
      const std::size_t inCache =
          static_cast<std::size_t>(frame_ - static_cast<std::uint64_t>(cachedFirst_) *
                                                cdrom::kSampleFramesPerSector);
      const std::size_t take =
          std::min(frames - done, cachedCount_ * cdrom::kSampleFramesPerSector - inCache);
      std::memcpy(out + done * kFrameBytes, cache_.data() + inCache * kFrameBytes,
                  take * kFrameBytes);
      done += take;
      frame_ += take;
    }
    return done;
  }

 private:
  static constexpr unsigned kCacheSectors = 16;

  bool Load(long sector) {
    if (sector >= cachedFirst_ && sector < cachedFirst_ + static_cast<long>(cachedCount_)) {
      return true;
    }
    const long last = disc_->Toc().leadOutLsn;
    const auto count = static_cast<unsigned>(std::min<long>(kCacheSectors, last - sector));
    if (sector < 0 || count == 0 || !disc_->ReadAudioSectors(sector, count, cache_.data())) {
      cachedCount_ = 0;
      return false;
    }
    cachedFirst_ = sector;
    cachedCount_ = count;
    return true;
  }

  std::shared_ptr<const cdrom::CdDisc> disc_;
  riff::WaveFormat format_;
  std::vector<std::uint8_t> cache_;
  long cachedFirst_ = 0;
  std::size_t cachedCount_ = 0;
  std::uint64_t frame_ = 0;
};

}  // namespace

CdAudioDriver::CdAudioDriver(cdrom::CdDrive drive)
    : PlayerDriver(static_cast<long>(cdrom::kSampleFramesPerSector)), drive_(std::move(drive)) {}

CdAudioDriver::~CdAudioDriver() { Unload(); }

bool CdAudioDriver::Refresh() {
  if (drive_.State() != cdrom::TrayState::Loaded) {
    if (disc_) Unload();
    disc_.reset();
    toc_.reset();
    identity_.clear();
    return false;
  }
  if (disc_) {
    // A disc swapped while the tray stayed closed shows as a new table of contents.
    if (!drive_.IsVirtual()) return true;
    std::unique_ptr<cdrom::CdDisc> now = drive_.OpenDisc();
    if (now && now->Toc().Identity() == identity_) return true;
    Unload();
    disc_.reset();
    if (!now) return false;
    disc_ = std::move(now);
  } else {
    disc_ = drive_.OpenDisc();
    if (!disc_) return false;
  }
  toc_ = std::make_shared<const cdrom::CdToc>(disc_->Toc());
  identity_ = toc_->Identity();
  return true;
}

MciMode CdAudioDriver::Mode() {
  const cdrom::TrayState state = drive_.State();
  if (state == cdrom::TrayState::NotReady) return MciMode::kNotReady;
  if (!Refresh()) return MciMode::kOpen;
  return PlayerMode();
}

unsigned CdAudioDriver::GetTimeline(Timeline& timeline) {
  if (!Refresh()) return kDeviceNotReady;
  timeline = {};
  timeline.unitsPerSecond = cdrom::kFramesPerSecond;
  timeline.origin = cdrom::kLbaOffset;
  timeline.length = toc_->leadOutLsn;
  timeline.toc = toc_;
  return kMciOk;
}

unsigned CdAudioDriver::SetDoor(bool closed) {
  if (!closed) Unload();
  const bool moved = closed ? drive_.CloseDoor() : drive_.OpenDoor();
  Refresh();
  return moved ? kMciOk : kDoorFailed;
}

unsigned CdAudioDriver::Identity(std::string& identity) {
  if (!Refresh()) return kDeviceNotReady;
  identity = identity_;
  return kMciOk;
}

std::shared_ptr<PcmSource> CdAudioDriver::Source() {
  if (!disc_) return nullptr;
  return std::make_shared<CdAudioSource>(disc_);
}

unsigned CdAudioDriver::NaturalEnd(long from, long& end) {
  // Playing runs on through the audio tracks that follow and stops before a data track.
  Timeline timeline;
  if (const unsigned rc = GetTimeline(timeline); rc != kMciOk) return rc;
  const int first = timeline.TrackAt(from);
  const auto& tracks = timeline.toc->tracks;
  auto it = std::find_if(tracks.begin(), tracks.end(),
                         [&](const cdrom::CdTrack& t) { return t.number == first; });
  if (it == tracks.end() || !it->audio) return kNotAudioTrack;
  while (std::next(it) != tracks.end() && std::next(it)->audio) ++it;
  end = it->startLsn + it->lengthFrames;
  return kMciOk;
}

}  // namespace vx::mci
