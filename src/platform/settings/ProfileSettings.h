// Per-user profile values of the Velumix programs, kept by QSettings("QFL", "Velumix").
// Values directly under the application key use an empty section; others live in the
// groups "Recorder", "Tip" and "Player". Every read names its default.
#pragma once

#include <QString>

namespace vx {

struct StringSetting {
  const char* section;  // "" for the application key
  const char* name;
  const char* fallback;
};

struct IntSetting {
  const char* section;
  const char* name;
  int fallback;
};

namespace settings {
inline constexpr StringSetting kSongDbPath{"", "SongDbPath", ""};
inline constexpr StringSetting kLastMaint{"", "LastMaint", ""};
inline constexpr StringSetting kCdRomDrive{"Recorder", "CdRomDrive", ""};
inline constexpr IntSetting kMidiDevice{"Recorder", "MidiDevice", -1};
inline constexpr IntSetting kMidiInstrument{"Recorder", "MidiInstrument", 37};
inline constexpr IntSetting kAutoThreshold{"Recorder", "AutoThreshold", -35};
inline constexpr IntSetting kUseAutoThreshold{"Recorder", "UseAutoThreshold", 0};
inline constexpr IntSetting kDeleteOnImport{"Recorder", "DeleteOnImport", 0};
inline constexpr IntSetting kUseCddb{"Recorder", "UseCddb", 1};
// The CDDB server as "host:port" and the user address sent in its hello; empty: the built-in.
inline constexpr StringSetting kCddbServer{"Recorder", "CddbServer", ""};
inline constexpr StringSetting kCddbUser{"Recorder", "CddbUser", ""};
inline constexpr IntSetting kMidiVolume{"Recorder", "MidiVolume", -1};
// The wave input the recorder opens, by device name; empty: the first of the automatic order.
inline constexpr StringSetting kRecorderInput{"Recorder", "Input", ""};
inline constexpr IntSetting kTipStartUp{"Tip", "StartUp", 0};
// The player's values; the hot list entries "Hot1".."Hot5" use the generic forms.
inline constexpr IntSetting kSoundCardDriverDelay{"Player", "SoundCardDriverDelay", 7};
inline constexpr StringSetting kSyncOffset{"Player", "SyncOffset", ""};  // "0.10" written back
inline constexpr StringSetting kPlayerDlgBkColor{"Player", "PlayerDlgBkColor", ""};
inline constexpr StringSetting kPlayerDlgTextColor{"Player", "PlayerDlgTextColor", ""};
inline constexpr StringSetting kPlayerDlgHighColor{"Player", "PlayerDlgHighColor", ""};
inline constexpr StringSetting kPlayerDlgLabelColor{"Player", "PlayerDlgLabelColor", ""};
// The decks' outputs by device name, comma-separated; empty: the automatic order.
inline constexpr StringSetting kPlayerOutputs{"Player", "Outputs", ""};
// 1: both decks on one stereo output, deck 1 on the left channel and deck 2 on the right.
inline constexpr IntSetting kSplitOutput{"Player", "SplitOutput", 0};
// The wave output the CD deck shares when the WAV decks hold every output.
inline constexpr IntSetting kCdOutput{"Player", "CdOutput", 0};
// How the WAV decks change speed: 0 classic, 1 smooth, 2 key lock; any other value: classic.
inline constexpr IntSetting kPitchQuality{"Player", "PitchQuality", 0};
inline constexpr const char* kPlayerSection = "Player";
inline constexpr const char* kHotEntryName = "Hot%1";  // 1..5
}  // namespace settings

// Reads and writes profile values. Each call opens the store afresh, so values written by
// another program (the administrator records SongDbPath) are seen at once.
class ProfileSettings {
 public:
  static QString Get(const StringSetting& key);
  static int Get(const IntSetting& key);
  static void Set(const StringSetting& key, const QString& value);
  static void Set(const IntSetting& key, int value);

  // Generic forms for values whose names are chosen at run time (the player's hot list).
  static QString GetString(const char* section, const QString& name, const QString& fallback);
  static int GetInt(const char* section, const QString& name, int fallback);
  static void SetString(const char* section, const QString& name, const QString& value);
  static void SetInt(const char* section, const QString& name, int value);
};

}  // namespace vx
