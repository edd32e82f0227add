// A home folder whose .asoundrc defines PCMs of ALSA's file plugin (slave "null", raw
// samples): what a stream plays on such a PCM lands in the PCM's file, and a capture from
// it reads the PCM's infile. For the object's life HOME points there, VELUMIX_DEVICES is
// unset and the process's device list is built afresh from the real backend (PortAudio),
// so the programs' own device code runs against real ALSA devices.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vx::test {

class AlsaFileHome {
 public:
  struct Pcm {
    Pcm(std::string name, std::string infile = {}, std::string file = {})
        : name(std::move(name)), infile(std::move(infile)), file(std::move(file)) {}
    std::string name;
    std::string infile;  // a capture reads this file; empty: none (silence)
    std::string file;    // the output lands here; empty: File(name)
  };

  explicit AlsaFileHome(std::initializer_list<Pcm> pcms);
  ~AlsaFileHome();
  AlsaFileHome(const AlsaFileHome&) = delete;
  AlsaFileHome& operator=(const AlsaFileHome&) = delete;

  // The raw file a PCM's output lands in unless the PCM names another.
  std::string File(const std::string& pcm) const;
  // Its bytes; empty when nothing was played.
  std::vector<std::uint8_t> Played(const std::string& pcm) const;

  // False where PortAudio finds no ALSA host API at all: the tests cannot run there.
  static bool AlsaAvailable();

 private:
  std::string folder_;
  std::optional<std::string> oldHome_;
  std::optional<std::string> oldDevices_;
};

}  // namespace vx::test
