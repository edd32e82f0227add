#include "platform/mci/MciTestSupport.h"

#include <filesystem>

#include "platform/cdrom/TestDisc.h"
#include "support/TestFolder.h"

namespace vx::mci::test {
namespace {

std::string Prepare(const std::string& folder) {
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

VirtualMachine::VirtualMachine(const char* speed)
    : tape_(vx::test::TestFolder() + "/tape.wav"),
      tray_(Prepare(vx::test::TestFolder() + "/tray")),
      cue_(vx::test::WriteTestDisc(tray_)),
      devices_("VELUMIX_DEVICES", ("out=" + tape_ + ";cd=" + tray_).c_str()),
      speed_("VELUMIX_SPEED", speed) {
  wave::WaveDeviceList::InstallSystem(nullptr);
}

VirtualMachine::~VirtualMachine() { wave::WaveDeviceList::InstallSystem(nullptr); }

}  // namespace vx::mci::test
