// The texts of the player's song chooser, control panel and key help, once each. Help texts
// are one line per key, exactly as the windows show them.
#pragma once

namespace vx::text {

// Song chooser.
inline constexpr const char* kChooserTitle = "Find WAV Songs";
inline constexpr const char* kChooserDeckTitle = "WavPlayer %d (%s)";
inline constexpr const char* kChooserSong = "Song:";
inline constexpr const char* kChooserArtist = "Artist:";
inline constexpr const char* kChooserAttributes = "Attributes:";
inline constexpr const char* kChooserType = "Type:";
inline constexpr const char* kChooserBpm = "BPM:";
inline constexpr const char* kChooserExact = "&XACT";
inline constexpr const char* kChooserFind = "&Find (Alt+F)";
inline constexpr const char* kChooserOk = "&OK (Alt+O)";
inline constexpr const char* kChooserCancel = "&Cancel (Alt+C)";
inline constexpr const char* kChooserEntry = "[%06.2f] %s (%s)";
inline constexpr const char* kAllTypes = "*ALL*";
inline constexpr const char* kChooserBpmNotNumber =
    "The BPM must be a number, such as 120 or 120.5. Please correct it and press Find again.";

// Control panel.
inline constexpr const char* kPanelTitle = "Velumix Control - F12 to Select";
inline constexpr const char* kPanelHint =
    "SELECT A SONG FROM THE PLAYLIST THEN PRESS F5 OR F6 TO LOAD";
inline constexpr const char* kPanelQuit = "&Quit";
inline constexpr const char* kPanelAuto = "&Auto";
inline constexpr const char* kPanelEntry = "%02d: %s (%s)";
inline constexpr const char* kPanelNoSongInfo = "%02d: NO SONG INFO";
inline constexpr const char* kPanelExitQuestion =
    "Pressing the X key will STOP the Velumix Player. All music currently playing will STOP "
    "IMMEDIATELY. Do you really want to STOP the Velumix Player?";

// Key help.
inline constexpr const char* kKeyHelpTitle = "Key Help";
inline constexpr const char* kPanelHelpTitle = "Control Panel Help";
inline constexpr const char* kPanelHelpText =
    "H = Display Key Help\n"
    "NUM PAD \".\" = Set Preferences\n"
    "X = Exit Application";
inline constexpr const char* kCdHelpTitle = "CDPlayer Help";
inline constexpr const char* kCdHelpText =
    "SPACE = Start/stop player.\n"
    "INS/DEL = Previous/Next Track (SHIFT for logged tracks only)\n"
    "HOME/END = Move to start/end of song\n"
    "PAGEUP/PAGEDOWN = Move 10 seconds back/forwards\n"
    "NUM PAD 1 THRU 9 = Preset cue points 1 thru 9\n"
    "NUM PAD \".\" = Set live cue point\n"
    "NUM PAD 0 = Play live cue\n"
    "I = Identify Player\n"
    "H = Show Key Help";

}  // namespace vx::text
