// libFuzzer entry point for the media control command strings: each line of the input is
// sent to a fresh session, after a wave file has been opened under the alias "waverec", so
// the commands reach the parser, the time formats and the wave driver. Playing runs on the
// virtual output of the process (VELUMIX_DEVICES, set below), 1000 times faster than real
// time. The session must answer every line with a reply or an error code.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzInput.h"
#include "platform/mci/MciSession.h"
#include "platform/riff/WaveFile.h"

namespace {

std::string g_wave;

// A short 22.05 kHz stereo song in the temporary folder.
void WriteTestWave() {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vx-mci-fuzz";
  std::filesystem::create_directories(folder);
  g_wave = (folder / "song.wav").string();
  vx::riff::WaveFileWriter writer;
  if (!writer.Create(g_wave, vx::riff::WaveFormat::Pcm16(2, 22050))) std::abort();
  std::string samples(22050 / 5 * 4, '\0');
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<char>(i * 7);
  writer.Append(samples.data(), samples.size());
  writer.Close();
  setenv("VELUMIX_DEVICES", ("out=" + (folder / "tape.wav").string()).c_str(), 1);
  setenv("VELUMIX_SPEED", "1000", 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  WriteTestWave();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::fuzz::FuzzInput input(data, size);
  vx::mci::MciSession session;
  std::string reply;
  session.SendString("open \"waveaudio!" + g_wave + "\" alias waverec", reply);
  for (int lines = 0; !input.Empty() && lines < 16; ++lines) {
    session.SendString(input.Line(), reply);
  }
  return 0;
}
