// Which devices the programs use, and in which order they try them.
//
// Outputs, for the player's decks:
//   1. the devices named by the user (the setting Player/Outputs: names as the device list
//      gives them, separated by commas; a name may come twice, two decks on one output; an
//      empty name stands for the next device of the automatic order; a name that matches
//      no device is left out);
//   2. then every hardware card once, by its hardware name (its first device, "(hw:N,0)");
//   3. then the sound servers' devices (ALSA "pipewire", "pulse", "jack", and the JACK host
//      API's devices when a JACK server runs) and ALSA "default" (left out when cards are
//      listed and no server is: it would be the first card again, busy with deck 1);
//   4. then the virtual outputs.
// Other names of a card ("sysdefault", "front", "dmix", ...) and devices the user defined
// are used only when named, so two decks never land on two names of one card by accident.
// A machine with two free cards gives one deck to each; a desktop whose cards a sound
// server holds (the server keeps them busy, so they are not listed) gives its decks two
// streams of the server, which mixes them.
//
// Inputs, for the recorder: the device named by the setting Recorder/Input, then the same
// automatic order.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wave/WaveTypes.h"

namespace vx::wave {

class WaveDeviceList;

enum class DeviceKind {
  kCard,         // a hardware card's device, by hardware name: "HDA Intel: ALC (hw:0,0)"
  kSoundServer,  // a sound server's device
  kDefault,      // ALSA "default"
  kVirtual,      // a virtual device of the device configuration
  kOther,        // another name of a card, or a device the user defined
};

DeviceKind ClassifyDevice(const WaveCaps& caps);

// The names of a list written "a, b, c": split at commas outside parentheses (card names
// hold "(hw:0,0)"), trimmed; empty entries are kept. An empty text is an empty list.
std::vector<std::string> ParseDeviceNames(std::string_view text);
std::string JoinDeviceNames(const std::vector<std::string>& names);

// Device numbers in the order above; outputs for the decks, inputs for the recorder.
std::vector<std::size_t> OutputOrder(const std::vector<WaveCaps>& outputs,
                                     const std::vector<std::string>& named);
std::vector<std::size_t> InputOrder(const std::vector<WaveCaps>& inputs,
                                    const std::string& named);

// An output given to a deck.
struct DeckOutput {
  std::size_t device = 0;
  ChannelRoute route = ChannelRoute::kAll;
  bool operator==(const DeckOutput&) const = default;
};

// Hands outputs to decks one by one: every output of the order that plays 44.1 kHz 16-bit
// stereo, in turn; a deck that cannot start on one gives its place to the next. In split
// mode the first output that starts a deck plays deck 1 on its left channel and then
// deck 2 on its right, and no other output is used.
class DeckOutputWalk {
 public:
  DeckOutputWalk(const std::vector<WaveCaps>& outputs, const std::vector<std::string>& named,
                 bool split);

  // The output for the next deck to try; nothing when none is left.
  std::optional<DeckOutput> Next();
  // What became of the deck tried on the last output.
  void Started();
  void Failed();

 private:
  std::vector<std::size_t> candidates_;
  std::size_t next_ = 0;
  bool split_;
  std::optional<std::size_t> splitDevice_;  // split: the output deck 1 started on
  bool splitDone_ = false;
};

// The settings the walk and the input choice read.
struct DeviceChoices {
  std::vector<std::string> outputs;  // Player/Outputs
  bool split = false;                // Player/SplitOutput = 1
  std::string input;                 // Recorder/Input

  static DeviceChoices Read();
};

// The input the recorder opens: the first of the input order, else the first input listed;
// nothing when there is no input.
std::optional<std::size_t> RecorderInput(const WaveDeviceList& devices);
// The output a user of one output opens (the recorder's playback, a click): deck 1's output,
// the first of the output order that plays 44.1 kHz 16-bit stereo; nothing when none does.
std::optional<std::size_t> PreferredOutput(const WaveDeviceList& devices);

// The capabilities of every output or input of a list, by device number.
std::vector<WaveCaps> OutputCapsOf(const WaveDeviceList& devices);
std::vector<WaveCaps> InputCapsOf(const WaveDeviceList& devices);

}  // namespace vx::wave
