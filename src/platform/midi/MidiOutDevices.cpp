#include "platform/midi/MidiOutDevices.h"

#include "platform/midi/SoftwareClickOut.h"
#include "platform/midi/VirtualMidiOut.h"

namespace vx::midi {

MidiOutDevices::MidiOutDevices(const DeviceConfig& config) {
  AddConfigured(config, config.virtualOnly ? std::vector<AlsaPortAddress>{}
                                           : ListAlsaOutputPorts());
}

MidiOutDevices::MidiOutDevices(const DeviceConfig& config,
                               std::vector<AlsaPortAddress> realPorts) {
  AddConfigured(config, std::move(realPorts));
}

void MidiOutDevices::AddConfigured(const DeviceConfig& config,
                                   std::vector<AlsaPortAddress> realPorts) {
  speed_ = config.speed;
  if (!config.virtualOnly) {
    for (auto& port : realPorts) {
      Entry entry;
      entry.caps = MidiOutCaps{port.name, port.technology};
      entry.kind = Kind::kAlsa;
      entry.address = std::move(port);
      devices_.push_back(std::move(entry));
    }
  }
  if (!config.midiLog.empty()) {
    Entry entry;
    entry.caps = MidiOutCaps{kVirtualMidiOutName, kFmSynth};
    entry.kind = Kind::kVirtual;
    entry.logPath = config.midiLog;
    devices_.push_back(std::move(entry));
  }
  // The click played on the first wave output, for machines without a synthesizer; a run
  // that names its devices has it when it names a wave output.
  if (!config.virtualOnly || !config.waveOutputs.empty()) {
    Entry entry;
    entry.caps = MidiOutCaps{kSoftwareClickName, kSoftwareSynth};
    entry.kind = Kind::kSoftwareClick;
    devices_.push_back(std::move(entry));
  }
}

bool MidiOutDevices::Caps(unsigned device, MidiOutCaps& caps) const {
  if (device >= devices_.size()) return false;
  caps = devices_[device].caps;
  return true;
}

unsigned MidiOutDevices::Open(unsigned device, std::unique_ptr<MidiOut>& out) const {
  if (device >= devices_.size()) return kBadDeviceId;
  const Entry& entry = devices_[device];
  unsigned result = kError;
  switch (entry.kind) {
    case Kind::kAlsa:
      out = OpenAlsaMidiOut(entry.address, result);
      break;
    case Kind::kVirtual:
      out = VirtualMidiOut::Open(entry.logPath, speed_, result);
      break;
    case Kind::kSoftwareClick:
      out = SoftwareClickOut::Open(result);
      break;
  }
  return result;
}

}  // namespace vx::midi
