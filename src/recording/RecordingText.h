// The recorder's texts of recording: the "Record New Song" dialog.
#pragma once

namespace vx::text {

inline constexpr const char* kRecordNewSongTitle = "Record New Song";
inline constexpr const char* kSampleFormatLabel = "Sample &Fmt:";
inline constexpr const char* kPrepButton = "&Prep";
inline constexpr const char* kAutoStartCheck = "Auto &Start";
inline constexpr const char* kTriggerLevelLabel = "Trigger &Level (dB):";
inline constexpr const char* kRecordButton = "&Record";
inline constexpr const char* kPauseButton = "P&ause";
inline constexpr const char* kResumeButton = "R&esume";
inline constexpr const char* kPauseAgainButton = "&Pause";
inline constexpr const char* kDoneButton = "&Done";
inline constexpr const char* kCancelButton = "&Cancel";
inline constexpr const char* kLeftMeterLabel = "L";
inline constexpr const char* kRightMeterLabel = "R";
inline constexpr const char* kTimeFormat = "%02u:%02u";
inline constexpr const char* kStatusReady = "READY";
inline constexpr const char* kStatusRecord = "RECORD";
inline constexpr const char* kStatusPaused = "PAUSED";

// The capture formats, in list order.
inline constexpr const char* kFormat44Stereo = "44.1 Khz 16bit Stereo";
inline constexpr const char* kFormat44Mono = "44.1 Khz 16bit Mono";
inline constexpr const char* kFormat22Stereo = "22.05 Khz 16bit Stereo";
inline constexpr const char* kFormat22Mono = "22.05 Khz 16bit Mono";

inline constexpr const char* kAudioDeviceError = "Audio Device Error: %s";
inline constexpr const char* kCannotOpenSoundCard =
    "Could not open sound card for recording. There may be another program running which is "
    "using the sound card or your sound card may not be installed properly. Please correct the "
    "problem before proceeding.";
inline constexpr const char* kNoTimer =
    "Could not get a TIMER. Your system may be low on resources. Please reboot at your "
    "earliest convenience.";
inline constexpr const char* kTimerWouldNotStop =
    "Tried to stop a TIMER that was started but failed. Please write down what happened just "
    "before this error occurred and contact Tech Support.";
inline constexpr const char* kCannotCreateTake =
    "Could not create the file for the recording (%s). The disk may be full or the Songs "
    "folder may be write protected. Nothing was recorded.";
inline constexpr const char* kTakeWriteFailed =
    "Could not write the recording to disk. The disk may be full, or the recording has "
    "reached the largest size a WAV file can hold. The recording was stopped; what was "
    "recorded until then is kept.";

}  // namespace vx::text
