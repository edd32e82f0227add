// Result codes of the media control layer and their texts. The codes and texts are our own
// and stable: callers show them ("MCI ERROR: %s") and tests compare them. 0 is success.
#pragma once

#include <string>

namespace vx::mci {

enum MciError : unsigned {
  kMciOk = 0,
  kUnknownCommand = 257,     // the command word is not one the layer knows
  kBadCommandText = 258,     // unbalanced quotes, or a required word is missing
  kUnknownAlias = 259,       // no device is open under that alias (or with that id)
  kAliasInUse = 260,         // the alias is already open
  kUnknownDeviceType = 261,  // not "cdaudio" or "waveaudio", or no type given
  kFileNotFound = 262,       // the wave file does not exist or cannot be read
  kInvalidFile = 263,        // the file is not a WAVE file
  kUnsupportedFormat = 264,  // a WAVE file whose samples cannot be decoded
  kDeviceNotReady = 265,     // no disc in the drive, or the door is open
  kNoSuchDrive = 266,        // no CD drive with that letter
  kBadParameter = 267,       // a parameter is missing or not understood
  kBadPosition = 268,        // a position that cannot be read or lies outside the medium
  kBadTrack = 269,           // no track with that number
  kBadTimeFormat = 270,      // a time format this device does not use
  kUnsupportedItem = 271,    // a command or status item this device does not answer
  kOutputFailed = 272,       // the wave output device could not be opened or fed
  kDoorFailed = 273,         // the drive did not open or close its door
  kNotAudioTrack = 274,      // play from a data track
  kDeviceTimeout = 275,      // the device did not carry the command out in time
};

// The text of a code; false (and `text` empty) for a code that has none.
bool MciErrorText(unsigned code, std::string& text);

}  // namespace vx::mci
