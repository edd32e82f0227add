// Format records of the audio compression manager: the largest record a driver uses, the
// formats a driver offers for a tag, and the destination format a driver suggests for a
// source format. Records are riff::WaveFormat values; Bytes() gives them as stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/acm/AcmDriver.h"
#include "platform/acm/AcmResult.h"
#include "platform/riff/WaveFile.h"

namespace vx::acm {

// 18 bytes of record plus the 32-byte extra block (samples per block and 7 coefficient pairs).
inline constexpr std::size_t kMsAdpcmFormatSize = 50;
// 18 bytes plus samples per block.
inline constexpr std::size_t kImaAdpcmFormatSize = 20;
// 18 bytes plus identifier, flags, block size, frames per block and codec delay.
inline constexpr std::size_t kMpegLayer3FormatSize = 30;

// The largest format record of one driver, or of all installed drivers (0 when none).
std::size_t MaxFormatSize(AcmDriverId driver);
std::size_t MaxFormatSize();

struct AcmFormatDetails {
  AcmDriverId driver{};
  riff::WaveFormat format;
};

// Every format of this tag that an installed driver offers: the suggested formats for the
// common rates (8000, 11025, 22050, 44100 Hz) in mono and stereo. Empty for unknown tags.
std::vector<AcmFormatDetails> EnumerateFormats(std::uint16_t formatTag);

// The destination format the driver suggests for converting source to wantedTag, keeping
// the channels and the rate. PCM -> compressed needs 16-bit PCM and a driver that encodes;
// compressed -> PCM (wantedTag 1) suggests 16-bit PCM and needs a driver that decodes.
AcmResult SuggestFormat(AcmDriverId driver, const riff::WaveFormat& source, std::uint16_t wantedTag,
                        riff::WaveFormat& suggested);

// The classic MS ADPCM format: block align 256 x channels x max(1, rate / 11025) (the
// factor rounded down to a power of two, as the encoder needs, and at most 8192 bytes), the
// samples per block that fill it, bits per sample 4 and the standard coefficient table.
riff::WaveFormat MsAdpcmFormat(int channels, int samplesPerSec);
// The same layout for IMA ADPCM (4 header bytes per channel, 2-byte extra block).
riff::WaveFormat ImaAdpcmFormat(int channels, int samplesPerSec);
// An MPEG Layer-3 record: average bytes per second = bit rate / 8, block align 1, and the
// extra block (identifier MPEG, flags "padding off", block size 144 x bit rate / rate plus
// the padding of the first frame, one frame per block, codec delay 1393). The default bit
// rate is the representative one that enumeration offers.
riff::WaveFormat MpegLayer3Format(int channels, int samplesPerSec, std::uint32_t bitRate = 128000,
                                  int padding = 0);

// The MS ADPCM extra block: samples per block, the count 7 and the standard coefficients.
std::vector<std::uint8_t> MsAdpcmExtraBytes(int samplesPerBlock);

// Samples per channel in one block of the given size.
int MsAdpcmSamplesPerBlock(int blockAlign, int channels);
int ImaAdpcmSamplesPerBlock(int blockAlign, int channels);

}  // namespace vx::acm
