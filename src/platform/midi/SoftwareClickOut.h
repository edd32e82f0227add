// The software click: a MIDI output for machines without a synthesizer. Every note on plays a
// short generated click on the first wave output, mixed with whatever else plays there (the
// song the BPM counter plays goes to the same output); its loudness follows the note's
// velocity and the output volume. Other messages are taken and have no effect.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/midi/MidiOut.h"
#include "platform/wave/WaveDevice.h"

namespace vx::midi {

inline constexpr const char* kSoftwareClickName = "Software Click";

class SoftwareClickOut : public MidiOut {
 public:
  // Opens an opener of the process's first wave output; nullptr (and result = kError) when
  // there is no output or it refuses.
  static std::unique_ptr<SoftwareClickOut> Open(unsigned& result);
  ~SoftwareClickOut() override;

  // The click's samples at full loudness: 16-bit mono at 44.1 kHz.
  static const std::vector<std::int16_t>& ClickShape();

 protected:
  unsigned Send(const std::uint8_t* bytes, std::size_t count, std::uint32_t message) override;
  void Release() override;
  bool HasVolume() const override { return true; }
  void VolumeChanged(std::uint32_t volume) override { volume_ = volume; }

 private:
  // A few clicks may still be sounding while the next one starts.
  static constexpr std::size_t kSlots = 4;
  struct Slot {
    std::vector<std::uint8_t> data;
    wave::WaveHeader header;
    std::atomic<bool> busy{false};
  };

  SoftwareClickOut() = default;
  void Play(double loudness);

  wave::WaveOut* out_ = nullptr;
  std::array<Slot, kSlots> slots_;
  std::uint32_t volume_ = 0xFFFFFFFF;
};

}  // namespace vx::midi
