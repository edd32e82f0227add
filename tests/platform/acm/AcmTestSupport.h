// Helpers of the codec manager tests: generated signals, running the command-line codecs,
// WAVE files, and feeding a stream chunk by chunk as its callers do.
#pragma once

#include "support/RunTool.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/acm/AcmStream.h"
#include "platform/riff/WaveFile.h"

namespace vx::acm::test {

using Bytes = std::vector<std::uint8_t>;

// Interleaved 16-bit PCM: a mix of three sines per channel (different per channel), with
// a slow amplitude swell so that the codec's step adaptation is exercised.
Bytes SinePcm(int seconds, int samplesPerSec, int channels);

std::vector<std::int16_t> ToSamples(const Bytes& bytes);

// Signal-to-noise ratio in dB of `decoded` against `reference` over the first `count`
// samples.
double SnrDb(const std::vector<std::int16_t>& reference, const std::vector<std::int16_t>& decoded,
             std::size_t count);

// Runs a program (found on PATH) and answers its standard output; nothing when it cannot
// be started or does not end with status 0.
using vx::test::RunTool;

void WriteWave(const std::string& path, const riff::WaveFormat& format, const Bytes& data);
// The format and sample bytes of a WAVE file.
bool ReadWave(const std::string& path, riff::WaveFormat& format, Bytes& data);

Bytes ReadFile(const std::string& path);

// Feeds input through the stream in chunks whose sizes come from nextChunk, each into a
// destination of DestinationSizeFor(chunk) bytes. Unconsumed bytes are offered again at the
// front of the next chunk; the last chunk is converted in kAll mode; then Finish is called
// until it produces nothing. Each call must answer kOk.
Bytes ConvertInChunks(AcmStream& stream, std::span<const std::uint8_t> input,
                      const std::function<std::size_t()>& nextChunk, AcmConvertMode mode);

// Random chunk sizes from 1 to `largest`, always the same sequence for the same seed.
std::function<std::size_t()> RandomChunks(unsigned seed, std::size_t largest);

}  // namespace vx::acm::test
