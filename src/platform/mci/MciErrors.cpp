#include "platform/mci/MciErrors.h"

#include <array>
#include <utility>

namespace vx::mci {
namespace {

constexpr std::array<std::pair<unsigned, const char*>, 19> kTexts{{
    {kUnknownCommand, "The command is not recognized."},
    {kBadCommandText, "The command text is incomplete or badly quoted."},
    {kUnknownAlias, "No device is open under that name."},
    {kAliasInUse, "The alias is already in use."},
    {kUnknownDeviceType, "The device type is unknown."},
    {kFileNotFound, "The file cannot be found or read."},
    {kInvalidFile, "The file is not a WAVE file."},
    {kUnsupportedFormat, "The audio format of the file cannot be played."},
    {kDeviceNotReady, "The device is not ready."},
    {kNoSuchDrive, "There is no CD drive with that letter."},
    {kBadParameter, "A parameter is missing or not understood."},
    {kBadPosition, "The position is invalid or outside the medium."},
    {kBadTrack, "There is no track with that number."},
    {kBadTimeFormat, "The device does not use that time format."},
    {kUnsupportedItem, "The device does not support that command or item."},
    {kOutputFailed, "The wave output device cannot be used."},
    {kDoorFailed, "The drive door could not be moved."},
    {kNotAudioTrack, "The position is on a data track."},
    {kDeviceTimeout, "The device did not answer in time."},
}};

}  // namespace

bool MciErrorText(unsigned code, std::string& text) {
  for (const auto& [known, message] : kTexts) {
    if (known == code) {
      text = message;
      return true;
    }
  }
  text.clear();
  return false;
}

}  // namespace vx::mci
