#include "platform/wave/WaveDeviceList.h"

#include <mutex>
#include <string>

#include "platform/wave/portaudio/PortAudioWave.h"
#include "platform/wave/virtual/VirtualWaveIn.h"
#include "platform/wave/virtual/VirtualWaveOut.h"

namespace vx::wave {
namespace {

std::mutex systemMutex;
std::unique_ptr<WaveDeviceList> systemList;

}  // namespace

WaveOutDevice* WaveDeviceList::Output(std::size_t id) const {
  return id < devices_.outputs.size() ? devices_.outputs[id].get() : nullptr;
}

WaveIn* WaveDeviceList::Input(std::size_t id) const {
  return id < devices_.inputs.size() ? devices_.inputs[id].get() : nullptr;
}

unsigned WaveDeviceList::OutputCaps(std::size_t id, WaveCaps& caps) const {
  const WaveOutDevice* device = Output(id);
  if (device == nullptr) return kBadDeviceId;
  caps = device->Caps();
  return kOk;
}

unsigned WaveDeviceList::InputCaps(std::size_t id, WaveCaps& caps) const {
  const WaveIn* device = Input(id);
  if (device == nullptr) return kBadDeviceId;
  caps = device->Caps();
  return kOk;
}

unsigned WaveDeviceList::OpenOutput(std::size_t id, const riff::WaveFormat& format,
                                    WaveCallback callback, WaveOut*& device) const {
  return OpenOutput(id, format, std::move(callback), ChannelRoute::kAll, device);
}

unsigned WaveDeviceList::OpenOutput(std::size_t id, const riff::WaveFormat& format,
                                    WaveCallback callback, ChannelRoute route,
                                    WaveOut*& device) const {
  WaveOutDevice* candidate = Output(id);
  if (candidate == nullptr) return kBadDeviceId;
  return candidate->Open(format, std::move(callback), route, device);
}

unsigned WaveDeviceList::OpenInput(std::size_t id, const riff::WaveFormat& format,
                                   WaveCallback callback, WaveIn*& device) const {
  WaveIn* candidate = Input(id);
  if (candidate == nullptr) return kBadDeviceId;
  const unsigned result = candidate->Open(format, std::move(callback));
  if (result == kOk) device = candidate;
  return result;
}

std::unique_ptr<WaveDeviceList> WaveDeviceList::Build(const DeviceConfig& config,
                                                      WaveDeviceSet real) {
  WaveDeviceSet devices;
  if (!config.virtualOnly) devices = std::move(real);
  int number = 1;
  for (const auto& tape : config.waveOutputs) {
    devices.outputs.push_back(std::make_unique<VirtualWaveOut>(
        std::string(kVirtualOutputName) + " " + std::to_string(number++), tape, config.speed));
  }
  if (const auto tone = config.WaveInputTone()) {
    devices.inputs.push_back(
        std::make_unique<VirtualWaveIn>(kVirtualInputName, *tone, config.speed));
  } else if (!config.waveInput.empty()) {
    devices.inputs.push_back(
        std::make_unique<VirtualWaveIn>(kVirtualInputName, config.waveInput, config.speed));
  }
  return std::make_unique<WaveDeviceList>(std::move(devices));
}

WaveDeviceList& WaveDeviceList::System() {
  std::lock_guard lock(systemMutex);
  if (!systemList) {
    const DeviceConfig config = DeviceConfig::Current();
    systemList = Build(config, config.virtualOnly ? WaveDeviceSet{} : PortAudioDevices());
  }
  return *systemList;
}

void WaveDeviceList::InstallSystem(std::unique_ptr<WaveDeviceList> list) {
  std::lock_guard lock(systemMutex);
  systemList = std::move(list);
}

}  // namespace vx::wave
