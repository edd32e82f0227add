// The machine's wave output and wave input devices, numbered from 0 in list order: the
// sound cards (PortAudio, ALSA host API) first, then the virtual devices of the device
// configuration ("Virtual Output 1", "Virtual Output 2", ... one per out= tape, and
// "Virtual Input" for in=). When VELUMIX_DEVICES is set only its devices exist and
// PortAudio is not started; otherwise the virtual devices come from the settings group
// "Devices" (values out and in, written like the clauses of VELUMIX_DEVICES).
//
// The process's list is built on first use and lives until the process ends or a test
// installs another; a device's number and object stay valid for the list's life.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/devices/DeviceConfig.h"
#include "platform/wave/WaveDevice.h"

namespace vx::wave {

struct WaveDeviceSet {
  std::vector<std::unique_ptr<WaveOutDevice>> outputs;
  std::vector<std::unique_ptr<WaveIn>> inputs;
};

inline constexpr const char* kVirtualOutputName = "Virtual Output";  // + " <n>"
inline constexpr const char* kVirtualInputName = "Virtual Input";

class WaveDeviceList {
 public:
  WaveDeviceList() = default;
  explicit WaveDeviceList(WaveDeviceSet devices) : devices_(std::move(devices)) {}

  std::size_t OutputCount() const { return devices_.outputs.size(); }
  std::size_t InputCount() const { return devices_.inputs.size(); }
  // The device with that number; nullptr when there is none.
  WaveOutDevice* Output(std::size_t id) const;
  WaveIn* Input(std::size_t id) const;

  // kBadDeviceId when there is no such device.
  unsigned OutputCaps(std::size_t id, WaveCaps& caps) const;
  unsigned InputCaps(std::size_t id, WaveCaps& caps) const;
  // Opens device `id`; on success `device` is the opener's handle (an output) or the open
  // device (an input). An output may be opened by several users at once (see WaveOutDevice).
  unsigned OpenOutput(std::size_t id, const riff::WaveFormat& format, WaveCallback callback,
                      WaveOut*& device) const;
  unsigned OpenOutput(std::size_t id, const riff::WaveFormat& format, WaveCallback callback,
                      ChannelRoute route, WaveOut*& device) const;
  unsigned OpenInput(std::size_t id, const riff::WaveFormat& format, WaveCallback callback,
                     WaveIn*& device) const;

  // `real` (dropped when config.virtualOnly) followed by the config's virtual devices.
  static std::unique_ptr<WaveDeviceList> Build(const DeviceConfig& config, WaveDeviceSet real);
  // The process's list, built from DeviceConfig::Current() on first use.
  static WaveDeviceList& System();
  // Replaces the process's list (tests inject theirs); nullptr makes the next System()
  // build it afresh. Only while no device of the old list is in use.
  static void InstallSystem(std::unique_ptr<WaveDeviceList> list);

 private:
  WaveDeviceSet devices_;
};

}  // namespace vx::wave
