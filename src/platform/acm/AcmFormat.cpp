#include "platform/acm/AcmFormat.h"

#include <algorithm>
#include <array>
#include <span>

#include "platform/acm/FormatRules.h"

namespace vx::acm {
namespace {

// The coefficient pairs every MS ADPCM decoder knows; the encoder uses them unchanged.
constexpr std::array<std::array<std::int16_t, 2>, 7> kMsAdpcmCoefficients = {
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};

constexpr int kLargestBlock = 8192;  // the encoder's limit

void Put16(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, static_cast<int>(value & 0xFFFF));
  Put16(out, static_cast<int>(value >> 16));
}

// 256 bytes per channel per 11025 Hz of rate; the factor is a power of two so that the
// encoder, which takes only power-of-two blocks, can produce the format.
int AdpcmBlockAlign(int channels, int samplesPerSec) {
  const int factor = std::max(1, samplesPerSec / 11025);
  int power = 1;
  while (power * 2 <= factor) power *= 2;
  int blockAlign = 256 * channels * power;
  while (blockAlign > kLargestBlock) blockAlign /= 2;
  return blockAlign;
}

riff::WaveFormat AdpcmFormat(std::uint16_t tag, int channels, int samplesPerSec, int blockAlign,
                             int samplesPerBlock) {
  riff::WaveFormat format;
  format.formatTag = tag;
  format.channels = static_cast<std::uint16_t>(channels);
  format.samplesPerSec = static_cast<std::uint32_t>(samplesPerSec);
  format.blockAlign = static_cast<std::uint16_t>(blockAlign);
  format.avgBytesPerSec = static_cast<std::uint32_t>(static_cast<std::uint64_t>(samplesPerSec) *
                                                     blockAlign / samplesPerBlock);
  format.bitsPerSample = 4;
  return format;
}

riff::WaveFormat SuggestedFormatOf(AcmDriverId driver, int channels, int samplesPerSec) {
  switch (driver) {
    case AcmDriverId::kMsAdpcm: return MsAdpcmFormat(channels, samplesPerSec);
    case AcmDriverId::kImaAdpcm: return ImaAdpcmFormat(channels, samplesPerSec);
    case AcmDriverId::kMpegLayer3: return MpegLayer3Format(channels, samplesPerSec);
  }
  return {};
}

}  // namespace

riff::WaveFormat MpegLayer3Format(int channels, int samplesPerSec, std::uint32_t bitRate,
                                  int padding) {
  riff::WaveFormat format;
  format.formatTag = riff::kFormatMpegLayer3;
  format.channels = static_cast<std::uint16_t>(channels);
  format.samplesPerSec = static_cast<std::uint32_t>(samplesPerSec);
  format.avgBytesPerSec = bitRate / 8;
  format.blockAlign = 1;
  format.bitsPerSample = 0;
  const int blockSize =
      static_cast<int>(144 * std::uint64_t{bitRate} / format.samplesPerSec) + padding;
  Put16(format.extra, 1);          // identifier: MPEG
  Put32(format.extra, 2);          // flags: padding off
  Put16(format.extra, blockSize);  // bytes per frame
  Put16(format.extra, 1);          // frames per block
  Put16(format.extra, 1393);       // codec delay
  return format;
}

int MsAdpcmSamplesPerBlock(int blockAlign, int channels) {
  return (blockAlign - 7 * channels) * 8 / (4 * channels) + 2;
}

int ImaAdpcmSamplesPerBlock(int blockAlign, int channels) {
  return (blockAlign - 4 * channels) * 8 / (4 * channels) + 1;
}

riff::WaveFormat MsAdpcmFormat(int channels, int samplesPerSec) {
  const int blockAlign = AdpcmBlockAlign(channels, samplesPerSec);
  const int samplesPerBlock = MsAdpcmSamplesPerBlock(blockAlign, channels);
  riff::WaveFormat format =
      AdpcmFormat(riff::kFormatMsAdpcm, channels, samplesPerSec, blockAlign, samplesPerBlock);
  format.extra = MsAdpcmExtraBytes(samplesPerBlock);
  return format;
}

std::vector<std::uint8_t> MsAdpcmExtraBytes(int samplesPerBlock) {
  std::vector<std::uint8_t> extra;
  Put16(extra, samplesPerBlock);
  Put16(extra, static_cast<int>(kMsAdpcmCoefficients.size()));
  for (const auto& pair : kMsAdpcmCoefficients) {
    Put16(extra, pair[0]);
    Put16(extra, pair[1]);
  }
  return extra;
}

riff::WaveFormat ImaAdpcmFormat(int channels, int samplesPerSec) {
  const int blockAlign = AdpcmBlockAlign(channels, samplesPerSec);
  const int samplesPerBlock = ImaAdpcmSamplesPerBlock(blockAlign, channels);
  riff::WaveFormat format =
      AdpcmFormat(riff::kFormatImaAdpcm, channels, samplesPerSec, blockAlign, samplesPerBlock);
  Put16(format.extra, samplesPerBlock);
  return format;
}

std::size_t MaxFormatSize(AcmDriverId driver) {
  if (FindDriver(driver) == nullptr) return 0;
  switch (driver) {
    case AcmDriverId::kMsAdpcm: return kMsAdpcmFormatSize;
    case AcmDriverId::kImaAdpcm: return kImaAdpcmFormatSize;
    case AcmDriverId::kMpegLayer3: return kMpegLayer3FormatSize;
  }
  return 0;
}

std::size_t MaxFormatSize() {
  std::size_t largest = 0;
  for (const AcmDriverInfo& driver : InstalledDrivers()) {
    largest = std::max(largest, MaxFormatSize(driver.id));
  }
  return largest;
}

std::vector<AcmFormatDetails> EnumerateFormats(std::uint16_t formatTag) {
  static constexpr std::array kAdpcmRates = {8000, 11025, 22050, 44100};
  static constexpr std::array kMpegRates = {22050, 24000, 32000, 44100, 48000};
  std::vector<AcmFormatDetails> formats;
  for (const AcmDriverInfo& driver : InstalledDrivers()) {
    if (driver.formatTag != formatTag) continue;
    const bool mpeg = driver.id == AcmDriverId::kMpegLayer3;
    const std::span<const int> rates =
        mpeg ? std::span<const int>(kMpegRates) : std::span<const int>(kAdpcmRates);
    for (int rate : rates) {
      for (int channels = 1; channels <= kMaxChannels; ++channels) {
        formats.push_back({driver.id, SuggestedFormatOf(driver.id, channels, rate)});
      }
    }
  }
  return formats;
}

AcmResult SuggestFormat(AcmDriverId driver, const riff::WaveFormat& source, std::uint16_t wantedTag,
                        riff::WaveFormat& suggested) {
  const AcmDriverInfo* info = FindDriver(driver);
  if (info == nullptr) return AcmResult::kNoDriver;
  const bool encoding = source.formatTag == riff::kFormatPcm && wantedTag == info->formatTag;
  const bool decoding = source.formatTag == info->formatTag && wantedTag == riff::kFormatPcm;
  if ((encoding && !info->encodes) || (decoding && !info->decodes) || (!encoding && !decoding)) {
    return AcmResult::kNotPossible;
  }
  if (encoding) {
    if (!IsUsablePcm16(source)) return AcmResult::kBadFormat;
    suggested = SuggestedFormatOf(driver, source.channels, static_cast<int>(source.samplesPerSec));
    return AcmResult::kOk;
  }
  if (!HasUsableLayout(source)) return AcmResult::kBadFormat;
  suggested = riff::WaveFormat::Pcm16(source.channels, static_cast<int>(source.samplesPerSec));
  return AcmResult::kOk;
}

}  // namespace vx::acm
