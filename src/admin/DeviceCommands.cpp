#include "admin/DeviceCommands.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cd/CMciDevice.h"
#include "platform/cdrom/CdDriveInventory.h"
#include "platform/devices/DeviceConfig.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/MciSession.h"
#include "platform/wave/DeviceOrder.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::admin {
namespace {

std::string FormatList(std::uint32_t formats) {
  static const char* const kNames[] = {"11k mono 8",   "11k stereo 8", "11k mono 16",
                                       "11k stereo 16", "22k mono 8",  "22k stereo 8",
                                       "22k mono 16",  "22k stereo 16", "44k mono 8",
                                       "44k stereo 8", "44k mono 16",  "44k stereo 16"};
  std::string text;
  for (unsigned bit = 0; bit < 12; ++bit) {
    if ((formats & (1u << bit)) == 0) continue;
    if (!text.empty()) text += ", ";
    text += kNames[bit];
  }
  return text.empty() ? "none" : text;
}

// "deck 1", "deck 2 (right)", ... for the outputs the player would give its decks if each
// started, by device number.
std::vector<std::string> DeckUses(const std::vector<wave::WaveCaps>& outputs,
                                  const wave::DeviceChoices& choices) {
  std::vector<std::string> uses(outputs.size());
  wave::DeckOutputWalk walk(outputs, choices.outputs, choices.split);
  for (int deck = 1; deck <= 2; ++deck) {
    const auto output = walk.Next();
    if (!output) break;
    std::string& use = uses[output->device];
    if (!use.empty()) use += ", ";
    use += "deck " + std::to_string(deck);
    if (output->route == wave::ChannelRoute::kLeft) use += " (left)";
    if (output->route == wave::ChannelRoute::kRight) use += " (right)";
    walk.Started();
  }
  return uses;
}

void PrintDevice(std::ostream& out, std::size_t id, const wave::WaveCaps& caps,
                 const std::string& use) {
  out << "  " << id << ", " << caps.name << ", " << caps.hostApi << ", "
      << FormatList(caps.formats);
  if (!use.empty()) out << ", " << use;
  out << '\n';
}

}  // namespace

int PrintDevices(std::ostream& out) {
  CMciDevice inventory;
  inventory.TakeInventory();
  const wave::WaveDeviceList& waves = wave::WaveDeviceList::System();

  const wave::DeviceChoices choices = wave::DeviceChoices::Read();

  const std::vector<wave::WaveCaps> outputs = wave::OutputCapsOf(waves);
  const std::vector<std::string> decks = DeckUses(outputs, choices);
  out << "Wave outputs: " << outputs.size() << '\n';
  for (std::size_t i = 0; i < outputs.size(); ++i) PrintDevice(out, i, outputs[i], decks[i]);

  const std::vector<wave::WaveCaps> inputs = wave::InputCapsOf(waves);
  const std::optional<std::size_t> recorderInput = wave::RecorderInput(waves);
  out << "Wave inputs: " << inventory.NumWaveDevices() << '\n';
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    PrintDevice(out, i, inputs[i], recorderInput == i ? "recorder input" : "");
  }
  out << "CD drives: " << inventory.NumCdDrives() << '\n';
  for (const cdrom::CdDrive& drive :
       cdrom::ListCdDrives(DeviceConfig::Current())) {
    out << "  " << drive.Letter() << ": " << drive.Path() << '\n';
  }
  out << "MIDI outputs: " << inventory.NumMidiOutputs() << '\n';
  for (const std::string& line : inventory.MidiOutputs()) out << "  " << line << '\n';
  return 0;
}

int RunMciCommands(const std::vector<std::string>& commands, std::ostream& out) {
  mci::MciSession session;
  int result = 0;
  for (const std::string& command : commands) {
    std::string reply;
    const unsigned rc = session.SendString(command, reply);
    if (rc == mci::kMciOk) {
      out << reply << '\n';
      continue;
    }
    std::string text;
    if (!mci::MciErrorText(rc, text)) text = std::to_string(rc);
    out << "MCI ERROR: " << text << " CMD: " << command << '\n';
    result = 1;
  }
  return result;
}

}  // namespace vx::admin
