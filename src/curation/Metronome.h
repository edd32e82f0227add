// The click of the BPM counter: a percussion note on MIDI channel 10 on every beat, sent from
// a periodic timer thread to one open MIDI output. On each beat the tick sends note off, then
// note on; the three messages are built when the metronome is made and never change while
// the timer runs. The beat is kept to the nanosecond, so any tempo clicks at its own rate.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/midi/PeriodicTimer.h"

namespace vx::midi {
class MidiOut;
}

namespace vx {

struct MetronomeMessages {
  std::uint32_t noteOn = 0;   // 0x99 note 0x7F
  std::uint32_t noteOff = 0;  // 0x89 note 0x00
  std::uint32_t setUp = 0;    // 0xD9 0x0A 0x3F, sent once when the counter opens

  static MetronomeMessages ForNote(std::uint8_t note);
};

class Metronome {
 public:
  // speed: how many times faster than real time the output's clock runs (virtual devices).
  Metronome(midi::MidiOut& out, std::uint8_t note, double speed = 1.0);
  ~Metronome();
  Metronome(const Metronome&) = delete;
  Metronome& operator=(const Metronome&) = delete;

  const MetronomeMessages& Messages() const { return messages_; }
  // The time between two beats at tempo beats per minute.
  static std::chrono::nanoseconds BeatPeriod(double tempo);

  void SendSetUp();
  // Clicks on every beat from one beat after now; false when no timer can be had.
  bool Start(double tempo);
  // One click at once and the beat counted again from now.
  bool Restart(double tempo);
  void Stop();

  // The click's volume: low 16 bits left, high 16 bits right. A device without a volume of
  // its own (an outside synthesizer) gets it as channel volume on the click's channel.
  void SetVolume(std::uint32_t volume);

 private:
  midi::MidiOut& out_;
  MetronomeMessages messages_;
  double speed_;
  midi::PeriodicTimer timer_;
};

}  // namespace vx
