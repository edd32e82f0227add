// The codec drivers of the audio compression manager: one driver per supported codec, each
// converting between 16-bit PCM and one compressed format tag through the codec library
// (FFmpeg's libavcodec). Also the codec library's version for the technical report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::acm {

enum class AcmDriverId : int {
  kMsAdpcm = 1,     // format tag 2: encodes and decodes
  kImaAdpcm = 2,    // format tag 0x11: decodes
  kMpegLayer3 = 3,  // format tag 0x55: decodes
};

struct AcmDriverInfo {
  AcmDriverId id{};
  std::string shortName;  // display name; the ADPCM compressor's starts with "ADPCM"
  std::string longName;   // display name with the codec library's own codec name
  std::uint16_t formatTag = 0;
  bool encodes = false;  // PCM -> formatTag
  bool decodes = false;  // formatTag -> PCM

  // Converts between format tags (as opposed to a pure filter or format converter).
  bool ConvertsCodecs() const { return encodes || decodes; }
};

// The drivers whose codecs the installed codec library provides, in driver id order.
const std::vector<AcmDriverInfo>& InstalledDrivers();

// The installed driver with this id, or null.
const AcmDriverInfo* FindDriver(AcmDriverId id);

// The first installed driver that converts to or from this format tag. PCM (1) has none.
std::optional<AcmDriverId> FindDriverForTag(std::uint16_t formatTag);

struct CodecLibraryVersion {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned micro = 0;
  std::string text;  // e.g. "libavcodec 59.37.100 (FFmpeg 5.1.9)"
};

CodecLibraryVersion GetCodecLibraryVersion();

}  // namespace vx::acm
