#include "platform/midi/MidiOut.h"

namespace vx::midi {

std::size_t ShortMessageLength(std::uint8_t status) {
  if (status < 0x80) return 0;
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      return 2;
    case 0xF0:
      break;
    default:
      return 3;
  }
  switch (status) {
    case 0xF0:  // system exclusive
      return 0;
    case 0xF1:
    case 0xF3:
      return 2;
    case 0xF2:
      return 3;
    default:
      return 1;
  }
}

unsigned MidiOut::ShortMessage(std::uint32_t message) {
  const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(message),
                                 static_cast<std::uint8_t>(message >> 8),
                                 static_cast<std::uint8_t>(message >> 16)};
  std::lock_guard lock(mutex_);
  if (!open_) return kInvalidHandle;
  const std::size_t count = ShortMessageLength(bytes[0]);
  if (count == 0) return kInvalidParam;
  return Send(bytes, count, message);
}

unsigned MidiOut::SetVolume(std::uint32_t volume) {
  std::lock_guard lock(mutex_);
  if (!open_) return kInvalidHandle;
  if (!HasVolume()) return kNotSupported;
  volume_ = volume;
  VolumeChanged(volume);
  return kOk;
}

unsigned MidiOut::GetVolume(std::uint32_t& volume) {
  std::lock_guard lock(mutex_);
  if (!open_) return kInvalidHandle;
  if (!HasVolume()) return kNotSupported;
  volume = volume_;
  return kOk;
}

unsigned MidiOut::Close() {
  std::lock_guard lock(mutex_);
  if (!open_) return kInvalidHandle;
  open_ = false;
  Release();
  return kOk;
}

bool MidiOut::IsOpen() {
  std::lock_guard lock(mutex_);
  return open_;
}

}  // namespace vx::midi
