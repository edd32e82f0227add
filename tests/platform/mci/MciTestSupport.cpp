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

std::string OutputClause(const std::string& first, int outputs) {
  std::string clause = "out=" + first;
  for (int i = 2; i <= outputs; ++i) {
    clause += "," + vx::test::TestFolder() + "/tape" + std::to_string(i) + ".wav";
  }
  return clause;
}

}  // namespace

VirtualMachine::VirtualMachine(const char* speed, int outputs)
    : tape_(vx::test::TestFolder() + "/tape.wav"),
      tray_(Prepare(vx::test::TestFolder() + "/tray")),
      cue_(vx::test::WriteTestDisc(tray_)),
      devices_("VELUMIX_DEVICES", (OutputClause(tape_, outputs) + ";cd=" + tray_).c_str()),
      speed_("VELUMIX_SPEED", speed) {
  wave::WaveDeviceList::InstallSystem(nullptr);
}

VirtualMachine::~VirtualMachine() { wave::WaveDeviceList::InstallSystem(nullptr); }

std::string VirtualMachine::SecondTape() const { return vx::test::TestFolder() + "/tape2.wav"; }

}  // namespace vx::mci::test
