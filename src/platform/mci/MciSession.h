// The media control interpreter: the table of open devices (each under an alias and a
// numeric id) and the two ways of talking to them, both over the same drivers:
//
//  - command strings, e.g. `open D: type cdaudio alias cdplay shareable`,
//    `open "waveaudio!/songs/a.wav" alias waverec`, `set cdplay time format tmsf`,
//    `status cdplay length track 3`, `play cdplay from 2 to 3`, `seek waverec to start`,
//    `info cdplay identity`, `sysinfo waveaudio quantity`, `set cdplay output 2`
//    (SendString, MciCommands.cpp);
//  - typed commands by device id (the functions below), with positions packed in the time
//    format in force (see MciTime.h).
//
// Replies are in the time format in force. Failures answer an MciError code. The process
// has one session (System()); every user of it shares the aliases, so an alias stays taken
// until its user closes it. A session may be used from several threads; each command runs
// to its end before the next starts.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/mci/MciDriver.h"
#include "platform/mci/MciTime.h"

namespace vx::mci {

using MciDeviceId = unsigned;  // 0 is no device

inline constexpr const char* kCdAudioType = "cdaudio";
inline constexpr const char* kWaveAudioType = "waveaudio";

struct MciOpenParams {
  std::string type;     // "cdaudio" or "waveaudio"
  std::string element;  // "D:" (a drive) or a file path; empty: the first CD drive
  std::string alias;    // empty: the element (or the type) names the device
};

class MciSession {
 public:
  MciSession() = default;
  // Closes every device still open.
  ~MciSession();
  MciSession(const MciSession&) = delete;
  MciSession& operator=(const MciSession&) = delete;

  static MciSession& System();

  // The string front end: runs one command text; the reply (possibly empty) on success.
  unsigned SendString(std::string_view command, std::string& reply);

  // The typed front end.
  unsigned Open(const MciOpenParams& params, MciDeviceId& id);
  // The id of an open alias (case-insensitive); 0 when it is not open.
  MciDeviceId DeviceId(std::string_view alias);
  unsigned Close(MciDeviceId id);
  unsigned SetTimeFormat(MciDeviceId id, TimeFormat format);
  unsigned SetDoor(MciDeviceId id, bool closed);
  // The wave output the device plays to from its next play on (wave output 0 until set).
  unsigned SetOutput(MciDeviceId id, std::size_t output);
  unsigned Play(MciDeviceId id, std::optional<std::uint32_t> from = {},
                std::optional<std::uint32_t> to = {});
  unsigned Seek(MciDeviceId id, std::uint32_t position);
  unsigned Pause(MciDeviceId id);
  unsigned Stop(MciDeviceId id);
  unsigned StatusMode(MciDeviceId id, MciMode& mode);
  unsigned StatusNumberOfTracks(MciDeviceId id, int& tracks);
  unsigned StatusPosition(MciDeviceId id, std::uint32_t& position);
  unsigned StatusTrackPosition(MciDeviceId id, int track, std::uint32_t& position);
  unsigned StatusTrackLength(MciDeviceId id, int track, std::uint32_t& length);
  unsigned StatusTrackIsAudio(MciDeviceId id, int track, bool& audio);
  unsigned InfoIdentity(MciDeviceId id, std::string& identity);
  // Devices of a type the machine has: "waveaudio" counts wave inputs (the devices that
  // record), "cdaudio" counts CD drives.
  unsigned SysInfoQuantity(std::string_view type, unsigned& count);

 private:
  struct Device {
    MciDeviceId id = 0;
    std::string alias;
    TimeFormat format = TimeFormat::kMilliseconds;
    std::unique_ptr<MciDriver> driver;
  };
  // A device and its timeline, as every position command needs them.
  struct Bound {
    Device* device = nullptr;
    Timeline timeline;
  };

  // The core both front ends share: positions in device units.
  Device* Find(MciDeviceId id);
  unsigned Bind(MciDeviceId id, Bound& bound);
  unsigned TrackSpan(MciDeviceId id, int track, Bound& bound, long& start, long& length);
  unsigned PlayUnits(MciDeviceId id, std::optional<long> from, std::optional<long> to);
  unsigned SeekUnits(MciDeviceId id, long position);
  // The string front end's command interpreter (MciCommands.cpp).
  unsigned Execute(const struct MciCommand& command, std::string& reply);

  std::recursive_mutex mutex_;
  std::map<MciDeviceId, Device> devices_;
  MciDeviceId nextId_ = 1;
};

}  // namespace vx::mci
