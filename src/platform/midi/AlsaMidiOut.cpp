#include "platform/midi/AlsaMidiOut.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

namespace vx::midi {
namespace {

constexpr const char* kSequencerDevice = "/dev/snd/seq";

// Opens the sequencer for output. Looking for the device node first keeps ALSA from printing
// its own error on machines without one.
snd_seq_t* OpenSequencer() {
  if (access(kSequencerDevice, R_OK | W_OK) != 0) return nullptr;
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) return nullptr;
  snd_seq_set_client_name(seq, "Velumix");
  return seq;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

class AlsaMidiOut : public MidiOut {
 public:
  AlsaMidiOut(snd_seq_t* seq, int port, snd_midi_event_t* encoder)
      : seq_(seq), port_(port), encoder_(encoder) {}
  ~AlsaMidiOut() override { Close(); }

 protected:
  unsigned Send(const std::uint8_t* bytes, std::size_t count, std::uint32_t) override {
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    snd_midi_event_reset_encode(encoder_);
    if (snd_midi_event_encode(encoder_, bytes, static_cast<long>(count), &event) <= 0 ||
        event.type == SND_SEQ_EVENT_NONE) {
      return kInvalidParam;
    }
    snd_seq_ev_set_source(&event, port_);
    snd_seq_ev_set_subs(&event);
    snd_seq_ev_set_direct(&event);
    return snd_seq_event_output_direct(seq_, &event) < 0 ? kError : kOk;
  }

  void Release() override {
    snd_midi_event_free(encoder_);
    snd_seq_close(seq_);
  }

 private:
  snd_seq_t* seq_;
  int port_;
  snd_midi_event_t* encoder_;
};

}  // namespace

int PortTechnology(unsigned alsaType, std::string_view name) {
  const unsigned synth = SND_SEQ_PORT_TYPE_SYNTH | SND_SEQ_PORT_TYPE_SYNTHESIZER;
  const unsigned sample = SND_SEQ_PORT_TYPE_DIRECT_SAMPLE | SND_SEQ_PORT_TYPE_SAMPLE;
  const unsigned software = SND_SEQ_PORT_TYPE_SOFTWARE | SND_SEQ_PORT_TYPE_APPLICATION;
  if ((alsaType & software) != 0 && (alsaType & (synth | sample)) != 0) return kSoftwareSynth;
  if ((alsaType & sample) != 0) return kWavetable;
  if ((alsaType & synth) != 0) {
    if (Contains(name, "FM") || Contains(name, "OPL")) return kFmSynth;
    if (Contains(name, "Square")) return kSquareWaveSynth;
    return kSynthesizer;
  }
  if ((alsaType & (SND_SEQ_PORT_TYPE_HARDWARE | SND_SEQ_PORT_TYPE_PORT)) != 0) return kMidiPort;
  return kMapper;
}

std::vector<AlsaPortAddress> ListAlsaOutputPorts() {
  std::vector<AlsaPortAddress> ports;
  snd_seq_t* seq = OpenSequencer();
  if (seq == nullptr) return ports;
  const int self = snd_seq_client_id(seq);
  snd_seq_client_info_t* client = nullptr;
  snd_seq_port_info_t* port = nullptr;
  snd_seq_client_info_malloc(&client);
  snd_seq_port_info_malloc(&port);
  const unsigned wanted = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(seq, client) >= 0) {
    const int id = snd_seq_client_info_get_client(client);
    if (id == self || id == SND_SEQ_CLIENT_SYSTEM) continue;
    snd_seq_port_info_set_client(port, id);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq, port) >= 0) {
      const unsigned caps = snd_seq_port_info_get_capability(port);
      if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0) continue;
      AlsaPortAddress address;
      address.client = id;
      address.port = snd_seq_port_info_get_port(port);
      address.name = std::string(snd_seq_client_info_get_name(client)) + ": " +
                     snd_seq_port_info_get_name(port);
      address.technology = PortTechnology(snd_seq_port_info_get_type(port), address.name);
      ports.push_back(std::move(address));
    }
  }
  snd_seq_port_info_free(port);
  snd_seq_client_info_free(client);
  snd_seq_close(seq);
  return ports;
}

std::unique_ptr<MidiOut> OpenAlsaMidiOut(const AlsaPortAddress& address, unsigned& result) {
  result = kError;
  snd_seq_t* seq = OpenSequencer();
  if (seq == nullptr) return nullptr;
  snd_midi_event_t* encoder = nullptr;
  const int port = snd_seq_create_simple_port(
      seq, "Velumix MIDI Out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
      SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (port < 0 || snd_seq_connect_to(seq, port, address.client, address.port) < 0 ||
      snd_midi_event_new(16, &encoder) < 0) {
    snd_seq_close(seq);
    return nullptr;
  }
  try {
    auto device = std::make_unique<AlsaMidiOut>(seq, port, encoder);
    result = kOk;
    return device;
  } catch (...) {
    snd_midi_event_free(encoder);
    snd_seq_close(seq);
    throw;
  }
}

}  // namespace vx::midi
