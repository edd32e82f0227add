// libFuzzer entry point: any bytes at all are walked as a WAVE file header. Parsing must
// end without reading outside the input; the sanitizers report anything else.
#include <cstddef>
#include <cstdint>

#include "platform/riff/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::riff::WaveLayout layout;
  vx::riff::ParseWaveBytes(data, size, layout);
  return 0;
}
