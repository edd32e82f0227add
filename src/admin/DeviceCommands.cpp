#include "admin/DeviceCommands.h"

#include <ostream>

#include "cd/CMciDevice.h"
#include "platform/cdrom/CdDriveInventory.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/MciSession.h"
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

}  // namespace

int PrintDevices(std::ostream& out) {
  CMciDevice inventory;
  inventory.TakeInventory();
  const wave::WaveDeviceList& waves = wave::WaveDeviceList::System();

  out << "Wave outputs: " << waves.OutputCount() << '\n';
  for (std::size_t i = 0; i < waves.OutputCount(); ++i) {
    wave::WaveCaps caps;
    waves.OutputCaps(i, caps);
    out << "  " << i << ", " << caps.name << ", " << FormatList(caps.formats) << '\n';
  }
  out << "Wave inputs: " << inventory.NumWaveDevices() << '\n';
  for (std::size_t i = 0; i < waves.InputCount(); ++i) {
    wave::WaveCaps caps;
    waves.InputCaps(i, caps);
    out << "  " << i << ", " << caps.name << ", " << FormatList(caps.formats) << '\n';
  }
  out << "CD drives: " << inventory.NumCdDrives() << '\n';
  for (const cdrom::CdDrive& drive :
       cdrom::ListCdDrives(wave::WaveDeviceList::CurrentConfig())) {
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
