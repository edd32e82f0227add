// The texts of the recorder's media control wrapper: the fixed device names, the command
// templates and the error and inventory texts, in one table.
#pragma once

namespace vx::text {

inline constexpr const char* kCdDeviceType = "cdaudio";
inline constexpr const char* kCdAlias = "cdplay";
inline constexpr const char* kWaveDeviceType = "waveaudio";
inline constexpr const char* kWaveAlias = "waverec";

inline constexpr const char* kOpenCdCommand = "open %c: type %s alias %s shareable";
inline constexpr const char* kOpenWaveCommand = "open \"%s!%s\" alias %s";
inline constexpr const char* kCloseCommand = "close %s";
inline constexpr const char* kDoorClosedCommand = "set %s door closed";
inline constexpr const char* kDoorOpenCommand = "set %s door open";
inline constexpr const char* kPlayCommand = "play %s";
inline constexpr const char* kStopCommand = "stop %s";
inline constexpr const char* kSeekCommand = "seek %s to %s";
inline constexpr const char* kTimeFormatCommand = "set %s time format %s";
inline constexpr const char* kPositionCommand = "status %s position";
inline constexpr const char* kStatusCommand = "status %s %s";
inline constexpr const char* kLengthTrackItem = "length track %d";
inline constexpr const char* kLengthItem = "length";
inline constexpr const char* kIdentityCommand = "info %s identity";

inline constexpr const char* kMciErrorText = "%s CMD: %s";
inline constexpr const char* kMciErrorCode = "%u CMD: %s";
// How callers report a failed command, with GetLastErrorText.
inline constexpr const char* kMciErrorReport = "MCI ERROR: %s";
inline constexpr const char* kMidiOpenError = "MIDI ERROR Opening device: %u rc=%u";
inline constexpr const char* kMidiCloseError = "MIDI ERROR Closing device: rc=%u";

inline constexpr const char* kMidiLine = "%u, %s, %s";
inline constexpr const char* kTechHardwarePort = "Hardware Port";
inline constexpr const char* kTechSynthesizer = "Synthesizer";
inline constexpr const char* kTechSquareWave = "Sq. Wave Synth";
inline constexpr const char* kTechFm = "FM Synth";
inline constexpr const char* kTechUnknown = "??Unknown??";

}  // namespace vx::text
