#include "AcmTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>

namespace vx::acm::test {

Bytes SinePcm(int seconds, int samplesPerSec, int channels) {
  const std::size_t frames = static_cast<std::size_t>(seconds) * samplesPerSec;
  std::vector<std::int16_t> samples(frames * channels);
  const double twoPi = 2 * std::numbers::pi;
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / samplesPerSec;
    const double swell = 0.55 + 0.4 * std::sin(twoPi * 0.5 * t);
    for (int c = 0; c < channels; ++c) {
      const double value = 0.5 * std::sin(twoPi * (220.0 + 110 * c) * t) +
                           0.3 * std::sin(twoPi * 1375.0 * t + c) +
                           0.2 * std::sin(twoPi * 3520.0 * t);
      samples[i * channels + c] = static_cast<std::int16_t>(std::lround(swell * value * 20000));
    }
  }
  Bytes bytes(samples.size() * 2);
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  return bytes;
}

std::vector<std::int16_t> ToSamples(const Bytes& bytes) {
  std::vector<std::int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

double SnrDb(const std::vector<std::int16_t>& reference, const std::vector<std::int16_t>& decoded,
             std::size_t count) {
  double signal = 0;
  double noise = 0;
  for (std::size_t i = 0; i < count && i < reference.size() && i < decoded.size(); ++i) {
    const double difference = static_cast<double>(reference[i]) - decoded[i];
    signal += static_cast<double>(reference[i]) * reference[i];
    noise += difference * difference;
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

void WriteWave(const std::string& path, const riff::WaveFormat& format, const Bytes& data) {
  riff::WaveFileWriter writer;
  ASSERT_TRUE(writer.Create(path, format));
  ASSERT_TRUE(writer.Append(data.data(), data.size()));
  ASSERT_TRUE(writer.Close());
}

bool ReadWave(const std::string& path, riff::WaveFormat& format, Bytes& data) {
  riff::WaveLayout layout;
  if (riff::ReadWaveLayout(path, layout) != riff::WaveError::kNone) return false;
  const Bytes file = ReadFile(path);
  const std::size_t begin = static_cast<std::size_t>(layout.dataOffset);
  const std::size_t end = begin + static_cast<std::size_t>(layout.AvailableDataBytes());
  if (end > file.size()) return false;
  format = layout.format;
  data.assign(file.begin() + static_cast<std::ptrdiff_t>(begin),
              file.begin() + static_cast<std::ptrdiff_t>(end));
  return true;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes ConvertInChunks(AcmStream& stream, std::span<const std::uint8_t> input,
                      const std::function<std::size_t()>& nextChunk, AcmConvertMode mode) {
  Bytes output;
  std::size_t position = 0;
  std::size_t carried = 0;  // bytes offered before and not consumed
  while (position < input.size()) {
    const std::size_t chunk = std::min(carried + nextChunk(), input.size() - position);
    const bool last = position + chunk == input.size();
    Bytes destination(stream.DestinationSizeFor(chunk));
    AcmConvertResult result;
    EXPECT_EQ(stream.Convert(input.data() + position, chunk, destination.data(), destination.size(),
                             last ? AcmConvertMode::kAll : mode, result),
              AcmResult::kOk);
    EXPECT_LE(result.sourceUsed, chunk);
    EXPECT_LE(result.destinationUsed, destination.size());
    output.insert(output.end(), destination.begin(),
                  destination.begin() + static_cast<std::ptrdiff_t>(result.destinationUsed));
    position += result.sourceUsed;
    carried = chunk - result.sourceUsed;
    if (last && result.sourceUsed == 0) break;  // what is left cannot be converted
  }
  Bytes destination(65536);
  for (std::size_t produced = 1; produced > 0;) {
    EXPECT_EQ(stream.Finish(destination.data(), destination.size(), produced), AcmResult::kOk);
    output.insert(output.end(), destination.begin(),
                  destination.begin() + static_cast<std::ptrdiff_t>(produced));
  }
  return output;
}

std::function<std::size_t()> RandomChunks(unsigned seed, std::size_t largest) {
  auto engine = std::make_shared<std::mt19937>(seed);
  return
      [engine, largest] { return std::uniform_int_distribution<std::size_t>(1, largest)(*engine); };
}

}  // namespace vx::acm::test
