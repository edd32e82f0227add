// Makes a demo library: a new library (as CreateLibrary makes it) filled with a few song
// types, generated PCM songs with their BPM and cue points, and one playlist of them all.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vx::admin {

struct DemoSong {
  const char* name;
  const char* artist;
  const char* typeCode;
  double bpm;
  int seconds;
  int rate;
  int channels;
  std::uint32_t seed;
};

struct DemoSongType {
  const char* code;
  const char* description;
};

inline constexpr const char* kDemoPlaylistName = "DEMO MIX";

// The songs in playlist order; song i gets SongID i + 1.
std::span<const DemoSong> DemoSongList();
std::span<const DemoSongType> DemoSongTypes();

// Throws like CreateLibrary (nothing is made when a library already exists in folder). When
// filling the new library fails, its files are removed again and the error is rethrown.
void CreateDemoLibrary(const std::string& folder);

}  // namespace vx::admin
