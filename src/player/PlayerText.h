// The player's string table: every text vxplayer shows, once.
#pragma once

namespace vx::text {

// Application and start-up.
inline constexpr const char* kPlayerTitle = "Velumix Player";
inline constexpr const char* kPlayerIconResource = ":/velumix/icons/vxplayer.png";
inline constexpr const char* kLowResolution =
    "For best results, Velumix should run at 800 X 600 resolution. You should also turn on "
    "the AutoHide feature for the Windows task bar.";
inline constexpr const char* kPlayerNoDatabase =
    "The main database file was not found. Please run the Velumix Administrator to record "
    "the location of this file. The Velumix Player will now exit.";
inline constexpr const char* kPlayerDbVersion =
    "Incorrect database version. Run convert utility to upgrade database to the correct "
    "version.";
inline constexpr const char* kPlayerNoMemory =
    "There was not enough memory to perform the last operation. Please exit this program "
    "and reboot Windows.";
inline constexpr const char* kPlayerUnexpected =
    "An unexpected error has occurred. Please note what you did before this message "
    "appeared and call Tech Support.";
inline constexpr const char* kPreferencesMenu = "&Preferences...";
inline constexpr const char* kExitMenu = "E&xit";
inline constexpr const char* kPlayerMenu = "&Player";

// Preferences.
inline constexpr const char* kPreferencesTitle = "Velumix Player Preferences";
inline constexpr const char* kSchemeNight = "Night";
inline constexpr const char* kSchemeDay = "Day";
inline constexpr const char* kSchemeOutdoors = "Outdoors";
inline constexpr const char* kColorBack = "Back";
inline constexpr const char* kColorText = "Text";
inline constexpr const char* kColorHigh = "High";
inline constexpr const char* kColorLabel = "Label";
inline constexpr const char* kSoundCardDelay = "Sound Card &Delay:";
inline constexpr const char* kHotSet = "Set";
inline constexpr const char* kHotClear = "Clear";
inline constexpr const char* kHotEmpty = "*EMPTY*";
inline constexpr const char* kColorScheme = "Color Scheme";
inline constexpr const char* kHotList = "Hot List";
inline constexpr const char* kOutputsGroup = "Outputs";
inline constexpr const char* kDeck1Output = "Deck &1:";
inline constexpr const char* kDeck2Output = "Deck &2:";
inline constexpr const char* kAutomaticOutput = "Automatic";
inline constexpr const char* kPitchQuality = "&Pitch quality:";
inline constexpr const char* kPitchClassic = "Classic";
inline constexpr const char* kPitchSmooth = "Smooth";
inline constexpr const char* kPitchKeyLock = "Key lock";

// WAV deck.
inline constexpr const char* kWavDeckTitle = "WAV Player - F%c to Select";
inline constexpr const char* kProductLabel = "Velumix";
inline constexpr const char* kNotReady = "NOT READY";
inline constexpr const char* kPaused = "PAUSED";
inline constexpr const char* kPlaying = "PLAYING";
inline constexpr const char* kNoSong = "NO SONG";
inline constexpr const char* kNoSongSelected = "*No song selected*";
inline constexpr const char* kF4ToChoose = "*F4 to choose song*";
inline constexpr const char* kNoTime = "--:--";
inline constexpr const char* kTimeFormat = "%02d:%02d";
inline constexpr const char* kBpmFormat = "%3.02f";
inline constexpr const char* kPitchFormat = "%+02.01f";
inline constexpr const char* kPitchZero = "+0.0";
inline constexpr const char* kErrorCountFormat = "%ld";
inline constexpr const char* kLabelPitchBpm = "PITCH/BPM";
inline constexpr const char* kLabelCurrentTotal = "CURRENT/TOTAL";
inline constexpr const char* kLabelLeft = "L";
inline constexpr const char* kLabelRight = "R";
inline constexpr const char* kStartOfSong = "Start of Song";
inline constexpr const char* kEndOfSong = "End of Song";
inline constexpr const char* kLiveCue = "Live Cue";
inline constexpr const char* kSetLiveCue = "Set Live Cue";
inline constexpr const char* kSyncBpm = "Sync BPM";
inline constexpr const char* kFlangeChorus = "Flange Chorus";
inline constexpr const char* kFullBeatChorus = "Full Beat Chorus";
inline constexpr const char* kHalfBeatChorus = "Half Beat Chorus";
inline constexpr const char* kQuarterBeatChorus = "Quarter Beat Chorus";
inline constexpr const char* kNoTimer = "ERROR: Could not get a Windows Timer";
inline constexpr const char* kThreadNotWoken =
    "Couldn't wake up the WavPlayer Thread. Please restart Windows as soon as possible.";
inline constexpr const char* kThreadNotStarted =
    "Couldn't start the WavPlayer thread for player %d. The error code was %d. Please record "
    "this error code and contact Tech Support.";
inline constexpr const char* kThreadCleanupTimeout =
    "Timeout error during thread cleanup. Please exit the application and reboot Windows.";

// CD deck.
inline constexpr const char* kCdDeckTitle = "CD Player - F%c to Select";
inline constexpr const char* kCdNotOpened =
    "Couldn't open CD Player %c. The error code was %d. Please record this error code and "
    "contact Tech Support.";
inline constexpr const char* kCdInsertDisc = "Insert audio CD";
inline constexpr const char* kCdNoTrack = "--/--";
inline constexpr const char* kCdTrackOfCount = "%02d of %02d";
inline constexpr const char* kCdTrackTitle = "Track %d";
inline constexpr const char* kCdUnknownArtist = "Unknown Artist";
inline constexpr const char* kCdNoAudio = "No Audio";
inline constexpr const char* kCdIdentify = "CD-ROM Drive %c";
inline constexpr const char* kStopped = "STOPPED";
inline constexpr const char* kSeeking = "SEEKING";
inline constexpr const char* kOpen = "OPEN";
inline constexpr const char* kLabelTrackBpm = "TRACK/BPM";

// Key help of the WAV deck (shown by the key help window).
inline constexpr const char* kWavHelpTitle = "WAVPlayer Help";
inline constexpr const char* kWavHelpText =
    "SPACE = Start/Stop Player\n"
    "NUM PAD \"+\" = Start/Stop Player\n"
    "INS/DEL = Pitch -/+ 1% (Hold SHIFT KEY for .1% change)\n"
    "HOME/END = Move to Start/End of song\n"
    "PAGEUP/PAGEDOWN = Move 10 seconds back/forward\n"
    "NUM PAD 1 THRU 9 = Preset cue point 1 thru 9\n"
    "NUM PAD \".\" = Set live cue point\n"
    "NUM PAD 0 = Play live cue point\n"
    "NUM PAD \"-\" = AutoPitch Change pitch to match BPM on other player\n"
    "L = Load song from other player\n"
    "NUM PAD \"*\" = Flange with song on other player\n"
    "NUM PAD \"/\" = Half beat chorus (SHIFT for quarter beat)\n"
    "ENTER = Switch to other WAVPlayer\n"
    "BACKSPACE = Reset pitch to 0.0\n"
    "LEFT ARROW = Pitch Bend -2% (SHIFT for -1%)\n"
    "RIGHT ARROW = Pitch Bend +2% (SHIFT for +1%)\n"
    "DOWN ARROW = Pitch Bend -8% (SHIFT for -4%)\n"
    "UP ARROW = Pitch Bend +8% (SHIFT for +4%)\n"
    "F12 = Choose song to play (SHIFT for same Genre & BPM)\n"
    "I = Identify player\n"
    "H = Display key help\n"
    "P = Toggle mouse pitch on/off\n"
    "1 THRU 5 = Load Hot List song 1 thru 5";

// The plain song list that stands in for the song chooser.
inline constexpr const char* kFindWavSongs = "Find WAV Songs";
inline constexpr const char* kSongListEntry = "[%06.2f] %s (%s)";

// Skin bitmap loading.
inline constexpr const char* kNoDataStorage = "could not allocate data storage\n";
inline constexpr const char* kNotDib = "Error:Unexpected file type, not a DIB\n";

// The song chooser, the control panel and the key help.

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
