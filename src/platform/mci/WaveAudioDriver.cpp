#include "platform/mci/WaveAudioDriver.h"

#include "platform/mci/MciErrors.h"

namespace vx::mci {

unsigned WaveAudioDriver::Open(const std::string& path, std::unique_ptr<MciDriver>& driver) {
  std::unique_ptr<WaveFileSource> source;
  if (const unsigned rc = WaveFileSource::Open(path, source); rc != kMciOk) return rc;
  driver.reset(new WaveAudioDriver(std::move(source)));
  return kMciOk;
}

unsigned WaveAudioDriver::GetTimeline(Timeline& timeline) {
  timeline = {};
  timeline.unitsPerSecond = static_cast<long>(source_->Format().samplesPerSec);
  timeline.length = static_cast<long>(source_->FrameCount());
  return kMciOk;
}

unsigned WaveAudioDriver::StoredFormat(riff::WaveFormat& format) {
  format = source_->StoredFormat();
  return kMciOk;
}

unsigned WaveAudioDriver::NaturalEnd(long /*from*/, long& end) {
  end = static_cast<long>(source_->FrameCount());
  return kMciOk;
}

}  // namespace vx::mci
