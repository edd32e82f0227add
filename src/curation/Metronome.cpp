#include "curation/Metronome.h"

#include <cassert>
#include <cmath>

#include "platform/midi/MidiOut.h"

namespace vx {
namespace {

constexpr std::uint8_t kNoteOnChannel10 = 0x99;
constexpr std::uint8_t kNoteOffChannel10 = 0x89;
constexpr std::uint8_t kPressureChannel10 = 0xD9;
constexpr std::uint8_t kControllerChannel10 = 0xB9;
constexpr std::uint8_t kChannelVolume = 0x07;

}  // namespace

MetronomeMessages MetronomeMessages::ForNote(std::uint8_t note) {
  MetronomeMessages messages;
  messages.noteOn = midi::PackShortMessage(kNoteOnChannel10, note, 0x7F);
  messages.noteOff = midi::PackShortMessage(kNoteOffChannel10, note, 0x00);
  messages.setUp = midi::PackShortMessage(kPressureChannel10, 0x0A, 0x3F);
  return messages;
}

Metronome::Metronome(midi::MidiOut& out, std::uint8_t note, double speed)
    : out_(out), messages_(MetronomeMessages::ForNote(note)), speed_(speed) {}

Metronome::~Metronome() { Stop(); }

std::chrono::nanoseconds Metronome::BeatPeriod(double tempo) {
  assert(tempo > 0);
  return std::chrono::nanoseconds(std::llround(60e9 / tempo));
}

void Metronome::SendSetUp() { out_.ShortMessage(messages_.setUp); }

bool Metronome::Start(double tempo) {
  // The timer thread sees only the device and the two messages, copied here.
  midi::MidiOut* out = &out_;
  const std::uint32_t on = messages_.noteOn;
  const std::uint32_t off = messages_.noteOff;
  return timer_.Start(
      BeatPeriod(tempo),
      [out, on, off](std::uint64_t) {
        out->ShortMessage(off);
        out->ShortMessage(on);
      },
      speed_);
}

bool Metronome::Restart(double tempo) {
  timer_.Stop();
  out_.ShortMessage(messages_.noteOn);
  return Start(tempo);
}

void Metronome::Stop() { timer_.Stop(); }

void Metronome::SetVolume(std::uint32_t volume) {
  if (out_.SetVolume(volume) != midi::kNotSupported) return;
  // 0..255 of the left channel's high byte becomes 0..127.
  const auto level = static_cast<std::uint8_t>(((volume >> 8) & 0xFF) >> 1);
  out_.ShortMessage(midi::PackShortMessage(kControllerChannel10, kChannelVolume, level));
}

}  // namespace vx
