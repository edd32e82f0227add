// The device commands of vxadmin: `devices` prints the machine's device inventory as the
// recorder takes it; `mci` sends media control command strings through one session.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vx::admin {

// Wave outputs and inputs with their host APIs, formats and uses (the deck an output would
// get, the recorder's input), CD drives with letters and device paths, MIDI outputs with
// their technology. Answers 0.
int PrintDevices(std::ostream& out);

// Sends each command in turn on one session and prints each reply (or "MCI ERROR: ...")
// on a line of its own. Answers 1 when any command failed, else 0.
int RunMciCommands(const std::vector<std::string>& commands, std::ostream& out);

}  // namespace vx::admin
