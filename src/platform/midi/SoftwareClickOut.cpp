#include "platform/midi/SoftwareClickOut.h"

#include <cmath>
#include <numbers>

#include "platform/wave/WaveDeviceList.h"

namespace vx::midi {
namespace {

constexpr std::uint32_t kRate = 44100;
constexpr double kClickSeconds = 0.025;
constexpr double kPitchHz = 1800;
constexpr double kDecaySeconds = 0.004;

std::int16_t Scaled(std::int16_t sample, double gain) {
  return static_cast<std::int16_t>(std::lround(sample * gain));
}

}  // namespace

const std::vector<std::int16_t>& SoftwareClickOut::ClickShape() {
  // A short high tone that dies away at once: heard clearly over music, with no pitch of
  // its own to clash with it.
  static const std::vector<std::int16_t> shape = [] {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(kClickSeconds * kRate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double value =
          std::sin(2 * std::numbers::pi * kPitchHz * t) * std::exp(-t / kDecaySeconds);
      samples[i] = static_cast<std::int16_t>(std::lround(value * 26000));
    }
    return samples;
  }();
  return shape;
}

std::unique_ptr<SoftwareClickOut> SoftwareClickOut::Open(unsigned& result) {
  std::unique_ptr<SoftwareClickOut> click(new SoftwareClickOut);
  const std::size_t frames = ClickShape().size();
  for (std::size_t i = 0; i < kSlots; ++i) {
    Slot& slot = click->slots_[i];
    slot.data.resize(frames * 4);
    slot.header.data = slot.data.data();
    slot.header.bufferLength = static_cast<std::uint32_t>(slot.data.size());
    slot.header.user = i;
  }
  SoftwareClickOut* self = click.get();
  auto callback = [self](wave::WaveMessage message, wave::WaveHeader* header) {
    if (message == wave::WaveMessage::kDone) self->slots_[header->user].busy = false;
  };
  const wave::WaveDeviceList& devices = wave::WaveDeviceList::System();
  if (devices.OutputCount() == 0 || devices.OpenOutput(0, riff::WaveFormat::Pcm16(2, kRate),
                                                       callback, click->out_) != wave::kOk) {
    result = kError;
    return nullptr;
  }
  for (Slot& slot : click->slots_) click->out_->Prepare(slot.header);
  result = kOk;
  return click;
}

SoftwareClickOut::~SoftwareClickOut() { Close(); }

unsigned SoftwareClickOut::Send(const std::uint8_t* bytes, std::size_t count, std::uint32_t) {
  const bool noteOn = (bytes[0] & 0xF0) == 0x90 && count == 3 && bytes[2] > 0;
  if (noteOn) Play(bytes[2] / 127.0);
  return kOk;
}

void SoftwareClickOut::Play(double loudness) {
  for (Slot& slot : slots_) {
    if (slot.busy) continue;
    // The output volume: the high byte of each 16-bit half, left low and right high.
    const double left = loudness * ((volume_ >> 8) & 0xFF) / 255.0;
    const double right = loudness * ((volume_ >> 24) & 0xFF) / 255.0;
    std::uint8_t* out = slot.data.data();
    for (const std::int16_t sample : ClickShape()) {
      for (const double gain : {left, right}) {
        const auto value = static_cast<std::uint16_t>(Scaled(sample, gain));
        *out++ = static_cast<std::uint8_t>(value);
        *out++ = static_cast<std::uint8_t>(value >> 8);
      }
    }
    slot.busy = true;
    if (out_->Write(slot.header) != wave::kOk) slot.busy = false;
    return;
  }
  // Every slot still sounds (clicks closer together than the click is long): skip this one.
}

void SoftwareClickOut::Release() {
  if (out_ == nullptr) return;
  out_->Reset();
  for (Slot& slot : slots_) out_->Unprepare(slot.header);
  out_->Close();
  out_ = nullptr;
}

}  // namespace vx::midi
