#include "support/AlsaFileHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/wave/portaudio/PortAudioWave.h"
#include "platform/wave/WaveDeviceList.h"
#include "support/TestFolder.h"

namespace vx::test {
namespace {

std::optional<std::string> Take(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

AlsaFileHome::AlsaFileHome(std::initializer_list<Pcm> pcms)
    : folder_(TestFolder() + "/alsa-home"), oldHome_(Take("HOME")),
      oldDevices_(Take("VELUMIX_DEVICES")) {
  std::filesystem::create_directories(folder_);
  std::ofstream rc(folder_ + "/.asoundrc");
  for (const Pcm& pcm : pcms) {
    rc << "pcm." << pcm.name << " {\n"
       << "  type file\n"
       << "  slave.pcm \"null\"\n"
       << "  file \"" << (pcm.file.empty() ? File(pcm.name) : pcm.file) << "\"\n";
    if (!pcm.infile.empty()) rc << "  infile \"" << pcm.infile << "\"\n";
    rc << "  format \"raw\"\n"
       << "}\n";
  }
  rc.close();
  setenv("HOME", folder_.c_str(), 1);
  unsetenv("VELUMIX_DEVICES");
  wave::WaveDeviceList::InstallSystem(nullptr);
}

AlsaFileHome::~AlsaFileHome() {
  wave::WaveDeviceList::InstallSystem(nullptr);
  Restore("HOME", oldHome_);
  Restore("VELUMIX_DEVICES", oldDevices_);
}

std::string AlsaFileHome::File(const std::string& pcm) const {
  return folder_ + "/" + pcm + ".raw";
}

std::vector<std::uint8_t> AlsaFileHome::Played(const std::string& pcm) const {
  std::ifstream in(File(pcm), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool AlsaFileHome::AlsaAvailable() { return wave::PortAudioOffersAlsa(); }

}  // namespace vx::test
