#include "platform/cdrom/CdSectorReader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <bit>
#include <cstring>
#include <utility>

#include "platform/cdrom/CdTime.h"

namespace vx::cdrom {
namespace {

// Sector by sector through libcdio: exact for images, which cannot misread.
class PlainReader : public CdSectorReader {
 public:
  explicit PlainReader(const CdDisc& disc) : disc_(disc) {}

  bool Begin(const CdTrack& track, long& firstLsn, long& sectors) override {
    next_ = firstLsn = track.startLsn;
    sectors = track.lengthFrames;
    return true;
  }
  bool ReadNext(std::uint8_t* out) override { return disc_.ReadAudioSectors(next_++, 1, out); }

 private:
  const CdDisc& disc_;
  long next_ = 0;
};

// Through libcdio-paranoia, which compares overlapping reads and retries on a real drive.
// Its track bounds leave out the gap before a later session's data track.
class ParanoiaReader : public CdSectorReader {
 public:
  explicit ParanoiaReader(const CdDisc& disc) : disc_(disc) {}
  ~ParanoiaReader() override {
    if (paranoia_ != nullptr) cdio_paranoia_free(paranoia_);
    if (drive_ != nullptr) cdio_cddap_close_no_free_cdio(drive_);
  }

  bool Begin(const CdTrack& track, long& firstLsn, long& sectors) override {
    drive_ = cdio_cddap_identify_cdio(disc_.Native(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (drive_ == nullptr || cdio_cddap_open(drive_) != 0) return false;
    const lsn_t first = cdio_cddap_track_firstsector(drive_, track.number);
    const lsn_t last = cdio_cddap_track_lastsector(drive_, track.number);
    if (first < 0 || last < first) return false;
    paranoia_ = cdio_paranoia_init(drive_);
    if (paranoia_ == nullptr) return false;
    cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(paranoia_, first, SEEK_SET);
    firstLsn = first;
    sectors = last - first + 1;
    return true;
  }

  bool ReadNext(std::uint8_t* out) override {
    const std::int16_t* samples = cdio_paranoia_read_limited(paranoia_, nullptr, kRetries);
    if (samples == nullptr) return false;
    std::memcpy(out, samples, kRawSectorBytes);
    if constexpr (std::endian::native == std::endian::big) {
      for (std::size_t i = 0; i + 1 < kRawSectorBytes; i += 2) std::swap(out[i], out[i + 1]);
    }
    return true;
  }

 private:
  static constexpr int kRetries = 20;
  const CdDisc& disc_;
  cdrom_drive_t* drive_ = nullptr;
  cdrom_paranoia_t* paranoia_ = nullptr;
};

}  // namespace

std::unique_ptr<CdSectorReader> MakeSectorReader(const CdDisc& disc) {
  return disc.IsImage() ? MakePlainReader(disc) : MakeParanoiaReader(disc);
}

std::unique_ptr<CdSectorReader> MakeParanoiaReader(const CdDisc& disc) {
  return std::make_unique<ParanoiaReader>(disc);
}

std::unique_ptr<CdSectorReader> MakePlainReader(const CdDisc& disc) {
  return std::make_unique<PlainReader>(disc);
}

}  // namespace vx::cdrom
