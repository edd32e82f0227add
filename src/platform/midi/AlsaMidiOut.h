// Real MIDI outputs: the ALSA sequencer ports that accept writes from subscribers. A port is
// opened by connecting a port of our own sequencer client to it; short messages are encoded
// to sequencer events and sent directly. Outside ports have no output volume.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/midi/MidiOut.h"

namespace vx::midi {

struct AlsaPortAddress {
  int client = 0;
  int port = 0;
  std::string name;  // "client name: port name"
  int technology = kMidiPort;
};

// The writable ports of the system's sequencer; empty when there is no sequencer (no
// /dev/snd/seq) or it cannot be opened.
std::vector<AlsaPortAddress> ListAlsaOutputPorts();

// The technology code of a port from its ALSA type bits and its name: software synths,
// sample (wavetable) synths, FM synths by name ("FM", "OPL"), other synths, hardware MIDI
// ports; anything else (routing ports such as "Midi Through") counts as a mapper.
int PortTechnology(unsigned alsaType, std::string_view name);

// Connects to the port; nullptr (with result set) when the sequencer or the port refuses.
std::unique_ptr<MidiOut> OpenAlsaMidiOut(const AlsaPortAddress& address, unsigned& result);

}  // namespace vx::midi
