// Runs an outside audio tool on a file and answers what it printed, so that files written
// here are also judged by readers that share no code with ours.
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace vx::test {

// Runs "tool 'path'" through the shell, stderr included; answers its output.
inline std::string ToolOutput(const std::string& tool, const std::string& path) {
  const std::string command = tool + " '" + path + "' 2>&1";
  std::string output;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer;
    std::size_t read = 0;
    while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), read);
    pclose(pipe);
  }
  return output;
}

inline std::string SoxInfo(const std::string& path) { return ToolOutput("sox --i", path); }

inline std::string FfprobeInfo(const std::string& path) {
  return ToolOutput("ffprobe -v error -show_format -show_streams", path);
}

}  // namespace vx::test
