#include "platform/acm/AcmDriver.h"

#include <array>

#include "platform/acm/CodecTags.h"
#include "platform/riff/WaveFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/avutil.h>
}

namespace vx::acm {
namespace {

struct DriverDefinition {
  AcmDriverId id;
  const char* shortName;
  std::uint16_t formatTag;
  bool encodes;
  bool decodes;
};

constexpr std::array kDefinitions = {
    DriverDefinition{AcmDriverId::kMsAdpcm, "ADPCM", riff::kFormatMsAdpcm, true, true},
    DriverDefinition{AcmDriverId::kImaAdpcm, "IMA ADPCM", riff::kFormatImaAdpcm, false, true},
    DriverDefinition{AcmDriverId::kMpegLayer3, "MPEG Layer-3", riff::kFormatMpegLayer3, false,
                     true},
};

// A driver is installed when the library has every codec direction it promises.
std::optional<AcmDriverInfo> MakeDriver(const DriverDefinition& definition) {
  const AVCodecID codecId = CodecIdForTag(definition.formatTag);
  if (codecId == AV_CODEC_ID_NONE) return std::nullopt;
  const AVCodec* decoder = avcodec_find_decoder(codecId);
  const AVCodec* encoder = avcodec_find_encoder(codecId);
  if (definition.decodes && decoder == nullptr) return std::nullopt;
  if (definition.encodes && encoder == nullptr) return std::nullopt;
  const AVCodec* named = definition.decodes ? decoder : encoder;

  AcmDriverInfo info;
  info.id = definition.id;
  info.shortName = definition.shortName;
  info.longName = std::string(definition.shortName) + " (libavcodec " + named->name + ")";
  info.formatTag = definition.formatTag;
  info.encodes = definition.encodes;
  info.decodes = definition.decodes;
  return info;
}

std::vector<AcmDriverInfo> FindInstalledDrivers() {
  std::vector<AcmDriverInfo> drivers;
  for (const DriverDefinition& definition : kDefinitions) {
    if (auto driver = MakeDriver(definition)) drivers.push_back(std::move(*driver));
  }
  return drivers;
}

}  // namespace

const std::vector<AcmDriverInfo>& InstalledDrivers() {
  static const std::vector<AcmDriverInfo> drivers = FindInstalledDrivers();
  return drivers;
}

const AcmDriverInfo* FindDriver(AcmDriverId id) {
  for (const AcmDriverInfo& driver : InstalledDrivers()) {
    if (driver.id == id) return &driver;
  }
  return nullptr;
}

std::optional<AcmDriverId> FindDriverForTag(std::uint16_t formatTag) {
  for (const AcmDriverInfo& driver : InstalledDrivers()) {
    if (driver.formatTag == formatTag && driver.ConvertsCodecs()) return driver.id;
  }
  return std::nullopt;
}

CodecLibraryVersion GetCodecLibraryVersion() {
  const unsigned version = avcodec_version();
  CodecLibraryVersion result;
  result.major = AV_VERSION_MAJOR(version);
  result.minor = AV_VERSION_MINOR(version);
  result.micro = AV_VERSION_MICRO(version);
  result.text = "libavcodec " + std::to_string(result.major) + "." + std::to_string(result.minor) +
                "." + std::to_string(result.micro) + " (FFmpeg " + av_version_info() + ")";
  return result;
}

}  // namespace vx::acm
