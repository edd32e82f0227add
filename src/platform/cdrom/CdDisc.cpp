#include "platform/cdrom/CdDisc.h"

#include <cdio/cdio.h>

#include <algorithm>
#include <cctype>

namespace vx::cdrom {

bool IsCueImagePath(const std::string& path) {
  if (path.size() < 4) return false;
  std::string suffix = path.substr(path.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix == ".cue";
}

std::unique_ptr<CdDisc> CdDisc::Open(const std::string& source) {
  const bool image = IsCueImagePath(source);
  Handle cdio(cdio_open(source.c_str(), image ? DRIVER_BINCUE : DRIVER_DEVICE));
  if (cdio == nullptr) return nullptr;
  std::unique_ptr<CdDisc> disc(new CdDisc(std::move(cdio), source, image));
  if (!disc->LoadToc()) return nullptr;
  return disc;
}

void CdDisc::Closer::operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }

CdDisc::CdDisc(Handle cdio, std::string source, bool image)
    : cdio_(std::move(cdio)), source_(std::move(source)), image_(image) {}

bool CdDisc::LoadToc() {
  const track_t first = cdio_get_first_track_num(cdio_.get());
  const track_t count = cdio_get_num_tracks(cdio_.get());
  if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return false;
  toc_.firstTrack = first;
  toc_.leadOutLsn = cdio_get_track_lsn(cdio_.get(), CDIO_CDROM_LEADOUT_TRACK);
  if (toc_.leadOutLsn == CDIO_INVALID_LSN) return false;
  for (int number = first; number < first + count; ++number) {
    CdTrack track;
    track.number = number;
    track.audio = cdio_get_track_format(cdio_.get(), number) == TRACK_FORMAT_AUDIO;
    track.startLsn = cdio_get_track_lsn(cdio_.get(), number);
    if (track.startLsn == CDIO_INVALID_LSN) return false;
    const lsn_t pregap = cdio_get_track_pregap_lsn(cdio_.get(), number);
    if (pregap != CDIO_INVALID_LSN && pregap < track.startLsn) {
      track.pregapFrames = track.startLsn - pregap;
    }
    toc_.tracks.push_back(track);
  }
  // Lengths run to the next track's start, the way the table of contents gives them.
  for (std::size_t i = 0; i < toc_.tracks.size(); ++i) {
    const long next = i + 1 < toc_.tracks.size() ? toc_.tracks[i + 1].startLsn : toc_.leadOutLsn;
    toc_.tracks[i].lengthFrames = std::max(0L, next - toc_.tracks[i].startLsn);
  }
  return true;
}

bool CdDisc::ReadAudioSectors(long lsn, unsigned count, void* out) const {
  if (count == 0) return true;
  if (lsn < 0 || lsn + static_cast<long>(count) > toc_.leadOutLsn) return false;
  return cdio_read_audio_sectors(cdio_.get(), out, lsn, count) == DRIVER_OP_SUCCESS;
}

}  // namespace vx::cdrom
