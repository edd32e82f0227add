// Seeded mutations of a valid WAVE header fed to the parser: whatever the bytes, parsing
// must end with a result that stays inside the buffer (run under AddressSanitizer too).
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "platform/riff/WaveBytes.h"
#include "platform/riff/WaveFile.h"

namespace vx::riff {
namespace {

using test::Bytes;

// Overwrites, flips, inserts, removes and truncates; 32-bit fields get boundary values so
// that the size fields are hit often.
Bytes Mutate(Bytes bytes, std::mt19937& random) {
  static const std::uint32_t kSizes[] = {0, 1, 2, 3, 4, 15, 16, 17, 18, 0x7fffffff,
                                         0x80000000u, 0xfffffff8u, 0xffffffffu};
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int edit = 0; edit < edits && !bytes.empty(); ++edit) {
    const std::size_t at = random() % bytes.size();
    switch (random() % 6) {
      case 0:
        bytes[at] = static_cast<std::uint8_t>(random());
        break;
      case 1:
        bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        break;
      case 2: {
        const std::uint32_t value = kSizes[random() % std::size(kSizes)];
        for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
          bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        break;
      }
      case 3:
        bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<std::uint8_t>(random()));
        break;
      case 4:
        bytes.erase(bytes.begin() + static_cast<long>(at));
        break;
      default:
        bytes.resize(at);
        break;
    }
  }
  return bytes;
}

TEST(WaveMutationTest, SeededMutationsOfAHeaderNeverBreakTheParser) {
  const Bytes fmt = test::Chunk("fmt ", test::PcmFormat(2, 44100));
  const Bytes valid = test::List(
      "RIFF", "WAVE",
      test::Cat({test::List("LIST", "INFO", test::Chunk("INAM", {'M', 'i', 'x', 0})), fmt,
                 test::Chunk("data", test::Ramp(33))}));
  std::mt19937 random(20240611);
  int parsed = 0;
  for (int round = 0; round < 4000; ++round) {
    const Bytes mutated = Mutate(valid, random);
    // Exact-size heap copy: one byte read too far is a sanitizer report.
    const auto copy = std::make_unique<std::uint8_t[]>(mutated.size() + (mutated.empty() ? 1 : 0));
    std::copy(mutated.begin(), mutated.end(), copy.get());
    WaveLayout layout;
    const WaveError error = ParseWaveBytes(copy.get(), mutated.size(), layout);
    if (error != WaveError::kNone) continue;
    ++parsed;
    ASSERT_LE(layout.dataOffset, mutated.size()) << round;
    ASSERT_LE(layout.dataOffset + layout.AvailableDataBytes(), mutated.size()) << round;
    ASSERT_LE(layout.formatRecord.size(), mutated.size()) << round;
    ASSERT_EQ(layout.fileSize, mutated.size()) << round;
  }
  // The mutations must leave some files readable, or the size checks above test nothing.
  EXPECT_GT(parsed, 100);
}

}  // namespace
}  // namespace vx::riff
