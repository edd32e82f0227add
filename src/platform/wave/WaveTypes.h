// The vocabulary shared by wave output and wave input devices: result codes, the buffer
// header a program hands to a device, the messages of the completion callback and the
// capabilities a device reports.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/riff/WaveFile.h"

namespace vx::wave {

// Result codes of every device operation; 0 is success.
enum WaveResult : unsigned {
  kOk = 0,
  kError = 1,           // the device or its backend failed (a sound card error, a tape error)
  kBadDeviceId = 2,     // no device with that number
  kAllocated = 4,       // the device is already open
  kInvalidHandle = 5,   // the device is not open
  kInvalidParam = 11,   // a header without data, or otherwise unusable
  kBadFormat = 32,      // the device cannot play or record this format
  kStillPlaying = 33,   // buffers are still queued (close, unprepare, prepare of a queued header)
  kUnprepared = 34,     // the header was not prepared
};

// A short text for a result code, as shown in "Audio Device Error: %s".
std::string WaveErrorText(unsigned result);

// Header flags (WaveHeader::flags).
enum WaveHeaderFlag : std::uint32_t {
  kHeaderDone = 0x1,      // the device has finished with the buffer
  kHeaderPrepared = 0x2,  // prepared, may be written or added
  kHeaderInQueue = 0x10,  // queued on a device
};

// One buffer of samples. The program owns the header and its data; while the header is
// queued (from Write/AddBuffer until the completion callback) the device reads (output) or
// fills (input) the data and the program must leave both alone.
struct WaveHeader {
  std::uint8_t* data = nullptr;
  std::uint32_t bufferLength = 0;   // bytes of data
  std::uint32_t bytesRecorded = 0;  // input: bytes filled by the device
  std::uintptr_t user = 0;          // the program's own word, never touched by the device
  std::atomic<std::uint32_t> flags{0};
  WaveHeader* next = nullptr;       // the device's queue link
};

// What the completion callback is told.
enum class WaveMessage {
  kOpened,  // from Open, on the opening thread; header is null
  kDone,    // a buffer is finished; header is that buffer
  kClosed,  // from Close, on the closing thread; header is null
};

// Called on the device's own thread when a buffer is done (played, or filled), and on the
// thread of Reset or Stop for the buffers those return. It must only post or signal: it
// must not call the device, and it must not wait for a lock that is held while Reset, Stop
// or Close is called, because those wait for a callback in progress to finish.
using WaveCallback = std::function<void(WaveMessage message, WaveHeader* header)>;

// Where an opener's sound goes on an output: kAll plays it as it is; kLeft and kRight fold
// it to mono (the average of its channels) on that one channel of a stereo output.
enum class ChannelRoute { kAll, kLeft, kRight };

// The standard formats a device may offer: rate (11.025, 22.05, 44.1 kHz) x mono/stereo x
// 8/16 bits, one bit each.
enum StandardFormat : std::uint32_t {
  k11kMono8 = 0x1, k11kStereo8 = 0x2, k11kMono16 = 0x4, k11kStereo16 = 0x8,
  k22kMono8 = 0x10, k22kStereo8 = 0x20, k22kMono16 = 0x40, k22kStereo16 = 0x80,
  k44kMono8 = 0x100, k44kStereo8 = 0x200, k44kMono16 = 0x400, k44kStereo16 = 0x800,
  kAllStandardFormats = 0xFFF,
};

// The standard-format bit of a format; 0 when it is none of them.
std::uint32_t StandardFormatBit(const riff::WaveFormat& format);

// The host APIs a device may come from.
inline constexpr const char* kAlsaHostApi = "ALSA";
inline constexpr const char* kJackHostApi = "JACK";
inline constexpr const char* kVirtualHostApi = "Virtual";

struct WaveCaps {
  std::string name;
  std::uint32_t formats = 0;  // StandardFormat bits
  std::uint16_t channels = 2;
  std::string hostApi = kAlsaHostApi;

  bool Offers44k16Stereo() const { return (formats & k44kStereo16) != 0; }
};

// Plain integer PCM that a stream can carry: tag 1, 1 to 8 channels, 8/16/24/32 bits, block
// alignment and byte rate consistent with them, 1 kHz to 384 kHz.
bool IsPlainPcm(const riff::WaveFormat& format);

// The sample fields of two formats agree (tag, channels, rate, bits, alignment, byte rate).
bool SameSampleFormat(const riff::WaveFormat& a, const riff::WaveFormat& b);

// The byte value of silence: 0x80 for 8-bit (unsigned) samples, 0 otherwise.
std::uint8_t SilenceByte(const riff::WaveFormat& format);

}  // namespace vx::wave
