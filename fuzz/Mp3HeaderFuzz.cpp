// libFuzzer entry point for the MP3 readers: any bytes at all are judged as an MP3 file for
// import (ID3v2 size, first frame header, ID3v1 tag at the end), and are passed through the
// decoder's ID3v2 skipper in pieces whose sizes the first byte chooses. Both must end
// without reading outside the input, and the skipper must hand on every byte that is not
// part of a tag.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "import/Mp3Probe.h"
#include "platform/acm/Id3v2Skipper.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const vx::Mp3Probe probe = vx::ProbeMp3Bytes(bytes);
  if (probe.verdict == vx::Mp3Verdict::kAccepted && probe.bitRate != 0) {
    vx::Mp3LengthText(probe.fileSize, probe.bitRate);
  }

  const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 17;
  vx::acm::Id3v2Skipper skipper;
  std::vector<std::uint8_t> passedOn;
  std::size_t taken = 0;
  std::size_t at = 0;
  while (at < size) {
    const std::span<const std::uint8_t> input = bytes.subspan(at, std::min(piece, size - at));
    std::size_t used = 0;
    if (!skipper.Done()) used = skipper.Take(input, passedOn);
    if (used > input.size()) std::abort();
    // What the skipper does not take goes to the decoder as it is.
    passedOn.insert(passedOn.end(), input.begin() + static_cast<std::ptrdiff_t>(used), input.end());
    taken += used;
    at += input.size();
  }
  skipper.Finish(passedOn);
  if (passedOn.size() > size) std::abort();
  return 0;
}
