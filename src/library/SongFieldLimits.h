// How many characters a person may type into each text field of a song, and into the other
// names the library keeps. Every dialog that edits or searches these fields uses the same
// limits, so a search text can never be longer than what a song can hold.
#pragma once

namespace vx {

inline constexpr int kSongNameLimit = 40;
inline constexpr int kSongArtistLimit = 40;
inline constexpr int kSongAlbumLimit = 40;
inline constexpr int kSongLabelLimit = 30;
inline constexpr int kSongAttributesLimit = 50;
inline constexpr int kSongBpmLimit = 6;
inline constexpr int kSongDateLimit = 10;
inline constexpr int kSongCommentsLimit = 255;
inline constexpr int kPlaylistNameLimit = 30;

}  // namespace vx
