// An open MIDI output device: short messages and the output volume. Every operation answers
// a return code, 0 for success; once closed every operation fails with kInvalidHandle.
// The operations may be called from several threads (the metronome's timer thread sends
// while the user-interface thread sets the volume); they are serialised here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace vx::midi {

// Return codes of MIDI operations.
enum MidiResult : unsigned {
  kOk = 0,
  kError = 1,           // the device refused or failed
  kBadDeviceId = 2,     // no device with that number
  kInvalidHandle = 5,   // the device is closed
  kNotSupported = 8,    // the device has no such function (volume of an outside port)
  kInvalidParam = 11,   // not a message: its first byte is no status byte
};

// Technology codes of MIDI output devices.
enum MidiTechnology : int {
  kMidiPort = 1,
  kSynthesizer = 2,
  kSquareWaveSynth = 3,
  kFmSynth = 4,
  kMapper = 5,
  kWavetable = 6,
  kSoftwareSynth = 7,
};

// A short message packed in 32 bits: status in the lowest byte, then the data bytes.
constexpr std::uint32_t PackShortMessage(std::uint8_t status, std::uint8_t data1 = 0,
                                         std::uint8_t data2 = 0) {
  return status | (std::uint32_t{data1} << 8) | (std::uint32_t{data2} << 16);
}
// The number of bytes a status byte's message has (1 to 3); 0 when it is no status byte
// or opens a system-exclusive message, which is not a short message.
std::size_t ShortMessageLength(std::uint8_t status);

class MidiOut {
 public:
  virtual ~MidiOut() = default;
  MidiOut(const MidiOut&) = delete;
  MidiOut& operator=(const MidiOut&) = delete;

  unsigned ShortMessage(std::uint32_t message);
  // Volume: low 16 bits left channel, high 16 bits right channel; 0xFFFFFFFF is full.
  unsigned SetVolume(std::uint32_t volume);
  unsigned GetVolume(std::uint32_t& volume);
  unsigned Close();
  bool IsOpen();

 protected:
  MidiOut() = default;
  // The device's own work, called with the lock held and only while open. Close() calls
  // Release() once; derived destructors call Close() so that the device is always released.
  virtual unsigned Send(const std::uint8_t* bytes, std::size_t count,
                        std::uint32_t message) = 0;
  virtual void Release() = 0;
  // Devices with an output volume (the virtual output) say so and hear of each change;
  // for the others the volume operations answer kNotSupported.
  virtual bool HasVolume() const { return false; }
  virtual void VolumeChanged(std::uint32_t /*volume*/) {}

 private:
  std::mutex mutex_;
  bool open_ = true;
  std::uint32_t volume_ = 0xFFFFFFFF;
};

}  // namespace vx::midi
