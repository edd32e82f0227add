// Runs an outside program (found on PATH) without a shell and answers its standard output;
// nothing when it cannot be started or does not end with status 0. Tests use it to judge
// our files with readers and codecs that share no code with ours.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::test {

std::optional<std::vector<std::uint8_t>> RunTool(const std::vector<std::string>& args);

}  // namespace vx::test
