#include "player/engine/PitchProcessor.h"

#include "platform/riff/WaveFile.h"
#include "player/engine/ClassicPitch.h"
#include "player/engine/KeyLockPitch.h"
#include "player/engine/SmoothPitch.h"

namespace vx::player {

PitchQuality PitchQualityFromNumber(int number) {
  switch (number) {
    case static_cast<int>(PitchQuality::kSmooth): return PitchQuality::kSmooth;
    case static_cast<int>(PitchQuality::kKeyLock): return PitchQuality::kKeyLock;
    default: return PitchQuality::kClassic;
  }
}

std::unique_ptr<PitchProcessor> MakePitchProcessor(PitchQuality quality,
                                                   const riff::WaveFormat& format) {
  const bool pcm16 = format.formatTag == riff::kFormatPcm && format.bitsPerSample == 16 &&
                     (format.channels == 1 || format.channels == 2) &&
                     format.blockAlign == 2 * format.channels && format.samplesPerSec > 0;
  std::unique_ptr<PitchProcessor> made;
  if (pcm16 && quality == PitchQuality::kSmooth) made = SmoothPitch::Make(format.channels);
  if (pcm16 && quality == PitchQuality::kKeyLock) {
    made = KeyLockPitch::Make(format.channels, static_cast<int>(format.samplesPerSec));
  }
  if (!made) made = std::make_unique<ClassicPitch>(format.blockAlign);
  return made;
}

}  // namespace vx::player
